#include "views/FloatingAmountView.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QImage>
#include <QMenu>
#include <QTest>

#include "fakes/StoreHarness.h"
#include "views/CapsuleArt.h"
#include "views/Palette.h"

namespace orvelle {
namespace {

// Returns the largest difference between two colours in any channel, alpha included.
int distance(QColor a, QColor b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue()), std::abs(a.alpha() - b.alpha())});
}

class FloatingAmountViewTest : public ::testing::Test {
protected:
    SalaryStore& launchAtNine() {
        harness.setLocal({2026, 3, 2, 9, 0});
        return harness.launch();
    }

    // Starts a session at `amount` a day and lets `seconds` of it pass.
    void work(const char* amount, double seconds) {
        harness.store->setAmountText(amount);
        harness.store->startWork();
        harness.clock.advance(seconds);
        harness.scheduler.tick();
    }

    QImage render(qreal ratio) {
        QImage image(view.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        view.render(&image);
        return image.convertToFormat(QImage::Format_ARGB32);
    }

    test::StoreHarness harness;
    FloatingAmountView view{launchAtNine(), [] {}, [] {}};
};

// Every size of the capsule, at every pixel ratio, draws the same picture scaled as a whole.
TEST_F(FloatingAmountViewTest, DrawsTheCapsuleAndNothingOutsideItAtEverySizeAndPixelRatio) {
    // Where, in logical pixels, what colour and how closely.
    const std::tuple<QPoint, QColor, int> probes[] = {
        {{0, 0}, Qt::transparent, 0},
        {{149, 89}, Qt::transparent, 0},
        {{3, 45}, palette::gradientStart, 12},
        {{146, 45}, palette::gradientEnd, 12},
        {{75, 12}, Qt::white, 6},            // the inner capsule
        {{75, 9}, palette::cardBorder, 30},  // its outline
        {{19, 23}, palette::sparkle, 12},
        {{121, 69}, palette::coinFill, 12},
        {{131, 82}, palette::coinOutline, 30},
    };
    for (const auto& [percent, ratio] : {std::pair{100, 1.0}, {100, 2.0}, {150, 1.0}, {200, 1.0}}) {
        harness.store->setCapsuleLook(percent, 100);
        const qreal scale = percent / 100.0;
        ASSERT_EQ(view.size(), QSize(150, 90) * scale);
        const QImage image = render(ratio);
        for (const auto& [at, colour, tolerance] : probes) {
            EXPECT_LE(distance(image.pixelColor(at * scale * ratio), colour), tolerance)
                << "at " << at.x() << "," << at.y() << " size " << percent << " ratio " << ratio;
        }
    }
    // At 40 % opacity the white inner capsule lets 60 % of what lies below show through.
    harness.store->setCapsuleLook(100, 40);
    EXPECT_NEAR(render(1.0).pixelColor(75, 12).alpha(), 102, 3);
    EXPECT_EQ(harness.preferences.integer("salary.capsuleOpacity"), 40);
}

// The amount's glyphs are the only rose pixels below the label: they must lie on the amount's
// one line, across enough of the capsule to be read. A far too wide amount is scaled down, so its
// glyphs are shorter, rather than cut at the capsule's edges or wrapped.
TEST_F(FloatingAmountViewTest, ShowsTheAmountOnOneLineAcrossTheCapsule) {
    std::vector<int> inkHeights;
    for (const char* amount : {"500", "999999999999"}) {
        work(amount, 16200);
        const QImage image = render(1);
        int first = 150, last = -1, top = 90, bottom = -1;
        for (int y = static_cast<int>(CapsuleArt::labelBox().bottom()) + 1; y < 90; ++y) {
            for (int x = 0; x < 150; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() > 200 && c.red() > 200 && c.green() < 150 && c.blue() < 170) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                    top = std::min(top, y);
                    bottom = y;
                }
            }
        }
        EXPECT_LT(first, 40) << amount;
        EXPECT_GT(last, 110) << amount;
        EXPECT_LE(bottom, CapsuleArt::amountBox().bottom() + 1) << amount;
        inkHeights.push_back(bottom - top);
    }
    EXPECT_GT(view.amountLine().size(), 16);
    EXPECT_LT(inkHeights[1], inkHeights[0]);
}

TEST_F(FloatingAmountViewTest, RepaintsOnlyWhenTheShownTextChanges) {
    work("10", 0);  // a cent every 32.4 seconds
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    ASSERT_TRUE(QTest::qWaitFor([this] { return view.paintCount() > 0; }));
    const int painted = view.paintCount();
    for (int tick = 0; tick < 20; ++tick) {  // one second of ticks, the same cent throughout
        harness.clock.advance(0.05);
        harness.scheduler.tick();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(view.paintCount(), painted);
    harness.clock.advance(40);
    harness.scheduler.tick();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.paintCount() == painted + 1; }));
    // Privacy shows one mask whatever the amount, in one repaint, and turning it off shows the
    // amount again.
    const QString amount = view.amountLine();
    QTest::mouseClick(&view, Qt::MiddleButton);
    EXPECT_EQ(view.amountLine(), "¥•••.••");
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.paintCount() == painted + 2; }));
    QTest::mouseClick(&view, Qt::MiddleButton);
    EXPECT_EQ(view.amountLine(), amount);
}

// Hidden, the capsule does not follow the ticks; shown after an hour, its first paint already
// shows the hour's amount.
TEST_F(FloatingAmountViewTest, ShownAfterAnHourHiddenPaintsTheRightAmountAtOnce) {
    work("500", 0);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.hide();
    for (int minute = 0; minute < 60; ++minute) {
        harness.clock.advance(60);
        harness.scheduler.tick();
    }
    EXPECT_EQ(view.paintedAmount(), "¥0.00");
    const int painted = view.paintCount();
    view.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.paintCount() > painted; }));
    EXPECT_EQ(view.paintedAmount(), "¥55.56");  // 500 over the nine hours to 18:00
    EXPECT_EQ(view.paintedAmount(), view.amountLine());
}

// A screen reader reads the break in the capsule's name, as the capsule shows it.
TEST_F(FloatingAmountViewTest, SaysTheBreakToScreenReaders) {
    WorkdayRules rules;
    rules.breakEnabled = true;
    harness.store->setWorkday(rules);
    work("500", 3.5 * 3600);  // 12:30
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&view)->text(QAccessible::Name),
              "今日收入 ¥187.50，午休中");
}

// The Menu key, Shift+F10 and a screen reader's menu action each open the capsule's menu.
TEST_F(FloatingAmountViewTest, OpensItsMenuWithoutAMouse) {
    view.show();
    auto* menu = view.findChild<QMenu*>();
    const std::function<void()> ways[] = {
        [this] { QTest::keyClick(&view, Qt::Key_Menu); },
        [this] { QTest::keyClick(&view, Qt::Key_F10, Qt::ShiftModifier); },
        [this] {
            QAccessible::queryAccessibleInterface(&view)->actionInterface()->doAction(
                QAccessibleActionInterface::showMenuAction());
        }};
    for (std::size_t way = 0; way < std::size(ways); ++way) {
        ways[way]();
        EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); })) << way;
        menu->hide();
    }
    QTest::keyClick(&view, Qt::Key_F10);
    EXPECT_FALSE(menu->isVisible());
}

}  // namespace
}  // namespace orvelle
