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
    bool masked = false;    // privacy is on: the amounts are masked
    bool overtime = false;  // working past the end of work, paid as overtime
    std::string problem;    // what is wrong with the preferences file; empty when nothing is

    // Reads the report off `store`.
    static StatusReport of(const SalaryStore& store);

    // Returns the report that shows, instead of an amount, that the file could not be read.
    static StatusReport failed(std::string problem);

    // Renders the report as one line (plain), one JSON object (waybar, whose class is "error" for
    // a failed report, "private" for a masked one, "overtime" past the end of work in overtime)
    // or the i3blocks lines (a failed one in red).
    std::string render(StatusFormat format) const;
};

}  // namespace orvelle
