#include "platform/posix/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/posix/AtomicFile.h"
#include "platform/posix/XdgPaths.h"

namespace orvelle {

namespace fs = std::filesystem;

RuntimeFolder::State RuntimeFolder::inspect(const fs::path& folder) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        return errno == ENOENT ? State::missing : State::unreadable;
    }
    if (S_ISLNK(info.st_mode)) {
        return State::symlink;
    }
    if (!S_ISDIR(info.st_mode)) {
        return State::notAFolder;
    }
    if (info.st_uid != ::geteuid()) {
        return State::foreignOwner;
    }
    return (info.st_mode & 07777) == 0700 ? State::usable : State::openToOthers;
}

RuntimeFolder::State RuntimeFolder::create(const fs::path& folder) {
    // Whatever mkdir finds or makes is inspected afterwards: another user may have been first.
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return State::unreadable;
    }
    return inspect(folder);
}

RuntimeFolder::Candidates RuntimeFolder::candidatesFromEnvironment() {
    Candidates candidates;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        candidates.runtime = runtime;
    }
    std::error_code error;
    fs::path temporary = fs::temp_directory_path(error);
    candidates.temporary =
        (error ? fs::path("/tmp") : temporary) / ("orvelle-" + std::to_string(::geteuid()));
    // Without a home folder there is no cache candidate: a folder made at the root of the file
    // system would be shared by every user whose home cannot be found.
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/') {
        candidates.cache = fs::path(cache) / "orvelle";
    } else if (const auto home = homeFolder()) {
        candidates.cache = *home / ".cache" / "orvelle";
    }
    return candidates;
}

RuntimeFolder::Choice RuntimeFolder::choose(const Candidates& candidates) {
    std::string refusals;
    const auto refused = [&refusals](const fs::path& folder, State state) {
        const int error = errno;  // what made the folder unreadable, if that is the reason
        refusals += (refusals.empty() ? "" : "；") + folder.string() + " " + describe(state, error);
    };
    if (!candidates.runtime.empty()) {
        // The session manager makes this one; Orvelle only uses it.
        if (const State state = inspect(candidates.runtime); state == State::usable) {
            return {candidates.runtime, ""};
        } else {
            refused(candidates.runtime, state);
        }
    }
    if (const State state = create(candidates.temporary); state == State::usable) {
        return {candidates.temporary, ""};
    } else {
        refused(candidates.temporary, state);
    }
    if (candidates.cache.empty()) {
        refusals += "；找不到主目录";
    } else {
        AtomicFile::ensureFolder(candidates.cache.parent_path(), 0700);
        if (const State state = create(candidates.cache); state == State::usable) {
            return {candidates.cache, ""};
        } else {
            refused(candidates.cache, state);
        }
    }
    return {{}, "orvelle: 找不到只属于当前用户的运行目录：" + refusals};
}

std::string RuntimeFolder::describe(State state, int error) {
    switch (state) {
        case State::usable:
            return "可用";
        case State::missing:
            return "不存在";
        case State::unreadable:
            return std::string("无法访问（") + std::strerror(error) + "）";
        case State::notAFolder:
            return "不是目录";
        case State::symlink:
            return "是符号链接";
        case State::foreignOwner:
            return "属于其他用户";
        case State::openToOthers:
            return "权限不是 0700";
    }
    return {};
}

}  // namespace orvelle
