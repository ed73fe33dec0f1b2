#pragma once

#include <string>
#include <vector>

#include "platform/api/HistoryStore.h"

namespace orvelle {

// The forms the history of days is written in: for a person, for a spreadsheet, for a program.
enum class HistoryFormat { plain, csv, json };

// Returns `days` as lines "2026-03-02  4.50 h  ¥250.00", as CSV with the header
// "day,sessions,paid_seconds,earned" (two decimals, a full stop, no grouping), or as one JSON
// array of {"day", "sessions", "paidSeconds", "earned"}; every amount masked when `masked`.
std::string historyText(const std::vector<DayTotal>& days, HistoryFormat format, bool masked);

}  // namespace orvelle
