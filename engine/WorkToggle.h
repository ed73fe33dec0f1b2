#pragma once

#include "engine/SalaryStore.h"

namespace orvelle {

// What the start/stop command does, wherever it is offered: while idle it saves the settings as
// they stand (an amount typed but not submitted included) and starts work; while working it only
// stops.
void startOrStopWork(SalaryStore& store);

}  // namespace orvelle
