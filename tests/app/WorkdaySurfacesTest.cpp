#include <gtest/gtest.h>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/AppDelegate.h"
#include "app/FloatingPanel.h"
#include "app/SettingsWindow.h"
#include "app/StatusReport.h"
#include "app/TrayIcon.h"
#include "fakes/DelegateFixture.h"
#include "platform/api/InertScheduler.h"
#include "views/FloatingAmountView.h"

namespace orvelle {
namespace {

using WorkdaySurfacesTest = test::DelegateFixture;

// 5,000 a day from 09:00 to 18:00 with an unpaid hour at noon, seen at 19:00: every surface shows
// the same amount for each choice after the end of work, --status (a store built afresh from the
// saved settings) and what a screen reader reads of the capsule included, with the rate paid now;
// in privacy mode every one shows the one mask, the salary field too.
TEST_F(WorkdaySurfacesTest, EverySurfaceShowsTheSameAmount) {
    delegate.applicationDidFinishLaunching();
    delegate.openSettingsWindow();
    SalaryStore& store = *harness.store;
    const auto* capsule = delegate.floatingPanel()->findChild<FloatingAmountView*>();
    const auto* earned = delegate.settingsWindow()->findChild<QLabel*>("earnedAmount");
    const auto* salary = delegate.settingsWindow()->findChild<QLineEdit*>("amountField");
    const struct {
        AfterEnd afterEnd;
        const char *grouped, *waybarClass, *rateNow;
        bool privacy;
    } cases[] = {{AfterEnd::keepPaying, "5,625.00", "working", "0.1736", false},
                 {AfterEnd::stop, "5,000.00", "working", "0.0000", false},
                 {AfterEnd::overtime, "6,250.00", "overtime", "0.3472", false},
                 {AfterEnd::overtime, "•••.••", "private", "•.••••", true}};
    for (const auto& c : cases) {
        store.setPrivacy(c.privacy);
        WorkdayRules rules;
        rules.breakEnabled = true;
        rules.afterEnd = c.afterEnd;
        rules.overtimeRate = 2;
        store.setWorkday(rules);
        store.setAmountText("5000");
        store.saveSettings();
        harness.setLocal({2026, 3, 2, 9, 0});
        store.startWork();
        harness.setLocal({2026, 3, 2, 19, 0});
        harness.scheduler.tick();
        QCoreApplication::processEvents();
        EXPECT_EQ(capsule->amountLine(), QString("¥") + c.grouped);
        EXPECT_EQ(earned->text(), QString(c.grouped) + " 元");
        EXPECT_EQ(salary->text(), c.privacy ? "•••.••" : "5000");
        EXPECT_EQ(capsule->look() == CapsuleLook::overtime, c.afterEnd == AfterEnd::overtime);
        const QString state = c.afterEnd == AfterEnd::overtime ? "加班中" : "上班中";
        EXPECT_EQ(QAccessible::queryAccessibleInterface(const_cast<FloatingAmountView*>(capsule))
                      ->text(QAccessible::Name),
                  (c.privacy ? QString("今日收入已隐藏") : QString("今日收入 ¥") + c.grouped) +
                      "，" + state);
        InertScheduler inert;
        const SalaryStore relaunched(
            StoreServices{harness.preferences, harness.clock, harness.calendar, inert});
        const StatusReport status = StatusReport::of(relaunched);
        EXPECT_EQ(status.text, std::string("¥") + c.grouped);
        EXPECT_NE(status.render(StatusFormat::waybar).find(c.waybarClass), std::string::npos);
        // The tooltip follows at most once a second.
        const QString tip = QString("Orvelle · 今日收入 ¥") + c.grouped +
                            (c.afterEnd == AfterEnd::overtime ? " · 加班中" : "") + "\n" +
                            c.rateNow + " 元/秒";
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                harness.scheduler.tick();
                return delegate.trayIcon()->toolTip() == tip;
            },
            3000))
            << delegate.trayIcon()->toolTip().toStdString();
    }
}

}  // namespace
}  // namespace orvelle
