#pragma once

#include <functional>
#include <optional>
#include <string>

#include "engine/SalaryStore.h"
#include "platform/posix/InstanceProtocol.h"

namespace orvelle {

// What the running capsule offers the commands beyond the store.
struct CapsuleCommands {
    std::function<void()> openSettings;
    std::function<void(bool shown)> showCapsule;
    std::function<bool()> capsuleShown;
};

// The commands another `orvelle` gives (--start-work, --privacy, --hide, …), in one place for both
// ways they are carried out: by the running capsule, to which a command line hands them, and on
// the settings file itself when no capsule runs. They make the same calls the settings window
// makes: starting saves the settings first, stopping saves nothing; starting while working and
// stopping while idle change nothing.
class Commands {
public:
    // Carries out commands on `store`; without `capsule`, only those that concern the store.
    explicit Commands(SalaryStore& store, CapsuleCommands capsule = {});

    // Carries out `request`; returns nothing when done, or the reason in one word.
    std::optional<std::string> carryOut(const InstanceProtocol::Request& request);

    // From the command line: hands `request` to the running capsule, where it takes effect at
    // once, or, when none runs, carries it out on the settings file with the file's lock held.
    // Returns the exit status: 1 when it needs a capsule or could not be stored, 2 for a bad
    // argument.
    static int send(const InstanceProtocol::Request& request);

private:
    // Sets a switch that is `now` to what `value` says: on, off or toggle.
    std::optional<std::string> setSwitch(const std::string& value, bool now,
                                         const std::function<void(bool)>& set);
    // Sets one on/off setting of the working week as `value` says, and saves it.
    std::optional<std::string> setWeekSwitch(const std::string& value, bool WorkingWeek::*setting);

    SalaryStore& store_;
    CapsuleCommands capsule_;
};

}  // namespace orvelle
