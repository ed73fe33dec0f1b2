#include "views/ShownAmount.h"

#include "engine/AmountText.h"
#include "views/AmountFormat.h"

namespace orvelle {

std::string shownAmount(const SalaryStore& store) {
    return store.privacy() ? std::string(kMaskedAmount)
                           : formattedAmount(store.earnedTodayDisplay());
}

std::string shownRate(const SalaryStore& store) {
    return store.privacy() ? std::string(kMaskedRate) : formatFixed(store.rateNow(), 4);
}

}  // namespace orvelle
