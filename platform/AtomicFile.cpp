#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
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
    std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX"));
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        return errorText("无法在此文件夹中创建文件：", target.parent_path(), errno);
    }
    const std::filesystem::path temporary = pattern;
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
    const int error = errno;
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(temporary.c_str(), target.c_str()) != 0) {
        const int failure = ok ? errno : error;
        ::unlink(temporary.c_str());
        return errorText("无法写入", target, failure);
    }
    syncFolder(target.parent_path());
    return {};
}

}  // namespace orvelle
