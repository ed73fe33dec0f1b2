#pragma once

#include <deque>
#include <memory>
#include <vector>

#include "platform/Scheduler.h"

namespace orvelle::test {

// A scheduler whose timers fire and whose posted work runs only when the test says so.
class ManualScheduler final : public Scheduler {
public:
    std::unique_ptr<RepeatingTimer> scheduleRepeating(std::chrono::milliseconds interval,
                                                      std::function<void()> callback) override;
    void post(std::function<void()> work) override { posted_.push_back(std::move(work)); }

    // Fires every live timer once; their posted work waits for runPosted().
    void fireTimers();
    // Runs the posted work in order, including work posted while it runs.
    void runPosted();
    // Fires the timers once and runs what they posted: one turn of a 20 Hz tick.
    void tick() {
        fireTimers();
        runPosted();
    }
    // Returns how many timers are running.
    int liveTimers() const;
    // Returns the interval the newest timer was started with.
    std::chrono::milliseconds lastInterval() const { return lastInterval_; }
    size_t pendingPosts() const { return posted_.size(); }

private:
    struct Slot {
        std::function<void()> callback;
        bool live = true;
    };
    class Timer;
    std::vector<std::shared_ptr<Slot>> slots_;
    std::deque<std::function<void()>> posted_;
    std::chrono::milliseconds lastInterval_{0};
};

}  // namespace orvelle::test
