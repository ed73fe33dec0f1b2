#include "app/SharedSalaryStore.h"

#include <iostream>

#include "platform/desktop/QtScheduler.h"
#include "platform/posix/JsonFilePreferences.h"
#include "platform/posix/SystemCalendar.h"
#include "platform/posix/SystemClock.h"
#include "platform/posix/XdgPaths.h"
#include "platform/sqlite/SqliteHistory.h"

namespace orvelle {

namespace {

// The real clock, calendar and timers the store and the automatic start share.
struct RealTime {
    SystemClock clock;
    SystemCalendar calendar;
    QtScheduler scheduler;
};

RealTime& realTime() {
    static RealTime time;
    return time;
}

}  // namespace

SalaryStore& sharedSalaryStore() {
    // Made on first use and never destroyed: the store lives until the process ends, and tearing
    // it down after Qt is gone would stop a Qt timer without an event loop.
    static SalaryStore* const store = [] {
        RealTime& time = realTime();
        static JsonFilePreferences preferences(JsonFilePreferences::defaultPath(), std::cerr);
        // Only the process that holds the settings file's lock gets here: the history, like the
        // settings, has one writer.
        static SqliteHistory history(historyPath(), HistoryAccess::readWrite);
        return new SalaryStore(StoreServices{preferences, time.clock, time.calendar, time.scheduler,
                                             &history, &std::cerr});
    }();
    return *store;
}

std::unique_ptr<AutoStart> makeAutoStart() {
    RealTime& time = realTime();
    return std::make_unique<AutoStart>(sharedSalaryStore(), time.clock, time.calendar,
                                       time.scheduler);
}

std::filesystem::path historyPath() {
    return xdgDataHome() / "orvelle" / "history.sqlite3";
}

}  // namespace orvelle
