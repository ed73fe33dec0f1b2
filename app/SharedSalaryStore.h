#pragma once

#include <filesystem>

#include "engine/SalaryStore.h"

namespace orvelle {

// Returns the application's one store, on the real platform, made on first use.
SalaryStore& sharedSalaryStore();

// Returns where the history of work sessions is kept: $XDG_DATA_HOME/orvelle/history.sqlite3.
std::filesystem::path historyPath();

}  // namespace orvelle
