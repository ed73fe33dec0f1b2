#include "engine/MonthToDate.h"

#include "engine/HistorySummary.h"

namespace orvelle {

double MonthToDate::earned(const HistoryStore& store, const std::string& today,
                           const std::optional<SessionRecord>& open) {
    const bool counted = ofTheMonth(today, open);
    const std::optional<Instant> start = open ? std::optional(open->start) : std::nullopt;
    if (readOn_ != today || readWith_ != start) {
        readOn_ = today;
        readWith_ = start;
        others_ = summarize(store, today, open).month.earned - (counted ? open->earned : 0.0);
    }
    return others_ + (counted ? open->earned : 0.0);
}

bool MonthToDate::ofTheMonth(const std::string& today, const std::optional<SessionRecord>& open) {
    // A day key begins with its month: "yyyy-MM-".
    return open && today.size() >= 8 && open->day.compare(0, 8, today, 0, 8) == 0;
}

}  // namespace orvelle
