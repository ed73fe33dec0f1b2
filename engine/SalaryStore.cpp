#include "engine/SalaryStore.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>

#include "engine/AmountText.h"
#include "engine/CapsuleSettings.h"
#include "engine/Earnings.h"
#include "engine/PreferenceKeys.h"
#include "engine/StoredSettings.h"

namespace orvelle {

namespace {

// Minutes left are counted up to the next whole minute; a hair's breadth of rounding at a whole
// minute does not count as one more.
constexpr double kMinuteSlack = 1e-9;

double minutesLeft(Instant end, Instant now) {
    return std::ceil(secondsBetween(end, now) / 60.0 - kMinuteSlack);
}

// Returns the instant at which the minutes left to `end`, rounded up, next go down by one.
std::optional<Instant> nextMinuteLeft(Instant end, Instant now) {
    if (!(secondsBetween(end, now) > 0)) {
        return std::nullopt;
    }
    return Instant{end.secondsSince1970 - (minutesLeft(end, now) - 1) * 60.0};
}

}  // namespace

SalaryStore::SalaryStore(StoreServices services)
    : defaults_(services.defaults),
      clock_(services.clock),
      calendar_(services.calendar),
      scheduler_(services.scheduler),
      stored_(services.defaults, services.calendar),
      history_(services.history, services.calendar,
               services.diagnostics != nullptr ? *services.diagnostics : std::cerr),
      capsule_(services.defaults) {
    // Whatever start-up changes in the file (a migration, the day's reset, a repaired session)
    // reaches it in one write, so that a kill at any instant leaves all of it or none.
    const PreferencesStore::Batch batch(defaults_);
    loadSettings();
    loadSession();
    history_.resume(sessionStart_);
    if (isWorking_) {
        startTicking();
    }
    refreshEarnedDisplay(clock_.now());
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
    setWeek(loadWorkingWeek(defaults_));
}

void SalaryStore::setCapsuleLook(int scalePercent, int opacityPercent) {
    if (capsule_.setLook(scalePercent, opacityPercent)) {
        observers_.announce(StoreProperty::capsuleLook);
    }
}

void SalaryStore::setRememberPosition(bool on) {
    if (capsule_.setRememberPosition(on)) {
        observers_.announce(StoreProperty::capsuleLook);
    }
}

void SalaryStore::setClickThrough(bool on) {
    if (capsule_.setClickThrough(on)) {
        observers_.announce(StoreProperty::capsuleLook);
    }
}

void SalaryStore::setPrivacy(bool on) {
    if (capsule_.setPrivacy(on)) {
        observers_.announce(StoreProperty::privacy);
    }
}

void SalaryStore::setMode(SalaryMode mode) {
    mode_ = mode;
    forgetPay();
    observers_.announce(StoreProperty::mode);
    settingsChanged();
}

void SalaryStore::setAmountText(std::string text) {
    amountText_ = std::move(text);
    forgetPay();
    observers_.announce(StoreProperty::amountText);
    settingsChanged();
}

void SalaryStore::setScheduleEndMinutes(int minutes) {
    scheduleEndMinutes_ = std::clamp(minutes, 0, kLastMinuteOfDay);
    forgetPay();
    observers_.announce(StoreProperty::scheduleEnd);
    settingsChanged();
}

void SalaryStore::setWorkingDaysPerMonth(double days) {
    workingDaysPerMonth_ = days;
    forgetPay();
    observers_.announce(StoreProperty::workingDaysPerMonth);
    settingsChanged();
}

void SalaryStore::setWeek(const WorkingWeek& week) {
    week_ = week;
    observers_.announce(StoreProperty::week);
}

void SalaryStore::setWorkday(const WorkdayRules& rules) {
    workday_ = rules;
    forgetPay();
    observers_.announce(StoreProperty::workday);
    settingsChanged();
}

// A setting changes the amount of the whole session: it is shown at once, not at the next wake.
void SalaryStore::settingsChanged() {
    if (tick_) {
        const Instant now = clock_.now();
        refreshEarnedDisplay(now);
        scheduleNextWake(now);
    }
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
    if (text == menuBarEarnedText_) {
        return;
    }
    menuBarEarnedText_ = std::move(text);
    observers_.announce(StoreProperty::menuBarEarnedText);
}

void SalaryStore::setFirstAnchorStart(std::optional<Instant> anchor) {
    firstAnchorStart_ = anchor;
    forgetPay();
    observers_.announce(StoreProperty::firstAnchorStart);
}

void SalaryStore::saveSettings() {
    const PreferencesStore::Batch batch(defaults_);
    defaults_.set(keys::mode, std::string(rawValue(mode_)));
    defaults_.set(keys::amount, parseAmount(amountText_).value_or(0.0));
    defaults_.set(keys::scheduleEndMin, std::int64_t{scheduleEndMinutes_});
    defaults_.set(keys::workingDays, workingDaysPerMonth_);
    saveWorkdayRules(defaults_, workday_);
    saveWorkingWeek(defaults_, week_);
}

void SalaryStore::startWork() {
    openSession(clock_.now());
}

void SalaryStore::startWorkByItself(Instant scheduled) {
    const PreferencesStore::Batch batch(defaults_);
    saveSettings();
    stored_.writeAutoStartDoneDay(calendar_.dayKey(scheduled));
    openSession(scheduled);
}

void SalaryStore::openSession(Instant start) {
    const PreferencesStore::Batch batch(defaults_);
    reconcileCalendarDayIfNeeded(clock_.now());
    closeRecord(SessionEnding::stopped);  // starting again ends the session that was open
    // A night shift of the day before ends here, and the new session is today's.
    if (std::string today = calendar_.dayKey(clock_.now()); today != calendarDay_) {
        calendarDay_ = std::move(today);
        stored_.beginDay(calendarDay_);
    }
    history_.open(start);
    setFirstAnchorStart(start);
    stored_.writeAnchor(start);
    sessionStart_ = start;
    overnightSession_ = week_.overnight;
    setIsWorking(true);
    stored_.writeStart(sessionStart_);
    if (overnightSession_) {
        stored_.writeOvernight();
    }
    startTicking();
    refreshEarnedDisplay(clock_.now());
}

void SalaryStore::stopWork() {
    if (!sessionStart_) {
        return;
    }
    const PreferencesStore::Batch batch(defaults_);
    closeRecord(SessionEnding::stopped);
    // A stop by hand keeps work from starting by itself again today, unless it ends a night
    // shift of the day before ahead of today's start time: tonight's shift must still start.
    if (week_.autoStart) {
        const Instant now = clock_.now();
        const auto todaysStart = week_.autoStartOn(calendar_, now);
        if (calendarDay_ == today() || !todaysStart || !(now < *todaysStart)) {
            stored_.writeAutoStartDoneDay(today());
        }
    }
    sessionStart_.reset();
    setIsWorking(false);
    setMenuBarEarnedText("");
    setFirstAnchorStart(std::nullopt);
    stored_.removeAnchor();
    stored_.writeStart(std::nullopt);
    stopTicking();
    refreshEarnedDisplay(clock_.now());
}

void SalaryStore::reconcileCalendarDayIfNeeded(Instant now) {
    std::string today = calendar_.dayKey(now);
    if (today == calendarDay_ || overnightGoesOn(now)) {
        return;
    }
    const PreferencesStore::Batch batch(defaults_);
    calendarDay_ = std::move(today);
    // What the capsule last showed of the day that ended is what the history keeps of it.
    history_.close(SessionEnding::dayChange);
    sessionStart_.reset();
    overnightSession_ = false;
    setIsWorking(false);
    setMenuBarEarnedText("");
    setFirstAnchorStart(std::nullopt);
    stored_.beginDay(calendarDay_);
    stopTicking();
}

void SalaryStore::loadSession() {
    calendarDay_ = stored_.day();
    // Whatever else stands there is left alone, as any value the store does not understand is;
    // the next start or stop of work replaces it.
    sessionStart_ = stored_.start(calendarDay_);
    overnightSession_ = sessionStart_ && stored_.overnight();
    loadAnchorIfNeeded();
    setIsWorking(sessionStart_.has_value());
    // The session is known first: a night shift of the day before may go on.
    reconcileCalendarDayIfNeeded(clock_.now());
}

// A night shift goes on past midnight until the first instant of the day after the one on which
// its end of work falls, so that it never runs for ever.
bool SalaryStore::overnightGoesOn(Instant now) const {
    const auto& interval = payInterval();
    if (!overnightSession_ || !sessionStart_ || !interval) {
        return false;
    }
    const auto dayAfter = calendar_.oneDayLater(interval->end);
    const auto limit = dayAfter ? calendar_.atLocalTime(*dayAfter, 0, 0) : std::nullopt;
    return limit && now < *limit;
}

void SalaryStore::loadAnchorIfNeeded() {
    if (!sessionStart_) {
        setFirstAnchorStart(std::nullopt);
        return;
    }
    if (const auto anchor = stored_.anchor(calendarDay_)) {
        setFirstAnchorStart(anchor);
        return;
    }
    setFirstAnchorStart(sessionStart_);
    stored_.writeAnchor(*sessionStart_);
}

void SalaryStore::startTicking() {
    if (!tick_) {
        tick_ = scheduler_.wakeTimer([this](WakeReason reason) { onTick(reason); });
    }
    scheduleNextWake(clock_.now());
}

void SalaryStore::stopTicking() {
    tick_.reset();
    nextMidnight_.reset();
}

// Whether `now` lies between the instant the next midnight was found and that midnight.
bool SalaryStore::midnightAhead(Instant now) const {
    return nextMidnight_ && !(now < midnightFrom_) && now < *nextMidnight_;
}

// Whether `now` is still on the day the next midnight was found on: so as long as the timer tells
// of every change of zone.
bool SalaryStore::dayHeld(Instant now) const {
    return midnightAhead(now) && tick_->reportsZoneChanges();
}

std::string SalaryStore::today() const {
    const Instant now = clock_.now();
    return dayHeld(now) ? midnightEnds_ : calendar_.dayKey(now);
}

// Forgets the pay interval and rate, which the next reading computes again.
void SalaryStore::forgetPay() {
    interval_.reset();
    rate_.reset();
}

void SalaryStore::onTick(WakeReason reason) {
    const Instant now = clock_.now();
    if (reason == WakeReason::clockChanged) {
        forgetPay();
        nextMidnight_.reset();
    }
    // The update runs right in the timer's callback, after nothing else: handing it to a later
    // turn of the event loop would wake the loop a second time. A day change may stop the timer
    // from within its own callback, which the scheduler allows. Up to the next midnight the day
    // is the one it was when that midnight was found: a step of the clock or a change of zone,
    // which the timer reports, forgets that midnight.
    if (!dayHeld(now) || midnightEnds_ != calendarDay_) {
        reconcileCalendarDayIfNeeded(now);
    }
    refreshEarnedDisplay(now);
    if (tick_) {
        scheduleNextWake(now);
    }
}

// Sleeps until the first instant at which anything shown can change: the next cent, the break's
// edges, the end of work, or midnight, when the day's session ends; never sooner than 50 ms from
// now. Should nothing be computable (a calendar that fails), it wakes every 50 ms as a plain tick
// would.
void SalaryStore::scheduleNextWake(Instant now) {
    if (!midnightAhead(now)) {
        const auto tomorrow = calendar_.oneDayLater(now);
        nextMidnight_ = tomorrow ? calendar_.atLocalTime(*tomorrow, 0, 0) : std::nullopt;
        midnightFrom_ = now;
        midnightEnds_ = calendar_.dayKey(now);
    }
    std::optional<Instant> next = nextMidnight_;
    if (const auto& interval = payInterval(); interval && sessionStart_) {
        for (const auto change : {nextChange(*interval, *sessionStart_, now, rate(), workday_),
                                  nextMinuteLeft(interval->end, now)}) {
            if (change && (!next || *change < *next)) {
                next = change;
            }
        }
    }
    const Instant soonest{now.secondsSince1970 + kShortestWakeSeconds};
    tick_->wakeAt(next ? std::max(*next, soonest) : soonest);
}

const std::optional<PayInterval>& SalaryStore::payInterval() const {
    if (!interval_) {
        interval_ = firstAnchorStart_ ? std::optional(payIntervalOf(calendar_, *firstAnchorStart_,
                                                                    scheduleEndMinutes_, workday_))
                                      : std::nullopt;
    }
    return *interval_;
}

std::optional<double> SalaryStore::scheduledWorkSeconds() const {
    const auto interval = payInterval();
    return interval ? std::optional(interval->paidSeconds) : std::nullopt;
}

double SalaryStore::payRatePerSecond() const {
    return rate();
}

double SalaryStore::rateNow() const {
    if (onBreak_ || (pastEndOfWork_ && workday_.afterEnd == AfterEnd::stop)) {
        return 0.0;
    }
    return payRatePerSecond() * (isOvertime() ? workday_.overtimeRate : 1.0);
}

double SalaryStore::rate() const {
    if (!rate_) {
        const auto& interval = payInterval();
        rate_ = interval ? orvelle::payRatePerSecond(
                               {mode_, payableAmount(amountText_), workingDaysPerMonth_},
                               interval->paidSeconds)
                         : 0.0;
    }
    return *rate_;
}

void SalaryStore::refreshEarnedDisplay(Instant now) {
    const bool wasPastEnd = pastEndOfWork_;
    const bool wasOnBreak = onBreak_;
    pastEndOfWork_ = false;
    onBreak_ = false;
    const double earned = sessionStart_ ? earnedAt(now).amount : 0.0;
    // Only an absurd amount can overflow; the largest finite figure is still closer to the truth
    // than an infinity or "not a number" on screen.
    constexpr double kLargest = std::numeric_limits<double>::max();
    const double shown = std::isnan(earned) ? 0.0 : std::clamp(earned, -kLargest, kLargest);
    // The state of the session (open, in the break, past the end) is announced with the amount,
    // which may stand still meanwhile.
    if (shown != earnedTodayDisplay_ || wasPastEnd != pastEndOfWork_ || wasOnBreak != onBreak_ ||
        announcedWorking_ != isWorking_) {
        announcedWorking_ = isWorking_;
        setEarnedTodayDisplay(shown);
    }
    setMenuBarEarnedText(isWorking_ ? formatTwoDecimals(earnedTodayDisplay_) : std::string{});
    refreshMinutesToEnd(now);
}

void SalaryStore::refreshMinutesToEnd(Instant now) {
    std::optional<int> minutes;
    if (const auto& interval = payInterval(); interval && sessionStart_) {
        // A clock set far back must not overflow; no session is longer than a day anyway.
        constexpr double kMostMinutes = 366.0 * 24 * 60;
        minutes = static_cast<int>(std::clamp(minutesLeft(interval->end, now), 0.0, kMostMinutes));
    }
    if (minutes != minutesToEnd_) {
        minutesToEnd_ = minutes;
        observers_.announce(StoreProperty::minutesToEnd);
    }
}

Earned SalaryStore::earnedAt(Instant now) {
    const auto& interval = payInterval();
    if (!interval) {
        const double seconds = secondsBetween(now, *sessionStart_);
        return {seconds * rate(), false, false, seconds, 0.0};
    }
    const Earned earned = orvelle::earnedAt(*interval, *sessionStart_, now, rate(), workday_);
    pastEndOfWork_ = isWorking_ && earned.pastEnd;
    onBreak_ = isWorking_ && earned.inBreak;
    history_.update(now, earned);
    return earned;
}

void SalaryStore::writeHistoryNow() {
    if (sessionStart_) {
        earnedAt(clock_.now());
        history_.flush();
    }
}

void SalaryStore::closeRecord(SessionEnding ending) {
    if (sessionStart_) {
        earnedAt(clock_.now());  // brings the record up to this instant
        history_.close(ending);
    }
}

}  // namespace orvelle
