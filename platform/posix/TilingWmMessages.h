#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

// The messages of the IPC socket that i3 and sway offer, and what Orvelle reads in them; plain
// C++, so that it can be fuzzed. Each message is "i3-ipc", its payload's length and its type as
// 32-bit numbers in the machine's byte order, then the payload, JSON text. Replies come in the
// order of the requests; events, once subscribed to, carry the high bit in their type.
namespace orvelle::tilingwm {

enum class Request : std::uint32_t { runCommand = 0, subscribe = 2, getTree = 4 };
constexpr std::uint32_t kWindowEvent = 0x80000003;

// No message of i3 or sway comes near this; a larger length means the stream is not theirs.
constexpr std::uint32_t kLargestPayload = 64 * 1024 * 1024;

struct Message {
    std::uint32_t type = 0;
    std::string payload;

    bool operator==(const Message&) const = default;
};

// Returns the bytes of one message.
std::string encode(std::uint32_t type, std::string_view payload);

// Cuts the bytes read from the socket into messages, holding an unfinished one until the rest of
// it arrives, however the reads cut the stream.
class MessageReader {
public:
    // Adds `bytes` and appends each message they complete to `messages`. Returns false, and takes
    // nothing more, once the stream is not one of these messages (a message that does not start
    // with "i3-ipc", or a length past kLargestPayload): where the next one starts is then lost.
    bool feed(std::string_view bytes, std::vector<Message>& messages);

    // Returns whether the stream went out of step.
    bool broken() const { return broken_; }

private:
    std::string pending_;
    bool broken_ = false;
};

// Returns the "id" of the node of `tree` (a get_tree reply) that shows the X11 window `windowId`,
// or of the node that has the focus when `windowId` is 0; nothing when there is none. Nodes are
// looked for under "nodes" and "floating_nodes" at any depth; a node without a whole, non-negative
// id does not count.
std::optional<std::uint64_t> findContainer(const nlohmann::json& tree, std::uint64_t windowId);

// What a window event says about its container.
struct WindowEvent {
    std::string change;        // "new", "focus", "close", ...
    std::uint64_t id = 0;      // the container's id
    std::uint64_t window = 0;  // the X11 window it shows; 0 for none

    bool operator==(const WindowEvent&) const = default;
};

// Returns the window event in `event` (the payload of a kWindowEvent message), or nothing when it
// lacks the change or the container's id.
std::optional<WindowEvent> readWindowEvent(const nlohmann::json& event);

}  // namespace orvelle::tilingwm
