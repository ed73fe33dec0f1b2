#pragma once

#include "platform/api/Scheduler.h"

namespace orvelle {

// Wake timers on the Qt event loop of the GUI thread, on the kernel's wall-clock timer: they fire
// at their instant (also one that passed during a suspend), at once when the wall clock is set,
// and when the system's time zone file changes. They keep firing while menus are open and windows
// are dragged, because those run nested event loops.
class QtScheduler final : public Scheduler {
public:
    std::unique_ptr<WakeTimer> wakeTimer(std::function<void(WakeReason)> callback) override;
};

}  // namespace orvelle
