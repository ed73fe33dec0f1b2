#include "app/TrayMenu.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <QAction>
#include <QTemporaryDir>

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

    QTemporaryDir home;
    Autostart autostart{home.path().toStdString(), "io.github.orvelle.Orvelle", "/usr/bin/orvelle"};
    TrayMenu menu{delegate, *harness.store, autostart};
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
    EXPECT_EQ(tray->toolTip(), "Orvelle · 本段收入 ¥0.00");
    harness.clock.advance(16200);
    harness.scheduler.tick();  // less than a second of real time since the last update
    EXPECT_EQ(tray->toolTip(), "Orvelle · 本段收入 ¥0.00");
    harness.store->stopWork();
    EXPECT_EQ(tray->toolTip(), "Orvelle · 未在上班");  // the end shows at once
}

TEST(TrayToolTipTest, ShowsTheAmountAsTheCapsuleDoes) {
    EXPECT_EQ(TrayIcon::toolTipText(true, 1234.56), "Orvelle · 本段收入 ¥1,234.56");
    EXPECT_EQ(TrayIcon::toolTipText(true, 1234567.004), "Orvelle · 本段收入 ¥1,234,567.00");
    EXPECT_EQ(TrayIcon::toolTipText(false, 1234.56), "Orvelle · 未在上班");
}

}  // namespace
}  // namespace orvelle
