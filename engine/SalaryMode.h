#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace orvelle {

// The period the salary amount is paid for.
enum class SalaryMode { daily, monthly };

// Every mode, in the order the settings view offers them.
inline constexpr std::array<SalaryMode, 2> kAllSalaryModes{SalaryMode::daily, SalaryMode::monthly};

// Returns the stored form of `mode`: "daily" or "monthly".
std::string_view rawValue(SalaryMode mode);

// Returns the mode whose stored form is exactly `raw` (case-sensitive), or nothing.
std::optional<SalaryMode> salaryModeFromRaw(std::string_view raw);

}  // namespace orvelle
