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

// Returns what the time left to the open session's end of work reads: "距下班 2:15", and once it
// is reached "加班中" when overtime is paid, else "已下班"; empty when idle.
std::string timeLeftText(const SalaryStore& store);

// Returns when work starts by itself, "09:00 自动开始"; empty when it does not.
std::string autoStartText(const WorkingWeek& week);

// Returns `minutes` after midnight as a clock reads it: "09:00".
std::string clockText(int minutes);

// Returns the rate being paid now as every view shows it, without unit: four decimals, or the
// mask while privacy is on.
std::string shownRate(const SalaryStore& store);

}  // namespace orvelle
