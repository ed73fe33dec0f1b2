#pragma once

#include <memory>
#include <optional>
#include <string>

#include "engine/CapsulePreferences.h"
#include "engine/Earnings.h"
#include "engine/SalaryMode.h"
#include "engine/SessionHistory.h"
#include "engine/StoreObservers.h"
#include "engine/StoredSession.h"
#include "engine/WorkdayRules.h"
#include "engine/WorkingWeek.h"
#include "platform/api/Calendar.h"
#include "platform/api/Clock.h"
#include "platform/api/PreferencesStore.h"
#include "platform/api/Scheduler.h"

namespace orvelle {

// What the store is built on; each must outlive the store.
struct StoreServices {
    PreferencesStore& defaults;
    const Clock& clock;
    const Calendar& calendar;
    Scheduler& scheduler;
    // Where each work session is remembered; none when null (a status query, a test).
    HistoryStore* history = nullptr;
    // Where a failure of the history is said, once; standard error when null.
    std::ostream* diagnostics = nullptr;
};

// The single observable store of the salary settings and the running work session. It loads and
// saves the settings, opens, resumes and closes work sessions, and, while a session is open,
// recomputes the amount earned whenever it can change, at most 20 times a second: the instant of
// the next cent, the break's edges, the end of work and midnight are computed ahead, and the
// store sleeps until the first of them, or until the wall clock, the zone or a setting changes.
// What it shows is what a recomputation 20 times a second would show, only without the wake-ups
// that change nothing. Every change of a published property is announced to the observers. It
// lives on the GUI thread and is never touched from another one.
class SalaryStore {
public:
    // The shortest time between two recomputations of the amount: it changes on screen at most 20
    // times a second.
    static constexpr double kShortestWakeSeconds = 0.05;

    // Loads the settings, restores a session of today and starts ticking if one is open.
    explicit SalaryStore(StoreServices services);
    ~SalaryStore();
    SalaryStore(const SalaryStore&) = delete;
    SalaryStore& operator=(const SalaryStore&) = delete;

    // Published settings; the setters assign and announce, and a running session's amount follows
    // at once; nothing is saved.
    SalaryMode mode() const { return mode_; }
    void setMode(SalaryMode mode);
    const std::string& amountText() const { return amountText_; }
    void setAmountText(std::string text);
    // The end time of work as minutes after local midnight, 0 to 1439. It is a time of day, not
    // an instant, so that a change of time zone or a skipped hour never moves it.
    int scheduleEndMinutes() const { return scheduleEndMinutes_; }
    void setScheduleEndMinutes(int minutes);
    double workingDaysPerMonth() const { return workingDaysPerMonth_; }
    void setWorkingDaysPerMonth(double days);
    // The working-day rules (break, after the end of work, end notice); all off by default.
    const WorkdayRules& workday() const { return workday_; }
    void setWorkday(const WorkdayRules& rules);
    // The working week (night shifts, working days, the automatic start, the time left on the
    // capsule); all off by default, and none of it changes an amount.
    const WorkingWeek& week() const { return week_; }
    void setWeek(const WorkingWeek& week);

    // Whether every amount shown is masked (a screen being shared); saved as soon as it changes.
    bool privacy() const { return capsule_.settings().privacy; }
    void setPrivacy(bool on);

    // The capsule's size (100, 125, 150 or 200) and opacity (40 to 100), in percent; a value in
    // between is taken to the nearest allowed one. Saved as soon as it changes.
    int capsuleScalePercent() const { return capsule_.settings().scalePercent; }
    int capsuleOpacityPercent() const { return capsule_.settings().opacityPercent; }
    void setCapsuleLook(int scalePercent, int opacityPercent);

    // Whether the capsule goes back where the user dragged it, on the same screens; off by
    // default. Saved as soon as it changes; announced as `capsuleLook`.
    bool rememberPosition() const { return capsule_.settings().rememberPosition; }
    void setRememberPosition(bool on);
    // Whether the capsule takes no pointer input at all, so that clicks, drags and the wheel go
    // to the window beneath; off by default. Saved as soon as it changes; announced as
    // `capsuleLook`.
    bool clickThrough() const { return capsule_.settings().clickThrough; }
    void setClickThrough(bool on);
    // Returns where the user left the capsule on the screens named `layout`, if remembering.
    std::optional<DesktopPoint> capsulePosition(const std::string& layout) const {
        return capsule_.position(layout);
    }
    // Keeps `at` as the capsule's place on the screens named `layout`, if remembering.
    void setCapsulePosition(const std::string& layout, DesktopPoint at) {
        capsule_.setPosition(layout, at);
    }
    // Forgets every place the capsule was left at.
    void forgetCapsulePositions() { capsule_.forgetPositions(); }

    // Published session and earnings state.
    bool isWorking() const { return isWorking_; }
    double earnedTodayDisplay() const { return earnedTodayDisplay_; }
    const std::string& menuBarEarnedText() const { return menuBarEarnedText_; }
    std::optional<Instant> firstAnchorStart() const { return firstAnchorStart_; }
    // Whether the open session had reached its end of work at the last recomputation of the
    // amount; it is announced with `earnedTodayDisplay`.
    bool pastEndOfWork() const { return pastEndOfWork_; }
    // Whether the open session was in its unpaid break at the last recomputation of the amount.
    bool onBreak() const { return onBreak_; }
    // Whether the open session is past its end of work and paid as overtime.
    bool isOvertime() const { return pastEndOfWork_ && workday_.afterEnd == AfterEnd::overtime; }

