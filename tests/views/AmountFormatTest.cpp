#include "views/AmountFormat.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

TEST(FormattedAmount, TwoDecimalsGroupedByThreesRoundedHalfToEven) {
    const std::vector<std::pair<double, std::string>> table{
        {0, "0.00"},
        {0.1, "0.10"},
        {12.345678, "12.35"},
        {1234.5, "1,234.50"},
        {1234567.891, "1,234,567.89"},
        {999.999, "1,000.00"},
        {-3.2, "-3.20"},
        {2.675, "2.68"},
        {0.125, "0.12"},
        {0.135, "0.14"},
        {-1234.5, "-1,234.50"},
        {0.015, "0.02"},
        {0.025, "0.02"},
        {-0.001, "-0.00"},
        {1e20, "100,000,000,000,000,000,000.00"}};
    for (const auto& [value, text] : table) {
        EXPECT_EQ(formattedAmount(value), text) << value;
    }
}

}  // namespace
}  // namespace orvelle
