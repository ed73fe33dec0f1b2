#include "app/AppDelegate.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/FloatingPanel.h"
#include "app/PanelPlacement.h"
#include "app/SettingsWindow.h"
#include "app/StatusReport.h"
#include "app/TrayIcon.h"
#include "app/TrayMenu.h"
#include "engine/PreferenceKeys.h"
#include "fakes/DelegateFixture.h"
#include "platform/api/InertScheduler.h"
#include "views/FloatingAmountView.h"

namespace orvelle {
namespace {

using test::FakeScreens;

constexpr QSize kPanel{150, 90};

class AppDelegateTest : public test::DelegateFixture {
protected:
    AppDelegateTest() {
        EXPECT_EQ(storeRequests, 0);  // the store is first touched when the panel is built
        delegate.applicationDidFinishLaunching();
    }

    // Triggers the tray menu's item titled `text`, as the menu shows it when it opens.
    void trigger(const QString& text) {
        menu.refresh();
        const QList<QAction*> items = menu.actions();
        const auto item = std::ranges::find(items, text, &QAction::text);
        ASSERT_NE(item, items.end()) << "no menu item " << text.toStdString();
        (*item)->trigger();
    }

    TrayMenu menu{*harness.store, delegate.desktopActions(),
                  [this] { delegate.openSettingsWindow(); }};
};

// The autostart item toggles the entry as it stands on disk, not as the menu last left it.
TEST_F(AppDelegateTest, MenuItemsStartAndStopWorkOpenSettingsResetThePanelAndToggleAutostart) {
    harness.store->setAmountText("800");
    trigger("开始上班");
    EXPECT_TRUE(harness.store->isWorking());
    EXPECT_EQ(harness.preferences.number(keys::amount), 800);
    harness.store->setAmountText("900");
    trigger("结束上班");
    EXPECT_FALSE(harness.store->isWorking());
    EXPECT_EQ(harness.preferences.number(keys::amount), 800);  // stopping saves nothing
    trigger("打开设置");
    SettingsWindow* opened = delegate.settingsWindow();
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(opened->isVisible());
    trigger("打开设置");  // the same window again
    EXPECT_EQ(delegate.settingsWindow(), opened);
    delegate.floatingPanel()->move(20, 600);
    trigger("重置位置");
    EXPECT_EQ(delegate.floatingPanel()->pos(), QPoint(1440 - 150 - 96, 30 + 72));
    trigger("开机自启");
    EXPECT_EQ(autostart.disable(), "");  // switched off elsewhere: the item turns it on again
    trigger("开机自启");
    EXPECT_TRUE(std::filesystem::exists(autostart.entry()));
    trigger("开机自启");
    EXPECT_FALSE(std::filesystem::exists(autostart.entry()));
}

// 5,592 a day from 09:00 to 18:00 with an unpaid hour at noon and overtime at twice the rate, seen
// at 19:00: the capsule, the settings window, --status (a store built afresh from the saved
// settings), the tray and what a screen reader reads of the capsule show the same amount and the
// overtime rate, each marked as overtime; in privacy mode every one shows the one mask, the salary
// field too, whatever digits the amount has. The tray follows the session at most once a second,
// but shows a change of state (a start, the break, overtime, an end) and privacy at once.
TEST_F(AppDelegateTest, EverySurfaceShowsTheSameAmount) {
    const TrayIcon* tray = delegate.trayIcon();
    EXPECT_EQ(tray->toolTip(), "Orvelle · 未在上班");
    SalaryStore& store = *harness.store;
    const auto bar = [&store](StatusFormat format) {
        return StatusReport::of(store).render(format);
    };
    EXPECT_EQ(bar(StatusFormat::i3blocks), "¥0.00\n¥0.00\n\n");
    delegate.openSettingsWindow();
    store.setWorkday({.breakEnabled = true, .afterEnd = AfterEnd::overtime, .overtimeRate = 2});
    store.setAmountText("5592");
    store.saveSettings();
    store.startWork();
    EXPECT_EQ(bar(StatusFormat::i3blocks), "¥0.00\n¥0.00\n#EA3F79\n");
    EXPECT_TRUE(bar(StatusFormat::waybar).ends_with(",\"class\":\"working\"}\n"));
    EXPECT_TRUE(tray->toolTip().startsWith("Orvelle · 今日收入 ¥0.00\n"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return tray->toolTip() == "Orvelle · 今日收入 ¥0.00\n0.1942 元/秒\n距下班 9:00"; },
        3000))
        << tray->toolTip().toStdString();
    // An amount held back shows within a second; the break, which begins while the amount's
    // text stands still, and its end show at once; an amount less than a second later waits.
    harness.tickAt({2026, 3, 2, 11, 59, 59.99});
    EXPECT_TRUE(QTest::qWaitFor([&] { return tray->toolTip().contains("¥2,097.00\n"); }, 3000));
    harness.tickAt({2026, 3, 2, 12, 0, 30});
    EXPECT_TRUE(tray->toolTip().contains("¥2,097.00 · 午休中\n")) << tray->toolTip().toStdString();
    harness.tickAt({2026, 3, 2, 13, 0, 30});
    const QString afterBreak = tray->toolTip();
    EXPECT_FALSE(afterBreak.contains("午休中"));
    harness.tickAt({2026, 3, 2, 14, 0});
    EXPECT_EQ(tray->toolTip(), afterBreak);
    harness.tickAt({2026, 3, 2, 19, 0});
    EXPECT_EQ(tray->toolTip(), "Orvelle · 今日收入 ¥6,990.00 · 加班中\n0.3883 元/秒");
    QCoreApplication::processEvents();
    const auto* capsule = delegate.floatingPanel()->findChild<FloatingAmountView*>();
    EXPECT_EQ(capsule->amountLine(), "¥6,990.00");
    EXPECT_EQ(capsule->look(), CapsuleLook::overtime);
    const auto capsuleName = [capsule] {
        return QAccessible::queryAccessibleInterface(const_cast<FloatingAmountView*>(capsule))
            ->text(QAccessible::Name);
    };
    EXPECT_EQ(capsuleName(), "今日收入 ¥6,990.00，加班中");
    EXPECT_EQ(delegate.settingsWindow()->findChild<QLabel*>("earnedAmount")->text(), "6,990.00 元");
    InertScheduler inert;
    const SalaryStore relaunched(
        StoreServices{harness.preferences, harness.clock, harness.calendar, inert});
    const StatusReport status = StatusReport::of(relaunched);
    EXPECT_EQ(status.render(StatusFormat::i3blocks), "¥6,990.00\n¥6,990.00\n#D4A017\n");
    EXPECT_TRUE(status.render(StatusFormat::waybar).ends_with(",\"class\":\"overtime\"}\n"));
    trigger("隐藏金额");
    EXPECT_TRUE(harness.preferences.flag("salary.privacy").value());
    EXPECT_EQ(tray->toolTip(), "Orvelle · 今日收入 ¥•••.•• · 加班中\n•.•••• 元/秒");
    QCoreApplication::processEvents();
    EXPECT_EQ(capsule->amountLine(), "¥•••.••");
    EXPECT_EQ(capsuleName(), "今日收入已隐藏，加班中");
    EXPECT_EQ(delegate.settingsWindow()->findChild<QLabel*>("earnedAmount")->text(), "•••.•• 元");
    EXPECT_EQ(delegate.settingsWindow()->findChild<QLineEdit*>("amountField")->text(), "•••.••");
    EXPECT_EQ(bar(StatusFormat::waybar),
              "{\"text\":\"¥•••.••\",\"tooltip\":\"计薪区间约 8.00 小时（不含午休） · 约 •.•••• "
              "元/秒\",\"class\":\"private\"}\n");
    store.stopWork();
    EXPECT_EQ(tray->toolTip(), "Orvelle · 未在上班");
}

// One placed panel hosting the capsule, however often launching is reported. Dragged, it stays;
// lying on no screen once its screen is gone, it is placed again: at its designed place, or with
// "记住位置" on where the user left it on the same screens; "重置位置" forgets every such place.
TEST_F(AppDelegateTest, PlacesOnePanelAndPlacesItAgainWhenLost) {
    FloatingPanel* panel = delegate.floatingPanel();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->frameGeometry(), QRect(1440 - 150 - 96, 30 + 72, 150, 90));
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(delegate.floatingPanel(), panel);
    SalaryStore& store = *harness.store;
    store.setCapsulePosition("1024x768+0+0", {10, 20});  // not kept while the option is off
    EXPECT_FALSE(store.capsulePosition("1024x768+0+0"));
    panel->move(1200, 500);
    delegate.placePanelAgainIfLost();
    EXPECT_EQ(panel->pos(), QPoint(1200, 500));
    const auto onlyScreen = [this](QRect frame) {
        screens.main = ScreenGeometry{frame, frame};
        screens.all = {*screens.main};
    };
    onlyScreen({0, 0, 1024, 768});
    delegate.placePanelAgainIfLost();
    EXPECT_EQ(panel->pos(), QPoint(1024 - 150 - 96, 72));
    store.setRememberPosition(true);
    store.setCapsulePosition("1440x900+0+0", {300, 400});
    store.setCapsulePosition("1024x768+0+0", {10, 20});
    EXPECT_EQ(harness.preferences.text("salary.capsulePosition"),
              "1024x768+0+0@10,20;1440x900+0+0@300,400");
    panel->move(5000, 5000);
    delegate.placePanelAgainIfLost();
    EXPECT_EQ(panel->pos(), QPoint(10, 20));
    onlyScreen({0, 0, 1280, 800});
    delegate.resetPanelPosition();
    EXPECT_EQ(panel->pos(), QPoint(1280 - 150 - 96, 72));
    EXPECT_FALSE(harness.preferences.contains("salary.capsulePosition"));
    for (const char* hostile : {"1440x900+0+0@x,1", "@1,2", "1440x900+0+0@1", ";;"}) {
        harness.preferences.set("salary.capsulePosition", std::string(hostile));
        EXPECT_FALSE(store.capsulePosition("1440x900+0+0")) << hostile;
    }
}

