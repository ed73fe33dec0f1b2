#include "platform/XdgPaths.h"

#include <cstdlib>

namespace orvelle {

std::filesystem::path xdgConfigHome() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        return configHome;
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "/") / ".config";
}

}  // namespace orvelle
