#include "engine/StoredSettings.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "engine/PreferenceKeys.h"
#include "fakes/StoreHarness.h"

namespace orvelle {
namespace {

using test::InMemoryPreferences;

constexpr double kInf = std::numeric_limits<double>::infinity();

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() { harness.setLocal({2026, 3, 1, 10, 0}); }

    test::StoreHarness harness;
};

// A first launch writes the end of work and the day, and nothing else.
TEST_F(SettingsTest, EmptyStoreGivesDefaultsAndWritesTheEndTime) {
    SalaryStore& store = harness.launch();
    EXPECT_EQ(store.mode(), SalaryMode::daily);
    EXPECT_EQ(store.amountText(), "500");
    EXPECT_EQ(store.scheduleEndMinutes(), 1080);
    EXPECT_EQ(store.workingDaysPerMonth(), 21.75);
    EXPECT_EQ(harness.preferences.values(),
              InMemoryPreferences::Values({{keys::calendarDay, std::string("2026-03-01")},
                                           {keys::scheduleEndMin, std::int64_t{1080}}}));
}

// A stored amount reads as a number without grouping, a mode other than "monthly" as daily, and
// an end of work, stored or set, is clamped into the day.
TEST_F(SettingsTest, StoredAndSetValuesAreReadIntoRange) {
    for (const auto& [stored, text] : {std::pair<PreferenceValue, std::string>{1e7, "10000000.00"},
                                       {std::int64_t{8000}, "8000.00"}}) {
        harness.preferences.set(keys::amount, stored);
        EXPECT_EQ(harness.launch().amountText(), text);
    }
    for (const PreferenceValue& stored : {PreferenceValue{std::string("Monthly")}, {1.0}}) {
        harness.preferences.set(keys::mode, stored);
        EXPECT_EQ(harness.launch().mode(), SalaryMode::daily);
    }
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
        EXPECT_EQ(preferences.values(),
                  InMemoryPreferences::Values({{keys::scheduleEndMin, std::int64_t{minutes}}}))
            << hours;
    }
    InMemoryPreferences preferences({{keys::scheduleEndMin, std::int64_t{1000}},
                                     {keys::legacyWorkHours, 8.0},
                                     {keys::legacyScheduleStartMin, std::int64_t{540}}});
    migrateLegacyWorkHoursIfNeeded(preferences);
    EXPECT_EQ(preferences.values(),
              InMemoryPreferences::Values(
                  {{keys::scheduleEndMin, std::int64_t{1000}}, {keys::legacyWorkHours, 8.0}}));
}

TEST_F(SettingsTest, SavesTheFourSettingsWhichComeBackAfterARelaunch) {
    SalaryStore& store = harness.launch();
    store.setMode(SalaryMode::monthly);
    store.setWorkingDaysPerMonth(22.25);
    store.setScheduleEndMinutes(1079);
    store.setAmountText("1,234.5");
    store.saveSettings();
    EXPECT_EQ(harness.preferences.values(),
              InMemoryPreferences::Values({{keys::calendarDay, std::string("2026-03-01")},
                                           {keys::mode, std::string("monthly")},
                                           {keys::amount, 1234.5},
                                           {keys::scheduleEndMin, std::int64_t{1079}},
                                           {keys::workingDays, 22.25}}));
    EXPECT_EQ(store.amountText(), "1,234.5");

    harness.setLocal({2026, 3, 2, 8, 0});
    SalaryStore& relaunched = harness.launch();
    EXPECT_EQ(relaunched.mode(), SalaryMode::monthly);
    EXPECT_EQ(relaunched.amountText(), "1234.50");
    EXPECT_EQ(relaunched.workingDaysPerMonth(), 22.25);
    EXPECT_EQ(relaunched.scheduleEndMinutes(), 1079);
    harness.preferences.set(keys::workingDays, -3.0);  // loaded unbounded; the pay rate guards it
    EXPECT_EQ(harness.launch().workingDaysPerMonth(), -3.0);
    harness.store->setAmountText("500元");  // no number: saved as 0, the text kept for editing
    harness.store->saveSettings();
    EXPECT_EQ(harness.preferences.number(keys::amount), 0.0);
    EXPECT_EQ(harness.store->amountText(), "500元");
}

}  // namespace
}  // namespace orvelle
