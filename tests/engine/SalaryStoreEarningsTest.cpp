#include <cmath>

#include <gtest/gtest.h>

#include "engine/AmountText.h"
#include "engine/Earnings.h"
#include "fakes/StoreHarness.h"

namespace orvelle {
namespace {

using test::LocalDateTime;
using test::StoreHarness;

class EarningsTest : public ::testing::Test {
protected:
    // Opens a session at `start` with the end of work at `endHour`:`endMinute`.
    SalaryStore& workFrom(const LocalDateTime& start, int endHour = 18, int endMinute = 0) {
        harness.setLocal(start);
        SalaryStore& store = harness.store ? *harness.store : harness.launch();
        store.setScheduleEndMinutes(endHour * 60 + endMinute);
        store.startWork();
        return store;
    }

    void tickAt(const LocalDateTime& local) {
        harness.setLocal(local);
        harness.scheduler.tick();
    }

    StoreHarness harness;
};

// 10,000 a month over 21.75 working days, half of 09:00 to 18:00; working days below a hundredth
// (or not a number) count as a hundredth.
TEST_F(EarningsTest, MonthlyPayIsDividedByWorkingDays) {
    harness.setLocal({2026, 3, 2, 9, 0});
    SalaryStore& store = harness.launch();
    store.setMode(SalaryMode::monthly);
    store.setAmountText("10,000");
    workFrom({2026, 3, 2, 9, 0});
    tickAt({2026, 3, 2, 13, 30});
    EXPECT_EQ(store.menuBarEarnedText(), "229.89");
    for (const double days : {0.0, -2.0, 0.01, std::nan("")}) {
        store.setWorkingDaysPerMonth(days);
        workFrom({2026, 3, 2, 9, 0});
        EXPECT_DOUBLE_EQ(store.payRatePerSecond(), 10000 / (0.01 * 32400)) << days;
    }
}

// The pay interval runs to the next end of work strictly later, and lasts a minute at least.
TEST_F(EarningsTest, PayIntervalRunsToTheNextEndOfWork) {
    const struct {
        LocalDateTime anchor;
        int endHour, endMinute;
        double seconds;
    } cases[] = {{{2026, 3, 2, 17, 59, 30}, 18, 0, 60},    {{2026, 3, 2, 17, 59, 0.5}, 18, 0, 60},
                 {{2026, 3, 2, 18, 0, 0}, 18, 0, 86400},  // not strictly later
                 {{2026, 3, 2, 19, 30}, 18, 0, 81000},     {{2026, 3, 2, 0, 0}, 0, 0, 86400},
                 {{2026, 3, 2, 23, 59, 59}, 23, 59, 86341}};
    for (const auto& c : cases) {
        SalaryStore& store = workFrom(c.anchor, c.endHour, c.endMinute);
        EXPECT_DOUBLE_EQ(*store.scheduledWorkSeconds(), c.seconds) << c.seconds;
    }
}

TEST_F(EarningsTest, AmountsThatAreNoNumberEarnNothing) {
    SalaryStore& store = workFrom({2026, 3, 2, 9, 0});
    for (const char* text : {"500元", "-100", "inf"}) {
        store.setAmountText(text);
        tickAt({2026, 3, 2, 10, 0});
        EXPECT_EQ(store.earnedTodayDisplay(), 0.0) << text;
        EXPECT_EQ(store.menuBarEarnedText(), "0.00") << text;
    }
}

TEST_F(EarningsTest, SettingsChangedWhileWorkingRevalueTheWholeSession) {
    SalaryStore& store = workFrom({2026, 3, 2, 9, 0});
    tickAt({2026, 3, 2, 13, 30});
    store.setAmountText("1000");
    harness.scheduler.tick();
    EXPECT_EQ(store.menuBarEarnedText(), "500.00");
    store.setScheduleEndMinutes(8 * 60);  // before the anchor: ends tomorrow at 08:00
    harness.scheduler.tick();
    EXPECT_DOUBLE_EQ(*store.scheduledWorkSeconds(), 23 * 3600.0);
    EXPECT_EQ(store.menuBarEarnedText(), formatTwoDecimals(16200 * 1000 / (23 * 3600.0)));
}

TEST(EndInstant, GivesNoEarlierThanTheStartWhenTheCalendarFails) {
    struct BrokenCalendar final : Calendar {
        std::string dayKey(Instant) const override { return "x"; }
        std::optional<Instant> atLocalTime(Instant, int, int) const override { return {}; }
        std::optional<Instant> oneDayLater(Instant) const override { return {}; }
    } calendar;
    const Instant start{1000};
    EXPECT_EQ(endInstant(calendar, start, 600), start);
    EXPECT_EQ(payIntervalSeconds(start, endInstant(calendar, start, 600)), 60.0);
}

}  // namespace
}  // namespace orvelle
