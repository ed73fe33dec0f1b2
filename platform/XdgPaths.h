#pragma once

#include <filesystem>

namespace orvelle {

// Returns $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute (the XDG rules say a
// relative value is invalid and must be ignored). Without an absolute $HOME, the home folder is
// the user's entry in the password database.
std::filesystem::path xdgConfigHome();

}  // namespace orvelle
