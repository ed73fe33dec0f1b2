#include "platform/posix/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace orvelle {

namespace {

// Removing and making the file again between our open and our lock is not something a user does
// by hand; a few tries are plenty.
constexpr int kAttempts = 3;

}  // namespace

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

InstanceLock::Outcome InstanceLock::tryLock() {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ < 0) {
            return fail("无法打开锁文件");
        }
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) {
                ::close(fd_);
                fd_ = -1;
                return Outcome::busy;
            }
            return fail("无法锁定");
        }
        if (pathNamesFile(path_, fd_)) {
            return record({}) ? Outcome::held : fail("无法写入锁文件");
        }
    }
    errno = ESTALE;
    return fail("锁文件被反复替换");
}

bool InstanceLock::record(const std::string& note) {
    const std::string content =
        std::to_string(::getpid()) + "\n" + note + (note.empty() ? "" : "\n");
    return fd_ >= 0 && ::ftruncate(fd_, 0) == 0 &&
           ::pwrite(fd_, content.data(), content.size(), 0) == static_cast<ssize_t>(content.size());
}

bool InstanceLock::pathNamesFile(const std::filesystem::path& path, int fd) {
    struct stat locked {};
    struct stat named {};
    return ::fstat(fd, &locked) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           locked.st_dev == named.st_dev && locked.st_ino == named.st_ino;
}

InstanceLock::Outcome InstanceLock::fail(const char* what) {
    const int error = errno;
    errno_ = error;
    error_ = std::string(what) + " " + path_.string() + "（" + std::strerror(error) + "）";
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    return Outcome::failed;
}

InstanceLock::Holder InstanceLock::holder(const std::filesystem::path& path) {
    Holder holder;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return holder;
    }
    // A process id and a socket path: what a larger file holds beyond that is nobody's note.
    char text[4200];
    const ssize_t length = ::read(fd, text, sizeof text);
    ::close(fd);
    if (length <= 0) {
        return holder;
    }
    const std::string_view content(text, static_cast<size_t>(length));
    std::from_chars(content.data(), content.data() + content.size(), holder.pid);
    holder.pid = std::max<pid_t>(holder.pid, 0);
    if (const size_t first = content.find('\n'); first != std::string_view::npos) {
        const size_t second = content.find('\n', first + 1);
        if (second != std::string_view::npos) {
            holder.note = content.substr(first + 1, second - first - 1);
        }
    }
    return holder;
}

}  // namespace orvelle
