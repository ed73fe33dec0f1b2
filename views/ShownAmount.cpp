#include "views/ShownAmount.h"

#include "views/AmountFormat.h"

namespace orvelle {

std::string maskedDigits(std::string_view text) {
    std::string masked;
    masked.reserve(text.size() * 3);
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            masked += "•";
        } else {
            masked += c;
        }
    }
    return masked;
}

std::string shownAmount(const SalaryStore& store) {
    const std::string amount = formattedAmount(store.earnedTodayDisplay());
    return store.privacy() ? maskedDigits(amount) : amount;
}

}  // namespace orvelle
