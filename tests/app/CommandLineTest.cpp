#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

CommandLine parse(QStringList arguments) {
    arguments.prepend("orvelle");
    return CommandLine::parse(arguments);
}

// Qt's own options pass through to Qt; anything unknown, misplaced or doubled is refused and
// says why.
TEST(CommandLine, ReadsTheActionAndRefusesWhatItDoesNotKnow) {
    using A = CommandLine::Action;
    const std::pair<QStringList, A> rows[] = {
        {{}, A::run},
        {{"-platform", "xcb", "-style=Fusion", "-reverse"}, A::run},
        {{"--status", "-display", ":1"}, A::status},
        {{"--help"}, A::help},
        {{"-v"}, A::version},
        {{"--bogus"}, A::error},
        {{"extra"}, A::error},
        {{"--follow"}, A::error},
        {{"--status", "--format", "json"}, A::error},
        {{"--status", "--format"}, A::error},
        {{"--privacy", "maybe"}, A::error},
        {{"--history", "--days", "7", "--format", "csv"}, A::history},
        {{"--history", "--days", "0"}, A::error},
        {{"--history", "--format", "waybar"}, A::error},
        {{"--history", "--follow"}, A::error},
        {{"--status", "--hide"}, A::error}};
    for (const auto& [arguments, action] : rows) {
        const CommandLine result = parse(arguments);
        EXPECT_EQ(result.action, action) << arguments.join(' ').toStdString();
        EXPECT_EQ(result.error.isEmpty(), action != A::error) << arguments.join(' ').toStdString();
    }
    EXPECT_EQ(parse({"--bogus=1", "-x"}).error, "未知选项：--bogus -x");  // as typed
}

TEST(CommandLine, ReadsTheStatusOptionsAndACommandForTheRunningInstance) {
    const CommandLine status = parse({"--status", "--format", "waybar", "--follow"});
    EXPECT_EQ(status.format, StatusFormat::waybar);
    EXPECT_TRUE(status.follow);
    EXPECT_EQ(parse({"--status", "--format=i3blocks"}).format, StatusFormat::i3blocks);
    const CommandLine history = parse({"--history", "--days=7", "--format", "json"});
    EXPECT_EQ(std::pair(history.historyDays, history.historyFormat),
              std::pair(7, HistoryFormat::json));
    EXPECT_EQ(parse({"--history"}).historyDays, 30);
    // An option named otherwise than its verb, and an argument given apart or after "=".
    using V = InstanceProtocol::Verb;
    const std::pair<QStringList, InstanceProtocol::Request> rows[] = {
        {{"--show-settings"}, {V::activate, {}}},
        {{"--privacy", "toggle"}, {V::privacy, {"toggle"}}},
        {{"--privacy=on"}, {V::privacy, {"on"}}},
        {{"--click-through", "toggle"}, {V::clickThrough, {"toggle"}}}};
    for (const auto& [arguments, request] : rows) {
        const CommandLine result = parse(arguments);
        EXPECT_EQ(result.action, CommandLine::Action::command) << arguments.join(' ').toStdString();
        EXPECT_EQ(InstanceProtocol::requestLine(result.command),
                  InstanceProtocol::requestLine(request));
    }
}

}  // namespace
}  // namespace orvelle
