#include "engine/AmountText.h"

#include <clocale>
#include <tuple>

#include <gtest/gtest.h>

namespace orvelle {
namespace {

// Only a whole, finite decimal is an amount; pay is never negative.
TEST(AmountText, ReadsOnlyWholeFiniteDecimals) {
    const std::tuple<std::string_view, double, double> amounts[] = {
        {"500", 500, 500},     {"1,234.5", 1234.5, 1234.5}, {"5e3", 5000, 5000}, {"-100", -100, 0},
        {"+7.25", 7.25, 7.25}, {"1,,0,0,0", 1000, 1000},    {"0", 0, 0}};
    for (const auto& [text, parsed, payable] : amounts) {
        EXPECT_EQ(parseAmount(text), parsed) << text;
        EXPECT_EQ(payableAmount(text), payable) << text;
    }
    for (const std::string_view text : {"", ",", " 500", "\t500", "500 ", "500元", "1，234", "abc",
                                        "12,5.3.1", "inf", "-infinity", "nan", "1e999", "-1e999"}) {
        EXPECT_EQ(parseAmount(text), std::nullopt) << "'" << text << "'";
        EXPECT_EQ(payableAmount(text), 0.0) << "'" << text << "'";
    }
    const char withNul[] = {'5', '0', '\0', '0'};  // strtod would stop at the NUL
    EXPECT_EQ(parseAmount(std::string_view(withNul, 4)), std::nullopt);
}

// A GUI toolkit switches the process to the user's locale; a German one reads "," as the decimal
// separator and would turn "1.5" into 1. tools/install-deps --test generates de_DE.UTF-8.
TEST(AmountText, IgnoresTheProcessLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr) << "de_DE.UTF-8 is missing";
    EXPECT_EQ(parseAmount("1.5"), 1.5);
    EXPECT_EQ(formatTwoDecimals(1.5), "1.50");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
}  // namespace orvelle