    // Returns the minutes left to the open session's end of work, rounded up: 0 once it is
    // reached, nothing when idle. Announced as `minutesToEnd` when it changes.
    std::optional<int> minutesToEndOfWork() const { return minutesToEnd_; }

    // Returns the history the store keeps its sessions in; null when it keeps none.
    const HistoryStore* history() const { return history_.store(); }
    // Returns the "yyyy-MM-dd" key of the local day it is now.
    std::string today() const;
    // Returns the open session's record as of the last recomputation of the amount; nothing when
    // idle.
    const std::optional<SessionRecord>& currentRecord() const { return history_.current(); }

    // Returns the paid length of the running session's pay interval (at least 60 s): from the
    // anchor to the end of work, less the break when there is one; nothing when idle.
    std::optional<double> scheduledWorkSeconds() const;
    // Returns the pay per second of the running session under the current settings; 0 when idle.
    double payRatePerSecond() const;
    // Returns the pay per second at the last recomputation of the amount: 0 in the unpaid break
    // or past the end of work when the pay stops there, the overtime rate in overtime.
    double rateNow() const;
    // Writes the mode, the parsed amount, the end time and the working days (and the working-day
    // rules that were ever changed), in one write.
    void saveSettings();
    // Opens a new session now, replacing any open one; the amount restarts from 0.
    void startWork();
    // Opens a session as the automatic start does: the settings are saved first, and the session
    // and its anchor start at `scheduled`, the start time of today, which may be past already.
    void startWorkByItself(Instant scheduled);
    // Returns the last day on which work started by itself or a session was stopped by hand;
    // work does not start by itself again that day.
    std::string autoStartDoneDay() const { return stored_.autoStartDoneDay(); }
    // Closes the open session, as the user does; does nothing when none is open.
    void stopWork();
    // Brings the open session's record in the history up to now, as the process quits: the
    // session goes on after a relaunch, and its record loses nothing meanwhile.
    void writeHistoryNow();

    // Holds back the store's writes until the returned batch ends, so that several operations
    // (saving the settings, then starting work) reach the file together.
    [[nodiscard]] PreferencesStore::Batch batchWrites() {
        return PreferencesStore::Batch(defaults_);
    }

    // Subscribes `observer` to the assignments of every published property, or of `properties`.
    [[nodiscard]] Subscription subscribe(StoreObserver observer) {
        return observers_.subscribe(std::move(observer));
    }
    [[nodiscard]] Subscription subscribe(StoreObserver observer,
                                         std::initializer_list<StoreProperty> properties) {
        return observers_.subscribe(std::move(observer), properties);
    }

private:
    void loadSettings();
    void loadSession();
    void openSession(Instant start);
    void reconcileCalendarDayIfNeeded(Instant now);
    bool midnightAhead(Instant now) const;
    bool dayHeld(Instant now) const;
    bool overnightGoesOn(Instant now) const;
    void loadAnchorIfNeeded();
    void startTicking();
    void stopTicking();
    void onTick(WakeReason reason);
    void scheduleNextWake(Instant now);
    void settingsChanged();
    void refreshEarnedDisplay(Instant now);
    void refreshMinutesToEnd(Instant now);
    const std::optional<PayInterval>& payInterval() const;
    double rate() const;
    void forgetPay();
    Earned earnedAt(Instant now);
    void closeRecord(SessionEnding ending);

    void setIsWorking(bool working);
    void setEarnedTodayDisplay(double earned);
    void setMenuBarEarnedText(std::string text);
    void setFirstAnchorStart(std::optional<Instant> anchor);

    PreferencesStore& defaults_;
    const Clock& clock_;
    const Calendar& calendar_;
    Scheduler& scheduler_;
    StoredSession stored_;
    StoreObservers observers_;
    SessionHistory history_;

    SalaryMode mode_ = SalaryMode::daily;
    std::string amountText_ = "500";
    int scheduleEndMinutes_ = 18 * 60;
    double workingDaysPerMonth_ = 21.75;
    CapsulePreferences capsule_;
    WorkdayRules workday_;
    WorkingWeek week_;
    bool overnightSession_ = false;  // whether the open session was started as a night shift
    std::optional<int> minutesToEnd_;
    bool pastEndOfWork_ = false;
    bool onBreak_ = false;
    bool isWorking_ = false;
    bool announcedWorking_ = false;  // whether the session was open at the last announced amount
    double earnedTodayDisplay_ = 0.0;
    std::string menuBarEarnedText_;
    std::optional<Instant> sessionStart_;
    std::string calendarDay_;
    std::optional<Instant> firstAnchorStart_;
    std::unique_ptr<WakeTimer> tick_;
    // The pay interval, its rate and the next midnight as last computed: they change only with
    // the anchor, the settings, the rules, the clock or the zone, and cost several local-time
    // conversions and the reading of the amount's text.
    mutable std::optional<std::optional<PayInterval>> interval_;
    mutable std::optional<double> rate_;
    std::optional<Instant> nextMidnight_;
    Instant midnightFrom_{0};   // when the next midnight was found
    std::string midnightEnds_;  // the day that it ends
};

}  // namespace orvelle
