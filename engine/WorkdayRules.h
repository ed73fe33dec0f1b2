#pragma once

#include <optional>
#include <string_view>

#include "platform/api/PreferencesStore.h"

namespace orvelle {

// What the pay does once the session's end of work is reached.
enum class AfterEnd {
    keepPaying,  // it goes on at the same rate until the session ends
    stop,        // it stays at the pay of the interval
    overtime,    // it goes on at the rate times the overtime multiplier
};

// The last minute of a day, as minutes after local midnight: every time of day the settings hold
// (the end of work, the break) lies from 0 to it.
inline constexpr int kLastMinuteOfDay = 24 * 60 - 1;

// The overtime multipliers on offer; a stored value that is none of them reads as the first.
inline constexpr double kOvertimeRates[] = {1.5, 2.0, 3.0};

// The rules that shape a working day beyond the even spread of one day's pay. Each is off by
// default, and with all of them off every amount is the even spread.
struct WorkdayRules {
    bool breakEnabled = false;
    int breakStartMinutes = 12 * 60;  // minutes after local midnight, like the end of work
    int breakEndMinutes = 13 * 60;
    AfterEnd afterEnd = AfterEnd::keepPaying;
    double overtimeRate = kOvertimeRates[0];
    bool endNotice = false;

    bool operator==(const WorkdayRules&) const = default;

    // Whether the break takes effect with the end of work at `endOfWorkMinutes`: switched on,
    // and neither ending before it starts nor covering the end of work. A break that would leave
    // a session no paid time is ignored as a whole, wherever it came from (the window refuses
    // it, but a hand-edited file or a later end of work can still bring it about).
    bool breakTakesEffect(int endOfWorkMinutes) const;
};

// Why a break cannot be taken into the settings.
enum class BreakProblem {
    none,
    endsBeforeStart,  // its end is not after its start
    coversEndOfWork,  // a session started in it would have no paid time before the end of work
};

// Checks a break from `startMinutes` to `endMinutes` against the end of work.
BreakProblem checkBreak(int startMinutes, int endMinutes, int endOfWorkMinutes);

inline bool WorkdayRules::breakTakesEffect(int endOfWorkMinutes) const {
    return breakEnabled &&
           checkBreak(breakStartMinutes, breakEndMinutes, endOfWorkMinutes) == BreakProblem::none;
}

// Stores `value` under `key` unless it is `fallback` and nothing is stored there yet: a setting
// the user never changed adds no key to the file.
void setUnlessDefault(PreferencesStore& defaults, const char* key, PreferenceValue value,
                      const PreferenceValue& fallback);

// Returns the stored text of `afterEnd`: "continue", "stop" or "overtime".
const char* rawValue(AfterEnd afterEnd);

// Reads the rules; a key that is absent or holds something unusable leaves its default.
WorkdayRules loadWorkdayRules(const PreferencesStore& defaults);

// Writes each rule that differs from its default or is stored already, so that a user who never
// touches them finds no new key in the file.
void saveWorkdayRules(PreferencesStore& defaults, const WorkdayRules& rules);

}  // namespace orvelle
