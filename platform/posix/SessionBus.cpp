#include "platform/posix/SessionBus.h"

#include <sys/stat.h>
#include <cstdlib>

namespace orvelle {

namespace {

// The library rejects an address of an unknown kind, so nothing connects and nothing starts.
constexpr const char* kNowhere = "disabled:";

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::string SessionBus::addressFor(const std::string& current, const std::string& runtimeFolder) {
    if (!current.empty()) {
        return current;
    }
    if (!runtimeFolder.empty()) {
        const std::string socket = runtimeFolder + "/bus";
        struct stat info {};
        if (::stat(socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) {
            return "unix:path=" + socket;
        }
    }
    return kNowhere;
}

void SessionBus::keepFromAutolaunching() {
    const std::string current = environment("DBUS_SESSION_BUS_ADDRESS");
    const std::string address = addressFor(current, environment("XDG_RUNTIME_DIR"));
    if (address != current) {
        ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    }
}

}  // namespace orvelle
