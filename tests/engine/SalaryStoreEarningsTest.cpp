#include <clocale>
#include <cmath>
#include <tuple>

#include <gtest/gtest.h>

#include "engine/AmountText.h"
#include "engine/Earnings.h"
#include "fakes/StoreHarness.h"

namespace orvelle {
namespace {

using test::LocalDateTime;

constexpr AfterEnd kKeep = AfterEnd::keepPaying, kStop = AfterEnd::stop, kOver = AfterEnd::overtime;

// The minutes after midnight of a time of day given in hours: 13.5 is 13:30.
int minutes(double hours) {
    return static_cast<int>(std::lround(hours * 60));
}

// Rules without a break, and with one from `from` to `to` (fields in declaration order).
WorkdayRules rules(AfterEnd afterEnd, double rate = 1.5) {
    return {false, 720, 780, afterEnd, rate, false};
}
WorkdayRules lunch(double from = 12, double to = 13, AfterEnd afterEnd = kKeep, double rate = 1.5) {
    return {true, minutes(from), minutes(to), afterEnd, rate, false};
}

// `hours` into 2 March 2026, or into another day of that month.
LocalDateTime at(double hours, int day = 2) {
    const int m = minutes(hours);
    return {2026, 3, day, m / 60, m % 60};
}

// Only a whole, finite decimal is an amount; pay is never negative.
TEST(AmountText, ReadsOnlyWholeFiniteDecimals) {
    const std::tuple<std::string_view, double, double> amounts[] = {
        {"500", 500, 500},     {"1,234.5", 1234.5, 1234.5}, {"5e3", 5000, 5000}, {"-100", -100, 0},
        {"+7.25", 7.25, 7.25}, {"1,,0,0,0", 1000, 1000},    {"0", 0, 0}};
    for (const auto& [text, parsed, payable] : amounts) {
        EXPECT_EQ(parseAmount(text), parsed) << text;
        EXPECT_EQ(payableAmount(text), payable) << text;
    }
    for (const std::string_view text : {"", ",", " 500", "\t500", "500 ", "500元", "1，234", "abc",
                                        "12,5.3.1", "inf", "-infinity", "nan", "1e999", "-1e999"}) {
        EXPECT_EQ(parseAmount(text), std::nullopt) << "'" << text << "'";
        EXPECT_EQ(payableAmount(text), 0.0) << "'" << text << "'";
    }
    const char withNul[] = {'5', '0', '\0', '0'};  // strtod would stop at the NUL
    EXPECT_EQ(parseAmount(std::string_view(withNul, 4)), std::nullopt);
}

// A GUI toolkit switches the process to the user's locale; a German one reads "," as the decimal
// separator and would turn "1.5" into 1. tools/install-deps --test generates de_DE.UTF-8.
TEST(AmountText, IgnoresTheProcessLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr) << "de_DE.UTF-8 is missing";
    EXPECT_EQ(parseAmount("1.5"), 1.5);
    EXPECT_EQ(formatTwoDecimals(1.5), "1.50");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

class EarningsTest : public ::testing::Test {
protected:
    // Launches the store and opens a session at `start` with the end of work at `end`; 500 a day.
    SalaryStore& work(const LocalDateTime& start, int end = 1080, const WorkdayRules& r = {}) {
        SalaryStore& store = harness.launchAt(start);
        store.setWorkday(r);
        store.setScheduleEndMinutes(end);
        store.startWork();
        return store;
    }

