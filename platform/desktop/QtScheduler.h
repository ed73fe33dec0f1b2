#pragma once

#include "platform/api/Scheduler.h"

namespace orvelle {

// Timers on the Qt event loop of the GUI thread. Qt's timers keep firing while
// menus are open and windows are dragged, because those run nested event loops.
class QtScheduler final : public Scheduler {
public:
    std::unique_ptr<RepeatingTimer> scheduleRepeating(std::chrono::milliseconds interval,
                                                      std::function<void()> callback) override;
};

}  // namespace orvelle
