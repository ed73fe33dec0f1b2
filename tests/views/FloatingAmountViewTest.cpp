#include "views/FloatingAmountView.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QImage>
#include <QMenu>
#include <QTest>

#include "fakes/StoreHarness.h"
#include "views/CapsuleArt.h"
#include "views/Palette.h"

namespace orvelle {
namespace {

using test::StoreHarness;

// Whether two colours differ by at most `tolerance` in every channel, alpha included.
bool near(QColor actual, QColor expected, int tolerance = 12) {
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance &&
           std::abs(actual.alpha() - expected.alpha()) <= tolerance;
}

bool isRose(QRgb pixel) {
    const QColor c = QColor::fromRgba(pixel);
    return c.alpha() > 200 && c.red() > 200 && c.green() < 150 && c.blue() < 170;
}

class FloatingAmountViewTest : public ::testing::Test {
protected:
    FloatingAmountViewTest() {
        harness.setLocal({2026, 3, 2, 9, 0});
        harness.launch();
    }

    QImage render(FloatingAmountView& view, qreal ratio = 1) {
        QImage image(QSize(150, 90) * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        view.render(&image);
        return image.convertToFormat(QImage::Format_ARGB32);
    }

    // Returns the columns in which the amount's rose-coloured glyphs lie below the label, and
    // checks that none lie below the amount's own line (as a wrapped second line would).
    std::pair<int, int> roseColumns(const QImage& image) {
        int first = image.width(), last = -1;
        const QRectF line = CapsuleArt::amountBox();
        for (int y = static_cast<int>(CapsuleArt::labelBox().bottom()) + 1; y < image.height();
             ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (!isRose(image.pixel(x, y))) {
                    continue;
                }
                EXPECT_LE(y, line.bottom() + 1) << x << "," << y;
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
        return {first, last};
    }

    StoreHarness harness;
    int opened = 0;
    int quit = 0;
};

TEST_F(FloatingAmountViewTest, DrawsTheCapsuleAndNothingOutsideIt) {
    FloatingAmountView view(
        *harness.store, [] {}, [] {});
    const QImage image = render(view);
    for (const QPoint corner : {QPoint(0, 0), QPoint(149, 0), QPoint(0, 89), QPoint(149, 89)}) {
        EXPECT_EQ(qAlpha(image.pixel(corner)), 0) << corner.x() << "," << corner.y();
    }
    EXPECT_TRUE(near(image.pixelColor(3, 45), palette::gradientStart));
    EXPECT_TRUE(near(image.pixelColor(146, 45), palette::gradientEnd));
    EXPECT_TRUE(near(image.pixelColor(75, 12), QColor(255, 255, 255), 6));  // inner capsule
    EXPECT_TRUE(near(image.pixelColor(75, 9), palette::cardBorder, 30));    // its outline
    EXPECT_TRUE(near(image.pixelColor(19, 23), palette::sparkle));
    EXPECT_TRUE(near(image.pixelColor(121, 69), palette::coinFill));
    EXPECT_TRUE(near(image.pixelColor(131, 82), palette::coinOutline, 30));
}

TEST_F(FloatingAmountViewTest, ShowsTheAmountWithTheYenSign) {
    FloatingAmountView view(
        *harness.store, [] {}, [] {});
    EXPECT_EQ(view.amountLine(), "¥0.00");
    harness.store->startWork();
    harness.clock.advance(16200);
    harness.scheduler.tick();
    EXPECT_EQ(view.amountLine(), "¥250.00");
    const auto [first, last] = roseColumns(render(view));
    EXPECT_LT(first, 60);
    EXPECT_GT(last, 90);
}

TEST_F(FloatingAmountViewTest, VeryLongAmountStaysOnOneLineInsideTheCapsule) {
    harness.store->setAmountText("999999999999");
    harness.store->startWork();
    harness.clock.advance(30000);
    harness.scheduler.tick();
    FloatingAmountView view(
        *harness.store, [] {}, [] {});
    EXPECT_GT(view.amountLine().size(), 16);
    const auto [first, last] = roseColumns(render(view));
    EXPECT_GE(first, 0);
    EXPECT_LE(last, 149);
    EXPECT_GT(last - first, 100);  // scaled down to fit, not cut to a stub
}

TEST_F(FloatingAmountViewTest, IsSharpAtTwiceThePixelDensity) {
    FloatingAmountView view(
        *harness.store, [] {}, [] {});
    const QImage image = render(view, 2);
    EXPECT_EQ(image.size(), QSize(300, 180));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_TRUE(near(image.pixelColor(38, 46), palette::sparkle));
    EXPECT_TRUE(near(image.pixelColor(242, 138), palette::coinFill));
}

TEST_F(FloatingAmountViewTest, MenuItemsRunTheirCallbackOnce) {
    FloatingAmountView view(
        *harness.store, [this] { ++opened; }, [this] { ++quit; });
    const QList<QAction*> actions = view.contextMenu()->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), "打开设置");
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), "退出");
    actions[0]->trigger();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(quit, 0);
    actions[2]->trigger();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(quit, 1);
}

TEST_F(FloatingAmountViewTest, RepaintsOnlyWhenTheShownTextChanges) {
    harness.store->setAmountText("10");  // a cent every 32.4 seconds
    harness.store->startWork();
    FloatingAmountView view(
        *harness.store, [] {}, [] {});
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QTRY_VERIFY(view.paintCount() > 0);
    const int painted = view.paintCount();
    for (int tick = 0; tick < 20; ++tick) {  // one second of ticks, the same cent throughout
        harness.clock.advance(0.05);
        harness.scheduler.tick();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(view.paintCount(), painted);
    harness.clock.advance(40);
    harness.scheduler.tick();
    QTRY_COMPARE(view.paintCount(), painted + 1);
}

}  // namespace
}  // namespace orvelle
