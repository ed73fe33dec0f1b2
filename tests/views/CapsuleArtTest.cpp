#include "views/CapsuleArt.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include "fakes/StoreHarness.h"
#include "views/FloatingAmountView.h"
#include "views/Fonts.h"

namespace orvelle {
namespace {

// Where the amount may show: inside the inner capsule's border (10, 9, 130 × 72, 2 wide) and
// outside the coin (28 across at 131, 69, its 3-wide outline half outside).
bool inItsRoom(QPointF point) {
    QPainterPath inner;
    inner.addRoundedRect(QRectF(11, 10, 128, 70), 35, 35);
    const QPointF fromCoin = point - QPointF(131, 69);
    return inner.contains(point) && std::hypot(fromCoin.x(), fromCoin.y()) > 15.5;
}

// Every amount the capsule may show, drawn alone as the capsule draws it, at a device pixel ratio
// of 1 and 2 (the capsule's 200 % size scales the same drawing): each inked pixel lies in its
// room, and an amount that fits centred stays where it was designed, centred on the capsule.
TEST(CapsuleArt, EveryAmountFitsBesideTheCoinInsideTheInnerCapsule) {
    const QFont font = viewFont(24, QFont::Bold);
    for (const qreal ratio : {1.0, 2.0}) {
        for (const char* amount :
             {"¥9.99", "¥999.99", "¥1,060.77", "¥99,999.99", "¥•••.••", "¥-12,345,678.90"}) {
            QImage image(QSize(150, 90) * ratio, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::TextAntialiasing);
            CapsuleArt::drawAmount(painter, QString::fromUtf8(amount), font, CapsuleLook::regular);
            painter.end();
            int inked = 0;
            int misplaced = 0;
            qreal left = 150;
            qreal right = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (qAlpha(image.pixel(x, y)) < 64) {
                        continue;
                    }
                    const QPointF point((x + 0.5) / ratio, (y + 0.5) / ratio);
                    ++inked;
                    misplaced += inItsRoom(point) ? 0 : 1;
                    left = std::min(left, point.x());
                    right = std::max(right, point.x());
                }
            }
            EXPECT_GT(inked, 20) << amount << " at " << ratio;
            EXPECT_EQ(misplaced, 0) << amount << " at " << ratio;
            if (std::string_view(amount) == "¥9.99") {
                EXPECT_NEAR((left + right) / 2, 75, 1.5) << "at " << ratio;
            }
        }
    }
}

// The label tells working, the break, overtime and rest apart; the look follows the session.
TEST(CapsuleArt, TheCapsuleShowsTheSessionsState) {
    test::StoreHarness harness;
    harness.setLocal({2026, 3, 2, 9, 0});
    SalaryStore& store = harness.launch();
    WorkdayRules rules;
    rules.breakEnabled = true;
    rules.afterEnd = AfterEnd::overtime;
    store.setWorkday(rules);
    const FloatingAmountView view(
        store, [] {}, [] {});
    EXPECT_EQ(view.look(), CapsuleLook::atRest);
    store.startWork();
    const struct {
        int hour, minute;
        CapsuleLook look;
    } day[] = {{10, 0, CapsuleLook::regular},
               {12, 0, CapsuleLook::lunchBreak},
               {12, 59, CapsuleLook::lunchBreak},
               {13, 0, CapsuleLook::regular},
               {18, 0, CapsuleLook::overtime}};
    for (const auto& at : day) {
        harness.setLocal({2026, 3, 2, at.hour, at.minute});
        harness.scheduler.tick();
        EXPECT_EQ(view.look(), at.look) << at.hour << ":" << at.minute;
    }
    store.stopWork();
    EXPECT_EQ(view.look(), CapsuleLook::atRest);
    const QImage looks[] = {CapsuleArt::below(1, CapsuleLook::regular).toImage(),
                            CapsuleArt::below(1, CapsuleLook::lunchBreak).toImage(),
                            CapsuleArt::below(1, CapsuleLook::atRest).toImage()};
    EXPECT_NE(looks[0], looks[1]);
    EXPECT_NE(looks[0], looks[2]);
}

}  // namespace
}  // namespace orvelle
