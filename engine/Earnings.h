#pragma once

#include <optional>

#include "engine/SalaryMode.h"
#include "engine/WorkdayRules.h"
#include "platform/api/Calendar.h"

namespace orvelle {

// The shortest pay interval, in seconds; shorter ones count as this long.
inline constexpr double kMinimumPayIntervalSeconds = 60.0;
// The fewest working days a month can have in the pay computation; fewer count as this many.
inline constexpr double kMinimumWorkingDays = 0.01;

// Returns the next instant strictly after `start` whose local time of day is `endMinutes` after
// midnight: that time on the start's day if it is later, else on the next day.
Instant endInstant(const Calendar& calendar, Instant start, int endMinutes);

// Returns the length of the pay interval from `anchor` to `end`, never under one minute.
double payIntervalSeconds(Instant anchor, Instant end);

// A stretch of time, from `from` to `to`.
struct Span {
    Instant from;
    Instant to;
};

// Returns the break of `rules` on the local day of `day`, or nothing when there is none.
std::optional<Span> breakOnDayOf(const Calendar& calendar, Instant day, int breakStartMinutes,
                                 int breakEndMinutes);

// Returns the seconds from `from` to `to` that lie outside `unpaid`; negative, like the plain
// difference, when `to` is before `from`.
double paidSecondsBetween(Instant from, Instant to, std::optional<Span> unpaid);

// The settings that turn a pay interval into money per second.
struct PayTerms {
    SalaryMode mode = SalaryMode::daily;
    double amount = 0.0;  // already payable: finite and not negative
    double workingDaysPerMonth = 0.0;
};

// Returns the pay per second for one day's pay spread over `intervalSeconds`; 0 without interval.
double payRatePerSecond(const PayTerms& terms, std::optional<double> intervalSeconds);

// A session's pay interval: where it ends, the part of the break inside it, and its paid length
// (at least a minute).
struct PayInterval {
    Instant end;
    std::optional<Span> unpaid;
    double paidSeconds = 0.0;
};

// Returns the pay interval of a session anchored at `anchor`, with the end of work at
// `endMinutes` and the break of `rules` when it takes effect.
PayInterval payIntervalOf(const Calendar& calendar, Instant anchor, int endMinutes,
                          const WorkdayRules& rules);

// What a session has earned at an instant, whether its end of work has been reached, and whether
// the instant lies in the unpaid break; with the seconds paid so far and the part of the amount
// paid at the overtime rate, which the history keeps.
struct Earned {
    double amount = 0.0;
    bool pastEnd = false;
    bool inBreak = false;
    double paidSeconds = 0.0;
    double overtime = 0.0;
};

// Returns what a session that started at `sessionStart` has earned at `now`: its paid seconds at
// `rate`; past the end of work the rules decide whether they go on at that rate, stop, or go on
// at the overtime rate.
Earned earnedAt(const PayInterval& interval, Instant sessionStart, Instant now, double rate,
                const WorkdayRules& rules);

// Returns the first instant after `now` at which what a session shows can change with time alone:
// the amount reaching its next cent (it grows in straight lines between the session's start, the
// break's edges and the end of work, at the rate those give), the break beginning or ending, the
// end of work. Nothing when none comes: a session that earns nothing more.
std::optional<Instant> nextChange(const PayInterval& interval, Instant sessionStart, Instant now,
                                  double rate, const WorkdayRules& rules);

}  // namespace orvelle
