#include "fakes/ManualScheduler.h"

#include <algorithm>

namespace orvelle::test {

class ManualScheduler::Timer final : public RepeatingTimer {
public:
    explicit Timer(std::shared_ptr<Slot> slot) : slot_(std::move(slot)) {}
    ~Timer() override { invalidate(); }
    void invalidate() override { slot_->live = false; }

private:
    std::shared_ptr<Slot> slot_;
};

std::unique_ptr<RepeatingTimer> ManualScheduler::scheduleRepeating(
    std::chrono::milliseconds interval, std::function<void()> callback) {
    lastInterval_ = interval;
    auto slot = std::make_shared<Slot>(Slot{std::move(callback)});
    slots_.push_back(slot);
    return std::make_unique<Timer>(slot);
}

void ManualScheduler::tick() {
    const auto current = slots_;
    for (const auto& slot : current) {
        if (slot->live) {
            slot->callback();
        }
    }
    std::erase_if(slots_, [](const auto& slot) { return !slot->live; });
}

int ManualScheduler::liveTimers() const {
    return static_cast<int>(
        std::count_if(slots_.begin(), slots_.end(), [](const auto& slot) { return slot->live; }));
}

}  // namespace orvelle::test
