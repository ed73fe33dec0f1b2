#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/api/Calendar.h"
#include "platform/api/PreferencesStore.h"

namespace orvelle {

// The settings of the working week: shifts that cross midnight, which weekdays are working days,
// work that starts by itself, and the time left shown on the capsule. Each is off by default
// (Monday to Friday are the working days), and with all of them so every amount and every
// behaviour is that of the plain working day.
struct WorkingWeek {
    // Monday to Friday: one bit per weekday, Monday in the lowest.
    static constexpr std::uint8_t kMondayToFriday = 0b0011111;

    bool overnight = false;
    std::uint8_t workdays = kMondayToFriday;
    bool autoStart = false;
    int autoStartMinutes = 9 * 60;  // minutes after local midnight, like the end of work
    bool showCountdown = false;

    bool operator==(const WorkingWeek&) const = default;

    // Whether the weekday numbered `isoWeekday` (Monday = 1 to Sunday = 7) is a working day.
    bool isWorkday(int isoWeekday) const {
        return isoWeekday >= 1 && isoWeekday <= 7 && (workdays >> (isoWeekday - 1) & 1U) != 0;
    }
    // Whether the day of the "yyyy-MM-dd" key `day` is a working day; false when it is no day.
    bool isWorkday(std::string_view day) const;
    // Returns the automatic start time on the local day of `day`; nothing if it cannot be built.
    std::optional<Instant> autoStartOn(const Calendar& calendar, Instant day) const {
        return calendar.atLocalTime(day, autoStartMinutes / 60, autoStartMinutes % 60);
    }
};

// Reads the working week strictly: a key that is absent or holds a value of the wrong type or out
// of range leaves its default.
WorkingWeek loadWorkingWeek(const PreferencesStore& defaults);

// Writes each setting that differs from its default or is stored already.
void saveWorkingWeek(PreferencesStore& defaults, const WorkingWeek& week);

}  // namespace orvelle
