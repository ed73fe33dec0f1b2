#include "fakes/StoreHarness.h"

#include <cmath>
#include <memory>

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

namespace orvelle::test {

Instant instantIn(const std::string& zoneId, const LocalDateTime& local) {
    UErrorCode status = U_ZERO_ERROR;
    icu::GregorianCalendar calendar(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zoneId)), status);
    calendar.setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    calendar.clear();
    const double whole = std::floor(local.second);
    calendar.set(local.year, local.month - 1, local.day, local.hour, local.minute,
                 static_cast<int>(whole));
    const UDate millis = calendar.getTime(status);
    return Instant{millis / 1000.0 + (local.second - whole)};
}

}  // namespace orvelle::test