    test::StoreHarness harness;
};

// 10,000 a month over 21.75 working days, half of 09:00 to 18:00; working days below a hundredth
// (or not a number) count as a hundredth.
TEST_F(EarningsTest, MonthlyPayIsDividedByWorkingDays) {
    SalaryStore& store = work(at(9));
    store.setMode(SalaryMode::monthly);
    store.setAmountText("10,000");
    harness.tickAt(at(13.5));
    EXPECT_EQ(store.menuBarEarnedText(), "229.89");
    for (const double days : {0.0, -2.0, 0.01, std::nan("")}) {
        store.setWorkingDaysPerMonth(days);
        EXPECT_DOUBLE_EQ(store.payRatePerSecond(), 10000 / (0.01 * 32400)) << days;
    }
}

// The pay interval runs to the next end of work strictly later, and lasts a minute at least.
TEST_F(EarningsTest, PayIntervalRunsToTheNextEndOfWork) {
    const struct {
        LocalDateTime anchor;
        int end;
        double seconds;
    } cases[] = {{{2026, 3, 2, 17, 59, 30}, 1080, 60},   {{2026, 3, 2, 17, 59, 0.5}, 1080, 60},
                 {{2026, 3, 2, 18, 0, 0}, 1080, 86400},  // not strictly later
                 {{2026, 3, 2, 19, 30}, 1080, 81000},    {{2026, 3, 2, 0, 0}, 0, 86400},
                 {{2026, 3, 2, 23, 59, 59}, 1439, 86341}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(*work(c.anchor, c.end).scheduledWorkSeconds(), c.seconds) << c.seconds;
    }
}

// A changed amount, end of work or zone revalues the session from its start, at once; an amount
// that is no positive finite number earns nothing, rather than a negative or endless amount.
TEST_F(EarningsTest, SettingsAndZonesChangedWhileWorkingRevalueTheWholeSession) {
    SalaryStore& store = work(at(9));
    harness.tickAt(at(13.5));
    store.setAmountText("1000");
    EXPECT_EQ(store.menuBarEarnedText(), "500.00");
    harness.timeZone.set("Asia/Tokyo");  // an hour ahead: work now ends an hour sooner
    harness.scheduler.tick();            // as a change of the zone is reported
    EXPECT_DOUBLE_EQ(*store.scheduledWorkSeconds(), 8 * 3600.0);
    harness.timeZone.set(harness.zoneId);
    store.setScheduleEndMinutes(8 * 60);  // before the anchor: ends tomorrow at 08:00
    EXPECT_DOUBLE_EQ(*store.scheduledWorkSeconds(), 23 * 3600.0);
    EXPECT_EQ(store.menuBarEarnedText(), formatTwoDecimals(16200 * 1000 / (23 * 3600.0)));
    for (const char* text : {"500元", "-100", "inf"}) {
        store.setAmountText(text);
        EXPECT_EQ(store.menuBarEarnedText(), "0.00") << text;
    }
}

// 500 a day, a session from `start` to the end of work `end`, seen at `at` (hours of the day).
// - All rules off: the even spread, growing past the end at the same rate, shrinking when the
//   clock is set back; a start after the end runs to tomorrow's.
// - The break: before, inside, after it and at the end; before the start, after the end; a start
//   inside it, seen there and after it.
// - A break that covers the end of work (a hand-edited file, or the end moved into the break) is
//   ignored as a whole, as it would leave a session no paid time; so is one that ends right at the
//   end of work, whatever comes after the end.
// - After the end: before, at and past it, each choice and multiplier, with and without a break.
TEST_F(EarningsTest, WorkdayRulesPayThePaidSecondsAndFollowTheAfterEndChoice) {
    const WorkdayRules off, noon = lunch(), late = lunch(17, 19), wide = lunch(11, 14),
                            stop = rules(kStop), over = rules(kOver), over3 = rules(kOver, 3),
                            noonStop = lunch(12, 13, kStop), noonOver2 = lunch(12, 13, kOver, 2),
                            noonOver3 = lunch(12, 13, kOver, 3);
    const struct {
        WorkdayRules rules;
        double start, end, at;
        const char* amount;
        double paidHours;
        bool overtime;
    } cases[] = {
        {off, 9, 18, 13.5, "250.00", 9, false},      {off, 9, 18, 22.5, "750.00", 9, false},
        {off, 9, 18, 8.1, "-50.00", 9, false},       {off, 19.5, 18, 21, "33.33", 22.5, false},
        {noon, 9, 18, 11, "125.00", 8, false},       {noon, 9, 18, 12.5, "187.50", 8, false},
        {noon, 9, 18, 15, "312.50", 8, false},       {noon, 9, 18, 18, "500.00", 8, false},
        {noon, 14, 18, 16, "250.00", 4, false},      {noon, 9, 11, 12.5, "875.00", 2, false},
        {noon, 12.5, 18, 12.75, "0.00", 5, false},   {noon, 12.5, 18, 14, "100.00", 5, false},
        {late, 9, 18, 18.5, "527.78", 9, false},     {wide, 12, 13, 13.25, "625.00", 1, false},
        {noon, 9, 13, 13.5, "562.50", 4, false},     {noonOver3, 9, 13, 13.5, "687.50", 4, true},
        {noonStop, 9, 13, 13.5, "500.00", 4, false}, {stop, 9, 18, 18, "500.00", 9, false},
        {stop, 9, 18, 22, "500.00", 9, false},       {over, 9, 18, 13.5, "250.00", 9, false},
        {over, 9, 18, 18, "500.00", 9, true},        {over, 9, 18, 19, "583.33", 9, true},
        {over3, 9, 18, 19, "666.67", 9, true},       {noonStop, 9, 18, 20, "500.00", 8, false},
        {noonOver2, 9, 18, 19, "625.00", 8, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "row " << &c - cases);
        SalaryStore& store = work(at(c.start), minutes(c.end), c.rules);
        harness.tickAt(at(c.at));
        EXPECT_EQ(store.menuBarEarnedText(), c.amount);
        EXPECT_DOUBLE_EQ(*store.scheduledWorkSeconds(), c.paidHours * 3600);
        EXPECT_EQ(store.isOvertime(), c.overtime);
        EXPECT_EQ(store.pastEndOfWork(), c.start < c.end && c.at >= c.end);
    }
}

}  // namespace
}  // namespace orvelle
