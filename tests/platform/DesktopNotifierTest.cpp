#include "platform/desktop/DesktopNotifier.h"

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
    EXPECT_EQ(std::ranges::count(diagnostics.str(), '\n'), 1) << diagnostics.str();
    EXPECT_TRUE(diagnostics.str().starts_with("orvelle: 无法显示桌面通知（")) << diagnostics.str();
}

}  // namespace
}  // namespace orvelle