TEST(PanelPlacement, PutsThePanelAtTheRightOfTheUsableArea) {
    using Case = std::tuple<const char*, QRect, QRect, QPoint>;  // what, frame, usable, top left
    const QRect laptop(0, 0, 1440, 900);
    const Case cases[] = {
        {"bar on top, dock at the bottom", laptop, {0, 25, 1440, 805}, {1194, 97}},
        {"a dock at the right widens the gap", laptop, {0, 25, 1370, 875}, {1054, 97}},
        {"a dock at the left changes nothing", laptop, {70, 0, 1370, 900}, {1194, 72}},
        {"strut at the right", {0, 0, 1920, 1080}, {0, 32, 1856, 1048}, {1856 - 150 - 160, 104}},
        {"offset screen", {1440, -100, 1920, 1080}, {1440, -70, 1920, 1050}, {3114, 2}},
        // On a very short area the top margin wins, even if the bottom leaves the area.
        {"only 100 pixels high", laptop, {0, 0, 1440, 100}, {1194, 12}},
        {"just fits the top inset", laptop, {0, 0, 1440, 90 + 24 + 72}, {1194, 72}},
        {"kept above the bottom margin", laptop, {0, 0, 1440, 150}, {1194, 150 - 12 - 90}},
    };
    for (const auto& [what, frame, usable, topLeft] : cases) {
        FakeScreens screens;
        screens.main = ScreenGeometry{frame, usable};
        screens.all = {*screens.main};
        EXPECT_EQ(panelTopLeft(screens, kPanel, PanelInsets{}), topLeft) << what;
    }
}

