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

StoreObservers::StoreObservers() : entries_(std::make_shared<std::vector<Entry>>()) {}

Subscription StoreObservers::subscribe(StoreObserver observer) {
    const std::uint64_t id = nextId_++;
    entries_->push_back({id, std::make_shared<StoreObserver>(std::move(observer))});
    return Subscription([weak = std::weak_ptr(entries_), id] {
        if (const auto entries = weak.lock()) {
            std::erase_if(*entries, [id](const Entry& entry) { return entry.id == id; });
        }
    });
}

void StoreObservers::announce(StoreProperty property) const {
    if (entries_->empty()) {
        return;
    }
    // A copy, so that an observer may subscribe or unsubscribe while being told; one that was
    // unsubscribed by an earlier observer in this round is skipped, as its owner may be gone.
    const std::vector<Entry> current = *entries_;
    for (const Entry& entry : current) {
        const bool live = std::any_of(entries_->begin(), entries_->end(),
                                      [&](const Entry& e) { return e.id == entry.id; });
        if (live) {
            (*entry.observer)(property);
        }
    }
}

}  // namespace orvelle
