#pragma once

#include "engine/SalaryStore.h"
#include "platform/posix/InstanceProtocol.h"

namespace orvelle {

// What became of a request handed to applyToStore().
enum class CommandOutcome { done, notForTheStore, badArgument };

// Carries out the requests that concern the store alone (starting and stopping work, privacy),
// with the same calls the settings window makes: starting saves the settings first, stopping
// saves nothing. Starting while working and stopping while idle change nothing.
CommandOutcome applyToStore(const InstanceProtocol::Request& request, SalaryStore& store);

}  // namespace orvelle
