#include "views/AmountFormat.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

TEST(FormattedAmount, TwoDecimalsGroupedByThreesRoundedHalfToEven) {
    // Half to even on the shortest decimal that reads back as the value: 2.675 and 0.015 lie a
    // little below their halves as doubles, yet round up.
    const std::pair<double, const char*> table[] = {
        {0, "0.00"},           {1234.5, "1,234.50"},   {1234567.891, "1,234,567.89"},
        {999.999, "1,000.00"}, {2.675, "2.68"},        {0.125, "0.12"},
        {0.135, "0.14"},       {-1234.5, "-1,234.50"}, {0.015, "0.02"},
        {0.025, "0.02"},       {-0.001, "-0.00"}};
    for (const auto& [value, text] : table) {
        EXPECT_EQ(formattedAmount(value), text) << value;
    }
    EXPECT_EQ(formattedAmount(1e20), "100,000,000,000,000,000,000.00");
}

}  // namespace
}  // namespace orvelle
