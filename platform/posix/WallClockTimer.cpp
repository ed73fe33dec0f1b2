#include "platform/posix/WallClockTimer.h"

#include <sys/timerfd.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>

namespace orvelle {

WallClockTimer::WallClockTimer()
    : fd_(::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC)) {}

WallClockTimer::~WallClockTimer() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void WallClockTimer::arm(Instant when) {
    // An instant at or before the epoch would disarm the timer: the earliest one fires at once.
    const double seconds = std::max(when.secondsSince1970, 1e-9);
    const double whole = std::floor(seconds);
    itimerspec spec{};
    spec.it_value.tv_sec = static_cast<time_t>(whole);
    spec.it_value.tv_nsec = static_cast<long>((seconds - whole) * 1e9);
    if (spec.it_value.tv_nsec == 0 && spec.it_value.tv_sec == 0) {
        spec.it_value.tv_nsec = 1;
    }
    ::timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &spec, nullptr);
}

WallClockTimer::Event WallClockTimer::take() {
    std::uint64_t expirations = 0;
    const ssize_t length = ::read(fd_, &expirations, sizeof expirations);
    if (length == sizeof expirations) {
        return Event::due;
    }
    // A timer set with TFD_TIMER_CANCEL_ON_SET is cancelled by a step of the clock.
    return length < 0 && errno == ECANCELED ? Event::clockSet : Event::none;
}

}  // namespace orvelle
