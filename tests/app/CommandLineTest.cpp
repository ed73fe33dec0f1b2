#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

CommandLine parse(QStringList arguments) {
    arguments.prepend("orvelle");
    return CommandLine::parse(arguments);
}

// The status options; Qt's own options pass through to Qt.
TEST(CommandLine, ReadsTheStatusOptions) {
    using A = CommandLine::Action;
    EXPECT_EQ(parse({}).action, A::run);
    EXPECT_EQ(parse({"-platform", "xcb", "-style=Fusion", "-reverse"}).action, A::run);
    EXPECT_EQ(parse({"--status", "-display", ":1"}).action, A::status);
    EXPECT_EQ(parse({"--help"}).action, A::help);
    EXPECT_EQ(parse({"-v"}).action, A::version);
    const CommandLine status = parse({"--status", "--format", "waybar", "--follow"});
    EXPECT_EQ(status.action, A::status);
    EXPECT_EQ(status.format, StatusFormat::waybar);
    EXPECT_TRUE(status.follow);
    EXPECT_EQ(parse({"--status", "--format=i3blocks"}).format, StatusFormat::i3blocks);
    EXPECT_EQ(parse({"--status"}).format, StatusFormat::plain);
    EXPECT_FALSE(parse({"--status"}).follow);
}

TEST(CommandLine, ReadsOneCommandForTheRunningInstance) {
    using V = InstanceProtocol::Verb;
    const std::pair<QStringList, InstanceProtocol::Request> rows[] = {
        {{"--start-work"}, {V::startWork, {}}},
        {{"--stop-work"}, {V::stopWork, {}}},
        {{"--toggle-work"}, {V::toggleWork, {}}},
        {{"--show-settings"}, {V::activate, {}}},
        {{"--toggle-capsule"}, {V::toggleCapsule, {}}},
        {{"--hide"}, {V::hide, {}}},
        {{"--privacy", "toggle"}, {V::privacy, {"toggle"}}},
        {{"--privacy=on"}, {V::privacy, {"on"}}},
    };
    for (const auto& [arguments, request] : rows) {
        const CommandLine result = parse(arguments);
        EXPECT_EQ(result.action, CommandLine::Action::command) << arguments.join(' ').toStdString();
        EXPECT_EQ(InstanceProtocol::requestLine(result.command),
                  InstanceProtocol::requestLine(request));
    }
}

TEST(CommandLine, RefusesWhatItDoesNotKnow) {
    for (const QStringList& arguments :
         {QStringList{"--bogus"}, QStringList{"extra"}, QStringList{"--follow"},
          QStringList{"--format", "waybar"}, QStringList{"--status", "--format", "json"},
          QStringList{"--status", "--format"}, QStringList{"--privacy", "maybe"},
          QStringList{"--start-work", "--stop-work"}, QStringList{"--status", "--hide"}}) {
        const CommandLine result = parse(arguments);
        EXPECT_EQ(result.action, CommandLine::Action::error) << arguments.join(' ').toStdString();
        EXPECT_FALSE(result.error.isEmpty());
    }
    EXPECT_EQ(parse({"--bogus=1", "-x"}).error, "未知选项：--bogus -x");  // as typed
}

}  // namespace
}  // namespace orvelle
