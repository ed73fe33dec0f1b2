// Arbitrary bytes as the content of the preferences file, through the parse the store reads it
// with. Beyond crashes, sanitizer reports and hangs, it checks what the store relies on: a file is
// either read as an object or refused with a reason, and what is read, written back as the store
// writes it, reads again as the same document (so a rewrite never turns a good file into one the
// next start refuses).
#include <cstdint>

#include "platform/posix/PreferencesFileReader.h"
#include "tests/fuzz/Require.h"

using orvelle::PreferencesFileReader;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto result = PreferencesFileReader::parse(bytes);
    if (result.outcome != PreferencesFileReader::Outcome::read) {
        require(result.document.is_null());
        require(!PreferencesFileReader::reason(result).empty());
        return 0;
    }
    require(result.document.is_object());
    const auto replace = nlohmann::json::error_handler_t::replace;
    const std::string written = result.document.dump(2, ' ', false, replace) + "\n";
    const auto again = PreferencesFileReader::parse(written);
    require(again.outcome == PreferencesFileReader::Outcome::read);
    require(again.document.dump(-1, ' ', false, replace) ==
            result.document.dump(-1, ' ', false, replace));
    return 0;
}
