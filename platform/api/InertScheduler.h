#pragma once

#include "platform/api/Scheduler.h"

namespace orvelle {

// A scheduler whose timers never fire and whose deferred work never runs: for computing the
// store's state once, at one instant, without an event loop.
class InertScheduler final : public Scheduler {
public:
    std::unique_ptr<RepeatingTimer> scheduleRepeating(std::chrono::milliseconds,
                                                      std::function<void()>) override {
        return std::make_unique<InertTimer>();
    }

private:
    struct InertTimer final : RepeatingTimer {
        void invalidate() override {}
    };
};

}  // namespace orvelle
