#pragma once

#include <sys/types.h>
#include <filesystem>
#include <string>

namespace orvelle {

// An advisory lock on a file that names the process holding it, and a note of its own (where it
// listens). The kernel drops the lock when the
// process ends however it ends, so a killed instance never blocks the next start.
class InstanceLock {
public:
    explicit InstanceLock(std::filesystem::path path) : path_(std::move(path)) {}
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // What tryLock() came to.
    enum class Outcome { held, busy, failed };

    // Opens the file (never through a symbolic link) and takes the lock without waiting. Once held,
    // checks that the path still names the locked file, since a lock on a file someone removed
    // keeps no one else out, and writes this process's id into it.
    Outcome tryLock();

    // Returns why tryLock() failed: the path and the system's reason.
    const std::string& error() const { return error_; }

    // Returns the errno value of the last failure.
    int errorNumber() const { return errno_; }

    // Returns the path of the lock file.
    const std::filesystem::path& path() const { return path_; }

    // Writes `note` into the held lock file after this process's id, for whoever finds it busy.
    // Returns false when it could not be written.
    bool record(const std::string& note);

    // What a lock file says of the process that holds it: its id (0 when it names none) and the
    // note it recorded, empty when none.
    struct Holder {
        pid_t pid = 0;
        std::string note;
    };

    // Returns what the lock file at `path` says of its holder.
    static Holder holder(const std::filesystem::path& path);

    // Returns whether `path` itself, not followed if it is a link, is the file open as `fd`.
    static bool pathNamesFile(const std::filesystem::path& path, int fd);

private:
    Outcome fail(const char* what);

    std::filesystem::path path_;
    int fd_ = -1;
    std::string error_;
    int errno_ = 0;
};

}  // namespace orvelle
