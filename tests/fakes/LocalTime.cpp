#include "fakes/StoreHarness.h"

#include <cmath>
#include <ctime>

namespace orvelle::test {

Instant instantIn(const std::string& zoneId, const LocalDateTime& local) {
    const double whole = std::floor(local.second);
    std::tm wall{};
    wall.tm_year = local.year - 1900;
    wall.tm_mon = local.month - 1;
    wall.tm_mday = local.day;
    wall.tm_hour = local.hour;
    wall.tm_min = local.minute;
    wall.tm_sec = static_cast<int>(whole);
    wall.tm_isdst = -1;  // whichever is in force then
    std::time_t instant = 0;
    {
        const ScopedTimeZone zone(zoneId);
        ::tzset();
        instant = std::mktime(&wall);
    }
    ::tzset();  // the zone put back
    return Instant{static_cast<double>(instant) + (local.second - whole)};
}

}  // namespace orvelle::test
