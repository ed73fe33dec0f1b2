#include "engine/HistorySummary.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace orvelle {

using std::chrono::sys_days;

std::optional<sys_days> dayOfKey(std::string_view key) {
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    const auto number = [&key](size_t from, size_t length, auto& into) {
        const char* first = key.data() + from;
        const auto [end, error] = std::from_chars(first, first + length, into);
        return error == std::errc() && end == first + length;
    };
    if (key.size() != 10 || key[4] != '-' || key[7] != '-' || !number(0, 4, year) ||
        !number(5, 2, month) || !number(8, 2, day)) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{month},
                                           std::chrono::day{day}};
    return date.ok() ? std::optional(sys_days{date}) : std::nullopt;
}

std::string keyOfDay(sys_days day) {
    const std::chrono::year_month_day date{day};
    char key[16];
    std::snprintf(key, sizeof key, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return key;
}

void addOpenSession(std::vector<DayTotal>& days, const std::vector<SessionRecord>& running,
                    const std::optional<SessionRecord>& open) {
    if (!open) {
        return;
    }
    auto entry = std::ranges::find(days, open->day, &DayTotal::day);
    if (entry == days.end()) {
        entry = days.insert(std::ranges::upper_bound(days, open->day, {}, &DayTotal::day),
                            DayTotal{open->day});
    }
    const auto written = std::ranges::find(running, open->start, &SessionRecord::start);
    if (written != running.end() && written->day == open->day) {
        entry->earned -= written->earned;
        entry->paidSeconds -= written->paidSeconds;
    } else {
        ++entry->sessions;
    }
    entry->earned += open->earned;
    entry->paidSeconds += open->paidSeconds;
}

namespace {

Totals totalFrom(const std::vector<DayTotal>& days, const std::string& first) {
    Totals totals;
    for (const DayTotal& day : days) {
        if (day.day >= first) {
            totals.earned += day.earned;
            totals.paidSeconds += day.paidSeconds;
            ++totals.days;
        }
    }
    return totals;
}

}  // namespace

HistorySummary summarize(const HistoryStore& store, const std::string& today,
                         const std::optional<SessionRecord>& open, const WorkingWeek& week) {
    HistorySummary summary;
    const auto day = dayOfKey(today);
    if (!day) {
        return summary;
    }
    const std::chrono::year_month_day date{*day};
    const sys_days monday = *day - (std::chrono::weekday{*day} - std::chrono::Monday);
    const sys_days monthStart{date.year() / date.month() / 1};
    const sys_days chartStart = *day - std::chrono::days{HistorySummary::kChartDays - 1};
    const sys_days first = std::min({monday, monthStart, chartStart});

    std::vector<DayTotal> worked = store.days(keyOfDay(first), today);
    addOpenSession(worked, store.running(), open);
    summary.today = totalFrom(worked, today);
    summary.week = totalFrom(worked, keyOfDay(monday));
    summary.month = totalFrom(worked, keyOfDay(monthStart));
    const std::string monthKey = keyOfDay(monthStart);
    const auto workdaysWorked = std::ranges::count_if(worked, [&](const DayTotal& total) {
        return total.day >= monthKey && week.isWorkday(total.day);
    });
    // A month worked only on rest days still has an average: over the days worked.
    const auto days = workdaysWorked > 0 ? workdaysWorked : summary.month.days;
    if (days > 0) {
        summary.averagePerDayWorked = summary.month.earned / static_cast<double>(days);
    }
    for (sys_days shown = chartStart; shown <= *day; shown += std::chrono::days{1}) {
        const std::string key = keyOfDay(shown);
        const auto found = std::ranges::find(worked, key, &DayTotal::day);
        summary.chart.push_back(found != worked.end() ? *found : DayTotal{key});
    }
    return summary;
}

}  // namespace orvelle
