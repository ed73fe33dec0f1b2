#include "platform/IcuCalendar.h"

#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

namespace orvelle {

namespace {

UDate toUDate(Instant instant) {
    return instant.secondsSince1970 * 1000.0;
}

Instant fromUDate(UDate date) {
    return Instant{date / 1000.0};
}

}  // namespace

IcuCalendar::IcuCalendar(const TimeZoneSource& zones) : zones_(zones) {}

IcuCalendar::~IcuCalendar() = default;

icu::Calendar& IcuCalendar::calendarAt(Instant instant) const {
    std::string zoneId = zones_.currentZoneId();
    if (!calendar_ || zoneId != zoneId_) {
        UErrorCode status = U_ZERO_ERROR;
        icu::TimeZone* zone = icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zoneId));
        auto calendar = std::make_unique<icu::GregorianCalendar>(zone, status);
        if (U_FAILURE(status)) {
            calendar =
                std::make_unique<icu::GregorianCalendar>(icu::TimeZone::getGMT()->clone(), status);
        }
        calendar->setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
        calendar->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
        // The POSIX locale keeps the key in ASCII digits whatever the user's language.
        status = U_ZERO_ERROR;
        auto format = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString("yyyy-MM-dd"),
                                                              icu::Locale("en_US_POSIX"), status);
        format->setCalendar(*calendar);
        calendar_ = std::move(calendar);
        dayFormat_ = std::move(format);
        zoneId_ = std::move(zoneId);
    }
    UErrorCode status = U_ZERO_ERROR;
    calendar_->setTime(toUDate(instant), status);
    return *calendar_;
}

std::string IcuCalendar::dayKey(Instant instant) const {
    calendarAt(instant);
    icu::UnicodeString text;
    dayFormat_->format(toUDate(instant), text);
    std::string key;
    text.toUTF8String(key);
    return key;
}

TimeOfDay IcuCalendar::timeOfDay(Instant instant) const {
    icu::Calendar& calendar = calendarAt(instant);
    UErrorCode status = U_ZERO_ERROR;
    const int hour = calendar.get(UCAL_HOUR_OF_DAY, status);
    const int minute = calendar.get(UCAL_MINUTE, status);
    // A component the calendar cannot give counts as 0.
    return U_FAILURE(status) ? TimeOfDay{} : TimeOfDay{hour, minute};
}

std::optional<Instant> IcuCalendar::atLocalTime(Instant day, int hour, int minute) const {
    icu::Calendar& calendar = calendarAt(day);
    calendar.set(UCAL_HOUR_OF_DAY, hour);
    calendar.set(UCAL_MINUTE, minute);
    calendar.set(UCAL_SECOND, 0);
    calendar.set(UCAL_MILLISECOND, 0);
    UErrorCode status = U_ZERO_ERROR;
    const UDate result = calendar.getTime(status);
    return U_FAILURE(status) ? std::nullopt : std::optional(fromUDate(result));
}

std::optional<Instant> IcuCalendar::oneDayLater(Instant instant) const {
    icu::Calendar& calendar = calendarAt(instant);
    UErrorCode status = U_ZERO_ERROR;
    calendar.add(UCAL_DATE, 1, status);
    const UDate result = calendar.getTime(status);
    return U_FAILURE(status) ? std::nullopt : std::optional(fromUDate(result));
}

}  // namespace orvelle
