#include "engine/AutoStart.h"

namespace orvelle {

namespace {

// When the next midnight cannot be computed (a calendar that fails), it looks again in a minute.
constexpr double kRetrySeconds = 60.0;

}  // namespace

AutoStart::AutoStart(SalaryStore& store, const Clock& clock, const Calendar& calendar,
                     Scheduler& scheduler)
    : store_(store), clock_(clock), calendar_(calendar), scheduler_(scheduler) {
    // A change is looked at from the timer, never from within the store's own operation (a day's
    // reset announces the session's end before it has finished).
    subscription_ = store_.subscribe(
        [this](StoreProperty) { sleepUntil(clock_.now()); },
        {StoreProperty::isWorking, StoreProperty::week, StoreProperty::scheduleEnd});
    check();
}

// Runs whenever the timer fires (also when the clock or the zone changed) and whenever a session
// opens or closes or the settings it depends on change.
void AutoStart::check() {
    if (!store_.week().autoStart || store_.isWorking()) {
        timer_.reset();
        return;
    }
    const Instant now = clock_.now();
    const auto start = startToday(now);
    if (start && !(now < *start)) {
        // A start found only after the end of work would pay a whole day nobody saw begin.
        if (now < endInstant(calendar_, *start, store_.scheduleEndMinutes())) {
            // Opening the session announces it; the timer is gone before this returns.
            store_.startWorkByItself(*start);
            return;
        }
    }
    if (start && now < *start) {
        sleepUntil(*start);
        return;
    }
    const auto tomorrow = calendar_.oneDayLater(now);
    const auto midnight = tomorrow ? calendar_.atLocalTime(*tomorrow, 0, 0) : std::nullopt;
    sleepUntil(midnight.value_or(Instant{now.secondsSince1970 + kRetrySeconds}));
}

// The start time on the day of `now`, if work may still start by itself that day.
std::optional<Instant> AutoStart::startToday(Instant now) const {
    const WorkingWeek& week = store_.week();
    const std::string today = calendar_.dayKey(now);
    if (!week.isWorkday(today) || store_.autoStartDoneDay() == today) {
        return std::nullopt;
    }
    return week.autoStartOn(calendar_, now);
}

void AutoStart::sleepUntil(Instant when) {
    if (!timer_) {
        timer_ = scheduler_.wakeTimer([this](WakeReason) { check(); });
    }
    timer_->wakeAt(when);
}

}  // namespace orvelle
