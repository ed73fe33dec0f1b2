#include "engine/WorkdayRules.h"

#include <algorithm>
#include <string>

#include "engine/PreferenceKeys.h"

namespace orvelle {

namespace {

std::optional<int> storedMinutesOfDay(const PreferencesStore& defaults, const char* key) {
    if (!defaults.numberIfPresent(key)) {
        return std::nullopt;
    }
    return static_cast<int>(std::clamp<std::int64_t>(defaults.integer(key), 0, kLastMinuteOfDay));
}

std::optional<AfterEnd> afterEndFromRaw(std::string_view raw) {
    for (const AfterEnd choice : {AfterEnd::keepPaying, AfterEnd::stop, AfterEnd::overtime}) {
        if (raw == rawValue(choice)) {
            return choice;
        }
    }
    return std::nullopt;
}

}  // namespace

void setUnlessDefault(PreferencesStore& defaults, const char* key, PreferenceValue value,
                      const PreferenceValue& fallback) {
    if (value != fallback || defaults.contains(key)) {
        defaults.set(key, std::move(value));
    }
}

BreakProblem checkBreak(int startMinutes, int endMinutes, int endOfWorkMinutes) {
    if (endMinutes <= startMinutes) {
        return BreakProblem::endsBeforeStart;
    }
    if (startMinutes < endOfWorkMinutes && endOfWorkMinutes <= endMinutes) {
        return BreakProblem::coversEndOfWork;
    }
    return BreakProblem::none;
}

const char* rawValue(AfterEnd afterEnd) {
    switch (afterEnd) {
        case AfterEnd::stop:
            return "stop";
        case AfterEnd::overtime:
            return "overtime";
        case AfterEnd::keepPaying:
            break;
    }
    return "continue";
}

WorkdayRules loadWorkdayRules(const PreferencesStore& defaults) {
    WorkdayRules rules;
    rules.breakEnabled = defaults.flag(keys::breakEnabled).value_or(false);
    rules.breakStartMinutes =
        storedMinutesOfDay(defaults, keys::breakStartMin).value_or(rules.breakStartMinutes);
    rules.breakEndMinutes =
        storedMinutesOfDay(defaults, keys::breakEndMin).value_or(rules.breakEndMinutes);
    if (const auto raw = defaults.text(keys::afterEnd)) {
        rules.afterEnd = afterEndFromRaw(*raw).value_or(AfterEnd::keepPaying);
    }
    if (const auto rate = defaults.numberIfPresent(keys::overtimeRate);
        rate && std::ranges::find(kOvertimeRates, *rate) != std::end(kOvertimeRates)) {
        rules.overtimeRate = *rate;
    }
    rules.endNotice = defaults.flag(keys::endNotice).value_or(false);
    return rules;
}

void saveWorkdayRules(PreferencesStore& defaults, const WorkdayRules& rules) {
    const WorkdayRules off;
    setUnlessDefault(defaults, keys::breakEnabled, rules.breakEnabled, off.breakEnabled);
    setUnlessDefault(defaults, keys::breakStartMin, std::int64_t{rules.breakStartMinutes},
                     std::int64_t{off.breakStartMinutes});
    setUnlessDefault(defaults, keys::breakEndMin, std::int64_t{rules.breakEndMinutes},
                     std::int64_t{off.breakEndMinutes});
    setUnlessDefault(defaults, keys::afterEnd, std::string(rawValue(rules.afterEnd)),
                     std::string(rawValue(off.afterEnd)));
    setUnlessDefault(defaults, keys::overtimeRate, rules.overtimeRate, off.overtimeRate);
    setUnlessDefault(defaults, keys::endNotice, rules.endNotice, off.endNotice);
}

}  // namespace orvelle
