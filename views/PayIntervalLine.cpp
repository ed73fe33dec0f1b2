#include "views/PayIntervalLine.h"

#include "engine/AmountText.h"
#include "views/ShownAmount.h"

namespace orvelle {

std::string payIntervalLine(const SalaryStore& store) {
    const auto seconds = store.scheduledWorkSeconds();
    if (!seconds) {
        return kPayIntervalHint;
    }
    // With a break the hours are the paid ones, and the rate is per paid second: the one being
    // paid now, so 0 in the break and the overtime rate in overtime.
    const char* const unpaidBreak =
        store.workday().breakTakesEffect(store.scheduleEndMinutes()) ? "（不含午休）" : "";
    const std::string rate = shownRate(store);
    return "计薪区间约 " + formatFixed(*seconds / 3600, 2) + " 小时" + unpaidBreak + " · 约 " +
           rate + " 元/秒";
}

}  // namespace orvelle
