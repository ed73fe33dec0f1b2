#include "engine/Earnings.h"

#include <algorithm>

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

}  // namespace orvelle
