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
