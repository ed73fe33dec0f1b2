#include <cmath>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

#include "engine/PreferenceKeys.h"
#include "engine/WorkToggle.h"
#include "fakes/StoreHarness.h"

namespace orvelle {
namespace {

using test::InMemoryPreferences;
using test::StoreHarness;

class SessionTest : public ::testing::Test {
protected:
    SessionTest() { harness.setLocal({2026, 1, 5, 9, 0}); }

    // Not working, nothing shown or ticking, and no session left in the file.
    void expectIdle(const SalaryStore& store) const {
        EXPECT_FALSE(store.isWorking());
        EXPECT_EQ(store.earnedTodayDisplay(), 0.0);
        EXPECT_EQ(store.menuBarEarnedText(), "");
        EXPECT_EQ(store.firstAnchorStart(), std::nullopt);
        EXPECT_EQ(store.scheduledWorkSeconds(), std::nullopt);
        EXPECT_EQ(store.payRatePerSecond(), 0.0);
        for (const char* key : {keys::sessionStart, keys::anchorDay, keys::anchorStart}) {
            EXPECT_FALSE(harness.preferences.contains(key)) << key;
        }
        EXPECT_EQ(harness.scheduler.liveTimers(), 0);
    }

    StoreHarness harness;
};

// Start, start again, stop, and stop once more: what is stored, shown and ticking after each.
TEST_F(SessionTest, StartRestartAndStop) {
    SalaryStore& store = harness.launch();
    store.startWork();
    const double click = harness.clock.now().secondsSince1970;
    EXPECT_TRUE(store.isWorking());
    EXPECT_EQ(store.firstAnchorStart(), Instant{click});
    EXPECT_EQ(harness.preferences.text(keys::anchorDay), "2026-01-05");
    EXPECT_EQ(harness.preferences.value(keys::anchorStart), PreferenceValue{click});
    EXPECT_EQ(harness.preferences.value(keys::sessionStart), PreferenceValue{click});
    EXPECT_EQ(harness.scheduler.liveTimers(), 1);
    EXPECT_EQ(harness.scheduler.lastInterval(), std::chrono::milliseconds(50));
    EXPECT_EQ(store.menuBarEarnedText(), "0.00");

    harness.clock.advance(600);
    harness.scheduler.tick();
    EXPECT_GT(store.earnedTodayDisplay(), 0.0);
    store.startWork();  // a new session from 0, the old one forgotten
    EXPECT_EQ(store.firstAnchorStart(), harness.clock.now());
    EXPECT_EQ(harness.preferences.number(keys::sessionStart), click + 600);
    EXPECT_EQ(store.earnedTodayDisplay(), 0.0);
    EXPECT_EQ(harness.scheduler.liveTimers(), 1);

    harness.clock.advance(3600);
    harness.scheduler.tick();
    store.stopWork();
    expectIdle(store);
    const int writes = harness.preferences.writeCount();
    store.stopWork();  // idle: nothing to write
    EXPECT_EQ(harness.preferences.writeCount(), writes);
}

TEST_F(SessionTest, RelaunchOnTheSameDayResumesWithTheStoredStart) {
    harness.launch().startWork();
    const Instant start = harness.clock.now();
    harness.setLocal({2026, 1, 5, 13, 30});
    SalaryStore& store = harness.launch();
    EXPECT_TRUE(store.isWorking());
    EXPECT_EQ(store.firstAnchorStart(), start);
    EXPECT_EQ(harness.scheduler.liveTimers(), 1);
    // 09:00 to 18:00 at 500 a day: half past one is half the day, time away included.
    EXPECT_EQ(store.menuBarEarnedText(), "250.00");
}

TEST_F(SessionTest, SessionOfAnotherOrUnknownDayIsDiscardedAtLaunch) {
    const double start = harness.clock.now().secondsSince1970;
    for (const auto& [storedDay, launchDay] : {std::pair{"2026-01-05", 6}, {"", 5}}) {
        harness.preferences = {{keys::sessionStart, start},
                               {keys::anchorDay, std::string("2026-01-05")},
                               {keys::anchorStart, start}};
        if (*storedDay != 0) {
            harness.preferences.set(keys::calendarDay, std::string(storedDay));
        }
        harness.setLocal({2026, 1, launchDay, 8, 0});
        expectIdle(harness.launch());
        EXPECT_EQ(harness.preferences.text(keys::calendarDay),
                  launchDay == 6 ? "2026-01-06" : "2026-01-05");
    }
}

// The stored anchor counts only when both its day and its start are of the stored day; otherwise
// it is derived again from the session's start and stored.
TEST_F(SessionTest, StoredAnchorOfTodayIsKeptAndAnyOtherIsRederived) {
    const double start = harness.at({2026, 1, 5, 8, 30}).secondsSince1970;
    const std::string today = "2026-01-05", yesterday = "2026-01-04";
    const std::tuple<std::optional<std::string>, std::optional<double>, double> anchors[] = {
        {today, start - 60, start - 60}, {{}, {}, start},     {yesterday, start - 86400, start},
        {yesterday, start - 60, start},  {today, 0.0, start}, {today, {}, start}};
    for (const auto& [day, anchorStart, expected] : anchors) {
        harness.preferences = {{keys::calendarDay, today}, {keys::sessionStart, start}};
        if (day) {
            harness.preferences.set(keys::anchorDay, *day);
        }
        if (anchorStart) {
            harness.preferences.set(keys::anchorStart, *anchorStart);
        }
        EXPECT_EQ(harness.launch().firstAnchorStart(), Instant{expected}) << day.value_or("-");
        EXPECT_EQ(harness.preferences.text(keys::anchorDay), today);
        EXPECT_EQ(harness.preferences.number(keys::anchorStart), expected);
    }
}

// At the first tick of a new day, by the clock or by a change of zone, the session ends.
TEST_F(SessionTest, SessionEndsAtTheFirstTickOfANewDay) {
    harness.setLocal({2026, 12, 31, 22, 0});
    SalaryStore& store = harness.launch();
    store.startWork();
    harness.setLocal({2026, 12, 31, 23, 59, 59.98});
    harness.scheduler.tick();
    EXPECT_TRUE(store.isWorking());
    EXPECT_GT(store.earnedTodayDisplay(), 0.0);
    harness.clock.advance(0.05);
    harness.scheduler.tick();
    expectIdle(store);
    EXPECT_EQ(harness.preferences.text(keys::calendarDay), "2027-01-01");

    harness.setLocal({2027, 1, 1, 23, 0});  // Shanghai, UTC+8
    store.startWork();
    harness.timeZone.set("Pacific/Kiritimati");  // UTC+14: already the 2nd there
    harness.scheduler.tick();
    expectIdle(store);
}

TEST_F(SessionTest, StartWorkOnANewDayStoresTheDayFirst) {
    SalaryStore& store = harness.launch();
    harness.setLocal({2026, 1, 7, 9, 0});
    store.startWork();
    EXPECT_TRUE(store.isWorking());
    EXPECT_EQ(harness.preferences.text(keys::calendarDay), "2026-01-07");
    EXPECT_EQ(harness.preferences.text(keys::anchorDay), "2026-01-07");
}

// A stored start that is no instant of the stored day can only be damage: it never becomes a
// session, whatever stands there, and it is left as it was. One of today, even a little ahead of
// the clock, does.
TEST_F(SessionTest, StoredStartMustBeAnInstantOfTheStoredDay) {
    const double nine = harness.at({2026, 1, 5, 9, 0}).secondsSince1970;
    const std::pair<PreferenceValue, bool> cases[] = {{1e308, false},
                                                      {-1e300, false},
                                                      {0.0, false},
                                                      {nine - 86400, false},
                                                      {std::nan(""), false},
                                                      {std::string("soon"), false},
                                                      {ForeignValue{}, false},
                                                      {std::to_string(nine), true},
                                                      {nine + 600, true}};
    for (const auto& [start, working] : cases) {
        harness.preferences = {{keys::calendarDay, std::string("2026-01-05")},
                               {keys::sessionStart, start}};
        harness.setLocal({2026, 1, 5, 9, 5});
        SalaryStore& store = harness.launch();
        EXPECT_EQ(store.isWorking(), working) << ::testing::PrintToString(start);
        EXPECT_TRUE(std::isfinite(store.earnedTodayDisplay()));
        EXPECT_TRUE(harness.preferences.contains(keys::sessionStart));
    }
}

// Each operation replaces the file once, so that a kill at any instant leaves all of it or none.
TEST_F(SessionTest, EveryOperationIsOneWrite) {
    harness.preferences = {{keys::calendarDay, std::string("2026-01-04")},
                           {keys::sessionStart, harness.at({2026, 1, 4, 10, 0}).secondsSince1970},
                           {keys::legacyWorkHours, 8.0}};
    const auto writesOf = [this](const std::function<void()>& operation) {
        const int before = harness.preferences.writeCount();
        operation();
        return harness.preferences.writeCount() - before;
    };
    EXPECT_EQ(writesOf([this] { harness.launch(); }), 1);  // migration and the day's reset
    SalaryStore& store = *harness.store;
    EXPECT_EQ(writesOf([&] { startOrStopWork(store); }), 1);  // settings saved, then started
    EXPECT_EQ(writesOf([&] { store.saveSettings(); }), 1);
    EXPECT_EQ(writesOf([&] { store.startWork(); }), 1);
    EXPECT_EQ(writesOf([&] { harness.launch(); }), 0);  // a relaunch with nothing to mend
    EXPECT_EQ(writesOf([&] { harness.store->stopWork(); }), 1);
    harness.store->startWork();
    harness.setLocal({2026, 1, 6, 0, 0, 0.01});
    EXPECT_EQ(writesOf([&] { harness.scheduler.tick(); }), 1);  // midnight
    EXPECT_FALSE(harness.store->isWorking());
}

// The end of work is a time of day: a change of zone or a skipped hour never moves what is saved.
TEST_F(SessionTest, EndTimeSurvivesZoneChangesAndSkippedHours) {
    SalaryStore& store = harness.launch();
    harness.timeZone.set("Asia/Tokyo");
    startOrStopWork(store);
    EXPECT_EQ(harness.preferences.integer(keys::scheduleEndMin), 1080);

    StoreHarness newYork("America/New_York");
    newYork.setLocal({2026, 3, 8, 1, 0});
    SalaryStore& early = newYork.launch();
    early.setScheduleEndMinutes(150);  // 02:30 does not exist that day
    startOrStopWork(early);
    EXPECT_EQ(newYork.preferences.integer(keys::scheduleEndMin), 150);
    EXPECT_EQ(early.firstAnchorStart().value(), newYork.at({2026, 3, 8, 1, 0}));
    EXPECT_DOUBLE_EQ(*early.scheduledWorkSeconds(), 3600.0);  // up to 03:00, when clocks jump
    early.setScheduleEndMinutes(18 * 60);  // from 20:00 the evening before: 21 hours, not 22
    newYork.setLocal({2026, 3, 7, 20, 0});
    early.startWork();
    EXPECT_DOUBLE_EQ(*early.scheduledWorkSeconds(), 21 * 3600.0);
}

}  // namespace
}  // namespace orvelle
