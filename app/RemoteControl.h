#pragma once

#include <optional>
#include <string>

#include "platform/posix/InstanceProtocol.h"

namespace orvelle {

class AppDelegate;
class SalaryStore;

// Carries out, in the running application, what another `orvelle` process asks for on the
// command line; returns nothing when done, or the reason, in one word, why not.
std::optional<std::string> carryOut(const InstanceProtocol::Request& request, AppDelegate& delegate,
                                    SalaryStore& store);

}  // namespace orvelle
