#pragma once

#include <string>
#include <string_view>

#include "engine/SalaryStore.h"

namespace orvelle {

// What every hidden amount and rate shows instead, whatever its size and sign: a mask that kept
// the amount's shape would still tell how much it is.
inline constexpr std::string_view kMaskedAmount = "•••.••";
inline constexpr std::string_view kMaskedRate = "•.••••";

// Returns the amount earned as every view shows it, without unit: formatted as formattedAmount()
// does, or the mask while privacy is on.
std::string shownAmount(const SalaryStore& store);

// Returns the rate being paid now as every view shows it, without unit: four decimals, or the
// mask while privacy is on.
std::string shownRate(const SalaryStore& store);

}  // namespace orvelle
