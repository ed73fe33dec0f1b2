#pragma once

#include <filesystem>
#include <string>

namespace orvelle {

// Starting the application at login, through an XDG autostart entry:
// $XDG_CONFIG_HOME/autostart/<application id>.desktop.
class Autostart {
public:
    Autostart(std::filesystem::path configHome, std::string appId, std::string executable);

    // Returns whether the entry exists and is not switched off (Hidden=true, or
    // X-GNOME-Autostart-enabled=false, as desktops write when the user turns it off there).
    bool isEnabled() const;

    // Writes the entry atomically, with the executable's absolute path. Returns an error text,
    // empty on success.
    std::string enable() const;

    // Removes the entry. Returns an error text, empty on success.
    std::string disable() const;

    // Returns the entry's path.
    const std::filesystem::path& entry() const { return entry_; }

    // Quotes one argument of an Exec line as the desktop entry rules ask.
    static std::string quoteExecArgument(const std::string& argument);

private:
    std::filesystem::path entry_;
    std::string appId_;
    std::string executable_;
};

}  // namespace orvelle
