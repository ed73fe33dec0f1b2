#include "app/StatusReport.h"

#include <nlohmann/json.hpp>

#include "views/PayIntervalLine.h"
#include "views/ShownAmount.h"

namespace orvelle {

namespace {

// The capsule's amount colour, for the bars that colour their blocks.
constexpr const char* kWorkingColour = "#EA3F79";
// The gold of overtime, as the waybar sample styles it.
constexpr const char* kOvertimeColour = "#D4A017";
// A plain red that no amount is ever shown in.
constexpr const char* kErrorColour = "#FF5555";

}  // namespace

StatusReport StatusReport::of(const SalaryStore& store) {
    // A bar shows the time left only when the capsule is asked to.
    std::string tooltip = payIntervalLine(store);
    if (const std::string left = timeLeftText(store); !left.empty() && store.week().showCountdown) {
        tooltip += " · " + left;
    } else if (!store.isWorking() && store.week().autoStart) {
        tooltip = "自动开始 " + clockText(store.week().autoStartMinutes);
    }
    return {"¥" + shownAmount(store), std::move(tooltip), store.isWorking(),
            store.privacy(),          store.isOvertime(), {}};
}

// A believable ¥0.00 would hide that the file is damaged; the bar shows this instead.
StatusReport StatusReport::failed(std::string problem) {
    StatusReport report;
    report.text = "设置文件有误";
    report.tooltip = problem;
    report.problem = std::move(problem);
    return report;
}

std::string StatusReport::render(StatusFormat format) const {
    const bool failed = !problem.empty();
    switch (format) {
        case StatusFormat::waybar: {
            const char* kind = failed     ? "error"
                               : masked   ? "private"
                               : overtime ? "overtime"
                               : working  ? "working"
                                          : "idle";
            const nlohmann::ordered_json json{
                {"text", text}, {"tooltip", tooltip}, {"class", kind}};
            return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
        }
        case StatusFormat::i3blocks: {
            // i3blocks reads the full text, the short text and the colour, one per line.
            const char* colour = failed     ? kErrorColour
                                 : overtime ? kOvertimeColour
                                 : working  ? kWorkingColour
                                            : "";
            return text + "\n" + text + "\n" + colour + "\n";
        }
        case StatusFormat::plain:
            break;
    }
    return text + "\n";
}

}  // namespace orvelle
