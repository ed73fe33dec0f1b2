#include "engine/AmountText.h"

#include <clocale>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace orvelle {
namespace {

struct ParseCase {
    const char* text;
    std::optional<double> expected;
};

void PrintTo(const ParseCase& c, std::ostream* out) {
    *out << "'" << c.text << "'";
}

class ParseAmountTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseAmountTest, ReadsOnlyWholeFiniteDecimals) {
    const auto& [text, expected] = GetParam();
    EXPECT_EQ(parseAmount(text), expected) << "text: '" << text << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseAmountTest,
    ::testing::Values(ParseCase{"500", 500.0}, ParseCase{"1,234.5", 1234.5},
                      ParseCase{"5e2", 500.0}, ParseCase{"5e3", 5000.0}, ParseCase{"-100", -100.0},
                      ParseCase{"+7.25", 7.25}, ParseCase{"1,,0,0,0", 1000.0},
                      ParseCase{"", std::nullopt}, ParseCase{",", std::nullopt},
                      ParseCase{" 500", std::nullopt}, ParseCase{"\t500", std::nullopt},
                      ParseCase{"500 ", std::nullopt}, ParseCase{"500元", std::nullopt},
                      ParseCase{"1，234", std::nullopt}, ParseCase{"abc", std::nullopt},
                      ParseCase{"12,5.3.1", std::nullopt}, ParseCase{"inf", std::nullopt},
                      ParseCase{"-infinity", std::nullopt}, ParseCase{"nan", std::nullopt},
                      ParseCase{"1e999", std::nullopt}, ParseCase{"-1e999", std::nullopt}));

TEST(ParseAmount, StopsAtAnEmbeddedNul) {
    EXPECT_EQ(parseAmount(std::string_view("50\0"
                                           "0",
                                           4)),
              std::nullopt);
}

TEST(ParseAmount, IgnoresTheProcessLocale) {
    // A GUI toolkit switches the process to the user's locale; a German one reads "," as the
    // decimal separator and would turn "1.5" into 1.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    }
    EXPECT_EQ(parseAmount("1.5"), 1.5);
    EXPECT_EQ(formatTwoDecimals(1.5), "1.50");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(PayableAmount, IsZeroForNonNumbersAndNonPositiveValues) {
    EXPECT_EQ(payableAmount("1,234.5"), 1234.5);
    EXPECT_EQ(payableAmount("-100"), 0.0);
    EXPECT_EQ(payableAmount("0"), 0.0);
    EXPECT_EQ(payableAmount("abc"), 0.0);
    EXPECT_EQ(payableAmount("inf"), 0.0);
}

TEST(FormatTwoDecimals, MatchesPrintfInTheCLocale) {
    EXPECT_EQ(formatTwoDecimals(8000), "8000.00");
    EXPECT_EQ(formatTwoDecimals(1234.5), "1234.50");
    EXPECT_EQ(formatTwoDecimals(10000000), "10000000.00");
    EXPECT_EQ(formatTwoDecimals(-3.456), "-3.46");
    EXPECT_EQ(formatTwoDecimals(0), "0.00");
    EXPECT_EQ(formatTwoDecimals(1e300).size(), 304U);
}

}  // namespace
}  // namespace orvelle
