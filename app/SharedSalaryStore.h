#pragma once

#include <filesystem>
#include <memory>

#include "engine/AutoStart.h"
#include "engine/SalaryStore.h"

namespace orvelle {

// Returns the application's one store, on the real platform, made on first use.
SalaryStore& sharedSalaryStore();

// Returns the automatic start of work on the application's store, for the process that shows the
// capsule.
std::unique_ptr<AutoStart> makeAutoStart();

// Returns where the history of work sessions is kept: $XDG_DATA_HOME/orvelle/history.sqlite3.
std::filesystem::path historyPath();

}  // namespace orvelle
