#include "platform/posix/SystemCalendar.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace orvelle {

namespace {

using Seconds = std::int64_t;

// Instants beyond this many seconds from 1970 (about 3 million years) have no local time here;
// the bound keeps every conversion to time_t defined.
constexpr double kLargestInstant = 1e14;
// Wide enough to look past any offset change of a zone, whole skipped days included.
constexpr Seconds kWindow = 2 * 86400;

std::optional<std::tm> brokenDown(Seconds seconds) {
    const auto time = static_cast<std::time_t>(seconds);
    std::tm fields{};
    if (::localtime_r(&time, &fields) == nullptr) {
        return std::nullopt;
    }
    return fields;
}

// The local wall-clock reading of an instant, as seconds counted as if local time were UTC.
std::optional<Seconds> wallClock(Seconds instant) {
    const auto fields = brokenDown(instant);
    if (!fields) {
        return std::nullopt;
    }
    return instant + fields->tm_gmtoff;
}

Seconds wallSeconds(int year, unsigned month, unsigned day, Seconds secondOfDay) {
    using namespace std::chrono;
    const sys_days date{std::chrono::year{year} / month / day};
    return date.time_since_epoch().count() * Seconds{86400} + secondOfDay;
}

// The instant whose wall-clock reading is `wall`: the first of two when the reading occurs twice,
// and the moment the clocks jumped when it falls into a gap that was skipped.
std::optional<Seconds> instantOfWallClock(Seconds wall) {
    std::vector<Seconds> offsets;
    for (const Seconds probe : {wall - kWindow, wall, wall + kWindow}) {
        if (const auto reading = wallClock(probe)) {
            offsets.push_back(*reading - probe);
        }
    }
    if (offsets.empty()) {
        return std::nullopt;
    }
    std::optional<Seconds> first;
    for (const Seconds offset : offsets) {
        const Seconds candidate = wall - offset;
        if (wallClock(candidate) == wall && (!first || candidate < *first)) {
            first = candidate;
        }
    }
    if (first) {
        return first;
    }
    // Skipped: the readings jump over `wall` at one instant between the two candidates. Find it.
    const auto [smallest, largest] = std::minmax_element(offsets.begin(), offsets.end());
    Seconds low = wall - *largest;    // reads before `wall`
    Seconds high = wall - *smallest;  // reads after it
    if (!(wallClock(low) < wall) || !(wallClock(high) > wall)) {
        return std::nullopt;
    }
    while (high - low > 1) {
        const Seconds middle = low + (high - low) / 2;
        const auto reading = wallClock(middle);
        if (!reading) {
            return std::nullopt;
        }
        (*reading < wall ? low : high) = middle;
    }
    return high;
}

}  // namespace

struct SystemCalendar::LocalTime {
    std::tm fields;
    double fraction;  // of a second, 0 <= fraction < 1
};

SystemCalendar::SystemCalendar(std::chrono::steady_clock::duration recheckInterval)
    : recheckInterval_(recheckInterval) {}

// A change of $TZ is seen at once; the zone file is looked at (through the watch, else through
// the C library) at most once per recheck interval.
void SystemCalendar::rereadZoneIfDue() const {
    const char* tz = std::getenv("TZ");
    const bool tzChanged = tz != nullptr ? tzRead_ != tz : tzRead_.has_value();
    const auto now = std::chrono::steady_clock::now();
    if (lastChecked_ && !tzChanged) {
        if (now - *lastChecked_ < recheckInterval_) {
            return;
        }
        lastChecked_ = now;
        // A zone named by $TZ may be a file of its own, which only the C library's check sees.
        if (zoneFile_.watching() && tz == nullptr && !zoneFile_.changed()) {
            return;
        }
    }
    lastChecked_ = now;
    day_.reset();
    tzRead_ = tz != nullptr ? std::optional<std::string>(tz) : std::nullopt;
    // Reads $TZ again, and /etc/localtime again if it changed since the last reading.
    ::tzset();
}

std::optional<SystemCalendar::LocalTime> SystemCalendar::local(Instant instant) const {
    const double seconds = instant.secondsSince1970;
    if (!(std::abs(seconds) < kLargestInstant)) {
        return std::nullopt;
    }
    rereadZoneIfDue();
    const double whole = std::floor(seconds);
    const auto fields = brokenDown(static_cast<Seconds>(whole));
    if (!fields) {
        return std::nullopt;
    }
    return LocalTime{*fields, seconds - whole};
}

std::string SystemCalendar::dayKey(Instant instant) const {
    const double seconds = instant.secondsSince1970;
    if (day_ && day_->from <= seconds && seconds < day_->until) {
        rereadZoneIfDue();  // which forgets the day when the zone may have changed
        if (day_) {
            return day_->key;
        }
    }
    const auto time = local(instant);
    if (!time) {
        return {};
    }
    const std::tm& date = time->fields;
    char key[32];
    std::snprintf(key, sizeof key, "%04d-%02d-%02d", date.tm_year + 1900, date.tm_mon + 1,
                  date.tm_mday);
    day_ = dayOf(key, date);
    return key;
}

// The day `date` lies on, from its first instant to the next day's, if it is kept: only a day of
// 24 hours at one offset from UTC is, since a day whose clocks change may have its hours in two
// pieces (where they fall back across midnight).
std::optional<SystemCalendar::Day> SystemCalendar::dayOf(const char* key, const std::tm& date) {
    const Seconds midnight =
        wallSeconds(date.tm_year + 1900, static_cast<unsigned>(date.tm_mon + 1),
                    static_cast<unsigned>(date.tm_mday), 0);
    const auto from = instantOfWallClock(midnight);
    const auto until = instantOfWallClock(midnight + 86400);
    if (!from || !until || *until - *from != 86400 || wallClock(*until - 1) != midnight + 86399) {
        return std::nullopt;
    }
    return Day{key, static_cast<double>(*from), static_cast<double>(*until)};
}

std::optional<Instant> SystemCalendar::atLocalTime(Instant day, int hour, int minute) const {
    const auto time = local(day);
    if (!time) {
        return std::nullopt;
    }
    const std::tm& date = time->fields;
    const auto instant = instantOfWallClock(
        wallSeconds(date.tm_year + 1900, static_cast<unsigned>(date.tm_mon + 1),
                    static_cast<unsigned>(date.tm_mday), Seconds{hour} * 3600 + minute * 60));
    return instant ? std::optional(Instant{static_cast<double>(*instant)}) : std::nullopt;
}

std::optional<Instant> SystemCalendar::oneDayLater(Instant instant) const {
    const auto time = local(instant);
    if (!time) {
        return std::nullopt;
    }
    const std::tm& at = time->fields;
    const Seconds secondOfDay = Seconds{at.tm_hour} * 3600 + at.tm_min * 60 + at.tm_sec;
    const auto later =
        instantOfWallClock(wallSeconds(at.tm_year + 1900, static_cast<unsigned>(at.tm_mon + 1),
                                       static_cast<unsigned>(at.tm_mday), secondOfDay) +
                           86400);
    return later ? std::optional(Instant{static_cast<double>(*later) + time->fraction})
                 : std::nullopt;
}

}  // namespace orvelle
