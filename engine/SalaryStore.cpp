#include "engine/SalaryStore.h"

#include <algorithm>

#include "engine/AmountText.h"
#include "engine/Earnings.h"
#include "engine/PreferenceKeys.h"
#include "engine/StoredSettings.h"

namespace orvelle {

SalaryStore::SalaryStore(StoreServices services)
    : defaults_(services.defaults),
      clock_(services.clock),
      calendar_(services.calendar),
      scheduler_(services.scheduler),
      self_(std::make_shared<SalaryStore*>(this)) {
    scheduleEndDate_ = defaultTime(18, 0);
    loadSettings();
    calendarDay_ = defaults_.text(keys::calendarDay).value_or("");
    if (const auto seconds = defaults_.numberIfPresent(keys::sessionStart)) {
        sessionStart_ = Instant{*seconds};
    }
    reconcileCalendarDayIfNeeded();
    loadAnchorIfNeeded();
    setIsWorking(sessionStart_.has_value());
    if (isWorking_) {
        startTicking();
    }
    refreshEarnedDisplay();
}

// The timer is destroyed with the store, which stops it; work it already posted finds the store
// gone through `self_` and does nothing.
SalaryStore::~SalaryStore() = default;

void SalaryStore::loadSettings() {
    const StoredSettings stored = loadStoredSettings(defaults_);
    if (stored.mode) {
        setMode(*stored.mode);
    }
    if (stored.amountText) {
        setAmountText(*stored.amountText);
    }
    if (stored.endMinutes) {
        setScheduleEndDate(defaultTime(*stored.endMinutes / 60, *stored.endMinutes % 60));
    }
    if (stored.workingDaysPerMonth) {
        setWorkingDaysPerMonth(*stored.workingDaysPerMonth);
    }
}

void SalaryStore::setMode(SalaryMode mode) {
    mode_ = mode;
    observers_.announce(StoreProperty::mode);
}

void SalaryStore::setAmountText(std::string text) {
    amountText_ = std::move(text);
    observers_.announce(StoreProperty::amountText);
}

void SalaryStore::setScheduleEndDate(Instant date) {
    scheduleEndDate_ = date;
    observers_.announce(StoreProperty::scheduleEndDate);
}

void SalaryStore::setWorkingDaysPerMonth(double days) {
    workingDaysPerMonth_ = days;
    observers_.announce(StoreProperty::workingDaysPerMonth);
}

void SalaryStore::setIsWorking(bool working) {
    isWorking_ = working;
    observers_.announce(StoreProperty::isWorking);
}

void SalaryStore::setEarnedTodayDisplay(double earned) {
    earnedTodayDisplay_ = earned;
    observers_.announce(StoreProperty::earnedTodayDisplay);
}

void SalaryStore::setMenuBarEarnedText(std::string text) {
    menuBarEarnedText_ = std::move(text);
    observers_.announce(StoreProperty::menuBarEarnedText);
}

void SalaryStore::setFirstAnchorStart(std::optional<Instant> anchor) {
    firstAnchorStart_ = anchor;
    observers_.announce(StoreProperty::firstAnchorStart);
}

int SalaryStore::minutesFromMidnight(Instant instant) const {
    const TimeOfDay time = calendar_.timeOfDay(instant);
    return std::clamp(time.hour * 60 + time.minute, 0, 1439);
}

int SalaryStore::scheduleEndMinutes() const {
    return minutesFromMidnight(scheduleEndDate_);
}

Instant SalaryStore::defaultTime(int hour, int minute) const {
    const Instant now = clock_.now();
    return calendar_.atLocalTime(now, hour, minute).value_or(now);
}

void SalaryStore::saveSettings() {
    defaults_.set(keys::mode, std::string(rawValue(mode_)));
    defaults_.set(keys::amount, parseAmount(amountText_).value_or(0.0));
    defaults_.set(keys::scheduleEndMin, std::int64_t{minutesFromMidnight(scheduleEndDate_)});
    defaults_.set(keys::workingDays, workingDaysPerMonth_);
}

void SalaryStore::startWork() {
    reconcileCalendarDayIfNeeded();
    const Instant click = clock_.now();
    setFirstAnchorStart(click);
    persistAnchor();
    sessionStart_ = click;
    setIsWorking(true);
    persistSession();
    startTicking();
    refreshEarnedDisplay();
}

void SalaryStore::stopWork() {
    if (!sessionStart_) {
        return;
    }
    sessionStart_.reset();
    setIsWorking(false);
    setMenuBarEarnedText("");
    clearAnchorStorage();
    persistSession();
    stopTicking();
    refreshEarnedDisplay();
}

void SalaryStore::reconcileCalendarDayIfNeeded() {
    std::string today = dayKey(clock_.now());
    if (today == calendarDay_) {
        return;
    }
    calendarDay_ = std::move(today);
    sessionStart_.reset();
    setIsWorking(false);
    setMenuBarEarnedText("");
    clearAnchorStorage();
    defaults_.set(keys::calendarDay, calendarDay_);
    defaults_.remove(keys::sessionStart);
    stopTicking();
}

void SalaryStore::loadAnchorIfNeeded() {
    if (!sessionStart_) {
        setFirstAnchorStart(std::nullopt);
        return;
    }
    const std::string today = dayKey(clock_.now());
    if (defaults_.text(keys::anchorDay) == today) {
        const double seconds = defaults_.number(keys::anchorStart);
        if (seconds > 0) {
            setFirstAnchorStart(Instant{seconds});
            return;
        }
    }
    setFirstAnchorStart(sessionStart_);
    persistAnchor();
}

void SalaryStore::persistSession() {
    if (sessionStart_) {
        defaults_.set(keys::sessionStart, sessionStart_->secondsSince1970);
    } else {
        defaults_.remove(keys::sessionStart);
    }
}

void SalaryStore::persistAnchor() {
    if (!firstAnchorStart_) {
        return;
    }
    defaults_.set(keys::anchorDay, dayKey(*firstAnchorStart_));
    defaults_.set(keys::anchorStart, firstAnchorStart_->secondsSince1970);
}

void SalaryStore::clearAnchorStorage() {
    setFirstAnchorStart(std::nullopt);
    defaults_.remove(keys::anchorDay);
    defaults_.remove(keys::anchorStart);
}

void SalaryStore::startTicking() {
    stopTicking();
    tick_ = scheduler_.scheduleRepeating(kTickInterval, [this] { onTick(); });
}

void SalaryStore::stopTicking() {
    if (tick_) {
        tick_->invalidate();
        tick_.reset();
    }
}

void SalaryStore::onTick() {
    // The update runs on a later turn of the event loop, after the timer's callback has returned;
    // it resolves the store anew at each step, as the day change may end the session first.
    scheduler_.post([weak = std::weak_ptr(self_)] {
        if (const auto self = weak.lock()) {
            (*self)->reconcileCalendarDayIfNeeded();
        }
        if (const auto self = weak.lock()) {
            (*self)->refreshEarnedDisplay();
        }
    });
}

std::optional<double> SalaryStore::scheduledWorkSeconds() const {
    if (!firstAnchorStart_) {
        return std::nullopt;
    }
    const Instant end = endInstant(calendar_, *firstAnchorStart_, scheduleEndMinutes());
    return payIntervalSeconds(*firstAnchorStart_, end);
}

double SalaryStore::payRatePerSecond() const {
    const auto interval = scheduledWorkSeconds();
    if (!interval) {
        return 0.0;
    }
    return orvelle::payRatePerSecond({mode_, payableAmount(amountText_), workingDaysPerMonth_},
                                     interval);
}

void SalaryStore::refreshEarnedDisplay() {
    const Instant now = clock_.now();
    const double elapsed = sessionStart_ ? secondsBetween(now, *sessionStart_) : 0.0;
    setEarnedTodayDisplay(elapsed * payRatePerSecond());
    setMenuBarEarnedText(isWorking_ ? formatTwoDecimals(earnedTodayDisplay_) : std::string{});
}

}  // namespace orvelle
