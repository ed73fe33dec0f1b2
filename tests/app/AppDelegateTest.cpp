#include "app/AppDelegate.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "app/FloatingPanel.h"
#include "app/SettingsWindow.h"
#include "app/StatusReport.h"
#include "app/TrayIcon.h"
#include "app/TrayMenu.h"
#include "engine/PreferenceKeys.h"
#include "fakes/DelegateFixture.h"
#include "platform/InertScheduler.h"
#include "views/FloatingAmountView.h"

namespace orvelle {
namespace {

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

    QTemporaryDir home;
    Autostart autostart{home.path().toStdString(), "io.github.orvelle.Orvelle", "/usr/bin/orvelle"};
    TrayMenu menu{delegate, *harness.store, autostart};
};

// One placed panel hosting the capsule, however often launching is reported. Dragged, it stays;
// lying on no screen once its screen is gone, it is placed again.
TEST_F(AppDelegateTest, BuildsOnePlacedPanelAndPlacesItAgainWhenLost) {
    FloatingPanel* panel = delegate.floatingPanel();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->frameGeometry(), QRect(1440 - 150 - 96, 30 + 72, 150, 90));
    EXPECT_NE(panel->findChild<FloatingAmountView*>(), nullptr);
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(delegate.floatingPanel(), panel);
    panel->move(1200, 500);
    delegate.placePanelAgainIfLost();
    EXPECT_EQ(panel->pos(), QPoint(1200, 500));
    screens.main = ScreenGeometry{QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 768)};
    screens.all = {*screens.main};
    delegate.placePanelAgainIfLost();
    EXPECT_EQ(panel->pos(), QPoint(1024 - 150 - 96, 72));
}

TEST_F(AppDelegateTest, MenuItemsStartAndStopWorkOpenSettingsAndResetThePanel) {
    harness.store->setAmountText("800");
    trigger("开始上班");
    EXPECT_TRUE(harness.store->isWorking());
    EXPECT_EQ(harness.preferences.number(keys::amount), 800);
    harness.store->setAmountText("900");
    trigger("结束上班");
    EXPECT_FALSE(harness.store->isWorking());
    EXPECT_EQ(harness.preferences.number(keys::amount), 800);  // stopping saves nothing
    trigger("打开设置");
    ASSERT_NE(delegate.settingsWindow(), nullptr);
    EXPECT_TRUE(delegate.settingsWindow()->isVisible());
    delegate.floatingPanel()->move(20, 600);
    trigger("重置位置");
    EXPECT_EQ(delegate.floatingPanel()->pos(), QPoint(1440 - 150 - 96, 30 + 72));
}

TEST_F(AppDelegateTest, AutostartItemTogglesTheEntryAsItStandsOnDisk) {
    trigger("开机自启");
    EXPECT_TRUE(std::filesystem::exists(autostart.entry()));
    EXPECT_EQ(autostart.disable(), "");  // switched off elsewhere: the item turns it on again
    trigger("开机自启");
    EXPECT_TRUE(std::filesystem::exists(autostart.entry()));
    trigger("开机自启");
    EXPECT_FALSE(std::filesystem::exists(autostart.entry()));
}

TEST_F(AppDelegateTest, TrayToolTipFollowsTheSessionAtMostOnceASecond) {
    const TrayIcon* tray = delegate.trayIcon();
    EXPECT_EQ(tray->toolTip(), "Orvelle · 未在上班");
    harness.store->startWork();
    EXPECT_EQ(tray->toolTip(), "Orvelle · 本段收入 ¥0.00");
    harness.clock.advance(16200);
    harness.scheduler.tick();  // less than a second of real time since the last update
    EXPECT_EQ(tray->toolTip(), "Orvelle · 本段收入 ¥0.00");
    trigger("隐藏金额");  // privacy shows at once, masked digit for digit
    EXPECT_EQ(tray->toolTip(), "Orvelle · 本段收入 ¥•••.••");
    EXPECT_TRUE(harness.preferences.flag("salary.privacy").value());
    harness.store->stopWork();
    EXPECT_EQ(tray->toolTip(), "Orvelle · 未在上班");  // the end shows at once
}

// 5,000 a day from 09:00 to 18:00 with an unpaid hour at noon and overtime at twice the rate, seen
// at 19:00: the capsule, the settings window, --status (a store built afresh from the saved
// settings) and the tray show the same amount, each marked as overtime.
TEST_F(AppDelegateTest, EverySurfaceShowsTheSameAmount) {
    delegate.openSettingsWindow();
    SalaryStore& store = *harness.store;
    WorkdayRules rules;
    rules.breakEnabled = true;
    rules.afterEnd = AfterEnd::overtime;
    rules.overtimeRate = 2;
    store.setWorkday(rules);
    store.setAmountText("5000");
    store.saveSettings();
    store.startWork();
    harness.setLocal({2026, 3, 2, 19, 0});
    harness.scheduler.tick();
    QCoreApplication::processEvents();
    const auto* capsule = delegate.floatingPanel()->findChild<FloatingAmountView*>();
    EXPECT_EQ(capsule->amountLine(), "¥6,250.00");
    EXPECT_EQ(capsule->look(), CapsuleLook::overtime);
    EXPECT_EQ(delegate.settingsWindow()->findChild<QLabel*>("earnedAmount")->text(), "6,250.00 元");
    InertScheduler inert;
    const SalaryStore relaunched(
        StoreServices{harness.preferences, harness.clock, harness.calendar, inert});
    const StatusReport status = StatusReport::of(relaunched);
    EXPECT_EQ(status.text, "¥6,250.00");
    EXPECT_NE(status.render(StatusFormat::waybar).find("overtime"), std::string::npos);
    // The tooltip follows at most once a second.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            harness.scheduler.tick();
            return delegate.trayIcon()->toolTip() == "Orvelle · 本段收入 ¥6,250.00 · 加班中";
        },
        3000))
        << delegate.trayIcon()->toolTip().toStdString();
}

}  // namespace
}  // namespace orvelle
