#include "platform/posix/InstanceProtocol.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

// Every request has one spelling; the reason for a refusal goes back to the peer.
TEST(InstanceProtocolTest, ParsesOnlyWellFormedRequestsOfThisVersion) {
    const std::pair<std::string_view, std::string_view> rows[] = {
        // empty reason: accepted
        {"orvelle/1 activate", ""},
        {"orvelle/1 activate now", "wrong-arguments"},
        {"orvelle/1 toggle-work", ""},
        {"orvelle/1 privacy toggle", ""},
        {"orvelle/1 privacy", "wrong-arguments"},
        {"orvelle/1 click-through on", ""},
        {"orvelle/2 activate", "unsupported-version"},
        {"orvelle/1 launch", "unknown-verb"},
        {"activate", "malformed"},
        {"orvelle/1  activate", "malformed"},
        {"orvelle/1 activate ", "malformed"},
        {"", "malformed"},
        {std::string_view("orvelle/1 activate\0", 19), "unknown-verb"},
    };
    for (const auto& [line, reason] : rows) {
        std::string why;
        EXPECT_EQ(InstanceProtocol::parseRequest(line, &why).has_value(), reason.empty()) << line;
        EXPECT_EQ(why, reason) << line;
    }
}

TEST(InstanceProtocolTest, SplitterJoinsPiecesAndDropsAPeerPastTheLimit) {
    LineSplitter splitter(8);
    std::vector<std::string> lines;
    EXPECT_TRUE(splitter.feed("ab", lines));
    EXPECT_TRUE(splitter.feed("c\r\n\ndefgh", lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"abc", ""}));
    EXPECT_TRUE(splitter.feed("123\n", lines));  // exactly the limit
    EXPECT_EQ(lines.back(), "defgh123");
    EXPECT_FALSE(splitter.feed("123456789", lines));  // one past it, newline or not
    EXPECT_FALSE(splitter.feed("\nok\n", lines));
    EXPECT_EQ(lines.size(), 3u);
}

}  // namespace
}  // namespace orvelle
