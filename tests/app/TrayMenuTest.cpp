#include "app/TrayMenu.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <QAction>

#include "app/FloatingPanel.h"
#include "app/SettingsWindow.h"
#include "app/TrayIcon.h"
#include "engine/PreferenceKeys.h"
#include "fakes/DelegateFixture.h"

namespace orvelle {
namespace {

class TrayMenuTest : public test::DelegateFixture {
protected:
    TrayMenuTest() { delegate.applicationDidFinishLaunching(); }

    // Triggers the item titled `text`, as the menu shows it when it opens.
    void trigger(const QString& text) {
        menu.refresh();
        const QList<QAction*> items = menu.actions();
        const auto item = std::find_if(items.begin(), items.end(),
                                       [&](const QAction* a) { return a->text() == text; });
        ASSERT_NE(item, items.end()) << "no menu item " << text.toStdString();
        (*item)->trigger();
    }

    TrayMenu menu{*harness.store, delegate.desktopActions(),
                  [this] { delegate.openSettingsWindow(); }};
};

TEST_F(TrayMenuTest, ItemsStartAndStopWorkOpenSettingsAndResetThePanel) {
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
    const QPoint start = delegate.floatingPanel()->pos();
    delegate.floatingPanel()->move(20, 600);
    trigger("重置位置");
    EXPECT_EQ(delegate.floatingPanel()->pos(), start);
}

TEST_F(TrayMenuTest, AutostartItemTogglesTheEntryAsItStandsOnDisk) {
    trigger("开机自启");
    EXPECT_TRUE(std::filesystem::exists(autostart.entry()));
    EXPECT_EQ(autostart.disable(), "");  // switched off elsewhere: the item turns it on again
    trigger("开机自启");
    EXPECT_TRUE(std::filesystem::exists(autostart.entry()));
    trigger("开机自启");
    EXPECT_FALSE(std::filesystem::exists(autostart.entry()));
}

TEST_F(TrayMenuTest, TrayToolTipFollowsTheSessionAtMostOnceASecond) {
    const TrayIcon* tray = delegate.trayIcon();
    EXPECT_EQ(tray->toolTip(), "Orvelle · 未在上班");
    harness.store->startWork();
    EXPECT_EQ(tray->toolTip(), "Orvelle · 今日收入 ¥0.00\n0.0154 元/秒");
    harness.clock.advance(16200);
    harness.scheduler.tick();  // less than a second of real time since the last update
    EXPECT_EQ(tray->toolTip(), "Orvelle · 今日收入 ¥0.00\n0.0154 元/秒");
    trigger("隐藏金额");  // privacy shows at once, masked
    EXPECT_EQ(tray->toolTip(), "Orvelle · 今日收入 ¥•••.••\n•.•••• 元/秒");
    EXPECT_TRUE(harness.preferences.flag("salary.privacy").value());
    harness.store->stopWork();
    EXPECT_EQ(tray->toolTip(), "Orvelle · 未在上班");  // the end shows at once
}

}  // namespace
}  // namespace orvelle
