#pragma once

#include <functional>
#include <string>

namespace orvelle {

// What the settings page can ask of the desktop, supplied by the application shell. An action
// left empty is not offered.
struct DesktopActions {
    std::function<bool()> autostartEnabled;            // whether Orvelle starts at login
    std::function<std::string(bool on)> setAutostart;  // returns an error text, or empty
    std::function<void()> resetPanelPosition;          // puts the capsule back in place

    // Returns whether any action is offered.
    bool offersAny() const { return setAutostart || resetPanelPosition; }
};

}  // namespace orvelle
