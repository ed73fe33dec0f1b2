#include "platform/desktop/QtScheduler.h"

#include <gtest/gtest.h>
#include <QTest>

#include "platform/posix/SystemClock.h"

namespace orvelle {
namespace {

Instant secondsFromNow(double seconds) {
    return Instant{SystemClock().now().secondsSince1970 + seconds};
}

// The timer fires at the wall-clock instant it is set to, not before, and each setting replaces
// the one before; an instant already past fires at once.
TEST(QtScheduler, FiresAtTheInstantItIsSetTo) {
    QtScheduler scheduler;
    std::vector<std::pair<WakeReason, Instant>> firings;
    auto timer = scheduler.wakeTimer(
        [&](WakeReason reason) { firings.emplace_back(reason, SystemClock().now()); });
    timer->wakeAt(secondsFromNow(3600));
    const Instant due = secondsFromNow(0.1);
    timer->wakeAt(due);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !firings.empty(); }, 5000));
    EXPECT_EQ(firings[0].first, WakeReason::due);
    EXPECT_FALSE(firings[0].second < due);
    timer->wakeAt(secondsFromNow(-10));
    EXPECT_TRUE(QTest::qWaitFor([&] { return firings.size() == 2; }, 5000));
    EXPECT_FALSE(QTest::qWaitFor([&] { return firings.size() > 2; }, 50));
}

// A day change stops the tick from within the tick's own callback: the timer must survive being
// destroyed there (run under AddressSanitizer in the sanitizer build) and never fire again.
TEST(QtScheduler, ATimerDestroyedInItsOwnCallbackStopsCleanly) {
    QtScheduler scheduler;
    std::unique_ptr<WakeTimer> timer;
    int firings = 0;
    timer = scheduler.wakeTimer([&](WakeReason) {
        ++firings;
        timer.reset();
    });
    timer->wakeAt(secondsFromNow(0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return firings > 0; }, 5000));
    EXPECT_FALSE(QTest::qWaitFor([&] { return firings > 1; }, 20));
}

}  // namespace
}  // namespace orvelle
