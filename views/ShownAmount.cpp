#include "views/ShownAmount.h"

#include "views/AmountFormat.h"

namespace orvelle {

std::string shownAmount(const SalaryStore& store) {
    return store.privacy() ? std::string(kMaskedAmount)
                           : formattedAmount(store.earnedTodayDisplay());
}

}  // namespace orvelle
