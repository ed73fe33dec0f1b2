#include <cmath>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

#include "engine/PreferenceKeys.h"
#include "engine/StoredSettings.h"
#include "engine/WorkToggle.h"
#include "fakes/StoreHarness.h"

namespace orvelle {
namespace {

using test::InMemoryPreferences;
using test::StoreHarness;
using Values = InMemoryPreferences::Values;

constexpr double kInf = std::numeric_limits<double>::infinity();

class SessionTest : public ::testing::Test {
protected:
    SessionTest() { harness.setLocal({2026, 1, 5, 9, 0}); }

    // Not working, in no overtime, nothing shown or ticking, and no session left in the file.
    void expectIdle(const SalaryStore& store) const {
        EXPECT_FALSE(store.isWorking());
        EXPECT_FALSE(store.isOvertime());
        EXPECT_EQ(store.earnedTodayDisplay(), 0.0);
        EXPECT_EQ(store.menuBarEarnedText(), "");
        EXPECT_EQ(store.firstAnchorStart(), std::nullopt);
        for (const char* key : {keys::sessionStart, keys::anchorDay, keys::anchorStart}) {
            EXPECT_FALSE(harness.preferences.contains(key)) << key;
        }
        EXPECT_EQ(harness.scheduler.liveTimers(), 0);
    }

