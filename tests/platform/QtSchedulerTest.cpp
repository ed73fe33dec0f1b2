#include "platform/desktop/QtScheduler.h"

#include <gtest/gtest.h>
#include <QTest>

namespace orvelle {
namespace {

// A day change stops the tick from within the tick's own callback: the timer must survive being
// destroyed there (run under AddressSanitizer in the sanitizer build) and never fire again.
TEST(QtScheduler, ATimerDestroyedInItsOwnCallbackStopsCleanly) {
    QtScheduler scheduler;
    std::unique_ptr<RepeatingTimer> timer;
    int firings = 0;
    timer = scheduler.scheduleRepeating(std::chrono::milliseconds(1), [&] {
        ++firings;
        timer.reset();
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return firings > 0; }, 5000));
    // Long enough for a timer left running to fire a few more times.
    EXPECT_FALSE(QTest::qWaitFor([&] { return firings > 1; }, 20));
    EXPECT_EQ(timer, nullptr);
}

}  // namespace
}  // namespace orvelle
