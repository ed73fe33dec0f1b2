#pragma once

#include <memory>
#include <optional>

#include "engine/SalaryStore.h"
#include "platform/api/Notifier.h"

namespace orvelle {

// Tells the user, when the end-of-work notice is on, that the day's pay is complete: once per
// session, at the recomputation that first finds the session at its end of work. A session that
// was stopped before, or that the day's change ended, is never announced, nor one that was already
// past its end when the application started.
class EndOfDayNotice {
public:
    EndOfDayNotice(SalaryStore& store, std::unique_ptr<Notifier> notifier);

private:
    void onAmountChanged();

    SalaryStore& store_;
    std::unique_ptr<Notifier> notifier_;
    bool wasPastEnd_;
    std::optional<Instant> announcedSession_;  // the anchor of the session last announced
    Subscription subscription_;
};

}  // namespace orvelle
