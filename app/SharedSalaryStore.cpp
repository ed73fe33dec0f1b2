// The application's one store, on the real platform.
#include <iostream>

#include "engine/SalaryStore.h"
#include "platform/IcuCalendar.h"
#include "platform/JsonFilePreferences.h"
#include "platform/QtScheduler.h"
#include "platform/SystemClock.h"
#include "platform/SystemTimeZone.h"

namespace orvelle {

SalaryStore& SalaryStore::shared() {
    // Made on first use and never destroyed: the store lives until the process ends, and tearing
    // it down after Qt is gone would stop a Qt timer without an event loop.
    static SalaryStore* const store = [] {
        static SystemClock clock;
        static SystemTimeZone timeZone;
        static IcuCalendar calendar(timeZone);
        static QtScheduler scheduler;
        static JsonFilePreferences preferences(JsonFilePreferences::defaultPath(), std::cerr);
        return new SalaryStore(StoreServices{preferences, clock, calendar, scheduler});
    }();
    return *store;
}

}  // namespace orvelle
