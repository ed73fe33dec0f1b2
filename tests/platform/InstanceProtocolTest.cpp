#include "platform/InstanceProtocol.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

TEST(InstanceProtocolTest, ParsesOnlyWellFormedRequestsOfThisVersion) {
    struct Row {
        std::string_view line;
        std::string_view why;  // empty: an activate request
    };
    for (const Row& row : {
             Row{"orvelle/1 activate", ""},
             Row{"orvelle/1 activate now", "wrong-arguments"},
             Row{"orvelle/2 activate", "unsupported-version"},
             Row{"orvelle/1 launch", "unknown-verb"},
             Row{"activate", "malformed"},
             Row{"orvelle/1  activate", "malformed"},
             Row{"orvelle/1 activate ", "malformed"},
             Row{"", "malformed"},
             Row{std::string_view("orvelle/1 activate\0", 19), "unknown-verb"},
         }) {
        std::string why;
        const auto request = InstanceProtocol::parseRequest(row.line, &why);
        EXPECT_EQ(request.has_value(), row.why.empty()) << row.line;
        EXPECT_EQ(why, row.why) << row.line;
    }
    const InstanceProtocol::Request activate{InstanceProtocol::Verb::activate, {}};
    EXPECT_EQ(InstanceProtocol::requestLine(activate), "orvelle/1 activate\n");
    EXPECT_TRUE(InstanceProtocol::isOk("orvelle/1 ok"));
    EXPECT_FALSE(InstanceProtocol::isOk("orvelle/1 error unknown-verb"));
    EXPECT_EQ(InstanceProtocol::errorLine("unknown-verb"), "orvelle/1 error unknown-verb\n");
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
    EXPECT_TRUE(splitter.overflowed());
    EXPECT_FALSE(splitter.feed("\nok\n", lines));
    EXPECT_EQ(lines.size(), 3u);
}

}  // namespace
}  // namespace orvelle
