#include "platform/api/PreferencesStore.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "fakes/InMemoryPreferences.h"

namespace orvelle {
namespace {

using test::InMemoryPreferences;

// Numbers read from numbers and from text that is wholly a number; integers are the number
// truncated and saturated. Nothing else, not a flag either, is a number.
TEST(PreferencesStore, NumbersReadFromNumbersAndFromTextThatIsANumber) {
    using S = std::string;
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    const std::tuple<PreferenceValue, std::optional<double>, std::int64_t> cases[] = {
        {21.75, 21.75, 21},
        {std::int64_t{1080}, 1080.0, 1080},
        {S("22"), 22.0, 22},
        {S("21.75"), 21.75, 21},
        {S("-3"), -3.0, -3},
        {S("1e400"), {}, 0},
        {S("inf"), {}, 0},
        {S("nan"), {}, 0},
        {S(" 22"), {}, 0},
        {S("22 days"), {}, 0},
        {S("21,75"), {}, 0},
        {S(""), {}, 0},
        {ForeignValue{}, {}, 0},
        {1e300, 1e300, kMax},
        {-1e300, -1e300, -kMax - 1},
        {std::nan(""), {}, 0},
        {true, {}, 0}};
    for (const auto& [stored, number, integer] : cases) {
        InMemoryPreferences store({{"key", stored}});
        const auto read = store.numberIfPresent("key");
        // A stored NaN may read as NaN or as nothing, never as a number.
        EXPECT_TRUE(number ? read == number : !read || std::isnan(*read))
            << ::testing::PrintToString(stored);
        EXPECT_EQ(store.integer("key"), integer) << ::testing::PrintToString(stored);
    }
}

TEST(PreferencesStore, FlagsAreBooleansOnly) {
    for (const auto& [stored, flag] : {std::pair<PreferenceValue, std::optional<bool>>{true, true},
                                       {false, false},
                                       {1.0, {}},
                                       {std::int64_t{0}, {}},
                                       {std::string("true"), {}}}) {
        EXPECT_EQ(InMemoryPreferences({{"key", stored}}).flag("key"), flag)
            << ::testing::PrintToString(stored);
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