TEST(PanelPlacement, ChoosesTheMainScreenElseTheFirstAndTellsWhatLiesOnNone) {
    const ScreenGeometry left{QRect(0, 0, 800, 600), QRect(0, 0, 800, 600)};
    const ScreenGeometry right{QRect(800, 0, 1440, 900), QRect(800, 0, 1440, 900)};
    FakeScreens screens;
    screens.all = {left, right};
    screens.main = right;
    EXPECT_EQ(panelTopLeft(screens, kPanel, PanelInsets{}), QPoint(2240 - 150 - 96, 72));
    screens.main.reset();
    EXPECT_EQ(panelTopLeft(screens, kPanel, PanelInsets{}), QPoint(800 - 150 - 96, 72));
    EXPECT_TRUE(centreLiesOnAScreen(screens, QRect(2150, 800, 150, 90)));  // half on the right one
    EXPECT_FALSE(centreLiesOnAScreen(screens, QRect(100, 700, 150, 90)));  // below the left one
    // A sliver left on a screen, as a window manager leaves it when the screen it was on goes.
    EXPECT_FALSE(centreLiesOnAScreen(screens, QRect(-140, 591, 150, 90)));
    screens.all.clear();
    EXPECT_EQ(panelTopLeft(screens, kPanel, PanelInsets{}), std::nullopt);
}

}  // namespace
}  // namespace orvelle
