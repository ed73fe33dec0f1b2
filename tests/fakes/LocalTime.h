#pragma once

#include <string>

#include "platform/api/Instant.h"

namespace orvelle::test {

// A local date and time in a named zone, as the user would read it off a wall clock.
struct LocalDateTime {
    int year, month, day, hour, minute;
    double second = 0.0;
};

// Returns the instant of `local` in `zoneId`, as the C library reads local time: the first one
// when the time occurs twice, and for a time skipped when the clocks jumped forward, the time
// read on the clock as it was before the jump (02:30 in a jump from 02:00 to 03:00 is 03:30).
Instant instantIn(const std::string& zoneId, const LocalDateTime& local);

}  // namespace orvelle::test
