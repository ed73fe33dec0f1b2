#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvelle {

// Reads a salary amount as typed: every "," is dropped, and the rest is a number only if it is not
// empty, does not start with white space and reads as a whole as a finite number the way the C
// library's strtod reads it in the C locale: decimals, exponents and hexadecimal text ("0x1f4")
// alike. Infinite and not-a-number readings ("inf", "nan", "1e999") are not numbers: money is
// never that.
std::optional<double> parseAmount(std::string_view text);

// Returns the amount that `text` is worth for pay: its parsed value, or 0 when it is no number or
// not positive.
double payableAmount(std::string_view text);

// Formats `value` like printf's "%.Nf" in the C locale, whatever locale the process has set.
std::string formatFixed(double value, int decimals);

// Formats `value` like printf's "%.2f" in the C locale.
inline std::string formatTwoDecimals(double value) {
    return formatFixed(value, 2);
}

}  // namespace orvelle
