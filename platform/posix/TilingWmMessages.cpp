#include "platform/posix/TilingWmMessages.h"

#include <algorithm>
#include <cstring>

namespace orvelle::tilingwm {

namespace {

using nlohmann::json;

constexpr std::string_view kMagic = "i3-ipc";
constexpr std::size_t kHeaderSize = kMagic.size() + 2 * sizeof(std::uint32_t);

std::uint32_t numberAt(std::string_view bytes, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// Returns the member `key` of `object` when it is a whole number that is not negative. Every
// member is looked at through its type first: the window manager's JSON is taken as it comes.
std::optional<std::uint64_t> unsignedMember(const json& object, const char* key) {
    const auto member = object.find(key);
    if (member == object.end() || !member->is_number_unsigned()) {
        return std::nullopt;
    }
    return member->get<std::uint64_t>();
}

bool isFocused(const json& node) {
    const auto focused = node.find("focused");
    return focused != node.end() && focused->is_boolean() && focused->get<bool>();
}

}  // namespace

std::string encode(std::uint32_t type, std::string_view payload) {
    const auto length = static_cast<std::uint32_t>(payload.size());
    std::string bytes(kMagic);
    bytes.append(reinterpret_cast<const char*>(&length), sizeof length);
    bytes.append(reinterpret_cast<const char*>(&type), sizeof type);
    bytes.append(payload);
    return bytes;
}

bool MessageReader::feed(std::string_view bytes, std::vector<Message>& messages) {
    if (broken_) {
        return false;
    }
    pending_.append(bytes);
    std::string_view rest = pending_;
    while (!rest.empty()) {
        // The magic is checked on as much of it as has come, so that a stream of other bytes is
        // refused at once rather than after a header's worth of them.
        const std::size_t magicSeen = std::min(rest.size(), kMagic.size());
        if (rest.substr(0, magicSeen) != kMagic.substr(0, magicSeen)) {
            broken_ = true;
            break;
        }
        if (rest.size() < kHeaderSize) {
            break;
        }
        const std::uint32_t length = numberAt(rest, kMagic.size());
        if (length > kLargestPayload) {
            broken_ = true;
            break;
        }
        if (rest.size() - kHeaderSize < length) {
            break;
        }
        messages.push_back(Message{numberAt(rest, kMagic.size() + sizeof length),
                                   std::string(rest.substr(kHeaderSize, length))});
        rest.remove_prefix(kHeaderSize + length);
    }
    if (broken_) {
        pending_.clear();
        return false;
    }
    pending_.erase(0, pending_.size() - rest.size());
    return true;
}

// Depth first, children in the order the window manager lists them, "nodes" before
// "floating_nodes". The walk keeps its own stack: a tree nested deeper than the call stack would
// allow costs memory, not a crash.
std::optional<std::uint64_t> findContainer(const json& tree, std::uint64_t windowId) {
    std::vector<const json*> unvisited{&tree};
    while (!unvisited.empty()) {
        const json& node = *unvisited.back();
        unvisited.pop_back();
        if (!node.is_object()) {
            continue;
        }
        const bool shows =
            windowId == 0 ? isFocused(node) : unsignedMember(node, "window") == windowId;
        if (const auto id = unsignedMember(node, "id"); shows && id) {
            return id;
        }
        for (const char* children : {"floating_nodes", "nodes"}) {
            const auto list = node.find(children);
            if (list != node.end() && list->is_array()) {
                for (auto child = list->rbegin(); child != list->rend(); ++child) {
                    unvisited.push_back(&*child);
                }
            }
        }
    }
    return std::nullopt;
}

std::optional<WindowEvent> readWindowEvent(const json& event) {
    if (!event.is_object()) {
        return std::nullopt;
    }
    const auto change = event.find("change");
    const auto container = event.find("container");
    if (change == event.end() || !change->is_string() || container == event.end() ||
        !container->is_object()) {
        return std::nullopt;
    }
    const auto id = unsignedMember(*container, "id");
    if (!id) {
        return std::nullopt;
    }
    return WindowEvent{change->get<std::string>(), *id,
                       unsignedMember(*container, "window").value_or(0)};
}

}  // namespace orvelle::tilingwm
