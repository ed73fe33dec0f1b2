#include "platform/posix/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace orvelle {

namespace {

std::string errorText(const std::string& what, const std::filesystem::path& path, int error) {
    return what + " " + path.string() + "（" + std::strerror(error) + "）";
}

bool writeAll(int fd, const std::string& content) {
    const char* data = content.data();
    size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

// The name `write` gives its temporary file: mkstemp turns the six X into letters and digits.
std::string temporaryPattern(const std::filesystem::path& target) {
    return (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
}

bool isTemporaryOf(const std::string& name, const std::string& prefix) {
    constexpr size_t kRandomLength = 6;
    if (name.size() != prefix.size() + kRandomLength || !name.starts_with(prefix)) {
        return false;
    }
    return std::all_of(
        name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        });
}

void syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::filesystem::path AtomicFile::resolveLinks(const std::filesystem::path& path) {
    std::filesystem::path current = path;
    // The bound stops a loop of links, as the kernel's own limit does.
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!std::filesystem::is_symlink(current, error)) {
            return current;
        }
        const auto target = std::filesystem::read_symlink(current, error);
        if (error) {
            return current;
        }
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current;
}

std::string AtomicFile::ensureFolder(const std::filesystem::path& folder, mode_t mode) {
    if (folder.empty()) {
        return {};
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode) ? std::string{} : errorText("不是文件夹：", folder, ENOTDIR);
    }
    if (folder.has_parent_path() && folder.parent_path() != folder) {
        if (auto error = ensureFolder(folder.parent_path(), mode); !error.empty()) {
            return error;
        }
    }
    if (::mkdir(folder.c_str(), mode) != 0 && errno != EEXIST) {
        return errorText("无法创建文件夹", folder, errno);
    }
    return {};
}

std::string AtomicFile::write(const std::filesystem::path& target, const std::string& content,
                              mode_t mode) {
    std::string pattern = temporaryPattern(target);
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        return errorText("无法在此文件夹中创建文件：", target.parent_path(), errno);
    }
    const std::filesystem::path temporary = pattern;
    // EFBIG (a file-size limit) fails here like ENOSPC; SIGXFSZ is ignored at start-up so that
    // the limit reaches us as this error rather than ending the process.
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
    int failure = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    // renameat rather than rename: the same call, and the one that tools tracing a path see.
    if (ok && ::renameat(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str()) != 0) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return errorText("无法写入", target, failure);
    }
    syncFolder(target.parent_path());
    return {};
}

void AtomicFile::removeStaleTemporaries(const std::filesystem::path& target) {
    const std::string prefix = "." + target.filename().string() + ".";
    const std::filesystem::path folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        struct stat info {};
        // lstat: a link or anything else of that name is not ours to delete.
        if (isTemporaryOf(name, prefix) && ::lstat(it->path().c_str(), &info) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid()) {
            ::unlink(it->path().c_str());
        }
    }
}

}  // namespace orvelle
