#include "engine/SessionHistory.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace orvelle {

SessionHistory::SessionHistory(HistoryStore* store, const Calendar& calendar,
                               std::ostream& diagnostics)
    : store_(store), calendar_(calendar), diagnostics_(diagnostics) {}

void SessionHistory::resume(std::optional<Instant> resumed) {
    current_.reset();
    lastWrite_.reset();
    for (SessionRecord record :
         store_ != nullptr ? store_->running() : std::vector<SessionRecord>{}) {
        if (resumed && record.start == *resumed) {
            current_ = record;
            lastWrite_ = record.end;
            continue;
        }
        // No process saw what came after its last write: the record keeps what it wrote.
        record.ending = SessionEnding::restart;
        save(record);
    }
    if (resumed && !current_) {
        open(*resumed);
    }
}

void SessionHistory::open(Instant start) {
    current_ = SessionRecord{start, calendar_.dayKey(start), start};
    lastWrite_ = start;
    save(*current_);
}

void SessionHistory::update(Instant now, const Earned& earned) {
    if (!current_) {
        return;
    }
    // Only absurd settings give a figure that is no finite number; the store keeps numbers.
    const auto finite = [](double value) {
        constexpr double kLargest = std::numeric_limits<double>::max();
        return std::isnan(value) ? 0.0 : std::clamp(value, -kLargest, kLargest);
    };
    current_->end = now;
    current_->earned = finite(earned.amount);
    current_->paidSeconds = finite(std::max(earned.paidSeconds, 0.0));
    current_->overtime = finite(earned.overtime);
    // A clock set back writes at once too: the record must not wait for the old time to return.
    if (!lastWrite_ || !(secondsBetween(now, *lastWrite_) < kWriteEverySeconds) ||
        now < *lastWrite_) {
        lastWrite_ = now;
        save(*current_);
    }
}

void SessionHistory::flush() {
    if (current_) {
        lastWrite_ = current_->end;
        save(*current_);
    }
}

void SessionHistory::close(SessionEnding ending) {
    if (!current_) {
        return;
    }
    current_->ending = ending;
    save(*current_);
    current_.reset();
    lastWrite_.reset();
}

void SessionHistory::save(const SessionRecord& record) {
    if (store_ == nullptr || store_->save(record) || failureSaid_) {
        return;
    }
    diagnostics_ << "orvelle: " << store_->problem() << '\n';
    failureSaid_ = true;
}

}  // namespace orvelle
