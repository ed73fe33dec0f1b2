#include "app/SharedSalaryStore.h"

#include <iostream>

#include "platform/desktop/QtScheduler.h"
#include "platform/posix/JsonFilePreferences.h"
#include "platform/posix/SystemCalendar.h"
#include "platform/posix/SystemClock.h"

namespace orvelle {

SalaryStore& sharedSalaryStore() {
    // Made on first use and never destroyed: the store lives until the process ends, and tearing
    // it down after Qt is gone would stop a Qt timer without an event loop.
    static SalaryStore* const store = [] {
        static SystemClock clock;
        static SystemCalendar calendar;
        static QtScheduler scheduler;
        static JsonFilePreferences preferences(JsonFilePreferences::defaultPath(), std::cerr);
        return new SalaryStore(StoreServices{preferences, clock, calendar, scheduler});
    }();
    return *store;
}

}  // namespace orvelle
