#include "app/SharedSalaryStore.h"

#include <iostream>

#include "platform/desktop/QtScheduler.h"
#include "platform/posix/JsonFilePreferences.h"
#include "platform/posix/SystemCalendar.h"
#include "platform/posix/SystemClock.h"
#include "platform/posix/XdgPaths.h"
#include "platform/sqlite/SqliteHistory.h"

namespace orvelle {

SalaryStore& sharedSalaryStore() {
    // Made on first use and never destroyed: the store lives until the process ends, and tearing
    // it down after Qt is gone would stop a Qt timer without an event loop.
    static SalaryStore* const store = [] {
        static SystemClock clock;
        static SystemCalendar calendar;
        static QtScheduler scheduler;
        static JsonFilePreferences preferences(JsonFilePreferences::defaultPath(), std::cerr);
        // Only the process that holds the settings file's lock gets here: the history, like the
        // settings, has one writer.
        static SqliteHistory history(historyPath(), HistoryAccess::readWrite);
        return new SalaryStore(
            StoreServices{preferences, clock, calendar, scheduler, &history, &std::cerr});
    }();
    return *store;
}

std::filesystem::path historyPath() {
    return xdgDataHome() / "orvelle" / "history.sqlite3";
}

}  // namespace orvelle
