#pragma once

#include <string>
#include <string_view>

#include "engine/SalaryStore.h"

namespace orvelle {

// Returns `text` with every digit replaced by "•": the mask keeps the amount's shape, so that a
// view showing it keeps its size.
std::string maskedDigits(std::string_view text);

// Returns the amount earned as every view shows it, without sign or unit: formatted as
// formattedAmount() does, or masked while privacy is on.
std::string shownAmount(const SalaryStore& store);

}  // namespace orvelle
