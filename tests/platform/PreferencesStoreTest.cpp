#include "platform/api/PreferencesStore.h"

#include <cmath>

#include <gtest/gtest.h>

#include "fakes/InMemoryPreferences.h"

namespace orvelle {
namespace {

using test::InMemoryPreferences;

// Numbers read from numbers and from text that is wholly a number; integers are the number
// truncated and saturated.
TEST(PreferencesStore, NumbersReadFromNumbersAndFromTextThatIsANumber) {
    using S = std::string;
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    const std::tuple<PreferenceValue, double, std::int64_t> cases[] = {
        {21.75, 21.75, 21},         {std::int64_t{0}, 0, 0}, {S("22"), 22, 22},
        {S("21.75"), 21.75, 21},    {S("-3"), -3, -3},       {1e300, 1e300, kMax},
        {-1e300, -1e300, -kMax - 1}};
    for (const auto& [stored, number, integer] : cases) {
        const InMemoryPreferences store({{"key", stored}});
        EXPECT_EQ(store.numberIfPresent("key"), number) << ::testing::PrintToString(stored);
        EXPECT_EQ(store.integer("key"), integer) << ::testing::PrintToString(stored);
        EXPECT_EQ(store.flag("key"), std::nullopt) << ::testing::PrintToString(stored);
    }
}

// Nothing else is a number, a flag neither; only booleans are flags.
TEST(PreferencesStore, NothingElseIsANumberAndOnlyBooleansAreFlags) {
    using S = std::string;
    const std::pair<PreferenceValue, std::optional<bool>> cases[] = {
        {S("1e400"), {}},   {S("inf"), {}}, {S("nan"), {}},  {S(" 22"), {}},
        {S("22 days"), {}}, {S(""), {}},    {S("true"), {}}, {ForeignValue{}, {}},
        {std::nan(""), {}}, {true, true},   {false, false}};
    for (const auto& [stored, flag] : cases) {
        const InMemoryPreferences store({{"key", stored}});
        const auto read = store.numberIfPresent("key");
        // A stored NaN may read as NaN or as nothing, never as a number.
        EXPECT_TRUE(!read || std::isnan(*read)) << ::testing::PrintToString(stored);
        EXPECT_EQ(store.integer("key"), 0) << ::testing::PrintToString(stored);
        EXPECT_EQ(store.flag("key"), flag) << ::testing::PrintToString(stored);
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
