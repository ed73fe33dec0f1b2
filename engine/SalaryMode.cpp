#include "engine/SalaryMode.h"

namespace orvelle {

std::string_view rawValue(SalaryMode mode) {
    return mode == SalaryMode::monthly ? "monthly" : "daily";
}

std::optional<SalaryMode> salaryModeFromRaw(std::string_view raw) {
    for (const SalaryMode mode : kAllSalaryModes) {
        if (raw == rawValue(mode)) {
            return mode;
        }
    }
    return std::nullopt;
}

}  // namespace orvelle
