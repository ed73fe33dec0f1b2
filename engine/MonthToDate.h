#pragma once

#include <optional>
#include <string>

#include "platform/api/HistoryStore.h"

namespace orvelle {

// This month's earnings with the open session as it is now, for a figure brought up to date many
// times a minute. The history is read again only when the day or the open session changes: in
// between, the other records stay as they are and only the open session's amount moves.
class MonthToDate {
public:
    // Returns what the month of `today` has earned, the open session counted as `open` has it.
    double earned(const HistoryStore& store, const std::string& today,
                  const std::optional<SessionRecord>& open);

private:
    // Returns whether `open` is a session of the month of `today`.
    static bool ofTheMonth(const std::string& today, const std::optional<SessionRecord>& open);

    std::optional<std::string> readOn_;  // the day the history was last read, if it was
    std::optional<Instant> readWith_;    // the open session's start when it was read
    double others_ = 0.0;                // the month's earnings besides the open session's
};

}  // namespace orvelle
