#pragma once

#include <filesystem>
#include <string>

namespace orvelle {

// The private folder that holds the single-instance lock and socket. No other user may be able to
// create, replace or read what lies in it, or a local user could keep Orvelle from starting or
// make it talk to their socket.
class RuntimeFolder {
public:
    // What inspecting a folder found.
    enum class State {
        usable,
        missing,
        unreadable,
        notAFolder,
        symlink,
        foreignOwner,
        openToOthers
    };

    // Where the folder may be, in the order they are tried.
    struct Candidates {
        std::filesystem::path runtime;    // $XDG_RUNTIME_DIR, empty when unset
        std::filesystem::path temporary;  // a folder named after the user in the shared temp folder
        std::filesystem::path
            cache;  // orvelle in $XDG_CACHE_HOME or ~/.cache; empty without a home
    };

    // The folder to use, or why there is none (a line for the user; then `folder` is empty).
    struct Choice {
        std::filesystem::path folder;
        std::string error;
    };

    // Inspects `folder` without following a final symbolic link: usable means a folder owned by
    // this process's user with mode 0700.
    static State inspect(const std::filesystem::path& folder);

    // Creates `folder` with mode 0700 unless something is there already, then inspects it.
    static State create(const std::filesystem::path& folder);

    // Returns the candidates for the current user, from the environment.
    static Candidates candidatesFromEnvironment();

    // Returns $XDG_RUNTIME_DIR when usable, else the temporary candidate, else the cache one,
    // creating the last two as needed. Every instance of the same user walks the same list, so a
    // later one finds the running one even when an earlier candidate was refused.
    static Choice choose(const Candidates& candidates);

    // Returns what `state` means, in a few words for the user; `error` is the errno value that
    // made a folder unreadable.
    static std::string describe(State state, int error);
};

}  // namespace orvelle
