#include "platform/DesktopNotifier.h"

#include <sstream>

#include <gtest/gtest.h>
#include <QTest>

namespace orvelle {
namespace {

// Without a session bus nothing is shown, and that is said once, not at every end of day.
TEST(DesktopNotifier, WithoutASessionBusIsSaidOnce) {
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/orvelle-test-bus");
    std::ostringstream diagnostics;
    DesktopNotifier notifier("io.github.orvelle.Orvelle", diagnostics);
    notifier.notify("Orvelle · 下班啦", "今日工资已到手：¥500.00");
    notifier.notify("Orvelle · 下班啦", "今日工资已到手：¥500.00");
    EXPECT_TRUE(QTest::qWaitFor([&] { return notifier.failures() == 2; }, 5000));
    EXPECT_EQ(notifier.delivered(), 0);
    const std::string said = diagnostics.str();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(said.rfind("orvelle: 无法显示桌面通知（", 0), 0U) << said;
}

// Run by notify/notification-e2e.sh on a private session bus with a notification daemon, which
// then checks that the daemon shows what was sent.
TEST(DesktopNotifier, ReachesTheRunningService) {
    if (qEnvironmentVariableIsEmpty("ORVELLE_NOTIFICATION_SERVICE")) {
        GTEST_SKIP() << "needs a notification service on a private bus (notification-e2e.sh)";
    }
    std::ostringstream diagnostics;
    DesktopNotifier notifier("io.github.orvelle.Orvelle", diagnostics);
    notifier.notify("Orvelle · 下班啦", "今日工资已到手：¥500.00");
    EXPECT_TRUE(QTest::qWaitFor([&] { return notifier.delivered() == 1; }, 10000));
    EXPECT_EQ(diagnostics.str(), "");
}

}  // namespace
}  // namespace orvelle
