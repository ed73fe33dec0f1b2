#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

CommandLine parse(QStringList arguments) {
    arguments.prepend("orvelle");
    return CommandLine::parse(arguments);
}

TEST(CommandLine, ReadsTheStatusOptions) {
    using A = CommandLine::Action;
    EXPECT_EQ(parse({}).action, A::run);
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

TEST(CommandLine, LetsQtsOwnOptionsThrough) {
    const CommandLine withQt = parse({"-platform", "xcb", "-style=Fusion", "-reverse"});
    EXPECT_EQ(withQt.action, CommandLine::Action::run);
    EXPECT_EQ(parse({"--status", "-display", ":1"}).action, CommandLine::Action::status);
}

TEST(CommandLine, RefusesWhatItDoesNotKnow) {
    for (const QStringList& arguments :
         {QStringList{"--bogus"}, QStringList{"extra"}, QStringList{"--follow"},
          QStringList{"--format", "waybar"}, QStringList{"--status", "--format", "json"},
          QStringList{"--status", "--format"}}) {
        const CommandLine result = parse(arguments);
        EXPECT_EQ(result.action, CommandLine::Action::error) << arguments.join(' ').toStdString();
        EXPECT_FALSE(result.error.isEmpty());
    }
}

}  // namespace
}  // namespace orvelle
