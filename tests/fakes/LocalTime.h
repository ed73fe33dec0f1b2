#pragma once

#include <string>

#include "platform/api/Instant.h"

namespace orvelle::test {

// A local date and time in a named zone, as the user would read it off a wall clock.
struct LocalDateTime {
    int year, month, day, hour, minute;
    double second = 0.0;
};

// Returns the instant of `local` in `zoneId` (the first one when the time occurs twice).
Instant instantIn(const std::string& zoneId, const LocalDateTime& local);

}  // namespace orvelle::test
