#include <sstream>

#include <gtest/gtest.h>

#include "engine/HistorySummary.h"
#include "engine/MonthToDate.h"
#include "fakes/InMemoryHistory.h"
#include "fakes/StoreHarness.h"

namespace orvelle {
namespace {

class SessionHistoryTest : public ::testing::Test {
protected:
    SessionHistoryTest() {
        harness.history = &history;
        harness.diagnostics = &said;
    }
    const SessionRecord& only() const { return history.records.begin()->second; }

    test::StoreHarness harness;
    test::InMemoryHistory history;
    std::ostringstream said;
};

// 500 a day from 09:00 to 13:00, then overtime at twice the rate: written when it opens, once a
// minute while it runs (never at every tick), and when it is stopped, with the amount, its
// overtime part, the paid time and how it ended; the overtime ends with the session.
TEST_F(SessionHistoryTest, ARecordIsWrittenAtTheStartEveryMinuteAndAtTheStop) {
    SalaryStore& store = harness.launchAt({2026, 3, 2, 9, 0});
    store.setWorkday({.afterEnd = AfterEnd::overtime, .overtimeRate = 2});
    store.setScheduleEndMinutes(13 * 60);
    store.startWork();
    EXPECT_EQ(history.writes, 1);
    EXPECT_EQ(only().ending, SessionEnding::running);
    for (const double second : {0.05, 30.0, 59.95}) {
        harness.tickAt({2026, 3, 2, 9, 0, second});
    }
    EXPECT_EQ(history.writes, 1);
    harness.tickAt({2026, 3, 2, 9, 1, 0});
    EXPECT_EQ(history.writes, 2);
    harness.tickAt({2026, 3, 2, 13, 30});
    store.stopWork();
    EXPECT_FALSE(store.isOvertime());
    EXPECT_EQ(only().ending, SessionEnding::stopped);
    EXPECT_EQ(only().day, "2026-03-02");
    EXPECT_DOUBLE_EQ(only().earned, 500.0 + 125.0);
    EXPECT_DOUBLE_EQ(only().overtime, 125.0);
    EXPECT_DOUBLE_EQ(only().paidSeconds, 4.5 * 3600);
    EXPECT_EQ(store.currentRecord(), std::nullopt);
    // A second session the same day is a record of its own; the day is their sum.
    store.startWork();
    harness.tickAt({2026, 3, 2, 14, 30});
    const auto days = history.days("2026-03-02", "2026-03-02");
    ASSERT_EQ(days.size(), 1u);
    EXPECT_EQ(days[0].sessions, 2);
    EXPECT_NEAR(days[0].earned, 625.0 + 500.0 / 23.5, 1e-9);  // an hour of 13:30 to 13:00
}

// The first tick of a new day ends the record with what the capsule last showed; a record a
// killed process left open is ended by the next start-up on another day with what it last wrote,
// and continued by one on the same day.
TEST_F(SessionHistoryTest, DayChangesKillsAndRelaunchesEndOrContinueTheRecord) {
    SalaryStore& store = harness.launchAt({2026, 3, 2, 22, 0});
    store.startWork();
    harness.tickAt({2026, 3, 2, 23, 59, 59.95});
    const double shown = store.earnedTodayDisplay();
    harness.tickAt({2026, 3, 3, 0, 0, 0.05});
    EXPECT_EQ(only().ending, SessionEnding::dayChange);
    EXPECT_DOUBLE_EQ(only().earned, shown);

    history.records.clear();
    harness.launchAt({2026, 3, 3, 9, 0}).startWork();
    harness.tickAt({2026, 3, 3, 11, 59});  // written, then killed before the next write
    const SessionRecord written = only();
    harness.setLocal({2026, 3, 3, 11, 59, 30});
    harness.store->writeHistoryNow();  // as a quit, not a kill, would
    EXPECT_EQ(only().end, harness.clock.now());
    EXPECT_EQ(only().ending, SessionEnding::running);
    harness.launchAt({2026, 3, 3, 13, 30});  // a relaunch the same day resumes the session
    harness.tickAt({2026, 3, 3, 13, 31});
    EXPECT_EQ(history.records.size(), 1u);
    EXPECT_EQ(only().ending, SessionEnding::running);
    EXPECT_DOUBLE_EQ(only().earned, 500.0 * (4.5 * 3600 + 60) / (9 * 3600));
    history.records = {{written.start.secondsSince1970, written}};
    harness.launchAt({2026, 3, 4, 9, 0});  // the next day: ended by the restart, with what it wrote
    EXPECT_EQ(only().ending, SessionEnding::restart);
    EXPECT_DOUBLE_EQ(only().earned, written.earned);
    EXPECT_EQ(only().end, written.end);
}

// Starting again ends the open record; a history that fails is said once and stops nothing.
TEST_F(SessionHistoryTest, RestartsEndTheRecordAndFailuresAreSaidOnce) {
    SalaryStore& store = harness.launchAt({2026, 3, 2, 9, 0});
    store.startWork();
    harness.tickAt({2026, 3, 2, 10, 0});
    store.startWork();
    ASSERT_EQ(history.records.size(), 2u);
    EXPECT_EQ(history.records.begin()->second.ending, SessionEnding::stopped);
    history.failing = true;
    for (int minute = 1; minute <= 5; ++minute) {
        harness.tickAt({2026, 3, 2, 10, minute});
    }
    store.stopWork();
    EXPECT_EQ(said.str(), "orvelle: 无法写入历史记录\n");
    EXPECT_EQ(store.menuBarEarnedText(), "");
    EXPECT_FALSE(store.isWorking());
}

// Today, this week (from Monday) and this month, with the open session counted as it is now in
// place of what was written of it; the chart has a bar for each of the last 30 days.
TEST(HistorySummary, SumsTodayTheWeekAndTheMonthWithTheOpenSession) {
    test::InMemoryHistory history;
    const auto record = [&history](const char* day, double start, double earned,
                                   SessionEnding ending = SessionEnding::stopped) {
        history.save({Instant{start}, day, Instant{start}, 3600, earned, 0, ending});
    };
    record("2026-02-27", 1, 100);  // a Friday of the month before, in the chart only
    record("2026-03-01", 2, 200);  // Sunday: this month, last week
    record("2026-03-02", 3, 300);  // Monday
    record("2026-03-04", 4, 50, SessionEnding::running);
    SessionRecord open{Instant{4}, "2026-03-04", Instant{5}, 7200, 80, 0, SessionEnding::running};
    const HistorySummary summary = summarize(history, "2026-03-04", open);
    EXPECT_EQ(summary.today, (Totals{80, 7200, 1}));
    EXPECT_EQ(summary.week, (Totals{380, 10800, 2}));
    EXPECT_EQ(summary.month, (Totals{580, 14400, 3}));
    // Sunday is a rest day: its pay counts towards the average, its day does not.
    EXPECT_DOUBLE_EQ(summary.averagePerDayWorked, 580.0 / 2);
    WorkingWeek everyDay;
    everyDay.workdays = 0b1111111;
    EXPECT_DOUBLE_EQ(summarize(history, "2026-03-04", open, everyDay).averagePerDayWorked,
                     580.0 / 3);
    ASSERT_EQ(summary.chart.size(), 30u);
    EXPECT_EQ(summary.chart.front().day, "2026-02-03");
    EXPECT_EQ(summary.chart[24], (DayTotal{"2026-02-27", 1, 3600, 100}));
    EXPECT_EQ(summary.chart[25], (DayTotal{"2026-02-28"}));
    EXPECT_EQ(summary.chart.back(), (DayTotal{"2026-03-04", 1, 7200, 80}));
    // The tray's month follows the open session and reads the history again only for another
    // day or another session: a record gone meanwhile counts until then.
    MonthToDate month;
    EXPECT_DOUBLE_EQ(month.earned(history, "2026-03-04", open), 580.0);
    history.records.erase(2.0);
    open.earned = 90;
    EXPECT_DOUBLE_EQ(month.earned(history, "2026-03-04", open), 590.0);
    EXPECT_DOUBLE_EQ(month.earned(history, "2026-03-05", open), 390.0);
    EXPECT_DOUBLE_EQ(month.earned(history, "2026-04-01", open), 0.0);
    EXPECT_DOUBLE_EQ(month.earned(history, "2026-03-05", std::nullopt), 350.0);
    for (const char* key : {"2026-02-30", "2026-3-04", "2026-03-04x", "", "abcd-ef-gh"}) {
        EXPECT_EQ(dayOfKey(key), std::nullopt) << key;
    }
}

}  // namespace
}  // namespace orvelle
