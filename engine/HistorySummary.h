#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/WorkingWeek.h"
#include "platform/api/HistoryStore.h"

namespace orvelle {

// Returns the civil date of a "yyyy-MM-dd" day key; nothing when it is not one.
std::optional<std::chrono::sys_days> dayOfKey(std::string_view key);
// Returns the "yyyy-MM-dd" key of a civil date.
std::string keyOfDay(std::chrono::sys_days day);

// Adds the open session as it is now to `days` (oldest first), in place of what the history last
// wrote of it (found among `running`): the days of a running session count up to now.
void addOpenSession(std::vector<DayTotal>& days, const std::vector<SessionRecord>& running,
                    const std::optional<SessionRecord>& open);

// The sum of several days' records.
struct Totals {
    double earned = 0.0;
    double paidSeconds = 0.0;
    int days = 0;

    bool operator==(const Totals&) const = default;
};

// What the history page shows: today, this week (from Monday) and this month, the average per
// working day worked this month (the pay of rest days worked counts, their days do not), and the
// last 30 calendar days, oldest first, a day without work at 0.
struct HistorySummary {
    static constexpr int kChartDays = 30;

    Totals today;
    Totals week;
    Totals month;
    double averagePerDayWorked = 0.0;
    std::vector<DayTotal> chart;
};

// Returns the summary of `store` as seen on the day `today`, with the open session as it is now.
HistorySummary summarize(const HistoryStore& store, const std::string& today,
                         const std::optional<SessionRecord>& open, const WorkingWeek& week = {});

}  // namespace orvelle
