#pragma once

#include <string>

namespace orvelle {

// Keeps the D-Bus library from starting a session bus of its own. Where no session bus runs, it
// would start one (dbus-launch --autolaunch) that outlives Orvelle and everything that used it.
class SessionBus {
public:
    // Returns the DBUS_SESSION_BUS_ADDRESS to use given the current one (empty when unset) and
    // the runtime folder: the current one if set, else the runtime folder's "bus" socket if there
    // is one, else an address that connects nowhere and starts nothing.
    static std::string addressFor(const std::string& current, const std::string& runtimeFolder);

    // Sets DBUS_SESSION_BUS_ADDRESS as addressFor() says; call before anything uses D-Bus.
    static void keepFromAutolaunching();
};

}  // namespace orvelle
