#include "engine/StoreObservers.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace orvelle {
namespace {

// Each observer hears of the properties it named, in the order of subscription; one that is
// unsubscribed (by itself or by another) while an announcement goes round is not called after
// that, and one that subscribes meanwhile hears from the next announcement on.
TEST(StoreObservers, TellEachObserverOfItsOwnPropertiesWhileTheListChanges) {
    StoreObservers observers;
    std::string heard;
    std::optional<Subscription> late;
    Subscription amount = observers.subscribe(
        [&](StoreProperty) {
            heard += 'a';
            late = observers.subscribe([&](StoreProperty) { heard += 'l'; });
        },
        {StoreProperty::earnedTodayDisplay});
    Subscription doomed;
    Subscription all = observers.subscribe([&](StoreProperty property) {
        heard += property == StoreProperty::privacy ? 'P' : 'A';
        doomed.cancel();
    });
    doomed = observers.subscribe([&](StoreProperty) { heard += 'd'; });
    Subscription self;
    self = observers.subscribe(
        [&](StoreProperty) {
            heard += 's';
            self.cancel();
        },
        {StoreProperty::privacy, StoreProperty::earnedTodayDisplay});
    observers.announce(StoreProperty::earnedTodayDisplay);
    EXPECT_EQ(heard, "aAs");
    observers.announce(StoreProperty::privacy);
    EXPECT_EQ(heard, "aAsPl");
}

}  // namespace
}  // namespace orvelle
