#include "app/EndOfDayNotice.h"

#include "views/ShownAmount.h"

namespace orvelle {

EndOfDayNotice::EndOfDayNotice(SalaryStore& store, std::unique_ptr<Notifier> notifier)
    : store_(store), notifier_(std::move(notifier)), wasPastEnd_(store.pastEndOfWork()) {
    subscription_ = store_.subscribe([this](StoreProperty) { onAmountChanged(); },
                                     {StoreProperty::earnedTodayDisplay});
}

void EndOfDayNotice::onAmountChanged() {
    const bool pastEnd = store_.pastEndOfWork();
    const bool reached = pastEnd && !wasPastEnd_;
    wasPastEnd_ = pastEnd;
    // A later end of work set while working makes the session reach its end again; it was
    // announced already.
    if (!reached || !store_.workday().endNotice || announcedSession_ == store_.firstAnchorStart()) {
        return;
    }
    announcedSession_ = store_.firstAnchorStart();
    notifier_->notify("Orvelle · 下班啦", "今日工资已到手：¥" + shownAmount(store_));
}

}  // namespace orvelle
