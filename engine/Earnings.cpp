#include "engine/Earnings.h"

#include <algorithm>
#include <cmath>

namespace orvelle {

Instant endInstant(const Calendar& calendar, Instant start, int endMinutes) {
    const int hour = endMinutes / 60;
    const int minute = endMinutes - hour * 60;
    const Instant candidate = calendar.atLocalTime(start, hour, minute).value_or(start);
    if (start < candidate) {
        return candidate;
    }
    return calendar.oneDayLater(candidate).value_or(candidate);
}

double payIntervalSeconds(Instant anchor, Instant end) {
    return std::max(secondsBetween(end, anchor), kMinimumPayIntervalSeconds);
}

std::optional<Span> breakOnDayOf(const Calendar& calendar, Instant day, int breakStartMinutes,
                                 int breakEndMinutes) {
    const auto from = calendar.atLocalTime(day, breakStartMinutes / 60, breakStartMinutes % 60);
    const auto to = calendar.atLocalTime(day, breakEndMinutes / 60, breakEndMinutes % 60);
    if (!from || !to || !(*from < *to)) {
        return std::nullopt;
    }
    return Span{*from, *to};
}

double paidSecondsBetween(Instant from, Instant to, std::optional<Span> unpaid) {
    const double seconds = secondsBetween(to, from);
    if (!unpaid || seconds <= 0) {
        return seconds;
    }
    const Instant overlapFrom = std::max(from, unpaid->from);
    const Instant overlapTo = std::min(to, unpaid->to);
    return seconds - std::max(secondsBetween(overlapTo, overlapFrom), 0.0);
}

double payRatePerSecond(const PayTerms& terms, std::optional<double> intervalSeconds) {
    if (!intervalSeconds) {
        return 0.0;
    }
    if (terms.mode == SalaryMode::monthly) {
        // Written so that a value that is not a number also falls back to the minimum.
        const double days = terms.workingDaysPerMonth > kMinimumWorkingDays
                                ? terms.workingDaysPerMonth
                                : kMinimumWorkingDays;
        return terms.amount / (days * *intervalSeconds);
    }
    return terms.amount / *intervalSeconds;
}

namespace {

// The part of the break on the session's own day (a session never outlives its day) that lies in
// the pay interval: the time after the end of work is paid whatever the break.
std::optional<Span> unpaidBreak(const Calendar& calendar, Instant anchor, Instant end,
                                const WorkdayRules& rules) {
    const auto lunch =
        breakOnDayOf(calendar, anchor, rules.breakStartMinutes, rules.breakEndMinutes);
    if (!lunch) {
        return std::nullopt;
    }
    const Span unpaid{std::max(lunch->from, anchor), std::min(lunch->to, end)};
    if (!(unpaid.from < unpaid.to)) {
        return std::nullopt;
    }
    return unpaid;
}

}  // namespace

PayInterval payIntervalOf(const Calendar& calendar, Instant anchor, int endMinutes,
                          const WorkdayRules& rules) {
    PayInterval interval{endInstant(calendar, anchor, endMinutes), std::nullopt, 0.0};
    if (rules.breakTakesEffect(endMinutes)) {
        interval.unpaid = unpaidBreak(calendar, anchor, interval.end, rules);
    }
    interval.paidSeconds = interval.unpaid
                               ? std::max(paidSecondsBetween(anchor, interval.end, interval.unpaid),
                                          kMinimumPayIntervalSeconds)
                               : payIntervalSeconds(anchor, interval.end);
    return interval;
}

Earned earnedAt(const PayInterval& interval, Instant sessionStart, Instant now, double rate,
                const WorkdayRules& rules) {
    const auto unpaid = interval.unpaid;
    const bool pastEnd = !(now < interval.end);
    const bool inBreak = unpaid && !(now < unpaid->from) && now < unpaid->to;
    if (!pastEnd || rules.afterEnd == AfterEnd::keepPaying) {
        const double paid = paidSecondsBetween(sessionStart, now, unpaid);
        return {paid * rate, pastEnd, inBreak, paid, 0.0};
    }
    const double regular = paidSecondsBetween(sessionStart, interval.end, unpaid);
    const double extra =
        rules.afterEnd == AfterEnd::overtime ? paidSecondsBetween(interval.end, now, unpaid) : 0.0;
    const double weighted = extra * rules.overtimeRate;
    return {(regular + weighted) * rate, pastEnd, inBreak, regular + extra, weighted * rate};
}

namespace {

// A wake this long after the instant the amount reaches a cent finds it past the cent, whatever
// the rounding of the arithmetic.
constexpr double kPastTheCent = 0.001;

// Returns the money earned per second at `now`: nothing in the break or after an end that stops
// the pay, the overtime rate in overtime.
double slopeAt(const PayInterval& interval, Instant sessionStart, Instant now, double rate,
               const WorkdayRules& rules) {
    if (now < sessionStart) {
        return rate;  // a clock set back: the amount is the plain, negative, difference
    }
    if (!(now < interval.end)) {
        switch (rules.afterEnd) {
            case AfterEnd::keepPaying:
                return rate;
            case AfterEnd::stop:
                return 0.0;
            case AfterEnd::overtime:
                return rate * rules.overtimeRate;
        }
    }
    const bool inBreak =
        interval.unpaid && !(now < interval.unpaid->from) && now < interval.unpaid->to;
    return inBreak ? 0.0 : rate;
}

}  // namespace

std::optional<Instant> nextChange(const PayInterval& interval, Instant sessionStart, Instant now,
                                  double rate, const WorkdayRules& rules) {
    std::optional<Instant> next;
    const auto consider = [&](Instant at) {
        if (now < at && (!next || at < *next)) {
            next = at;
        }
    };
    consider(sessionStart);
    if (interval.unpaid) {
        consider(interval.unpaid->from);
        consider(interval.unpaid->to);
    }
    consider(interval.end);
    const double slope = slopeAt(interval, sessionStart, now, rate, rules);
    const double amount = earnedAt(interval, sessionStart, now, rate, rules).amount;
    if (slope > 0 && std::isfinite(slope) && std::isfinite(amount)) {
        // The amount shows to the cent, rounded: it changes when it reaches the next half cent.
        const double halfCent = (std::floor(amount * 100 - 0.5) + 1.5) / 100;
        consider(Instant{now.secondsSince1970 + (halfCent - amount) / slope + kPastTheCent});
    }
    return next;
}

}  // namespace orvelle
