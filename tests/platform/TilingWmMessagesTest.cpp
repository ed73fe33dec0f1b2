#include "platform/posix/TilingWmMessages.h"

#include <bit>
#include <cstring>

#include <gtest/gtest.h>

namespace orvelle::tilingwm {

void PrintTo(const Message& message, std::ostream* out) {
    *out << message.type << " " << message.payload;
}

namespace {

using namespace std::string_literals;
using nlohmann::json;

// A header as i3 writes it, in the machine's byte order: payload length 2, type 4.
const std::string kTreeHeader = std::endian::native == std::endian::little
                                    ? "i3-ipc\x02\0\0\0\x04\0\0\0"s
                                    : "i3-ipc\0\0\0\x02\0\0\0\x04"s;

// A header that announces `length` bytes of payload.
std::string headerFor(std::uint32_t length) {
    std::string header = encode(0, "");
    std::memcpy(header.data() + 6, &length, sizeof length);
    return header;
}

// Each row feeds its pieces in turn, as reads of the socket would deliver them.
TEST(TilingWmMessagesTest, ReaderCutsTheStreamIntoMessages) {
    const std::string tree = encode(4, R"({"id":1})"), event = encode(kWindowEvent, "{}");
    const Message treeRead{4, R"({"id":1})"}, eventRead{kWindowEvent, "{}"};
    using Pieces = std::vector<std::string>;
    const std::tuple<const char*, Pieces, std::vector<Message>, bool> rows[] = {
        {"raw bytes", {kTreeHeader + "{}"}, {{4, "{}"}}, true},
        {"empty payload", {encode(2, "")}, {{2, ""}}, true},
        {"joined", {tree + event}, {treeRead, eventRead}, true},
        {"split in the header and in the payload",
         {tree.substr(0, 3), tree.substr(3, 9), tree.substr(12, 4), tree.substr(16) + event[0],
          event.substr(1)},
         {treeRead, eventRead},
         true},
        {"truncated", {tree.substr(0, tree.size() - 1)}, {}, true},
        {"largest payload, waiting", {headerFor(kLargestPayload)}, {}, true},
        {"oversize", {headerFor(kLargestPayload + 1)}, {}, false},
        {"not i3 at all", {"i4"}, {}, false},
        {"garbage after a message, then nothing", {tree + "HTTP/1.1", tree}, {treeRead}, false},
    };
    for (const auto& [what, pieces, expected, expectInStep] : rows) {
        MessageReader reader;
        std::vector<Message> messages;
        bool inStep = true;
        for (const std::string& piece : pieces) {
            inStep = reader.feed(piece, messages);
        }
        EXPECT_EQ(messages, expected) << what;
        EXPECT_EQ(inStep, expectInStep) << what;
    }
    EXPECT_EQ(encode(4, "{}"), kTreeHeader + "{}");
}

TEST(TilingWmMessagesTest, FindsTheContainerOfAWindowOrOfTheFocus) {
    const char* layout = R"({"id": 1, "focused": false, "nodes": [
        {"id": 2, "window": null, "nodes": [{"id": 3, "window": 300}]},
        {"id": 4, "nodes": [], "floating_nodes": [
            {"id": 5, "nodes": [{"id": 6, "window": 600, "focused": true}]}]}]})";
    const std::tuple<const char*, std::uint64_t, std::optional<std::uint64_t>> rows[] = {
        {layout, 300, 3},
        {layout, 600, 6},
        {layout, 0, 6},
        {layout, 999, std::nullopt},
        {R"({"id": 1, "nodes": [5, "x", null, {"id": 2, "window": 5}]})", 5, 2},
        {R"({"id": 1, "nodes": {"a": {"id": 2, "window": 5}}})", 5, std::nullopt},
        {R"({"id": 1, "nodes": [{"window": 5}]})", 5, std::nullopt},
        {R"({"id": "2", "window": 5})", 5, std::nullopt},
        {R"({"id": 2, "window": "5"})", 5, std::nullopt},
        {R"({"id": 2, "focused": "true"})", 0, std::nullopt},
        {"{", 0, std::nullopt},
    };
    for (const auto& [tree, window, id] : rows) {
        EXPECT_EQ(findContainer(json::parse(tree, nullptr, false), window), id)
            << tree << " window " << window;
    }
    // Deeper than the call stack would allow a walk that recursed.
    std::string open, close;
    for (int level = 0; level < 100000; ++level) {
        open += R"({"nodes":[)";
        close += "]}";
    }
    EXPECT_EQ(findContainer(json::parse(open + R"({"id":7,"window":9})" + close), 9), 7u);
}

TEST(TilingWmMessagesTest, ReadsWindowEventsThatNameTheirContainer) {
    const std::pair<const char*, std::optional<WindowEvent>> rows[] = {
        {R"({"change": "focus", "container": {"id": 5, "window": 600}})", {{"focus", 5, 600}}},
        {R"({"change": "new", "container": {"id": 5, "window": null}})", {{"new", 5, 0}}},
        {R"({"change": "focus", "container": {"window": 600}})", std::nullopt},
        {R"({"change": 7, "container": {"id": 5}})", std::nullopt},
        {R"({"change": "close", "container": [5]})", std::nullopt},
        {"[]", std::nullopt},
    };
    for (const auto& [event, read] : rows) {
        EXPECT_EQ(readWindowEvent(json::parse(event)), read) << event;
    }
}

}  // namespace
}  // namespace orvelle::tilingwm
