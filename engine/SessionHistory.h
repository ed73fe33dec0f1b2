#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "engine/Earnings.h"
#include "platform/api/Calendar.h"
#include "platform/api/HistoryStore.h"

namespace orvelle {

// Keeps the history's record of the open work session: written when the session opens, at least
// once a minute while it runs, and when it ends, however it ends. The history only ever follows
// the session: a history that cannot be written is said once and never stops the amount.
class SessionHistory {
public:
    // How often a running session's record is brought up to date in the history, at least: a
    // kill or a power cut loses no more of it than this.
    static constexpr double kWriteEverySeconds = 60.0;

    // Keeps the records in `store`, or nowhere when it is null; says a failure on `diagnostics`.
    SessionHistory(HistoryStore* store, const Calendar& calendar, std::ostream& diagnostics);

    // Closes every record a previous run left open as ended by a restart, keeping what it last
    // wrote; the record of `resumed`, the session this run goes on with, stays open instead.
    void resume(std::optional<Instant> resumed);
    // Opens and writes the record of a session that starts at `start`.
    void open(Instant start);
    // Takes what the open session has earned at `now`; writes it once a minute has passed since
    // the last write.
    void update(Instant now, const Earned& earned);
    // Writes the open record as it stands now, still running (before the process quits).
    void flush();
    // Writes the open record as ended by `ending`, with what it last took, and forgets it.
    void close(SessionEnding ending);

    // Returns where the records are kept; null when nowhere.
    const HistoryStore* store() const { return store_; }
    // Returns the open record as last taken; nothing when no session is open.
    const std::optional<SessionRecord>& current() const { return current_; }

private:
    void save(const SessionRecord& record);

    HistoryStore* store_;
    const Calendar& calendar_;
    std::ostream& diagnostics_;
    std::optional<SessionRecord> current_;
    std::optional<Instant> lastWrite_;
    bool failureSaid_ = false;
};

}  // namespace orvelle
