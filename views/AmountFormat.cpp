#include "views/AmountFormat.h"

#include <unicode/numberformatter.h>

#include "engine/AmountText.h"

namespace orvelle {

namespace {

// Built once: a configured ICU formatter is immutable and costs far more to make than to use,
// and the views format an amount up to 20 times a second.
const icu::number::LocalizedNumberFormatter& zhCnFormatter() {
    static const auto formatter = icu::number::NumberFormatter::withLocale(icu::Locale("zh_CN"))
                                      .precision(icu::number::Precision::fixedFraction(2))
                                      .roundingMode(UNUM_ROUND_HALFEVEN);
    return formatter;
}

}  // namespace

std::string formattedAmount(double value) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString text = zhCnFormatter().formatDouble(value, status).toString(status);
    if (U_FAILURE(status)) {
        return formatTwoDecimals(value);
    }
    std::string result;
    text.toUTF8String(result);
    return result;
}

}  // namespace orvelle
