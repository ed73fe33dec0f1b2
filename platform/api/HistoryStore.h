#pragma once

#include <string>
#include <vector>

#include "platform/api/Instant.h"

namespace orvelle {

// How a work session's record came to an end. The numbers are stored: never renumber them.
enum class SessionEnding {
    running = 0,    // still open, or left open by a process that was killed
    stopped = 1,    // stopped by the user (the button, the tray, a verb)
    dayChange = 2,  // ended by the first tick of a new calendar day
    restart = 3,    // found open by a start-up on a later day, or left open by a killed process
};

// One work session as the history keeps it. Its start identifies it: writing a record with the
// same start replaces the earlier one, which is how a running session's record is kept current.
struct SessionRecord {
    Instant start;
    std::string day;  // the "yyyy-MM-dd" local day of the start
    Instant end;      // the last instant the record covers: its end, or its last write
    double paidSeconds = 0.0;
    double earned = 0.0;    // as the capsule last showed it, in the salary's currency
    double overtime = 0.0;  // the part of `earned` paid at the overtime rate
    SessionEnding ending = SessionEnding::running;

    bool operator==(const SessionRecord&) const = default;
};

// The sum of one day's records.
struct DayTotal {
    std::string day;
    int sessions = 0;
    double paidSeconds = 0.0;
    double earned = 0.0;

    bool operator==(const DayTotal&) const = default;
};

// The history of work sessions, one record per session, kept across runs. A store that cannot
// be read or written answers with nothing and says why in `problem()`; it never throws.
class HistoryStore {
public:
    virtual ~HistoryStore() = default;

    // Writes `record`, replacing the record with the same start; returns whether it was stored.
    virtual bool save(const SessionRecord& record) = 0;

    // Returns the totals of the days from `firstDay` to `lastDay` (both "yyyy-MM-dd", inclusive)
    // that have records, oldest first.
    virtual std::vector<DayTotal> days(const std::string& firstDay,
                                       const std::string& lastDay) const = 0;

    // Returns the totals of the last `count` days that have records, oldest first.
    virtual std::vector<DayTotal> lastDays(int count) const = 0;

    // Returns the records still marked as running, oldest first.
    virtual std::vector<SessionRecord> running() const = 0;

    // Returns why the history cannot be read or written, in the user's language; empty when it
    // works.
    virtual std::string problem() const = 0;
};

}  // namespace orvelle
