#pragma once

#include <string>

#include "engine/SalaryStore.h"

namespace orvelle {

// The hint shown while no session is open.
inline constexpr const char* kPayIntervalHint =
    "点击「开始上班」后，按本次打卡至预计下班时间计薪；再次开始会重新从 0 计。";

// Returns the pay-interval line: the hint while idle, otherwise the interval's length in hours and
// the pay per second, "计薪区间约 9.00 小时 · 约 0.0154 元/秒"; with a break, the paid hours and
// the pay per paid second, "计薪区间约 8.00 小时（不含午休） · 约 0.0174 元/秒".
std::string payIntervalLine(const SalaryStore& store);

}  // namespace orvelle
