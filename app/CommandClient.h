#pragma once

#include <filesystem>

#include "platform/posix/InstanceProtocol.h"

namespace orvelle {

// Hands a request from the command line to the running instance, where it takes effect at once.
// When none runs, the requests that concern only the stored settings and session (work and
// privacy) are carried out on the preferences file itself, with the file's lock held so that
// nothing else writes it meanwhile; the others need a running capsule. Returns the exit status:
// 1 when the change could not be stored.
int runCommand(const InstanceProtocol::Request& request, const std::filesystem::path& runtime);

}  // namespace orvelle
