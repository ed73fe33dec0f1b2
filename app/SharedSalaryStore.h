#pragma once

#include "engine/SalaryStore.h"

namespace orvelle {

// Returns the application's one store, on the real platform, made on first use.
SalaryStore& sharedSalaryStore();

}  // namespace orvelle
