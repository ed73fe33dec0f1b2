// Amounts as typed, and the formatting of any double. Beyond crashes and sanitizer reports, it
// checks what the header promises: a parsed amount is finite, the payable amount is finite and
// never negative, a parsed amount shown with two decimals reads back within half a cent, and any
// double, infinities and NaN included, formats within bounds.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "engine/AmountText.h"
#include "tests/fuzz/Require.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto value = orvelle::parseAmount(text);
    const double payable = orvelle::payableAmount(text);
    require(std::isfinite(payable) && payable >= 0);
    if (value) {
        require(std::isfinite(*value));
        const auto shown = orvelle::parseAmount(orvelle::formatTwoDecimals(*value));
        const double slack = 0.005 + std::fabs(*value) * std::numeric_limits<double>::epsilon();
        require(shown && std::fabs(*shown - *value) <= slack);
    }
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        for (const int decimals : {0, 2, 4}) {
            const std::string formatted = orvelle::formatFixed(raw, decimals);
            // The widest finite double has 309 integer digits.
            require(!formatted.empty() && formatted.size() <= 1 + 309 + 1 + 4);
            require(!std::isfinite(raw) || orvelle::parseAmount(formatted).has_value());
        }
    }
    return 0;
}
