#include "views/AmountFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace orvelle {

namespace {

// The shortest decimal that reads back as a double: its significant digits (at most 17) and the
// count of digits before its point (negative or zero below 0.1).
struct Shortest {
    char digits[17];
    int count = 0;
    int point = 0;
};

Shortest shortestOf(double magnitude) {
    char text[32];
    const auto written =
        std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific);
    Shortest shortest;
    const char* c = text;
    for (; c != written.ptr && *c != 'e'; ++c) {
        if (*c != '.') {
            shortest.digits[shortest.count++] = *c;
        }
    }
    int exponent = 0;
    std::from_chars(c + 1 + (c[1] == '+'), written.ptr, exponent);
    shortest.point = exponent + 1;
    return shortest;
}

// Returns the digit of `value` worth 10^-(place + 1) after the point: place -1 is the units.
char digitAt(const Shortest& value, int place) {
    const int index = value.point + place;
    return index >= 0 && index < value.count ? value.digits[index] : '0';
}

// The integer digits and two decimals of `value`, rounded half to even on the shortest decimal:
// the digits from 10^(point - 1) down to 10^-2, at least the units.
std::string roundedToCents(const Shortest& value) {
    const int whole = std::max(value.point, 1);
    std::string digits(static_cast<std::size_t>(whole + 2), '0');
    for (int i = 0; i < whole + 2; ++i) {
        digits[i] = digitAt(value, i - whole);
    }
    const char next = digitAt(value, 2);
    const int restFrom = value.point + 3;  // the index of the first digit after `next`
    const bool more = std::any_of(value.digits + std::clamp(restFrom, 0, value.count),
                                  value.digits + value.count, [](char d) { return d != '0'; });
    const bool pastHalf = next > '5' || (next == '5' && more);
    const bool half = next == '5' && !more;
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
    return digits;
}

}  // namespace

// The value is rounded as the shortest decimal text that reads back as it (so 2.675, stored as
// 2.67499999…, rounds as 2.675 does, to 2.68), which is how locale number formatters round; the
// zh_CN conventions are "," between groups of three and "." before the fraction. Texts for the
// values that are not numbers are those such formatters give. The capsule formats an amount at
// every cent: the text is built in one string.
std::string formattedAmount(double value) {
    const std::string sign = std::signbit(value) ? "-" : "";
    if (std::isnan(value)) {
        return sign + "NaN";
    }
    if (std::isinf(value)) {
        return sign + "∞";
    }
    const std::string digits = roundedToCents(shortestOf(std::fabs(value)));
    const std::size_t whole = digits.size() - 2;
    std::string text = sign;
    text.reserve(sign.size() + digits.size() + whole / 3 + 1);
    for (std::size_t i = 0; i < whole; ++i) {
        if (i > 0 && (whole - i) % 3 == 0) {
            text += ',';
        }
        text += digits[i];
    }
    return text.append(".").append(digits, whole, 2);
}

}  // namespace orvelle
