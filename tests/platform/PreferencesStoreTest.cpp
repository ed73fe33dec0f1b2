#include "platform/api/PreferencesStore.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "fakes/InMemoryPreferences.h"

namespace orvelle {
namespace {

using test::InMemoryPreferences;

TEST(PreferencesStore, NumbersReadFromNumbersAndFromTextThatIsANumber) {
    struct Case {
        PreferenceValue stored;
        std::optional<double> number;
        std::int64_t integer;
    };
    const Case cases[] = {
        {21.75, 21.75, 21},
        {std::int64_t{1080}, 1080.0, 1080},
        {std::string("22"), 22.0, 22},
        {std::string("21.75"), 21.75, 21},
        {std::string("-3"), -3.0, -3},
        {std::string("1e400"), std::nullopt, 0},
        {std::string("inf"), std::nullopt, 0},
        {std::string("nan"), std::nullopt, 0},
        {std::string(" 22"), std::nullopt, 0},
        {std::string("22 days"), std::nullopt, 0},
        {std::string("21,75"), std::nullopt, 0},
        {std::string(""), std::nullopt, 0},
        {ForeignValue{}, std::nullopt, 0},
        {1e300, 1e300, std::numeric_limits<std::int64_t>::max()},
        {-1e300, -1e300, std::numeric_limits<std::int64_t>::min()},
        {std::numeric_limits<double>::quiet_NaN(), std::nullopt, 0},
    };
    for (const Case& c : cases) {
        InMemoryPreferences store({{"key", c.stored}});
        const auto number = store.numberIfPresent("key");
        if (c.number) {
            EXPECT_EQ(number, c.number) << ::testing::PrintToString(c.stored);
        } else if (number) {
            EXPECT_TRUE(std::isnan(*number)) << ::testing::PrintToString(c.stored);
        }
        EXPECT_EQ(store.integer("key"), c.integer) << ::testing::PrintToString(c.stored);
    }
}

TEST(PreferencesStore, FlagsAreBooleansOnlyAndNeverNumbers) {
    const std::pair<PreferenceValue, std::optional<bool>> cases[] = {
        {true, true},
        {false, false},
        {1.0, std::nullopt},
        {std::int64_t{0}, {}},
        {std::string("true"), {}},
        {ForeignValue{}, {}},
    };
    for (const auto& [stored, flag] : cases) {
        InMemoryPreferences store({{"key", stored}});
        EXPECT_EQ(store.flag("key"), flag) << ::testing::PrintToString(stored);
        if (flag) {
            EXPECT_EQ(store.numberIfPresent("key"), std::nullopt);
            EXPECT_EQ(store.integer("key"), 0);
        }
    }
    EXPECT_EQ(InMemoryPreferences().flag("key"), std::nullopt);
}

TEST(PreferencesStore, ABatchWritesOnceWhenTheOutermostOneEnds) {
    InMemoryPreferences store;
    store.set("a", 1.0);
    store.remove("absent");  // nothing was there: nothing to write
    EXPECT_EQ(store.writeCount(), 1);
    {
        const PreferencesStore::Batch outer(store);
        store.set("b", 2.0);
        {
            const PreferencesStore::Batch inner(store);
            store.remove("a");
            store.set("c", std::string("three"));
        }
        EXPECT_EQ(store.writeCount(), 1);
        EXPECT_EQ(store.text("c"), "three");  // visible at once, only not yet written
    }
    EXPECT_EQ(store.writeCount(), 2);
    { const PreferencesStore::Batch unchanged(store); }
    EXPECT_EQ(store.writeCount(), 2);
}

}  // namespace
}  // namespace orvelle
