#include "platform/desktop/QtScheduler.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>

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
    QElapsedTimer waited;
    waited.start();
    while (firings == 0 && waited.elapsed() < 5000) {
        QCoreApplication::processEvents();
    }
    // Long enough for a timer left running to fire a few more times.
    const qint64 firedAt = waited.elapsed();
    while (waited.elapsed() < firedAt + 20) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(firings, 1);
    EXPECT_EQ(timer, nullptr);
}

}  // namespace
}  // namespace orvelle