    StoreHarness harness;
};

// Start, start again, relaunch, stop, and start on a new day: what is stored, shown and ticking
// after each.
TEST_F(SessionTest, StartRestartRelaunchStopAndStartOnANewDay) {
    SalaryStore& store = harness.launch();
    store.startWork();
    const double click = harness.clock.now().secondsSince1970;
    EXPECT_TRUE(store.isWorking());
    EXPECT_EQ(store.firstAnchorStart(), Instant{click});
    EXPECT_EQ(harness.preferences.text(keys::anchorDay), "2026-01-05");
    EXPECT_EQ(harness.preferences.value(keys::sessionStart), PreferenceValue{click});
    EXPECT_EQ(store.menuBarEarnedText(), "0.00");

    harness.tickAfter(600);
    EXPECT_GT(store.earnedTodayDisplay(), 0.0);
    store.startWork();  // a new session from 0, the old one forgotten
    EXPECT_EQ(store.firstAnchorStart(), harness.clock.now());
    EXPECT_EQ(harness.preferences.number(keys::sessionStart), click + 600);
    EXPECT_EQ(store.earnedTodayDisplay(), 0.0);
    EXPECT_EQ(harness.scheduler.liveTimers(), 1);  // the old session's timer is gone

    // A relaunch resumes with the stored start: 09:10 to 18:00 at 500 a day, time away included.
    SalaryStore& relaunched = harness.launchAt({2026, 1, 5, 13, 30});
    EXPECT_EQ(relaunched.menuBarEarnedText(), "245.28");
    relaunched.stopWork();
    expectIdle(relaunched);
    harness.setLocal({2026, 1, 7, 9, 0});
    relaunched.startWork();  // stores the new day first
    EXPECT_EQ(harness.preferences.text(keys::calendarDay), "2026-01-07");
    EXPECT_EQ(harness.preferences.text(keys::anchorDay), "2026-01-07");
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
        expectIdle(harness.launchAt({2026, 1, launchDay, 8, 0}));
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

// At the first tick of a new day, by the clock or by a change of zone, the session ends, and its
// overtime with it.
TEST_F(SessionTest, SessionEndsAtTheFirstTickOfANewDay) {
    SalaryStore& store = harness.launchAt({2026, 12, 31, 22, 0});
    store.setWorkday({.afterEnd = AfterEnd::overtime});
    store.setScheduleEndMinutes(22 * 60 + 30);
    store.startWork();
    harness.tickAt({2026, 12, 31, 23, 59, 59.98});
    EXPECT_TRUE(store.isOvertime());
    EXPECT_GT(store.earnedTodayDisplay(), 0.0);
    harness.tickAfter(0.05);
    expectIdle(store);
    EXPECT_EQ(harness.preferences.text(keys::calendarDay), "2027-01-01");

    harness.setLocal({2027, 1, 1, 23, 0});  // Shanghai, UTC+8
    store.startWork();
    harness.timeZone.set("Pacific/Kiritimati");  // UTC+14: already the 2nd there
    harness.scheduler.tick();
    expectIdle(store);
    // Where the timer cannot tell of a change of zone, the next wake finds it.
    harness.scheduler.reportsZoneChanges = false;
    store.startWork();
    harness.timeZone.set("Asia/Shanghai");  // still the 1st there
    harness.clock.advance(1);
    harness.scheduler.fire();
    expectIdle(store);
}

// A stored start that is no instant of the stored day can only be damage: it never becomes a
// session, whatever stands there, and it is left as it was. One of today, even a little ahead of
// the clock, does.
TEST_F(SessionTest, StoredStartMustBeAnInstantOfTheStoredDay) {
    const double nine = harness.at({2026, 1, 5, 9, 0}).secondsSince1970;
    const std::vector<PreferenceValue> damaged = {
        1e308, -1e300, 0.0, nine - 86400, std::nan(""), std::string("soon"), ForeignValue{}};
    const std::vector<PreferenceValue> ofToday = {std::to_string(nine), nine + 600};
    harness.setLocal({2026, 1, 5, 9, 5});
    for (const auto* starts : {&damaged, &ofToday}) {
        for (const PreferenceValue& start : *starts) {
            harness.preferences = {{keys::calendarDay, std::string("2026-01-05")},
                                   {keys::sessionStart, start}};
            SalaryStore& store = harness.launch();
            EXPECT_EQ(store.isWorking(), starts == &ofToday) << ::testing::PrintToString(start);
            EXPECT_TRUE(harness.preferences.contains(keys::sessionStart));
        }
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
    EXPECT_EQ(writesOf([&] { harness.store->stopWork(); }), 0);  // idle: nothing to write
    harness.store->startWork();
    harness.setLocal({2026, 1, 6, 0, 0, 0.01});
    EXPECT_EQ(writesOf([&] { harness.scheduler.tick(); }), 1);  // midnight
    EXPECT_FALSE(harness.store->isWorking());
}

// The end of work is a time of day, on the day the clocks jump too.
TEST(SessionEnd, IsATimeOfDayAcrossSkippedHours) {
    StoreHarness newYork("America/New_York");
    SalaryStore& early = newYork.launchAt({2026, 3, 8, 1, 0});
    early.setScheduleEndMinutes(150);  // 02:30 does not exist that day
    startOrStopWork(early);
    EXPECT_DOUBLE_EQ(*early.scheduledWorkSeconds(), 3600.0);  // up to 03:00, when clocks jump
    early.setScheduleEndMinutes(18 * 60);  // from 20:00 the evening before: 21 hours, not 22
    newYork.setLocal({2026, 3, 7, 20, 0});
    early.startWork();
    EXPECT_DOUBLE_EQ(*early.scheduledWorkSeconds(), 21 * 3600.0);
}

// A stored amount reads as a number without grouping, a mode other than "monthly" as daily,
// working days written as text as their number, and an end of work, stored or set, is clamped
// into the day.
TEST_F(SessionTest, StoredAndSetValuesAreReadIntoRange) {
    for (const auto& [stored, text] : {std::pair<PreferenceValue, std::string>{1e7, "10000000.00"},
                                       {std::int64_t{8000}, "8000.00"}}) {
        harness.preferences.set(keys::amount, stored);
        EXPECT_EQ(harness.launch().amountText(), text);
    }
    for (const PreferenceValue& stored : {PreferenceValue{std::string("Monthly")}, {1.0}}) {
        harness.preferences.set(keys::mode, stored);
        EXPECT_EQ(harness.launch().mode(), SalaryMode::daily);
    }
    harness.preferences.set(keys::workingDays, std::string("22"));  // written by hand
    EXPECT_EQ(harness.launch().workingDaysPerMonth(), 22.0);
    for (const auto& [minutes, clamped] :
         {std::pair{1500, 1439}, {1440, 1439}, {1439, 1439}, {0, 0}, {-5, 0}}) {
        harness.preferences.set(keys::scheduleEndMin, std::int64_t{minutes});
        EXPECT_EQ(harness.launch().scheduleEndMinutes(), clamped) << "stored " << minutes;
        harness.store->setScheduleEndMinutes(minutes);  // as the settings page sets it
        EXPECT_EQ(harness.store->scheduleEndMinutes(), clamped) << "set " << minutes;
    }
}

// Legacy hours counted from 09:00 become an end time, clamped into the day, once and only when no
// end time is stored; the legacy start goes either way.
TEST(LegacyMigration, HoursFromNineBecomeAnEndTime) {
    const std::pair<double, int> cases[] = {{8, 1020},     {8.125, 1028},       {0, 541},
                                            {20, 1439},    {kInf, 1439},        {-kInf, 541},
                                            {1e300, 1439}, {std::nan(""), 1080}};
    for (const auto& [hours, minutes] : cases) {
        InMemoryPreferences preferences(
            {{keys::legacyWorkHours, hours}, {keys::legacyScheduleStartMin, std::int64_t{540}}});
        migrateLegacyWorkHoursIfNeeded(preferences);
        EXPECT_EQ(preferences.values(), Values({{keys::scheduleEndMin, std::int64_t{minutes}}}))
            << hours;
    }
    InMemoryPreferences preferences({{keys::scheduleEndMin, std::int64_t{1000}},
                                     {keys::legacyWorkHours, 8.0},
                                     {keys::legacyScheduleStartMin, std::int64_t{540}}});
    migrateLegacyWorkHoursIfNeeded(preferences);
    EXPECT_EQ(preferences.values(),
              Values({{keys::scheduleEndMin, std::int64_t{1000}}, {keys::legacyWorkHours, 8.0}}));
}

// A first launch writes the end of work and the day, and nothing else; saving writes the four
// settings, which come back after a relaunch on another day.
TEST_F(SessionTest, FirstLaunchWritesTheEndTimeAndSavedSettingsComeBack) {
    SalaryStore& store = harness.launch();
    EXPECT_EQ(harness.preferences.values(), Values({{keys::calendarDay, std::string("2026-01-05")},
                                                    {keys::scheduleEndMin, std::int64_t{1080}}}));
    store.setMode(SalaryMode::monthly);
    store.setWorkingDaysPerMonth(22.25);
    store.setScheduleEndMinutes(1079);
    store.setAmountText("1,234.5");
    store.saveSettings();
    EXPECT_EQ(harness.preferences.values(), Values({{keys::calendarDay, std::string("2026-01-05")},
                                                    {keys::mode, std::string("monthly")},
                                                    {keys::amount, 1234.5},
                                                    {keys::scheduleEndMin, std::int64_t{1079}},
                                                    {keys::workingDays, 22.25}}));
    EXPECT_EQ(store.amountText(), "1,234.5");

    SalaryStore& relaunched = harness.launchAt({2026, 1, 6, 8, 0});
    EXPECT_EQ(relaunched.mode(), SalaryMode::monthly);
    EXPECT_EQ(relaunched.amountText(), "1234.50");
    EXPECT_EQ(relaunched.workingDaysPerMonth(), 22.25);
    EXPECT_EQ(relaunched.scheduleEndMinutes(), 1079);
    relaunched.setAmountText("500元");  // no number: saved as 0, the text kept for editing
    relaunched.saveSettings();
    EXPECT_EQ(harness.preferences.number(keys::amount), 0.0);
    EXPECT_EQ(relaunched.amountText(), "500元");
}

// Untouched rules add no key; changed ones are JSON booleans, minutes, a text and a number; a value
// of the wrong kind reads as the default.
TEST(WorkdayRules, StoredOnlyOnceChangedAndReadStrictly) {
    InMemoryPreferences defaults;
    saveWorkdayRules(defaults, {});
    EXPECT_TRUE(defaults.values().empty());
    const WorkdayRules changed{true, 690, 750, AfterEnd::overtime, 3, true};
    saveWorkdayRules(defaults, changed);
    EXPECT_EQ(loadWorkdayRules(defaults), changed);
    EXPECT_EQ(defaults.value(keys::breakEnabled), PreferenceValue{true});
    EXPECT_EQ(defaults.text(keys::afterEnd), "overtime");
    saveWorkdayRules(defaults, {});  // switched off again: stored as off, not forgotten
    EXPECT_EQ(defaults.value(keys::breakEnabled), PreferenceValue{false});
    EXPECT_EQ(defaults.value(keys::endNotice), PreferenceValue{false});
    EXPECT_EQ(loadWorkdayRules(defaults), WorkdayRules{});

    defaults =
        Values{{keys::breakEnabled, std::int64_t{1}},   {keys::endNotice, std::string("true")},
               {keys::afterEnd, std::string("Stop")},   {keys::overtimeRate, 2.5},
               {keys::breakStartMin, std::int64_t{-5}}, {keys::breakEndMin, true}};
    EXPECT_EQ(loadWorkdayRules(defaults), WorkdayRules{.breakStartMinutes = 0});
}

}  // namespace
}  // namespace orvelle
