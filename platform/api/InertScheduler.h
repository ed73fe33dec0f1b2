#pragma once

#include "platform/api/Scheduler.h"

namespace orvelle {

// A scheduler whose timers never fire: for computing the store's state once, at one instant,
// without an event loop.
class InertScheduler final : public Scheduler {
public:
    std::unique_ptr<WakeTimer> wakeTimer(std::function<void(WakeReason)>) override {
        return std::make_unique<InertTimer>();
    }

private:
    struct InertTimer final : WakeTimer {
        void wakeAt(Instant) override {}
    };
};

}  // namespace orvelle
