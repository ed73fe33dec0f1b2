#include "platform/posix/PreferencesFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace orvelle {

namespace {

using Outcome = PreferencesFileReader::Outcome;
using Result = PreferencesFileReader::Result;

Result refused(Outcome outcome, int error = 0) {
    Result result;
    result.outcome = outcome;
    result.error = error;
    return result;
}

// Whether arrays and objects nest deeper than the cap anywhere in `bytes`. The scan skips
// strings, so brackets inside them do not count; it runs before the parser so that nothing that
// recurses over the document (copying, printing, comparing) ever meets a deep one.
bool nestsTooDeep(std::string_view bytes) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > PreferencesFileReader::kMaxDepth) {
                return true;
            }
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return false;
}

// Reads at most one byte past the cap, so that a file growing while it is read is still caught.
Result readCapped(int fd) {
    std::string bytes;
    char buffer[16 * 1024];
    while (bytes.size() <= PreferencesFileReader::kMaxBytes) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return refused(Outcome::unreadable, errno);
        }
        if (got == 0) {
            return PreferencesFileReader::parse(bytes);
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return refused(Outcome::tooLarge);
}

}  // namespace

Result PreferencesFileReader::read(const std::filesystem::path& file) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer that never comes.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        return refused(error == ENOENT || error == ENOTDIR ? Outcome::missing : Outcome::unreadable,
                       error);
    }
    struct stat info {};
    Result result;
    if (::fstat(fd, &info) != 0) {
        result = refused(Outcome::unreadable, errno);
    } else if (!S_ISREG(info.st_mode)) {
        result = refused(Outcome::notRegular);
    } else if (static_cast<std::uintmax_t>(info.st_size) > kMaxBytes) {
        result = refused(Outcome::tooLarge);
    } else {
        result = readCapped(fd);
    }
    ::close(fd);
    return result;
}

Result PreferencesFileReader::parse(std::string_view bytes) {
    if (bytes.size() > kMaxBytes) {
        return refused(Outcome::tooLarge);
    }
    if (nestsTooDeep(bytes)) {
        return refused(Outcome::tooDeep);
    }
    auto parsed = nlohmann::ordered_json::parse(bytes.begin(), bytes.end(), nullptr,
                                                /*allow_exceptions=*/false);
    if (parsed.is_discarded()) {
        return refused(Outcome::notJson);
    }
    if (!parsed.is_object()) {
        return refused(Outcome::notObject);
    }
    Result result;
    result.outcome = Outcome::read;
    result.document = std::move(parsed);
    return result;
}

std::string PreferencesFileReader::reason(const Result& result) {
    switch (result.outcome) {
        case Outcome::read:
        case Outcome::missing:
            return {};
        case Outcome::unreadable:
            return std::string("无法读取（") + std::strerror(result.error) + "）";
        case Outcome::notRegular:
            return "不是普通文件";
        case Outcome::tooLarge:
            return "大于 1 MiB，不像是设置文件";
        case Outcome::tooDeep:
            return "嵌套超过 64 层";
        case Outcome::notJson:
            return "不是有效的 JSON";
        case Outcome::notObject:
            return "不是 JSON 对象";
    }
    return {};
}

}  // namespace orvelle
