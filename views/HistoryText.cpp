#include "views/HistoryText.h"

#include <cmath>

#include <nlohmann/json.hpp>

#include "engine/AmountText.h"
#include "views/AmountFormat.h"
#include "views/ShownAmount.h"

namespace orvelle {

namespace {

std::string plainLine(const DayTotal& day, bool masked) {
    const std::string amount = masked ? std::string(kMaskedAmount) : formattedAmount(day.earned);
    return day.day + "  " + formatTwoDecimals(day.paidSeconds / 3600.0) + " h  ¥" + amount + "\n";
}

}  // namespace

std::string historyText(const std::vector<DayTotal>& days, HistoryFormat format, bool masked) {
    using Format = HistoryFormat;
    std::string text = format == Format::csv ? "day,sessions,paid_seconds,earned\n" : "";
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const DayTotal& day : days) {
        const auto paid = static_cast<long long>(std::llround(day.paidSeconds));
        if (format == Format::plain) {
            text += plainLine(day, masked);
        } else if (format == Format::csv) {
            text += day.day + "," + std::to_string(day.sessions) + "," + std::to_string(paid) +
                    "," + (masked ? std::string(kMaskedAmount) : formatTwoDecimals(day.earned)) +
                    "\n";
        } else {
            nlohmann::ordered_json entry{
                {"day", day.day}, {"sessions", day.sessions}, {"paidSeconds", paid}};
            entry["earned"] = masked ? nlohmann::ordered_json(kMaskedAmount)
                                     : nlohmann::ordered_json(std::round(day.earned * 100) / 100);
            array.push_back(std::move(entry));
        }
    }
    return format == Format::json ? array.dump() + "\n" : text;
}

}  // namespace orvelle
