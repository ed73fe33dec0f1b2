#include "engine/WorkdayRules.h"

#include <gtest/gtest.h>

#include "engine/PreferenceKeys.h"
#include "fakes/StoreHarness.h"

namespace orvelle {
namespace {

using test::InMemoryPreferences;
using test::StoreHarness;

constexpr int kNoon = 12 * 60;

WorkdayRules rules(AfterEnd afterEnd, double rate = 1.5, int breakFrom = 0, int breakTo = 0) {
    WorkdayRules r;
    r.afterEnd = afterEnd;
    r.overtimeRate = rate;
    r.breakEnabled = breakTo > breakFrom;
    if (r.breakEnabled) {
        r.breakStartMinutes = breakFrom;
        r.breakEndMinutes = breakTo;
    }
    return r;
}
WorkdayRules lunch(int from = kNoon, int to = kNoon + 60, AfterEnd afterEnd = AfterEnd::keepPaying,
                   double rate = 1.5) {
    return rules(afterEnd, rate, from, to);
}

// 500 a day, a session from `start` to the end of work `end`, seen at `at` (hours, minutes).
struct DayCase {
    const char* what;
    WorkdayRules rules;
    int start, end, at;
    const char* amount;
    double paidHours;
    bool overtime;
};

constexpr int hm(int hours, int minutes = 0) {
    return hours * 60 + minutes;
}

class WorkdayTest : public ::testing::Test {
protected:
    SalaryStore& work(const WorkdayRules& r, int start, int end) {
        harness.setLocal({2026, 3, 2, start / 60, start % 60});
        SalaryStore& store = harness.launch();
        store.setWorkday(r);
        store.setScheduleEndMinutes(end);
        store.startWork();
        return store;
    }
    void tickAt(int minutes, int day = 2) {
        harness.setLocal({2026, 3, day, minutes / 60, minutes % 60});
        harness.scheduler.tick();
    }
    StoreHarness harness;
};

const AfterEnd kKeep = AfterEnd::keepPaying;
const AfterEnd kStop = AfterEnd::stop;
const AfterEnd kOver = AfterEnd::overtime;

TEST_F(WorkdayTest, PaysThePaidSecondsAndFollowsTheAfterEndChoice) {
    const DayCase cases[] = {
        // All off: the even spread, growing past the end at the same rate.
        {"off", {}, hm(9), hm(18), hm(13, 30), "250.00", 9, false},
        {"off past the end", {}, hm(9), hm(18), hm(22, 30), "750.00", 9, false},
        {"off, clock set back", {}, hm(9), hm(18), hm(8, 6), "-50.00", 9, false},
        {"off, late start", {}, hm(19, 30), hm(18), hm(21), "33.33", 22.5, false},
        // The break: before, inside, after, around the interval; a start inside it.
        {"before the break", lunch(), hm(9), hm(18), hm(11), "125.00", 8, false},
        {"inside the break", lunch(), hm(9), hm(18), hm(12, 30), "187.50", 8, false},
        {"after the break", lunch(), hm(9), hm(18), hm(15), "312.50", 8, false},
        {"at the end", lunch(), hm(9), hm(18), hm(18), "500.00", 8, false},
        {"break before the start", lunch(), hm(14), hm(18), hm(16), "250.00", 4, false},
        {"break after the end", lunch(), hm(9), hm(11), hm(12, 30), "875.00", 2, false},
        {"started in the break", lunch(), hm(12, 30), hm(18), hm(12, 50), "0.00", 5, false},
        {"started in the break, after", lunch(), hm(12, 30), hm(18), hm(14), "100.00", 5, false},
        // A break that covers the end of work (a hand-edited file, or the end moved into the
        // break) is ignored as a whole: it would leave a session no paid time.
        {"break across the end", lunch(hm(17), hm(19)), hm(9), hm(18), hm(18, 30), "527.78", 9,
         false},
        {"break around the interval", lunch(hm(11), hm(14)), hm(12), hm(13), hm(13, 1), "508.33", 1,
         false},
        {"end moved to the break's end", lunch(), hm(9), hm(13), hm(13, 30), "562.50", 4, false},
        {"the same, overtime 3x", lunch(kNoon, kNoon + 60, kOver, 3), hm(9), hm(13), hm(13, 30),
         "687.50", 4, true},
        {"the same, stop", lunch(kNoon, kNoon + 60, kStop), hm(9), hm(13), hm(13, 30), "500.00", 4,
         false},
        // After the end: before, at and past it, each choice and multiplier.
        {"stop before", rules(kStop), hm(9), hm(18), hm(13, 30), "250.00", 9, false},
        {"stop at", rules(kStop), hm(9), hm(18), hm(18), "500.00", 9, false},
        {"stop past", rules(kStop), hm(9), hm(18), hm(22), "500.00", 9, false},
        {"overtime before", rules(kOver), hm(9), hm(18), hm(13, 30), "250.00", 9, false},
        {"overtime at", rules(kOver), hm(9), hm(18), hm(18), "500.00", 9, true},
        {"overtime 1.5x", rules(kOver, 1.5), hm(9), hm(18), hm(19), "583.33", 9, true},
        {"overtime 2x", rules(kOver, 2), hm(9), hm(18), hm(19), "611.11", 9, true},
        {"overtime 3x", rules(kOver, 3), hm(9), hm(18), hm(19), "666.67", 9, true},
        {"continue past", rules(kKeep), hm(9), hm(18), hm(19), "555.56", 9, false},
        {"stop with a break", lunch(kNoon, kNoon + 60, kStop), hm(9), hm(18), hm(20), "500.00", 8,
         false},
        {"overtime with a break", lunch(kNoon, kNoon + 60, kOver, 2), hm(9), hm(18), hm(19),
         "625.00", 8, true}};
    for (const DayCase& c : cases) {
        SCOPED_TRACE(c.what);
        SalaryStore& store = work(c.rules, c.start, c.end);
        tickAt(c.at);
        EXPECT_EQ(store.menuBarEarnedText(), c.amount);
        EXPECT_DOUBLE_EQ(*store.scheduledWorkSeconds(), c.paidHours * 3600);
        EXPECT_EQ(store.isOvertime(), c.overtime);
        EXPECT_EQ(store.pastEndOfWork(), c.start < c.end && c.at >= c.end);
    }
}

TEST_F(WorkdayTest, OvertimeEndsWithTheSessionAtMidnightOrWhenStopped) {
    SalaryStore& store = work(rules(kOver, 2), hm(9), hm(18));
    tickAt(hm(23, 59));
    EXPECT_TRUE(store.isOvertime());
    tickAt(0, 3);
    EXPECT_FALSE(store.isWorking());
    EXPECT_FALSE(store.isOvertime());
    EXPECT_EQ(store.earnedTodayDisplay(), 0.0);

    SalaryStore& again = work(rules(kOver, 2), hm(9), hm(18));
    tickAt(hm(19));
    again.stopWork();
    EXPECT_FALSE(again.isOvertime());
    EXPECT_EQ(again.earnedTodayDisplay(), 0.0);
}

TEST(WorkdayRules, BreaksThatLeaveNoPaidTimeAreRefused) {
    EXPECT_EQ(checkBreak(hm(18), hm(19), hm(18)), BreakProblem::none);  // starts at the end
    EXPECT_EQ(checkBreak(hm(13), hm(13), hm(18)), BreakProblem::endsBeforeStart);
    EXPECT_EQ(checkBreak(hm(17), hm(18), hm(18)), BreakProblem::coversEndOfWork);
}

// Untouched rules add no key; changed ones are JSON booleans, minutes, a text and a number; a value
// of the wrong kind reads as the default.
TEST(WorkdayRules, StoredOnlyOnceChangedAndReadStrictly) {
    InMemoryPreferences defaults;
    saveWorkdayRules(defaults, {});
    EXPECT_TRUE(defaults.values().empty());
    WorkdayRules changed = lunch(hm(11, 30), hm(12, 30), kOver, 3);
    changed.endNotice = true;
    saveWorkdayRules(defaults, changed);
    EXPECT_EQ(loadWorkdayRules(defaults), changed);
    EXPECT_EQ(defaults.value(keys::breakEnabled), PreferenceValue{true});
    EXPECT_EQ(defaults.text(keys::afterEnd), "overtime");
    saveWorkdayRules(defaults, {});  // switched off again: stored as off, not forgotten
    EXPECT_EQ(defaults.value(keys::breakEnabled), PreferenceValue{false});
    EXPECT_EQ(defaults.value(keys::endNotice), PreferenceValue{false});
    EXPECT_EQ(loadWorkdayRules(defaults), WorkdayRules{});

    defaults = InMemoryPreferences::Values{
        {keys::breakEnabled, std::int64_t{1}},   {keys::endNotice, std::string("true")},
        {keys::afterEnd, std::string("Stop")},   {keys::overtimeRate, 2.5},
        {keys::breakStartMin, std::int64_t{-5}}, {keys::breakEndMin, true}};
    WorkdayRules fallback;
    fallback.breakStartMinutes = 0;
    EXPECT_EQ(loadWorkdayRules(defaults), fallback);
}

}  // namespace
}  // namespace orvelle
