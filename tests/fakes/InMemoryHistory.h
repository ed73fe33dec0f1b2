#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/api/HistoryStore.h"

namespace orvelle::test {

// A history kept in memory, one record per start, that counts its writes and can be made to fail.
class InMemoryHistory final : public HistoryStore {
public:
    bool save(const SessionRecord& record) override {
        if (failing) {
            return false;
        }
        records[record.start.secondsSince1970] = record;
        ++writes;
        return true;
    }
    std::vector<DayTotal> days(const std::string& firstDay,
                               const std::string& lastDay) const override {
        std::vector<DayTotal> totals;
        for (const auto& [start, record] : records) {
            if (record.day < firstDay || record.day > lastDay) {
                continue;
            }
            auto day = std::ranges::find(totals, record.day, &DayTotal::day);
            if (day == totals.end()) {
                totals.push_back({record.day});
                day = totals.end() - 1;
            }
            ++day->sessions;
            day->paidSeconds += record.paidSeconds;
            day->earned += record.earned;
        }
        std::ranges::sort(totals, {}, &DayTotal::day);
        return totals;
    }
    std::vector<DayTotal> lastDays(int count) const override {
        std::vector<DayTotal> all = days("", "~");
        all.erase(all.begin(), all.end() - std::min<long>(count, std::ssize(all)));
        return all;
    }
    std::vector<SessionRecord> running() const override {
        std::vector<SessionRecord> open;
        for (const auto& [start, record] : records) {
            if (record.ending == SessionEnding::running) {
                open.push_back(record);
            }
        }
        return open;
    }
    std::string problem() const override { return failing ? "无法写入历史记录" : ""; }

    std::map<double, SessionRecord> records;
    int writes = 0;
    bool failing = false;
};

}  // namespace orvelle::test
