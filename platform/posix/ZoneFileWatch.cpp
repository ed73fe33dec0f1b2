#include "platform/posix/ZoneFileWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace orvelle {

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kFolderEvents =
    IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_CLOSE_WRITE | IN_ATTRIB;
constexpr uint32_t kFileEvents =
    IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;

// Whether the file a link names is reached through another link, either the file itself or a
// folder on its way (as where /etc/localtime names a link that the system retargets). A change
// of that link shows in no watched place.
bool targetLeadsThroughALink(const std::string& path) {
    std::error_code error;
    fs::path target = fs::read_symlink(path, error);
    if (error) {
        return false;  // not a link: the file itself is watched
    }
    if (target.is_relative()) {
        target = fs::path(path).parent_path() / target;
    }
    fs::path prefix;
    for (const fs::path& part : target) {
        prefix /= part;
        if (fs::is_symlink(fs::symlink_status(prefix, error))) {
            return true;
        }
    }
    return false;
}

}  // namespace

ZoneFileWatch::ZoneFileWatch(std::string path) : path_(std::move(path)) {
    const auto slash = path_.rfind('/');
    const std::string folder = slash == 0 ? "/" : path_.substr(0, slash);
    name_ = path_.substr(slash + 1);
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ >= 0 && ::inotify_add_watch(fd_, folder.c_str(), kFolderEvents) < 0) {
        ::close(fd_);
        fd_ = -1;
    }
    watchFile();
}

ZoneFileWatch::~ZoneFileWatch() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

// The watch follows a link to the file it names; a new link or file under the same name needs a
// new watch, which the kernel gives the same number when the file is still the same.
void ZoneFileWatch::watchFile() {
    if (fd_ < 0) {
        return;
    }
    const int watch = ::inotify_add_watch(fd_, path_.c_str(), kFileEvents);
    if (fileWatch_ >= 0 && watch != fileWatch_) {
        ::inotify_rm_watch(fd_, fileWatch_);
    }
    fileWatch_ = watch;
    chained_ = targetLeadsThroughALink(path_);
}

bool ZoneFileWatch::changed() {
    if (fd_ < 0) {
        return true;
    }
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    ssize_t length = 0;
    while ((length = ::read(fd_, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            // Events of the folder name the entry; those of the file itself name nothing.
            changed = changed || event->wd == fileWatch_ ||
                      (event->len > 0 && std::strcmp(event->name, name_.c_str()) == 0) ||
                      (event->mask & IN_Q_OVERFLOW) != 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (changed) {
        watchFile();
    }
    return changed;
}

}  // namespace orvelle
