#pragma once

#include <string>

#include "engine/SalaryStore.h"

namespace orvelle {

// The forms a status bar can read the amount in.
enum class StatusFormat { plain, waybar, i3blocks };

// What a status bar shows of the store at one instant.
struct StatusReport {
    std::string text;     // the amount as the capsule shows it, "¥1,234.56"
    std::string tooltip;  // the pay-interval line of the settings window
    bool working = false;

    // Reads the report off `store`.
    static StatusReport of(const SalaryStore& store);

    // Renders the report as one line (plain), one JSON object (waybar) or the i3blocks lines.
    std::string render(StatusFormat format) const;
};

}  // namespace orvelle
