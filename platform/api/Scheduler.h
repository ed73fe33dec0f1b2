#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace orvelle {

// A running repeating timer; destroying it stops it as well, also from within its own callback.
class RepeatingTimer {
public:
    virtual ~RepeatingTimer() = default;

    // Stops the timer; it never fires again.
    virtual void invalidate() = 0;
};

// Timers on the thread that owns the store (the GUI thread).
class Scheduler {
public:
    virtual ~Scheduler() = default;

    // Starts a timer that runs `callback` every `interval` until invalidated or destroyed.
    virtual std::unique_ptr<RepeatingTimer> scheduleRepeating(std::chrono::milliseconds interval,
                                                              std::function<void()> callback) = 0;
};

}  // namespace orvelle
