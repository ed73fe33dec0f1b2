#include "engine/SalaryStore.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/AmountText.h"
#include "engine/Earnings.h"
#include "engine/PreferenceKeys.h"
#include "engine/StoredSettings.h"

namespace orvelle {

namespace {

// The sizes the capsule is drawn at; any other value is taken to the nearest of them.
constexpr int kScales[] = {100, 125, 150, 200};

int allowedScale(double percent) {
    int best = kScales[0];
    for (const int scale : kScales) {
        if (std::abs(percent - scale) < std::abs(percent - best)) {
            best = scale;
        }
    }
    return best;
}

int allowedOpacity(double percent) {
    // Written so that a value that is not a number gives the default, fully opaque.
    return percent >= 40  ? static_cast<int>(std::lround(std::min(percent, 100.0)))
           : percent < 40 ? 40
                          : 100;
}

}  // namespace

SalaryStore::SalaryStore(StoreServices services)
    : defaults_(services.defaults),
      clock_(services.clock),
      calendar_(services.calendar),
      scheduler_(services.scheduler) {
    // Whatever start-up changes in the file (a migration, the day's reset, a repaired session)
    // reaches it in one write, so that a kill at any instant leaves all of it or none.
    const PreferencesStore::Batch batch(defaults_);
    loadSettings();
    loadSession();
    if (isWorking_) {
        startTicking();
    }
    refreshEarnedDisplay();
}

// The timer is destroyed with the store, which stops it.
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
        setScheduleEndMinutes(*stored.endMinutes);
    }
    if (stored.workingDaysPerMonth) {
        setWorkingDaysPerMonth(*stored.workingDaysPerMonth);
    }
    setWorkday(loadWorkdayRules(defaults_));
    privacy_ = defaults_.flag(keys::privacy).value_or(false);
    capsuleScalePercent_ =
        allowedScale(defaults_.numberIfPresent(keys::capsuleScale).value_or(100));
    capsuleOpacityPercent_ =
        allowedOpacity(defaults_.numberIfPresent(keys::capsuleOpacity).value_or(100));
}

void SalaryStore::setCapsuleLook(int scalePercent, int opacityPercent) {
    const int scale = allowedScale(scalePercent);
    const int opacity = allowedOpacity(opacityPercent);
    if (scale == capsuleScalePercent_ && opacity == capsuleOpacityPercent_) {
        return;
    }
    capsuleScalePercent_ = scale;
    capsuleOpacityPercent_ = opacity;
    observers_.announce(StoreProperty::capsuleLook);
    const PreferencesStore::Batch batch(defaults_);
    defaults_.set(keys::capsuleScale, std::int64_t{scale});
    defaults_.set(keys::capsuleOpacity, std::int64_t{opacity});
}

void SalaryStore::setPrivacy(bool on) {
    if (on == privacy_) {
        return;
    }
    privacy_ = on;
    observers_.announce(StoreProperty::privacy);
    defaults_.set(keys::privacy, on);
}

void SalaryStore::setMode(SalaryMode mode) {
    mode_ = mode;
    observers_.announce(StoreProperty::mode);
}

void SalaryStore::setAmountText(std::string text) {
    amountText_ = std::move(text);
    observers_.announce(StoreProperty::amountText);
}

void SalaryStore::setScheduleEndMinutes(int minutes) {
    scheduleEndMinutes_ = std::clamp(minutes, 0, 1439);
    observers_.announce(StoreProperty::scheduleEnd);
}

void SalaryStore::setWorkingDaysPerMonth(double days) {
    workingDaysPerMonth_ = days;
    observers_.announce(StoreProperty::workingDaysPerMonth);
}

