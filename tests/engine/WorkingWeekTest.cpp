#include <gtest/gtest.h>

#include "engine/AutoStart.h"
#include "engine/PreferenceKeys.h"
#include "engine/WorkToggle.h"
#include "fakes/StoreHarness.h"

namespace orvelle {
namespace {

using test::LocalDateTime;
using test::StoreHarness;
using Values = test::InMemoryPreferences::Values;

// 2026-01-05 is a Monday; ¥540 a day from 22:00 to 06:00 is ¥1.125 a minute.
class NightShiftTest : public ::testing::Test {
protected:
    SalaryStore& startAt22(bool overnight) {
        SalaryStore& store = harness.launchAt({2026, 1, 5, 22, 0});
        store.setAmountText("540");
        store.setScheduleEndMinutes(6 * 60);
        store.setWeek({.overnight = overnight});
        startOrStopWork(store);
        return store;
    }
    StoreHarness harness;
};

TEST_F(NightShiftTest, GoesOnPastMidnightUntilTheDayAfterItsEndOfWork) {
    struct Row {
        LocalDateTime at;
        bool working;
        double earned;
    };
    const Row rows[] = {
        {{2026, 1, 5, 23, 0}, true, 67.5},
        {{2026, 1, 6, 1, 0}, true, 202.5},
        {{2026, 1, 6, 6, 30}, true, 573.75},  // past the end it goes on paying, as set
        {{2026, 1, 6, 23, 59, 59}, true, 1754.98},
        {{2026, 1, 7, 0, 0}, false, 0.0},  // the first tick of the day after its end of work
    };
    SalaryStore& store = startAt22(true);
    for (const Row& row : rows) {
        harness.tickAt(row.at);
        EXPECT_EQ(store.isWorking(), row.working) << row.at.day << " " << row.at.hour;
        EXPECT_NEAR(store.earnedTodayDisplay(), row.earned, 0.01) << row.at.hour;
    }
    EXPECT_EQ(harness.preferences.text(keys::calendarDay), "2026-01-07");
    EXPECT_FALSE(harness.preferences.contains(keys::overnightSession));
}

TEST_F(NightShiftTest, ResumesAfterMidnightAndNeverCarriesADaySessionOver) {
    startAt22(true);
    EXPECT_EQ(harness.launchAt({2026, 1, 6, 2, 0}).earnedTodayDisplay(), 270.0);
    EXPECT_EQ(harness.preferences.text(keys::calendarDay), "2026-01-05");
    startOrStopWork(*harness.store);  // a stop after midnight; a start is today's session
    EXPECT_FALSE(harness.store->isWorking());
    startOrStopWork(*harness.store);
    EXPECT_EQ(harness.preferences.text(keys::calendarDay), "2026-01-06");
    EXPECT_EQ(harness.preferences.text(keys::anchorDay), "2026-01-06");

    // Started with the option off, turned on later: the session still ends at midnight.
    SalaryStore& store = startAt22(false);
    store.setWeek({.overnight = true});
    harness.tickAt({2026, 1, 6, 0, 0});
    EXPECT_FALSE(store.isWorking());
    EXPECT_FALSE(harness.launchAt({2026, 1, 6, 0, 1}).isWorking());
}

// Auto-start at 09:00 on Monday to Friday, with the end of work at 18:00.
struct AutoStartRow {
    const char* what;
    LocalDateTime launch;
    std::optional<LocalDateTime> stoppedByHand;  // a session started and stopped at launch
    std::optional<LocalDateTime> sessionFrom;    // where the session counts from, if one opens
};

TEST(AutoStart, StartsOnWorkingDaysAtTheTimeOrAtALateLaunchOnlyOnce) {
    const AutoStartRow rows[] = {
        {"before the time: at the time", {2026, 1, 5, 8, 0}, {}, {{2026, 1, 5, 9, 0}}},
        {"a late login counts from the time", {2026, 1, 5, 9, 20}, {}, {{2026, 1, 5, 9, 0}}},
        {"not after a stop by hand", {2026, 1, 5, 8, 0}, {{2026, 1, 5, 8, 30}}, {}},
        {"not on a Saturday", {2026, 1, 10, 8, 0}, {}, {}},
        {"not after the end of work", {2026, 1, 5, 18, 0}, {}, {}},
    };
    for (const AutoStartRow& row : rows) {
        SCOPED_TRACE(row.what);
        StoreHarness harness;
        harness.preferences = Values{{keys::autoStartEnabled, true}};
        SalaryStore& store = harness.launchAt(row.launch);
        if (row.stoppedByHand) {
            startOrStopWork(store);
            harness.setLocal(*row.stoppedByHand);
            startOrStopWork(store);
        }
        AutoStart autoStart(store, harness.clock, harness.calendar, harness.scheduler);
        if (!store.isWorking() && harness.scheduler.nextWake()) {
            harness.clock.set(*harness.scheduler.nextWake());
            harness.scheduler.fire();
        }
        EXPECT_EQ(store.firstAnchorStart(),
                  row.sessionFrom ? std::optional(harness.at(*row.sessionFrom)) : std::nullopt);
    }
}

TEST(AutoStart, NeverTwiceADayAndOnTheDayTheClocksGoForward) {
    StoreHarness harness("America/New_York");
    harness.preferences = Values{{keys::autoStartEnabled, true}, {keys::autoStartMin, 150}};
    SalaryStore& store = harness.launchAt({2026, 3, 9, 2, 0});  // a Monday
    AutoStart autoStart(store, harness.clock, harness.calendar, harness.scheduler);
    harness.clock.set(*harness.scheduler.nextWake());
    harness.scheduler.fire();
    EXPECT_EQ(store.firstAnchorStart(), harness.at({2026, 3, 9, 2, 30}));
    harness.setLocal({2026, 3, 9, 2, 40});
    harness.launch();  // a relaunch the same day goes on with the session, and starts none
    AutoStart again(*harness.store, harness.clock, harness.calendar, harness.scheduler);
    EXPECT_EQ(harness.store->firstAnchorStart(), harness.at({2026, 3, 9, 2, 30}));

    // 2026-03-08 is a Sunday; made a working day, its 02:30 does not exist: 03:00 it is.
    StoreHarness sunday("America/New_York");
    sunday.preferences = Values{{keys::autoStartEnabled, true},
                                {keys::autoStartMin, 150},
                                {keys::workdays, IntegerList{7}}};
    SalaryStore& early = sunday.launchAt({2026, 3, 8, 4, 0});
    AutoStart late(early, sunday.clock, sunday.calendar, sunday.scheduler);
    EXPECT_EQ(early.firstAnchorStart(), sunday.at({2026, 3, 8, 3, 0}));
}

// A night shift from Monday 22:00 stopped by hand on Tuesday: ahead of Tuesday's start time the
// evening's shift still starts by itself; at a start time already past, Tuesday's is used up.
TEST(AutoStart, AStopThatEndsANightShiftKeepsTonightsStart) {
    for (const auto& [startMinutes, tonight] : {std::pair{22 * 60, true}, std::pair{60, false}}) {
        StoreHarness harness;
        harness.preferences = Values{{keys::autoStartEnabled, true},
                                     {keys::autoStartMin, std::int64_t{startMinutes}},
                                     {keys::overnight, true},
                                     {keys::scheduleEndMin, std::int64_t{6 * 60}}};
        SalaryStore& store = harness.launchAt({2026, 1, 5, 21, 0});
        startOrStopWork(store);
        harness.tickAt({2026, 1, 6, 2, 0});
        startOrStopWork(store);
        AutoStart autoStart(store, harness.clock, harness.calendar, harness.scheduler);
        harness.clock.set(std::max(harness.clock.now(), *harness.scheduler.nextWake()));
        harness.scheduler.fire();
        EXPECT_EQ(store.isWorking(),
                  tonight && harness.clock.now() == harness.at({2026, 1, 6, 22, 0}))
            << startMinutes;
    }
}

// Untouched, the week adds no key; it is read strictly, a wrong type or range as the default.
TEST(WorkingWeek, StoredOnlyOnceChangedAndReadStrictly) {
    test::InMemoryPreferences defaults;
    saveWorkingWeek(defaults, {});
    EXPECT_TRUE(defaults.values().empty());
    const WorkingWeek changed{true, 0b1000001, true, 22 * 60, true};
    saveWorkingWeek(defaults, changed);
    EXPECT_EQ(defaults.integers(keys::workdays), (IntegerList{1, 7}));
    EXPECT_EQ(loadWorkingWeek(defaults), changed);
    defaults = Values{{keys::overnight, std::int64_t{1}},
                      {keys::workdays, IntegerList{1, 8}},
                      {keys::autoStartEnabled, std::string("true")},
                      {keys::autoStartMin, std::string("540")},
                      {keys::showCountdown, ForeignValue{}}};
    EXPECT_EQ(loadWorkingWeek(defaults), WorkingWeek{});
    defaults = Values{{keys::autoStartMin, std::int64_t{1440}}, {keys::workdays, IntegerList{}}};
    // Every day a rest day: no work starts by itself.
    EXPECT_EQ(loadWorkingWeek(defaults), WorkingWeek{.workdays = 0});
}

}  // namespace
}  // namespace orvelle
