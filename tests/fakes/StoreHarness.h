#pragma once

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/SalaryStore.h"
#include "fakes/InMemoryPreferences.h"
#include "platform/posix/SystemCalendar.h"

namespace orvelle::test {

// A local date and time in a named zone, as the user would read it off a wall clock.
struct LocalDateTime {
    int year, month, day, hour, minute;
    double second = 0.0;
};

// Returns the instant of `local` in `zoneId`, as the C library's mktime reads it. A time that
// occurs twice, or not at all because the clocks jumped, is read as mktime settles it: tests keep
// to times that occur once.
Instant instantIn(const std::string& zoneId, const LocalDateTime& local);

// A clock that stands still until the test moves it.
class FakeClock final : public Clock {
public:
    Instant now() const override { return now_; }
    void set(Instant instant) { now_ = instant; }
    void advance(double seconds) { now_.secondsSince1970 += seconds; }

private:
    Instant now_{};
};

// A scheduler whose timers fire only when the test says so.
class ManualScheduler final : public Scheduler {
public:
    std::unique_ptr<WakeTimer> wakeTimer(std::function<void(WakeReason)> callback) override {
        slots_.push_back(std::make_shared<Slot>(Slot{std::move(callback), true, std::nullopt}));
        return std::make_unique<Timer>(slots_.back(), *this);
    }
    // Fires every live timer once, as for a change of the clock or the zone: whatever the store
    // shows is computed anew. A callback may start or stop timers.
    void tick() { fire(WakeReason::clockChanged); }
    // Fires every live timer once because its instant has come.
    void fire(WakeReason reason = WakeReason::due) {
        for (const auto& slot : std::vector(slots_)) {
            if (slot->live) {
                slot->callback(reason);
            }
        }
        std::erase_if(slots_, [](const auto& slot) { return !slot->live; });
    }
    // Whether its timers stand for ones that fire at every change of zone, as tick() does.
    bool reportsZoneChanges = true;

    // Returns how many timers are running.
    int liveTimers() const {
        return static_cast<int>(std::ranges::count_if(slots_, [](auto& s) { return s->live; }));
    }
    // Returns the instant the live timer was last set to wake at; nothing when none is set.
    std::optional<Instant> nextWake() const {
        for (const auto& slot : slots_) {
            if (slot->live) {
                return slot->due;
            }
        }
        return std::nullopt;
    }

private:
    struct Slot {
        std::function<void(WakeReason)> callback;
        bool live = true;
        std::optional<Instant> due;
    };
    struct Timer final : WakeTimer {
        Timer(std::shared_ptr<Slot> s, const ManualScheduler& o) : slot(std::move(s)), owner(o) {}
        ~Timer() override { slot->live = false; }
        void wakeAt(Instant when) override { slot->due = when; }
        bool reportsZoneChanges() const override { return owner.reportsZoneChanges; }
        std::shared_ptr<Slot> slot;
        const ManualScheduler& owner;
    };
    std::vector<std::shared_ptr<Slot>> slots_;
};

// Sets the process's time zone ($TZ, as the C library reads it) for as long as it lives, and puts
// back what was there before.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const std::string& zone) {
        if (const char* tz = std::getenv("TZ")) {
            saved_ = tz;
        }
        set(zone);
    }
    ~ScopedTimeZone() { saved_ ? ::setenv("TZ", saved_->c_str(), 1) : ::unsetenv("TZ"); }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

    // Changes the zone, as a user changing it while the program runs would.
    void set(const std::string& zone) { ::setenv("TZ", zone.c_str(), 1); }

private:
    std::optional<std::string> saved_;
};

// A store on fakes: in-memory preferences, a clock and a zone the test sets, the real calendar
// (which reads the zone at every call), and a scheduler the test turns by hand.
struct StoreHarness {
    explicit StoreHarness(std::string zone = "Asia/Shanghai")
        : zoneId(zone), timeZone(zone), calendar(std::chrono::nanoseconds(0)) {}

    // Sets the clock to a local wall-clock time in the harness's zone.
    void setLocal(const LocalDateTime& local) { clock.set(at(local)); }
    Instant at(const LocalDateTime& local) const { return instantIn(zoneId, local); }
    // Sets the clock to `local` and turns the scheduler once.
    void tickAt(const LocalDateTime& local) {
        setLocal(local);
        scheduler.tick();
    }
    // Moves the clock on by `seconds` and turns the scheduler once.
    void tickAfter(double seconds) {
        clock.advance(seconds);
        scheduler.tick();
    }

    // Builds the store (again, as a relaunch would) on the current preferences.
    SalaryStore& launch() {
        store.reset();
        store = std::make_unique<SalaryStore>(
            StoreServices{preferences, clock, calendar, scheduler, history, diagnostics});
        return *store;
    }
    // Sets the clock to `local` and launches there.
    SalaryStore& launchAt(const LocalDateTime& local) {
        setLocal(local);
        return launch();
    }

    std::string zoneId;
    InMemoryPreferences preferences;
    FakeClock clock;
    ScopedTimeZone timeZone;
    SystemCalendar calendar;
    ManualScheduler scheduler;
    HistoryStore* history = nullptr;      // where the store keeps its sessions, if anywhere
    std::ostream* diagnostics = nullptr;  // where it says a failure of the history
    std::unique_ptr<SalaryStore> store;
};

}  // namespace orvelle::test
