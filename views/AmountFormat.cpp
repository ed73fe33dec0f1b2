#include "views/AmountFormat.h"

#include <charconv>
#include <cmath>

namespace orvelle {

namespace {

// The shortest decimal text that reads back as `magnitude` (non-negative, finite), in fixed
// notation: 2.675 gives "2.675" although the double lies a little below it, and 1e20 gives
// "100000000000000000000" rather than the double's exact digits.
std::string shortestFixed(double magnitude) {
    char buffer[32];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
    const std::string_view text(buffer, written.ptr);
    const std::size_t e = text.find('e');
    std::string digits;
    for (const char c : text.substr(0, e)) {
        if (c != '.') {
            digits += c;
        }
    }
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(),
                    exponent);
    const int point = exponent + 1;  // digits before the decimal point
    if (point <= 0) {
        return "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    }
    if (static_cast<std::size_t>(point) >= digits.size()) {
        return digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
    }
    return digits.insert(static_cast<std::size_t>(point), ".");
}

// Rounds a non-negative decimal text ("123.4567") to two fraction digits, half to even, and
// returns the integer digits and the two fraction digits.
std::pair<std::string, std::string> roundHalfEven(std::string_view decimal) {
    const std::size_t point = decimal.find('.');
    const std::string whole(decimal.substr(0, point));
    std::string fraction =
        point == std::string_view::npos ? "" : std::string(decimal.substr(point + 1));
    fraction.resize(std::max<std::size_t>(fraction.size(), 2), '0');
    const std::string_view rest = std::string_view(fraction).substr(2);
    std::string digits = whole + fraction.substr(0, 2);
    const bool pastHalf =
        !rest.empty() && (rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) !=
                                                                  std::string_view::npos));
    const bool half = !rest.empty() && rest[0] == '5' && !pastHalf;
    if (pastHalf || (half && (digits.back() - '0') % 2 == 1)) {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') {
            digits[--i] = '0';
        }
        if (i == 0) {
            digits.insert(digits.begin(), '1');
        } else {
            ++digits[i - 1];
        }
    }
    return {digits.substr(0, digits.size() - 2), digits.substr(digits.size() - 2)};
}

std::string groupedByThrees(const std::string& digits) {
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return grouped;
}

}  // namespace

// The value is rounded as the shortest decimal text that reads back as it (so 2.675, stored as
// 2.67499999…, rounds as 2.675 does, to 2.68), which is how locale number formatters round; the
// zh_CN conventions are "," between groups of three and "." before the fraction. Texts for the
// values that are not numbers are those such formatters give.
std::string formattedAmount(double value) {
    const std::string sign = std::signbit(value) ? "-" : "";
    if (std::isnan(value)) {
        return sign + "NaN";
    }
    if (std::isinf(value)) {
        return sign + "∞";
    }
    const auto [whole, fraction] = roundHalfEven(shortestFixed(std::fabs(value)));
    return sign + groupedByThrees(whole.empty() ? "0" : whole) + "." + fraction;
}

}  // namespace orvelle
