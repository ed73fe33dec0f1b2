#pragma once

#include <string>

namespace orvelle {

// Tells whether the system's zone file (/etc/localtime, a link or a copy) may have changed, from
// the kernel's file notifications: asking costs one read of a notification queue instead of a
// walk of the file's path, which is what asking the C library to check would cost at every tick.
// It watches the file's folder for the name being replaced or removed, and the file it leads to
// for changes in place.
class ZoneFileWatch {
public:
    explicit ZoneFileWatch(std::string path = "/etc/localtime");
    ~ZoneFileWatch();
    ZoneFileWatch(const ZoneFileWatch&) = delete;
    ZoneFileWatch& operator=(const ZoneFileWatch&) = delete;

    // Returns whether the kernel reports every change; where it cannot (no inotify, or a link
    // that leads through another link), callers must check themselves.
    bool watching() const { return fd_ >= 0 && !chained_; }
    // Returns the descriptor that becomes readable when the file may have changed; -1 when the
    // kernel gives no reports.
    int fd() const { return fd_; }

    // Returns whether the file may have changed since the last call; true when not watching.
    bool changed();

private:
    void watchFile();

    std::string path_;
    std::string name_;  // the last part of path_, as the folder's notifications name it
    int fd_ = -1;
    int fileWatch_ = -1;
    bool chained_ = false;  // the file is reached through a link the watches do not see
};

}  // namespace orvelle
