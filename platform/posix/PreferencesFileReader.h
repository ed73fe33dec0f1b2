#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace orvelle {

// Reads the preferences file without trusting it: it is opened without blocking and read only if
// it is a regular file, read no further than a size cap, and parsed only if it nests no deeper
// than a depth cap, so that a FIFO, a device, a huge or a deeply nested file can neither hang the
// program nor exhaust its memory or stack.
class PreferencesFileReader {
public:
    // A real preferences file holds well under 1 KiB.
    static constexpr std::size_t kMaxBytes = 1024 * 1024;
    // Arrays and objects inside one another, the outer object included.
    static constexpr int kMaxDepth = 64;

    enum class Outcome {
        read,
        missing,
        unreadable,
        notRegular,
        tooLarge,
        tooDeep,
        notJson,
        notObject
    };

    struct Result {
        Outcome outcome = Outcome::missing;
        nlohmann::ordered_json document;  // the object read, when the outcome is `read`
        int error = 0;                    // errno, when the outcome is `unreadable`
    };

    // Opens, checks and parses `file`.
    static Result read(const std::filesystem::path& file);

    // Turns the bytes of a file into its document, or says why it is refused.
    static Result parse(std::string_view bytes);

    // Returns, in Chinese, why `result` was refused; empty when it was read or is missing.
    static std::string reason(const Result& result);
};

}  // namespace orvelle
