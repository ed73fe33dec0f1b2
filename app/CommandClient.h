#pragma once

#include <filesystem>

#include "platform/InstanceProtocol.h"

namespace orvelle {

// Hands a request from the command line to the running instance, where it takes effect at once.
// When none runs, the requests that concern only the stored settings and session (work and
// privacy) are carried out on the preferences file itself, with the instance lock held so that
// no instance starts meanwhile; the others need a running capsule. Returns the exit status.
int runCommand(const InstanceProtocol::Request& request, const std::filesystem::path& runtime);

}  // namespace orvelle
