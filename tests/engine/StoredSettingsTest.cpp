#include "engine/StoredSettings.h"

#include <cmath>
#include <limits>

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

    int loadedEndMinutes() { return harness.launch().scheduleEndMinutes(); }

    StoreHarness harness;
};

TEST_F(LoadTest, EmptyStoreGivesDefaultsAndWritesTheEndTime) {
    SalaryStore& store = harness.launch();
    EXPECT_EQ(store.mode(), SalaryMode::daily);
    EXPECT_EQ(store.amountText(), "500");
    EXPECT_EQ(store.scheduleEndMinutes(), 1080);
    EXPECT_EQ(store.workingDaysPerMonth(), 21.75);
    EXPECT_FALSE(store.isWorking());
    EXPECT_EQ(harness.preferences.value(keys::scheduleEndMin), PreferenceValue{std::int64_t{1080}});
    EXPECT_FALSE(harness.preferences.contains(keys::legacyScheduleStartMin));
    EXPECT_FALSE(harness.preferences.contains(keys::mode));
    EXPECT_FALSE(harness.preferences.contains(keys::amount));
}

TEST_F(LoadTest, AmountIsNormalisedWithoutGrouping) {
    for (const auto& [stored, text] :
         std::vector<std::pair<PreferenceValue, std::string>>{{0.0, "0.00"},
                                                              {10000000.0, "10000000.00"},
                                                              {std::int64_t{8000}, "8000.00"},
                                                              {std::string("800"), "800.00"},
                                                              {std::string("eight"), "0.00"},
                                                              {ForeignValue{}, "0.00"}}) {
        harness.preferences.set(keys::amount, stored);
        EXPECT_EQ(harness.launch().amountText(), text);
    }
}

TEST_F(LoadTest, BadModesFallBackToDaily) {
    for (const PreferenceValue& stored : {PreferenceValue{std::string("Monthly")},
                                          PreferenceValue{std::string("")}, PreferenceValue{1.0}}) {
        harness.preferences.set(keys::mode, stored);
        EXPECT_EQ(harness.launch().mode(), SalaryMode::daily);
    }
}

TEST_F(LoadTest, EndMinutesAreClampedIntoTheDay) {
    for (const auto& [stored, minutes] :
         std::vector<std::pair<PreferenceValue, int>>{{std::int64_t{1500}, 1439},
                                                      {std::int64_t{-5}, 0},
                                                      {std::int64_t{1439}, 1439},
                                                      {std::int64_t{540}, 540},
                                                      {1e300, 1439},
                                                      {-kInf, 0},
                                                      {1050.9, 1050},
                                                      {std::string("600"), 600},
                                                      {std::string("six"), 0}}) {
        harness.preferences.set(keys::scheduleEndMin, stored);
        EXPECT_EQ(loadedEndMinutes(), minutes);
    }
}

struct MigrationCase {
    double hours;
    int minutes;
};

void PrintTo(const MigrationCase& c, std::ostream* out) {
    *out << c.hours << " hours";
}

class LegacyMigrationTest : public ::testing::TestWithParam<MigrationCase> {};

TEST_P(LegacyMigrationTest, HoursFromNineBecomeAnEndTime) {
    InMemoryPreferences preferences;
    preferences.set(keys::legacyWorkHours, GetParam().hours);
    preferences.set(keys::legacyScheduleStartMin, std::int64_t{540});
    migrateLegacyWorkHoursIfNeeded(preferences);
    EXPECT_EQ(preferences.integer(keys::scheduleEndMin), GetParam().minutes);
    EXPECT_FALSE(preferences.contains(keys::legacyWorkHours));
    EXPECT_FALSE(preferences.contains(keys::legacyScheduleStartMin));
}

INSTANTIATE_TEST_SUITE_P(
    Table, LegacyMigrationTest,
    ::testing::Values(MigrationCase{8, 1020}, MigrationCase{9.5, 1110}, MigrationCase{0, 541},
                      MigrationCase{20, 1439}, MigrationCase{8.125, 1028}, MigrationCase{-3, 541},
                      MigrationCase{kInf, 1439}, MigrationCase{-kInf, 541},
                      MigrationCase{1e300, 1439},
                      MigrationCase{std::numeric_limits<double>::quiet_NaN(), 1080}));

TEST(LegacyMigration, LeavesLegacyHoursAloneWhenAnEndTimeExists) {
    InMemoryPreferences preferences;
    preferences.set(keys::scheduleEndMin, std::int64_t{1000});
    preferences.set(keys::legacyWorkHours, 8.0);
    preferences.set(keys::legacyScheduleStartMin, std::int64_t{540});
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
}

TEST_F(SaveTest, AmountTextsThatAreNoNumberSaveAsZero) {
    SalaryStore& store = harness.launch();
    for (const auto& [text, saved] : std::vector<std::pair<std::string, double>>{
             {"1,234.5", 1234.5}, {"500元", 0}, {"inf", 0}}) {
        store.setAmountText(text);
        store.saveSettings();
        EXPECT_EQ(harness.preferences.number(keys::amount), saved) << "text: '" << text << "'";
        EXPECT_EQ(store.amountText(), text);
    }
}

}  // namespace
}  // namespace orvelle
