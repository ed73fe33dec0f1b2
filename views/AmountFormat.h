#pragma once

#include <string>

namespace orvelle {

// Returns the display text of an amount of yuan, without sign or unit: exactly two decimals, the
// integer part grouped by threes with "," (zh_CN), rounded half to even on the decimal value.
std::string formattedAmount(double value);

}  // namespace orvelle
