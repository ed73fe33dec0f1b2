#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "engine/AmountText.h"
#include "fakes/StoreHarness.h"

namespace orvelle {
namespace {

using test::LocalDateTime;

constexpr int kNoon = 12 * 60;

// A session since 09:00 with the end of work at 18:00, at `amount` a day, seen at `at`: when does
// the store ask to be woken next? `wake` is local time, or seconds after `at`.
struct WakeCase {
    const char* what;
    const char* amount;
    WorkdayRules rules;
    LocalDateTime at;
    std::optional<LocalDateTime> wake;
    double secondsAfter = 0;
};

TEST(NextWake, SleepsUntilTheNextCentTheBreakTheEndOfWorkOrMidnight) {
    const WorkdayRules lunch{true, kNoon, kNoon + 60};
    const WorkdayRules stop{false, kNoon, kNoon + 60, AfterEnd::stop};
    const WorkdayRules overtime{false, kNoon, kNoon + 60, AfterEnd::overtime, 2};
    const WakeCase cases[] = {
        // 500 a day over nine hours: a cent every 0.648 s, the first half cent at 0.324 s.
        {"the next cent", "500", {}, {2026, 3, 2, 9, 0}, {}, 0.324 + 0.001},
        // 100,000 a day: cents change 3 times in 50 ms; the store still sleeps 50 ms.
        {"never sooner than 50 ms", "100000", {}, {2026, 3, 2, 10, 0}, {}, 0.05},
        // 10 a day: a cent every 32.4 s, so the edges come first.
        {"the break begins", "10", lunch, {2026, 3, 2, 11, 59, 50}, {{2026, 3, 2, 12, 0}}},
        {"the break ends", "10", lunch, {2026, 3, 2, 12, 59, 50}, {{2026, 3, 2, 13, 0}}},
        // The minutes left to the end of work, shown on the way, go down once a minute.
        {"a minute less to the end", "10", lunch, {2026, 3, 2, 12, 30, 5}, {{2026, 3, 2, 12, 31}}},
        {"the end of work", "10", stop, {2026, 3, 2, 17, 59, 50}, {{2026, 3, 2, 18, 0}}},
        {"nothing more to earn: midnight", "10", stop, {2026, 3, 2, 19, 0}, {{2026, 3, 3, 0, 0}}},
        // Twice 500 a day past the end: a cent every 0.324 s, 0.005 of 1000/32400 a second.
        {"overtime at twice the rate", "500", overtime, {2026, 3, 2, 18, 0}, {}, 0.162 + 0.001},
    };
    for (const WakeCase& c : cases) {
        SCOPED_TRACE(c.what);
        test::StoreHarness harness;
        SalaryStore& store = harness.launchAt({2026, 3, 2, 9, 0});
        store.setAmountText(c.amount);
        store.setWorkday(c.rules);
        store.startWork();
        harness.tickAt(c.at);
        const Instant wanted = c.wake ? harness.at(*c.wake)
                                      : Instant{harness.at(c.at).secondsSince1970 + c.secondsAfter};
        EXPECT_NEAR(harness.scheduler.nextWake()->secondsSince1970, wanted.secondsSince1970, 1e-6);
    }
    // On the day the clocks go forward, the next midnight is 23 hours after the one before.
    test::StoreHarness newYork("America/New_York");
    SalaryStore& store = newYork.launchAt({2026, 3, 8, 0, 0, 30});
    store.setWorkday(stop);
    store.setScheduleEndMinutes(1);
    store.startWork();
    newYork.tickAt({2026, 3, 8, 0, 5});
    EXPECT_EQ(newYork.scheduler.nextWake(), newYork.at({2026, 3, 9, 0, 0}));
    EXPECT_DOUBLE_EQ(secondsBetween(*newYork.scheduler.nextWake(), newYork.at({2026, 3, 8, 0, 0})),
                     23 * 3600);
    // Woken when it asked, the day's session ends at midnight and not a moment before.
    const Instant midnight = *newYork.scheduler.nextWake();
    for (const double early : {0.001, 0.0}) {
        newYork.clock.set({midnight.secondsSince1970 - early});
        newYork.scheduler.fire();
        EXPECT_EQ(store.isWorking(), early > 0);
        EXPECT_EQ(store.today(), early > 0 ? "2026-03-08" : "2026-03-09");
    }
}

// Woken only at the instants it asks for, the store shows at every instant what a recomputation
// 20 times a second would show, or what that showed at most 50 ms before: over random rates, for
// random instants between the wakes.
TEST(NextWake, ShowsWhatTwentyRecomputationsASecondWouldShow) {
    std::mt19937 random(20261206);
    for (int run = 0; run < 20; ++run) {
        test::StoreHarness harness;
        SalaryStore& store = harness.launchAt({2026, 3, 2, 9, 0});
        // From about ¥3 to ¥300,000 a day, evenly over the orders of magnitude.
        const double amount = std::pow(10.0, std::uniform_real_distribution(0.5, 5.5)(random));
        store.setAmountText(formatTwoDecimals(amount));
        store.setWorkday({true, kNoon, kNoon + 60, AfterEnd::overtime, 1.5});
        harness.setLocal({2026, 3, 2, 11, 59, std::uniform_real_distribution(0.0, 59.0)(random)});
        store.startWork();
        const PayInterval interval =
            payIntervalOf(harness.calendar, harness.clock.now(), 18 * 60, store.workday());
        const auto truth = [&](Instant at) {
            return formatTwoDecimals(earnedAt(interval, *store.firstAnchorStart(), at,
                                              store.payRatePerSecond(), store.workday())
                                         .amount);
        };
        for (int wake = 0; wake < 200; ++wake) {
            const Instant from = harness.clock.now();
            const Instant next = *harness.scheduler.nextWake();
            ASSERT_GE(secondsBetween(next, from), SalaryStore::kShortestWakeSeconds - 1e-6);
            const Instant sample{std::uniform_real_distribution(from.secondsSince1970,
                                                                next.secondsSince1970)(random)};
            const Instant lagged{std::max(sample.secondsSince1970 - 0.05, from.secondsSince1970)};
            EXPECT_TRUE(store.menuBarEarnedText() == truth(sample) ||
                        store.menuBarEarnedText() == truth(lagged))
                << "run " << run << " at " << sample.secondsSince1970;
            harness.clock.set(next);
            harness.scheduler.fire();
            EXPECT_EQ(store.menuBarEarnedText(), truth(next));
        }
    }
}

}  // namespace
}  // namespace orvelle
