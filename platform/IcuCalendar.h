#pragma once

#include <memory>
#include <string>

#include "platform/Calendar.h"
#include "platform/TimeZoneSource.h"

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Calendar;
class SimpleDateFormat;
U_NAMESPACE_END

namespace orvelle {

// The Gregorian calendar of ICU in the zone that `zones` names at each call. The ICU calendar and
// day-key formatter are built again only when the zone changes: building a formatter costs tens of
// microseconds, far too much to repeat 20 times a second.
class IcuCalendar final : public Calendar {
public:
    explicit IcuCalendar(const TimeZoneSource& zones);
    ~IcuCalendar() override;

    std::string dayKey(Instant instant) const override;
    TimeOfDay timeOfDay(Instant instant) const override;
    std::optional<Instant> atLocalTime(Instant day, int hour, int minute) const override;
    std::optional<Instant> oneDayLater(Instant instant) const override;

private:
    icu::Calendar& calendarAt(Instant instant) const;

    const TimeZoneSource& zones_;
    mutable std::string zoneId_;
    mutable std::unique_ptr<icu::Calendar> calendar_;
    mutable std::unique_ptr<icu::SimpleDateFormat> dayFormat_;
};

}  // namespace orvelle
