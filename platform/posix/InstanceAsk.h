#pragma once

#include <sys/types.h>
#include <chrono>
#include <filesystem>
#include <string>

#include "platform/posix/InstanceProtocol.h"

namespace orvelle {

// What asking a running instance through its socket came to.
struct InstanceAnswer {
    enum class Kind {
        ok,         // carried out
        refused,    // answered with an error; `line` says which
        silent,     // connected, but no answer in time: the request was withdrawn
        withdrawn,  // no answer in time, and the instance confirmed it dropped the request
        absent,     // nobody of this user listens there
    };
    Kind kind = Kind::absent;
    pid_t pid = 0;     // the running instance, from the socket's peer credentials
    std::string line;  // what it answered
};

// Sends `request` to the instance listening at `socket` and waits until `deadline` for its answer.
// Only a listener of this same user is spoken to. When the deadline passes, the request is
// withdrawn: the caller hangs up its sending side, which an instance that has not yet carried it
// out takes as "drop it", and waits up to `grace` more to learn whether it did.
InstanceAnswer askInstance(const std::filesystem::path& socket,
                           const InstanceProtocol::Request& request,
                           std::chrono::steady_clock::time_point deadline,
                           std::chrono::milliseconds grace);

}  // namespace orvelle
