#pragma once

#include <functional>
#include <memory>

#include "platform/api/Instant.h"

namespace orvelle {

// Why a wake timer fired.
enum class WakeReason {
    due,           // the instant it was set to has come
    clockChanged,  // the wall clock was set or the local time zone changed: whatever was computed
                   // from them may be stale
};

// A timer on the wall clock: it fires once at the instant it is set to (also when that instant
// passed during a suspend), and at once whenever the wall clock is set or the local time zone
// changes. Destroying it stops it, also from within its own callback.
class WakeTimer {
public:
    virtual ~WakeTimer() = default;

    // Fires once at `when`, or as soon as it can when `when` has passed; replaces any earlier
    // instant.
    virtual void wakeAt(Instant when) = 0;
    // Returns whether it fires at every change of the local time zone; where it cannot tell of
    // one, whoever keeps what the zone decides must look at the zone again at each wake.
    virtual bool reportsZoneChanges() const { return false; }
};

// Timers on the thread that owns the store (the GUI thread).
class Scheduler {
public:
    virtual ~Scheduler() = default;

    // Returns a timer that calls `callback` with the reason whenever it fires.
    virtual std::unique_ptr<WakeTimer> wakeTimer(std::function<void(WakeReason)> callback) = 0;
};

}  // namespace orvelle
