#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/SalaryStore.h"
#include "fakes/FakeClock.h"
#include "fakes/InMemoryPreferences.h"
#include "fakes/LocalTime.h"
#include "fakes/ManualScheduler.h"
#include "fakes/ScopedTimeZone.h"
#include "platform/posix/SystemCalendar.h"

namespace orvelle::test {

// A store on fakes: in-memory preferences, a clock and a zone the test sets, the real calendar
// (which reads the zone at every call), and a scheduler the test turns by hand.
struct StoreHarness {
    explicit StoreHarness(std::string zone = "Asia/Shanghai")
        : zoneId(zone), timeZone(zone), calendar(std::chrono::nanoseconds(0)) {}

    // Sets the clock to a local wall-clock time in the harness's zone.
    void setLocal(const LocalDateTime& local) { clock.set(at(local)); }
    Instant at(const LocalDateTime& local) const { return instantIn(zoneId, local); }

    // Builds the store (again, as a relaunch would) on the current preferences.
    SalaryStore& launch() {
        store.reset();
        store =
            std::make_unique<SalaryStore>(StoreServices{preferences, clock, calendar, scheduler});
        return *store;
    }

    std::string zoneId;
    InMemoryPreferences preferences;
    FakeClock clock;
    ScopedTimeZone timeZone;
    SystemCalendar calendar;
    ManualScheduler scheduler;
    std::unique_ptr<SalaryStore> store;
};

}  // namespace orvelle::test
