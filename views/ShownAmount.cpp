#include "views/ShownAmount.h"

#include "engine/AmountText.h"
#include "views/AmountFormat.h"

namespace orvelle {

namespace {

std::string twoDigits(int number) {
    return {static_cast<char>('0' + number / 10), static_cast<char>('0' + number % 10)};
}

}  // namespace

std::string shownAmount(const SalaryStore& store) {
    return store.privacy() ? std::string(kMaskedAmount)
                           : formattedAmount(store.earnedTodayDisplay());
}

std::string timeLeftText(const SalaryStore& store) {
    const auto minutes = store.minutesToEndOfWork();
    if (!minutes) {
        return {};
    }
    if (*minutes == 0) {
        return store.isOvertime() ? "加班中" : "已下班";
    }
    return "距下班 " + std::to_string(*minutes / 60) + ":" + twoDigits(*minutes % 60);
}

std::string autoStartText(const WorkingWeek& week) {
    return week.autoStart ? clockText(week.autoStartMinutes) + " 自动开始" : std::string();
}

std::string clockText(int minutes) {
    return twoDigits(minutes / 60 % 24) + ":" + twoDigits(minutes % 60);
}

std::string shownRate(const SalaryStore& store) {
    return store.privacy() ? std::string(kMaskedRate) : formatFixed(store.rateNow(), 4);
}

}  // namespace orvelle
