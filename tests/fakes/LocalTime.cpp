#include "fakes/StoreHarness.h"

#include <cmath>
#include <ctime>
#include <optional>

namespace orvelle::test {

namespace {

// A window wider than any offset change of a zone, whole skipped days included.
constexpr std::time_t kBeforeAnyJump = 2 * 86400;

bool readsAs(std::time_t instant, const std::tm& wall) {
    std::tm fields{};
    return ::localtime_r(&instant, &fields) != nullptr && fields.tm_year == wall.tm_year &&
           fields.tm_mon == wall.tm_mon && fields.tm_mday == wall.tm_mday &&
           fields.tm_hour == wall.tm_hour && fields.tm_min == wall.tm_min &&
           fields.tm_sec == wall.tm_sec;
}

long offsetAt(std::time_t instant) {
    std::tm fields{};
    ::localtime_r(&instant, &fields);
    return fields.tm_gmtoff;
}

// The C library's reading of `wall` in the zone in force, by mktime. Asked with tm_isdst -1,
// mktime settles on one instant even when the clocks were turned back over `wall`; asked as
// standard time and as daylight saving time, it gives each instant that reads as `wall`, and the
// earlier one is kept. A reading skipped by a jump forward is taken on the clock as it was before
// the jump, so that 02:30 in a jump from 02:00 to 03:00 is 03:30.
std::time_t instantOfWallClock(const std::tm& wall) {
    std::optional<std::time_t> first;
    std::time_t settled = 0;
    for (const int isDst : {-1, 0, 1}) {
        std::tm fields = wall;
        fields.tm_isdst = isDst;
        const std::time_t instant = std::mktime(&fields);
        if (isDst == -1) {
            settled = instant;
        }
        if (readsAs(instant, wall) && (!first || instant < *first)) {
            first = instant;
        }
    }
    if (first) {
        return *first;
    }
    std::tm fields = wall;
    return ::timegm(&fields) - offsetAt(settled - kBeforeAnyJump);
}

}  // namespace

Instant instantIn(const std::string& zoneId, const LocalDateTime& local) {
    const double whole = std::floor(local.second);
    std::tm wall{};
    wall.tm_year = local.year - 1900;
    wall.tm_mon = local.month - 1;
    wall.tm_mday = local.day;
    wall.tm_hour = local.hour;
    wall.tm_min = local.minute;
    wall.tm_sec = static_cast<int>(whole);
    std::time_t instant = 0;
    {
        const ScopedTimeZone zone(zoneId);
        ::tzset();
        instant = instantOfWallClock(wall);
    }
    ::tzset();  // the zone put back
    return Instant{static_cast<double>(instant) + (local.second - whole)};
}

}  // namespace orvelle::test
