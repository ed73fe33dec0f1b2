// Feeds arbitrary bytes to the single-instance protocol as a peer would send them: cut into
// pieces, split into lines with the bounded splitter, and each line parsed. A request that parses
// must survive being written out and read again unchanged.
#include <cstdint>

#include "platform/posix/InstanceProtocol.h"
#include "tests/fuzz/Require.h"

using orvelle::InstanceProtocol;
using orvelle::LineSplitter;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte sets the size of the pieces the rest arrives in, as reads of a socket would.
    const size_t piece = 1 + data[0] % 64;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    LineSplitter splitter(256);
    std::vector<std::string> lines;
    for (size_t at = 0; at < bytes.size(); at += piece) {
        if (!splitter.feed(bytes.substr(at, piece), lines)) {
            break;
        }
    }
    for (const std::string& line : lines) {
        require(line.size() <= 256);  // the splitter let no line past its limit
        std::string why;
        const auto request = InstanceProtocol::parseRequest(line, &why);
        require(request.has_value() == why.empty());  // a refusal says why, a request does not
        if (request) {
            const std::string again = InstanceProtocol::requestLine(*request);
            const auto reparsed = InstanceProtocol::parseRequest(again.substr(0, again.size() - 1));
            require(reparsed && reparsed->verb == request->verb &&
                    reparsed->arguments == request->arguments);
        }
    }
    return 0;
}
