#pragma once

#include "platform/api/Instant.h"

namespace orvelle {

// A kernel timer on the wall clock (a timerfd on CLOCK_REALTIME): it fires at an absolute instant,
// also when that instant passed during a suspend, and reports when the wall clock is set, so that
// a sleep until the next instant something shown changes is never led astray by a clock step.
class WallClockTimer {
public:
    // What happened since the last look.
    enum class Event { none, due, clockSet };

    WallClockTimer();
    ~WallClockTimer();
    WallClockTimer(const WallClockTimer&) = delete;
    WallClockTimer& operator=(const WallClockTimer&) = delete;

    // Returns the descriptor that becomes readable when something happened; -1 without a timer.
    int fd() const { return fd_; }
    // Sets the timer to fire at `when`, replacing any earlier instant.
    void arm(Instant when);
    // Returns what happened, and clears it; call when fd() is readable.
    Event take();

private:
    int fd_ = -1;
};

}  // namespace orvelle
