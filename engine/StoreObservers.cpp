#include "engine/StoreObservers.h"

#include <algorithm>

namespace orvelle {

Subscription& Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        cancel();
        cancel_ = std::exchange(other.cancel_, {});
    }
    return *this;
}

void Subscription::cancel() {
    if (cancel_) {
        std::exchange(cancel_, {})();
    }
}

namespace {

static_assert(static_cast<unsigned>(StoreProperty::minutesToEnd) < 32, "a bit per property");

std::uint32_t bitOf(StoreProperty property) {
    return std::uint32_t{1} << static_cast<unsigned>(property);
}

}  // namespace

StoreObservers::StoreObservers() : entries_(std::make_shared<std::vector<Entry>>()) {}

Subscription StoreObservers::subscribe(StoreObserver observer) {
    return add(std::move(observer), ~std::uint32_t{0});
}

Subscription StoreObservers::subscribe(StoreObserver observer,
                                       std::initializer_list<StoreProperty> properties) {
    std::uint32_t bits = 0;
    for (const StoreProperty property : properties) {
        bits |= bitOf(property);
    }
    return add(std::move(observer), bits);
}

Subscription StoreObservers::add(StoreObserver observer, std::uint32_t properties) {
    const std::uint64_t id = nextId_++;
    entries_->push_back({id, properties, std::make_shared<StoreObserver>(std::move(observer))});
    return Subscription([weak = std::weak_ptr(entries_), id] {
        if (const auto entries = weak.lock()) {
            std::erase_if(*entries, [id](const Entry& entry) { return entry.id == id; });
        }
    });
}

// The list may change while an observer is told (it may subscribe or unsubscribe itself or
// another), so each turn finds the next observer afresh, by its place in the order: one that
// subscribes meanwhile is told from the next announcement on, one unsubscribed before its turn is
// not told, as its owner may be gone. No copy of the list is made: this runs at every tick.
void StoreObservers::announce(StoreProperty property) const {
    const std::uint64_t newcomers = nextId_;
    const std::uint32_t bit = bitOf(property);
    for (std::uint64_t next = 0;;) {
        const auto due = std::ranges::find_if(*entries_, [&](const Entry& entry) {
            return entry.id >= next && entry.id < newcomers && (entry.properties & bit) != 0;
        });
        if (due == entries_->end()) {
            return;
        }
        next = due->id + 1;
        const std::shared_ptr<StoreObserver> observer = due->observer;  // its entry may go
        (*observer)(property);
    }
}

}  // namespace orvelle
