#pragma once

#include <chrono>
#include <ctime>
#include <optional>
#include <string>

#include "platform/api/Calendar.h"
#include "platform/posix/ZoneFileWatch.h"

namespace orvelle {

// The Gregorian calendar of the process's local time zone, exactly as the C library's
// localtime_r and mktime see it: whatever $TZ holds (a zone name, a POSIX rule such as "CST-8" or
// "EST5EDT,M3.2.0,M11.1.0", a path to a zone file) or, without it, /etc/localtime, be it a link or
// a copy. The C library reads a changed setting only when asked to, so the zone is read again when
// $TZ changes; the zone file is looked at once per `recheckInterval` at most, through the kernel's
// report of a change of /etc/localtime where it gives one, else by the C library's own check.
// Either way a change takes effect at the next call after it. The day of the last call is kept
// until its midnight or the next reading of the zone: it is asked for at every tick.
class SystemCalendar final : public Calendar {
public:
    explicit SystemCalendar(
        std::chrono::steady_clock::duration recheckInterval = std::chrono::milliseconds(10));

    std::string dayKey(Instant instant) const override;
    std::optional<Instant> atLocalTime(Instant day, int hour, int minute) const override;
    std::optional<Instant> oneDayLater(Instant instant) const override;

private:
    struct LocalTime;
    // The local day an earlier call found: its key, from its first instant up to its last.
    struct Day {
        std::string key;
        double from;
        double until;
    };
    std::optional<LocalTime> local(Instant instant) const;
    void rereadZoneIfDue() const;
    static std::optional<Day> dayOf(const char* key, const std::tm& date);

    std::chrono::steady_clock::duration recheckInterval_;
    mutable ZoneFileWatch zoneFile_;
    mutable std::optional<std::chrono::steady_clock::time_point> lastChecked_;
    mutable std::optional<std::string> tzRead_;  // $TZ at the last reading; nothing when unset
    mutable std::optional<Day> day_;             // forgotten whenever the zone is read again
};

}  // namespace orvelle
