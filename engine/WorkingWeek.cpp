#include "engine/WorkingWeek.h"

#include <chrono>

#include "engine/HistorySummary.h"
#include "engine/PreferenceKeys.h"
#include "engine/WorkdayRules.h"

namespace orvelle {

namespace {

constexpr int kMinutesPerDay = 24 * 60;

// A list of weekday numbers, each 1 to 7, as a set of bits; nothing when any is out of range.
std::optional<std::uint8_t> weekdayBits(const IntegerList& numbers) {
    std::uint8_t bits = 0;
    for (const std::int64_t number : numbers) {
        if (number < 1 || number > 7) {
            return std::nullopt;
        }
        bits |= static_cast<std::uint8_t>(1U << (number - 1));
    }
    return bits;
}

IntegerList weekdayNumbers(std::uint8_t bits) {
    IntegerList numbers;
    for (int weekday = 1; weekday <= 7; ++weekday) {
        if ((bits >> (weekday - 1) & 1U) != 0) {
            numbers.push_back(weekday);
        }
    }
    return numbers;
}

// Only a whole number of minutes in the day counts: the key is new, and read strictly.
std::optional<int> minutesOfDay(const PreferencesStore& defaults, const char* key) {
    const auto stored = defaults.value(key);
    const auto* minutes = stored ? std::get_if<std::int64_t>(&*stored) : nullptr;
    if (minutes == nullptr || *minutes < 0 || *minutes >= kMinutesPerDay) {
        return std::nullopt;
    }
    return static_cast<int>(*minutes);
}

}  // namespace

bool WorkingWeek::isWorkday(std::string_view day) const {
    const auto date = dayOfKey(day);
    return date && isWorkday(static_cast<int>(std::chrono::weekday(*date).iso_encoding()));
}

WorkingWeek loadWorkingWeek(const PreferencesStore& defaults) {
    WorkingWeek week;
    week.overnight = defaults.flag(keys::overnight).value_or(false);
    if (const auto numbers = defaults.integers(keys::workdays)) {
        week.workdays = weekdayBits(*numbers).value_or(week.workdays);
    }
    week.autoStart = defaults.flag(keys::autoStartEnabled).value_or(false);
    week.autoStartMinutes =
        minutesOfDay(defaults, keys::autoStartMin).value_or(week.autoStartMinutes);
    week.showCountdown = defaults.flag(keys::showCountdown).value_or(false);
    return week;
}

void saveWorkingWeek(PreferencesStore& defaults, const WorkingWeek& week) {
    const WorkingWeek off;
    setUnlessDefault(defaults, keys::overnight, week.overnight, off.overnight);
    setUnlessDefault(defaults, keys::workdays, weekdayNumbers(week.workdays),
                     weekdayNumbers(off.workdays));
    setUnlessDefault(defaults, keys::autoStartEnabled, week.autoStart, off.autoStart);
    setUnlessDefault(defaults, keys::autoStartMin, std::int64_t{week.autoStartMinutes},
                     std::int64_t{off.autoStartMinutes});
    setUnlessDefault(defaults, keys::showCountdown, week.showCountdown, off.showCountdown);
}

}  // namespace orvelle
