#pragma once

#include <memory>
#include <vector>

#include "platform/api/Scheduler.h"

namespace orvelle::test {

// A scheduler whose timers fire only when the test says so.
class ManualScheduler final : public Scheduler {
public:
    std::unique_ptr<RepeatingTimer> scheduleRepeating(std::chrono::milliseconds interval,
                                                      std::function<void()> callback) override;

    // Fires every live timer once: one turn of a 20 Hz tick.
    void tick();
    // Returns how many timers are running.
    int liveTimers() const;
    // Returns the interval the newest timer was started with.
    std::chrono::milliseconds lastInterval() const { return lastInterval_; }

private:
    struct Slot {
        std::function<void()> callback;
        bool live = true;
    };
    class Timer;
    std::vector<std::shared_ptr<Slot>> slots_;
    std::chrono::milliseconds lastInterval_{0};
};

}  // namespace orvelle::test
