#pragma once

#include <compare>

namespace orvelle {

// A point in time as seconds since 1970-01-01 00:00:00 UTC, fractions kept. This is also the form
// in which instants are persisted, so no conversion is ever lossy.
struct Instant {
    double secondsSince1970 = 0.0;

    auto operator<=>(const Instant&) const = default;
};

// Returns the seconds from `earlier` to `later`; negative when `earlier` is the later one.
inline double secondsBetween(Instant later, Instant earlier) {
    return later.secondsSince1970 - earlier.secondsSince1970;
}

}  // namespace orvelle
