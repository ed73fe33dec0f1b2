#pragma once

#include <optional>
#include <string>

#include "platform/api/Instant.h"

namespace orvelle {

// Gregorian calendar arithmetic in the time zone that is current at the moment of each call.
class Calendar {
public:
    virtual ~Calendar() = default;

    // Returns the "yyyy-MM-dd" key of the local calendar day of `instant`, in ASCII digits.
    virtual std::string dayKey(Instant instant) const = 0;

    // Returns the instant on the local day of `day` at hour:minute:00; a skipped local time gives
    // the next existing time, a repeated one its first occurrence. Empty if it cannot be built.
    virtual std::optional<Instant> atLocalTime(Instant day, int hour, int minute) const = 0;

    // Returns the same local time one calendar day after `instant`, or nothing.
    virtual std::optional<Instant> oneDayLater(Instant instant) const = 0;
};

}  // namespace orvelle
