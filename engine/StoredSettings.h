#pragma once

#include <optional>
#include <string>

#include "engine/SalaryMode.h"
#include "platform/api/PreferencesStore.h"

namespace orvelle {

// The salary settings as found in the preferences store; an empty member leaves the default.
struct StoredSettings {
    std::optional<SalaryMode> mode;
    std::optional<std::string> amountText;
    std::optional<int> endMinutes;  // 0 to 1439
    std::optional<double> workingDaysPerMonth;
};

// Reads the salary settings, migrating an earlier layout first. Each bad value falls back.
StoredSettings loadStoredSettings(PreferencesStore& defaults);

// Converts an end-of-work time kept as working hours from 09:00 into minutes after midnight,
// 541 to 1439; a value that is not a number gives 18:00.
int legacyEndMinutes(double workHours);

// Converts the earlier layout (hours from 09:00) into an end time, once, and drops its keys.
void migrateLegacyWorkHoursIfNeeded(PreferencesStore& defaults);

}  // namespace orvelle
