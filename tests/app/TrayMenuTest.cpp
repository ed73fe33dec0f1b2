#include "app/TrayMenu.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <QAction>

#include "app/AppDelegate.h"
#include "app/FloatingPanel.h"
#include "app/SettingsWindow.h"
#include "app/TrayIcon.h"
#include "engine/PreferenceKeys.h"
#include "fakes/DelegateFixture.h"

namespace orvelle {
namespace {

std::filesystem::path temporaryFolder(std::string pattern) {
    return ::mkdtemp(pattern.data());
}

class TrayMenuTest : public test::DelegateFixture {
protected:
    TrayMenuTest() {
        delegate.applicationDidFinishLaunching();
        menu = std::make_unique<TrayMenu>(delegate, *harness.store, autostart);
    }
    ~TrayMenuTest() override { std::filesystem::remove_all(home); }

    QAction* action(const QString& text) {
        for (QAction* a : menu->actions()) {
            if (a->text() == text) {
                return a;
            }
        }
        ADD_FAILURE() << "no menu item " << text.toStdString();
        return nullptr;
    }

    std::filesystem::path home = temporaryFolder("/tmp/orvelle-tray-XXXXXX");
    Autostart autostart{home, "io.github.orvelle.Orvelle", "/usr/bin/orvelle"};
    std::unique_ptr<TrayMenu> menu;
};

TEST_F(TrayMenuTest, OffersItsItemsInOrder) {
    QStringList titles;
    for (QAction* a : menu->actions()) {
        titles << (a->isSeparator() ? "-" : a->text());
    }
    EXPECT_EQ(titles, (QStringList{"打开设置", "开始上班", "重置位置", "开机自启", "-", "退出"}));
}

TEST_F(TrayMenuTest, StartSavesFirstAndStopOnlyStops) {
    harness.store->setAmountText("800");
    action("开始上班")->trigger();
    EXPECT_TRUE(harness.store->isWorking());
    EXPECT_EQ(harness.preferences.number(keys::amount), 800);
    menu->refresh();
    harness.store->setAmountText("900");
    action("结束上班")->trigger();
    EXPECT_FALSE(harness.store->isWorking());
    EXPECT_EQ(harness.preferences.number(keys::amount), 800);
}

TEST_F(TrayMenuTest, OpensSettingsAndResetsThePanel) {
    action("打开设置")->trigger();
    ASSERT_NE(delegate.settingsWindow(), nullptr);
    EXPECT_TRUE(delegate.settingsWindow()->isVisible());
    const QPoint start = delegate.floatingPanel()->pos();
    delegate.floatingPanel()->move(20, 600);
    action("重置位置")->trigger();
    EXPECT_EQ(delegate.floatingPanel()->pos(), start);
}

TEST_F(TrayMenuTest, AutostartItemWritesAndRemovesTheEntry) {
    QAction* item = action("开机自启");
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(std::filesystem::exists(autostart.entry()));
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(std::filesystem::exists(autostart.entry()));
}

TEST_F(TrayMenuTest, TrayToolTipFollowsTheSessionAtMostOnceASecond) {
    TrayIcon* tray = delegate.trayIcon();
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->toolTip(), "Orvelle · 未在上班");
    harness.store->startWork();
    EXPECT_EQ(tray->toolTip(), "Orvelle · 本段收入 0.00 元");
    harness.clock.advance(16200);
    harness.scheduler.tick();  // less than a second of real time since the last update
    EXPECT_EQ(tray->toolTip(), "Orvelle · 本段收入 0.00 元");
    harness.store->stopWork();
    EXPECT_EQ(tray->toolTip(), "Orvelle · 未在上班");  // the end shows at once
}

}  // namespace
}  // namespace orvelle
