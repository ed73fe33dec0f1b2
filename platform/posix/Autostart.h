#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace orvelle {

// Starting the application at login, through an XDG autostart entry:
// $XDG_CONFIG_HOME/autostart/<application id>.desktop.
class Autostart {
public:
    // The entry in `configHome`/autostart starts `executable`.
    Autostart(std::filesystem::path configHome, std::string appId, std::string executable);

    // Returns whether the entry exists and is not switched off (Hidden=true, or
    // X-GNOME-Autostart-enabled=false, as desktops write when the user turns it off there).
    bool isEnabled() const;

    // Writes the entry atomically, with the executable's absolute path. Returns an error text,
    // empty on success; a path no entry can carry writes nothing.
    std::string enable() const;

    // Removes the entry. Returns an error text, empty on success.
    std::string disable() const;

    // Returns the entry's path.
    const std::filesystem::path& entry() const { return entry_; }

    // Returns the Exec value that starts `executable`, quoted and escaped as the desktop entry
    // rules ask, or nothing when the path holds a control character no entry can carry.
    static std::optional<std::string> execValue(const std::string& executable);

private:
    std::filesystem::path entry_;
    std::string appId_;
    std::string executable_;
};

}  // namespace orvelle