void SalaryStore::setWorkday(const WorkdayRules& rules) {
    workday_ = rules;
    observers_.announce(StoreProperty::workday);
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

void SalaryStore::saveSettings() {
    const PreferencesStore::Batch batch(defaults_);
    defaults_.set(keys::mode, std::string(rawValue(mode_)));
    defaults_.set(keys::amount, parseAmount(amountText_).value_or(0.0));
    defaults_.set(keys::scheduleEndMin, std::int64_t{scheduleEndMinutes_});
    defaults_.set(keys::workingDays, workingDaysPerMonth_);
    saveWorkdayRules(defaults_, workday_);
}

void SalaryStore::startWork() {
    const PreferencesStore::Batch batch(defaults_);
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
    const PreferencesStore::Batch batch(defaults_);
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
    const PreferencesStore::Batch batch(defaults_);
    calendarDay_ = std::move(today);
    sessionStart_.reset();
    setIsWorking(false);
    setMenuBarEarnedText("");
    clearAnchorStorage();
    defaults_.set(keys::calendarDay, calendarDay_);
    defaults_.remove(keys::sessionStart);
    stopTicking();
}

void SalaryStore::loadSession() {
    calendarDay_ = defaults_.text(keys::calendarDay).value_or("");
    reconcileCalendarDayIfNeeded();
    // Whatever else stands there is left alone, as any value the store does not understand is;
    // the next start or stop of work replaces it.
    sessionStart_ = storedInstantOfToday(keys::sessionStart);
    loadAnchorIfNeeded();
    setIsWorking(sessionStart_.has_value());
}

// A stored start counts only as a finite instant on the stored day; anything else (a number far
// out of range, 0, a start from another day) would turn into nonsense on screen.
std::optional<Instant> SalaryStore::storedInstantOfToday(const char* key) const {
    const auto seconds = defaults_.numberIfPresent(key);
    if (!seconds || !std::isfinite(*seconds)) {
        return std::nullopt;
    }
    const Instant instant{*seconds};
    if (calendarDay_.empty() || dayKey(instant) != calendarDay_) {
        return std::nullopt;
    }
    return instant;
}

void SalaryStore::loadAnchorIfNeeded() {
    if (!sessionStart_) {
        setFirstAnchorStart(std::nullopt);
        return;
    }
    if (defaults_.text(keys::anchorDay) == calendarDay_) {
        if (const auto anchor = storedInstantOfToday(keys::anchorStart)) {
            setFirstAnchorStart(anchor);
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
    // The update runs right in the timer's callback, after nothing else: handing it to a later
    // turn of the event loop would wake the loop a second time at every tick. A day change may
    // stop the timer from within its own callback, which the scheduler allows.
    reconcileCalendarDayIfNeeded();
    refreshEarnedDisplay();
}

std::optional<SalaryStore::PayInterval> SalaryStore::payInterval() const {
    if (!firstAnchorStart_) {
        return std::nullopt;
    }
    const Instant anchor = *firstAnchorStart_;
    PayInterval interval{endInstant(calendar_, anchor, scheduleEndMinutes_), std::nullopt, 0.0};
    if (workday_.breakTakesEffect(scheduleEndMinutes_)) {
        interval.unpaid = unpaidBreak(anchor, interval.end);
    }
    interval.paidSeconds = interval.unpaid
                               ? std::max(paidSecondsBetween(anchor, interval.end, interval.unpaid),
                                          kMinimumPayIntervalSeconds)
                               : payIntervalSeconds(anchor, interval.end);
    return interval;
}

// The part of the break on the session's own day (a session never outlives its day) that lies in
// the pay interval: the time after the end of work is paid whatever the break.
std::optional<Span> SalaryStore::unpaidBreak(Instant anchor, Instant end) const {
    const auto lunch =
        breakOnDayOf(calendar_, anchor, workday_.breakStartMinutes, workday_.breakEndMinutes);
    if (!lunch) {
        return std::nullopt;
    }
    const Span unpaid{std::max(lunch->from, anchor), std::min(lunch->to, end)};
    if (!(unpaid.from < unpaid.to)) {
        return std::nullopt;
    }
    return unpaid;
}

std::optional<double> SalaryStore::scheduledWorkSeconds() const {
    const auto interval = payInterval();
    return interval ? std::optional(interval->paidSeconds) : std::nullopt;
}

double SalaryStore::payRatePerSecond() const {
    return rateOver(payInterval());
}

double SalaryStore::rateOver(const std::optional<PayInterval>& interval) const {
    if (!interval) {
        return 0.0;
    }
    return orvelle::payRatePerSecond({mode_, payableAmount(amountText_), workingDaysPerMonth_},
                                     interval->paidSeconds);
}

void SalaryStore::refreshEarnedDisplay() {
    const Instant now = clock_.now();
    pastEndOfWork_ = false;
    const double earned = sessionStart_ ? earnedAt(now) : 0.0;
    // Only an absurd amount can overflow; the largest finite figure is still closer to the truth
    // than an infinity or "not a number" on screen.
    constexpr double kLargest = std::numeric_limits<double>::max();
    setEarnedTodayDisplay(std::isnan(earned) ? 0.0 : std::clamp(earned, -kLargest, kLargest));
    setMenuBarEarnedText(isWorking_ ? formatTwoDecimals(earnedTodayDisplay_) : std::string{});
}

// The paid seconds since the session's start at the rate per second; past the end of work the
// rules decide whether they go on at that rate, stop, or go on at the overtime rate.
double SalaryStore::earnedAt(Instant now) {
    const auto interval = payInterval();
    const double rate = rateOver(interval);
    if (!interval) {
        return secondsBetween(now, *sessionStart_) * rate;
    }
    const auto unpaid = interval->unpaid;
    pastEndOfWork_ = isWorking_ && !(now < interval->end);
    if (!pastEndOfWork_ || workday_.afterEnd == AfterEnd::keepPaying) {
        return paidSecondsBetween(*sessionStart_, now, unpaid) * rate;
    }
    const double regular = paidSecondsBetween(*sessionStart_, interval->end, unpaid);
    const double extra =
        workday_.afterEnd == AfterEnd::overtime
            ? paidSecondsBetween(interval->end, now, unpaid) * workday_.overtimeRate
            : 0.0;
    return (regular + extra) * rate;
}

}  // namespace orvelle
