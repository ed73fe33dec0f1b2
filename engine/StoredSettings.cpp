#include "engine/StoredSettings.h"

#include <algorithm>
#include <cmath>

#include "engine/AmountText.h"
#include "engine/PreferenceKeys.h"
#include "engine/WorkdayRules.h"

namespace orvelle {

namespace {

constexpr int kDefaultEndMinutes = 18 * 60;
// The earlier layout counted working hours from 09:00; an end at 09:00 itself would make an empty
// day, so the earliest end it converts to is 09:01.
constexpr int kLegacyDayStartMinutes = 540;
constexpr int kLegacyEarliestEnd = 541;

}  // namespace

int legacyEndMinutes(double workHours) {
    const double minutes = std::round(workHours * 60.0) + kLegacyDayStartMinutes;
    if (std::isnan(minutes)) {
        return kDefaultEndMinutes;
    }
    // Clamped while still a double, so that no out-of-range value is ever converted.
    const double upper = std::min(minutes, static_cast<double>(kLastMinuteOfDay));
    return static_cast<int>(std::max(upper, static_cast<double>(kLegacyEarliestEnd)));
}

void migrateLegacyWorkHoursIfNeeded(PreferencesStore& defaults) {
    if (!defaults.contains(keys::scheduleEndMin)) {
        const int minutes = defaults.contains(keys::legacyWorkHours)
                                ? legacyEndMinutes(defaults.number(keys::legacyWorkHours))
                                : kDefaultEndMinutes;
        defaults.set(keys::scheduleEndMin, std::int64_t{minutes});
        defaults.remove(keys::legacyWorkHours);
    }
    defaults.remove(keys::legacyScheduleStartMin);
}

StoredSettings loadStoredSettings(PreferencesStore& defaults) {
    StoredSettings settings;
    if (const auto raw = defaults.text(keys::mode)) {
        settings.mode = salaryModeFromRaw(*raw);
    }
    if (defaults.contains(keys::amount)) {
        settings.amountText = formatTwoDecimals(defaults.number(keys::amount));
    }
    migrateLegacyWorkHoursIfNeeded(defaults);
    if (defaults.contains(keys::scheduleEndMin)) {
        const std::int64_t stored = defaults.integer(keys::scheduleEndMin);
        settings.endMinutes =
            static_cast<int>(std::clamp<std::int64_t>(stored, 0, kLastMinuteOfDay));
    }
    if (defaults.contains(keys::workingDays)) {
        settings.workingDaysPerMonth = defaults.number(keys::workingDays);
    }
    return settings;
}

}  // namespace orvelle
