// Feeds arbitrary bytes to the reader of i3's and sway's IPC socket as the socket would deliver
// them, cut into pieces, and looks in every payload for containers and window events as the panel
// does. Beyond crashes, sanitizer reports and hangs (an exception escaping the JSON lookups is a
// crash), it checks what the panel relies on: the cuts never change the messages read, a message
// written out reads back unchanged, a stream refused once stays refused, and the two readers of a
// container agree on its id.
#include "platform/posix/TilingWmMessages.h"
#include "tests/fuzz/Require.h"

namespace tilingwm = orvelle::tilingwm;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte sets the size of the pieces the rest arrives in.
    const std::size_t piece = 1 + data[0] % 32;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    tilingwm::MessageReader whole;
    std::vector<tilingwm::Message> messages;
    const bool wholeInStep = whole.feed(bytes, messages);

    tilingwm::MessageReader cut;
    std::vector<tilingwm::Message> cutMessages;
    bool cutInStep = true;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        cutInStep = cut.feed(bytes.substr(at, piece), cutMessages);
    }
    require(cutMessages == messages && cutInStep == wholeInStep);
    require(!cut.feed(bytes.substr(0, 1), cutMessages) || cutInStep);

    for (const tilingwm::Message& message : messages) {
        tilingwm::MessageReader again;
        std::vector<tilingwm::Message> read;
        require(again.feed(tilingwm::encode(message.type, message.payload), read));
        require(read.size() == 1 && read.front() == message);

        const auto payload = nlohmann::json::parse(message.payload, nullptr, false);
        static_cast<void>(tilingwm::findContainer(payload, 0));
        if (const auto event = tilingwm::readWindowEvent(payload); event && event->window != 0) {
            // The event's container is a node of its own: searched for its window, it is found
            // before anything nested in it.
            require(tilingwm::findContainer(payload["container"], event->window) == event->id);
        }
    }
    return 0;
}
