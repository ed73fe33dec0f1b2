#include "engine/AmountText.h"

#include <locale.h>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace orvelle {

namespace {

bool isLeadingSpace(char c) {
    return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == ' ';
}

// strtod in the POSIX locale, whatever locale the GUI toolkit has switched the process to.
locale_t posixLocale() {
    static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

}  // namespace

std::optional<double> parseAmount(std::string_view text) {
    std::string digits;
    digits.reserve(text.size());
    for (const char c : text) {
        if (c != ',') {
            digits.push_back(c);
        }
    }
    if (digits.empty() || isLeadingSpace(digits.front())) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = ::strtod_l(digits.c_str(), &end, posixLocale());
    // An embedded NUL stops strtod early and so fails this test, as any trailing text does.
    if (end != digits.c_str() + digits.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

double payableAmount(std::string_view text) {
    const auto value = parseAmount(text);
    return value && *value > 0 ? *value : 0.0;
}

std::string formatFixed(double value, int decimals) {
    char text[400];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

}  // namespace orvelle
