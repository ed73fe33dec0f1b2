#include "app/HistoryCommand.h"

#include <ostream>
#include <sstream>

#include "app/SharedSalaryStore.h"
#include "engine/HistorySummary.h"
#include "engine/SalaryStore.h"
#include "platform/api/InertScheduler.h"
#include "platform/posix/JsonFilePreferences.h"
#include "platform/posix/SystemCalendar.h"
#include "platform/posix/SystemClock.h"
#include "platform/sqlite/SqliteHistory.h"
#include "views/HistoryText.h"

namespace orvelle {

int HistoryCommand::run(int count, HistoryFormat format, std::ostream& output,
                        std::ostream& diagnostics) {
    const SqliteHistory history(historyPath(), HistoryAccess::readOnly);
    std::vector<DayTotal> days = history.lastDays(count);
    if (!history.problem().empty()) {
        diagnostics << "orvelle: " << history.problem() << "\n";
        return 1;
    }
    // The open session as the capsule shows it now, from the settings file as --status reads it;
    // whatever the store would write stays in memory.
    SystemClock clock;
    SystemCalendar calendar;
    InertScheduler scheduler;
    std::ostringstream quiet;
    JsonFilePreferences preferences(JsonFilePreferences::defaultPath(), quiet,
                                    JsonFilePreferences::Access::readOnly);
    const SalaryStore store(StoreServices{preferences, clock, calendar, scheduler});
    addOpenSession(days, history.running(), store.currentRecord());
    if (days.size() > static_cast<size_t>(count)) {
        days.erase(days.begin(), days.end() - count);
    }
    output << historyText(days, format, store.privacy()) << std::flush;
    return output ? 0 : 1;
}

}  // namespace orvelle
