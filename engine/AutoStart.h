#pragma once

#include <memory>
#include <optional>

#include "engine/SalaryStore.h"

namespace orvelle {

// Starts work by itself, as the start button does, on the working days of the store's working
// week at its start time: at that time when no session is open, or at once, counted from that
// time, when the program starts later that day, before the end of work. Never on a rest day,
// never twice a day, never on a day on which a session was stopped by hand, and never for a day
// that has ended. It sleeps until the start time or the next midnight and lives beside the store
// in the program that shows the capsule, never in a status query.
class AutoStart {
public:
    // Watches `store`, which must outlive it, and starts work at once if that is due.
    AutoStart(SalaryStore& store, const Clock& clock, const Calendar& calendar,
              Scheduler& scheduler);

private:
    void check();
    std::optional<Instant> startToday(Instant now) const;
    void sleepUntil(Instant when);

    SalaryStore& store_;
    const Clock& clock_;
    const Calendar& calendar_;
    Scheduler& scheduler_;
    std::unique_ptr<WakeTimer> timer_;
    Subscription subscription_;
};

}  // namespace orvelle
