#pragma once

#include <filesystem>
#include <optional>

namespace orvelle {

// Returns $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute (the XDG rules say a
// relative value is invalid and must be ignored). Without an absolute $HOME, the home folder is
// the user's entry in the password database.
std::filesystem::path xdgConfigHome();

// Returns $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute, by the same rules
// as xdgConfigHome().
std::filesystem::path xdgDataHome();

// Returns the home folder: $HOME, or the user's entry in the password database when $HOME is
// unset or not absolute (a service or a sanitized environment may run us without it); nothing
// when neither names one.
std::optional<std::filesystem::path> homeFolder();

}  // namespace orvelle
