#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
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
            const std::string pid = std::to_string(::getpid()) + "\n";
            if (::ftruncate(fd_, 0) != 0 ||
                ::pwrite(fd_, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
                return fail("无法写入锁文件");
            }
            return Outcome::held;
        }
    }
    errno = ESTALE;
    return fail("锁文件被反复替换");
}

bool InstanceLock::pathNamesFile(const std::filesystem::path& path, int fd) {
    struct stat locked {};
    struct stat named {};
    return ::fstat(fd, &locked) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           locked.st_dev == named.st_dev && locked.st_ino == named.st_ino;
}

InstanceLock::Outcome InstanceLock::fail(const char* what) {
    const int error = errno;
    error_ = std::string(what) + " " + path_.string() + "（" + std::strerror(error) + "）";
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    return Outcome::failed;
}

pid_t InstanceLock::holder(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    char text[32];
    const ssize_t length = ::read(fd, text, sizeof text);
    ::close(fd);
    pid_t pid = 0;
    if (length > 0) {
        std::from_chars(text, text + length, pid);
    }
    return pid > 0 ? pid : 0;
}

}  // namespace orvelle
