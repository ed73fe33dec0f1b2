#include "app/StatusReport.h"

#include <nlohmann/json.hpp>

#include "views/AmountFormat.h"
#include "views/PayIntervalLine.h"

namespace orvelle {

namespace {

// The capsule's amount colour, for the bars that colour their blocks.
constexpr const char* kWorkingColour = "#EA3F79";

}  // namespace

StatusReport StatusReport::of(const SalaryStore& store) {
    return {"¥" + formattedAmount(store.earnedTodayDisplay()), payIntervalLine(store),
            store.isWorking()};
}

std::string StatusReport::render(StatusFormat format) const {
    switch (format) {
        case StatusFormat::waybar: {
            const nlohmann::ordered_json json{
                {"text", text}, {"tooltip", tooltip}, {"class", working ? "working" : "idle"}};
            return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
        }
        case StatusFormat::i3blocks:
            // i3blocks reads the full text, the short text and the colour, one per line.
            return text + "\n" + text + "\n" + (working ? kWorkingColour : "") + "\n";
        case StatusFormat::plain:
            break;
    }
    return text + "\n";
}

}  // namespace orvelle
