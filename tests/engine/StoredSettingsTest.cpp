#include "engine/StoredSettings.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "engine/PreferenceKeys.h"
#include "fakes/StoreHarness.h"

namespace orvelle {
namespace {

using test::InMemoryPreferences;
using test::StoreHarness;

constexpr double kInf = std::numeric_limits<double>::infinity();

class LoadTest : public ::testing::Test {
protected:
    LoadTest() { harness.setLocal({2026, 3, 1, 10, 0}); }

    StoreHarness harness;
};

TEST_F(LoadTest, EmptyStoreGivesDefaultsAndWritesTheEndTime) {
    SalaryStore& store = harness.launch();
    EXPECT_EQ(store.mode(), SalaryMode::daily);
    EXPECT_EQ(store.amountText(), "500");
    EXPECT_EQ(store.scheduleEndMinutes(), 1080);
    EXPECT_EQ(store.workingDaysPerMonth(), 21.75);
    EXPECT_EQ(harness.preferences.value(keys::scheduleEndMin), PreferenceValue{std::int64_t{1080}});
    EXPECT_FALSE(harness.preferences.contains(keys::mode));
    EXPECT_FALSE(harness.preferences.contains(keys::amount));
}

// Each stored setting of the wrong kind or out of range reads as something usable: the amount as a
// number without grouping, the mode as daily, the end of work clamped into the day.
TEST_F(LoadTest, StoredValuesAreReadIntoRange) {
    for (const auto& [stored, text] :
         std::vector<std::pair<PreferenceValue, std::string>>{{10000000.0, "10000000.00"},
                                                              {std::int64_t{8000}, "8000.00"},
                                                              {std::string("800"), "800.00"},
                                                              {std::string("eight"), "0.00"},
                                                              {ForeignValue{}, "0.00"}}) {
        harness.preferences.set(keys::amount, stored);
        EXPECT_EQ(harness.launch().amountText(), text);
    }
    for (const PreferenceValue& stored : {PreferenceValue{std::string("Monthly")},
                                          PreferenceValue{std::string("")}, PreferenceValue{1.0}}) {
        harness.preferences.set(keys::mode, stored);
        EXPECT_EQ(harness.launch().mode(), SalaryMode::daily);
    }
    for (const auto& [stored, minutes] :
         std::vector<std::pair<PreferenceValue, int>>{{std::int64_t{1500}, 1439},
                                                      {std::int64_t{-5}, 0},
                                                      {std::int64_t{1439}, 1439},
                                                      {1e300, 1439},
                                                      {-kInf, 0},
                                                      {1050.9, 1050},
                                                      {std::string("six"), 0}}) {
        harness.preferences.set(keys::scheduleEndMin, stored);
        EXPECT_EQ(harness.launch().scheduleEndMinutes(), minutes);
    }
}

// Legacy hours counted from 09:00 become an end time, clamped into the day, once and only when no
// end time is stored; the legacy start goes either way.
TEST(LegacyMigration, HoursFromNineBecomeAnEndTime) {
    const std::pair<double, int> cases[] = {
        {8, 1020}, {9.5, 1110},  {0, 541},     {20, 1439},    {8.125, 1028},
        {-3, 541}, {kInf, 1439}, {-kInf, 541}, {1e300, 1439}, {std::nan(""), 1080}};
    for (const auto& [hours, minutes] : cases) {
        InMemoryPreferences preferences(
            {{keys::legacyWorkHours, hours}, {keys::legacyScheduleStartMin, std::int64_t{540}}});
        migrateLegacyWorkHoursIfNeeded(preferences);
        EXPECT_EQ(preferences.integer(keys::scheduleEndMin), minutes) << hours;
        EXPECT_FALSE(preferences.contains(keys::legacyWorkHours));
        EXPECT_FALSE(preferences.contains(keys::legacyScheduleStartMin));
    }
    InMemoryPreferences preferences({{keys::scheduleEndMin, std::int64_t{1000}},
                                     {keys::legacyWorkHours, 8.0},
                                     {keys::legacyScheduleStartMin, std::int64_t{540}}});
    migrateLegacyWorkHoursIfNeeded(preferences);
    EXPECT_EQ(preferences.integer(keys::scheduleEndMin), 1000);
    EXPECT_TRUE(preferences.contains(keys::legacyWorkHours));
    EXPECT_FALSE(preferences.contains(keys::legacyScheduleStartMin));
}

class SaveTest : public LoadTest {};

TEST_F(SaveTest, WritesTheFourSettingsWhichComeBackAfterARelaunch) {
    SalaryStore& store = harness.launch();
    store.setMode(SalaryMode::monthly);
    store.setWorkingDaysPerMonth(22.25);
    store.setScheduleEndMinutes(1079);
    store.setAmountText("1,234.5");
    const auto before = harness.preferences.values().size();
    store.saveSettings();
    EXPECT_EQ(harness.preferences.text(keys::mode), "monthly");
    EXPECT_EQ(harness.preferences.value(keys::amount), PreferenceValue{1234.5});
    EXPECT_EQ(harness.preferences.value(keys::scheduleEndMin), PreferenceValue{std::int64_t{1079}});
    EXPECT_EQ(harness.preferences.value(keys::workingDays), PreferenceValue{22.25});
    EXPECT_EQ(harness.preferences.values().size(), before + 3);  // the end time existed already
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
