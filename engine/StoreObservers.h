#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace orvelle {

// The published properties of the store, one value each.
enum class StoreProperty {
    mode,
    amountText,
    scheduleEnd,
    workingDaysPerMonth,
    workday,
    isWorking,
    earnedTodayDisplay,
    menuBarEarnedText,
    firstAnchorStart,
    privacy,
    capsuleLook,
    week,
    minutesToEnd,
};

using StoreObserver = std::function<void(StoreProperty)>;

// Keeps an observer subscribed for as long as it lives.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { cancel(); }

    // Ends the subscription now.
    void cancel();

private:
    std::function<void()> cancel_;
};

// The list of observers of one store, each told of the assignments of the properties it shows.
// The amount is assigned up to 20 times a second all day; an observer that does not show it is
// not woken for it.
class StoreObservers {
public:
    StoreObservers();

    // Adds `observer`, told of the assignments of every property, or of `properties` only; it is
    // called until the returned subscription ends.
    [[nodiscard]] Subscription subscribe(StoreObserver observer);
    [[nodiscard]] Subscription subscribe(StoreObserver observer,
                                         std::initializer_list<StoreProperty> properties);

    // Tells every current observer of `property` that it has been assigned.
    void announce(StoreProperty property) const;

private:
    Subscription add(StoreObserver observer, std::uint32_t properties);

    struct Entry {
        std::uint64_t id;          // ascending in the list, in the order of subscription
        std::uint32_t properties;  // one bit per property told of
        std::shared_ptr<StoreObserver> observer;
    };
    // Shared with the subscriptions, so that one that outlives the store cancels harmlessly.
    std::shared_ptr<std::vector<Entry>> entries_;
    std::uint64_t nextId_ = 0;
};

}  // namespace orvelle
