#include "platform/Autostart.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace orvelle {
namespace {

std::filesystem::path temporaryFolder(std::string pattern) {
    return ::mkdtemp(pattern.data());
}

namespace fs = std::filesystem;

class AutostartTest : public ::testing::Test {
protected:
    ~AutostartTest() override { fs::remove_all(home); }

    std::string entryText() const {
        std::ifstream in(autostart.entry());
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path home = temporaryFolder("/tmp/orvelle-autostart-XXXXXX");
    Autostart autostart{home, "io.github.orvelle.Orvelle", "/opt/My Apps/orvelle"};
};

TEST_F(AutostartTest, EnableWritesAnEntryWithTheAbsolutePathAndDisableRemovesIt) {
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_EQ(autostart.enable(), "");
    EXPECT_EQ(autostart.entry(), home / "autostart" / "io.github.orvelle.Orvelle.desktop");
    EXPECT_TRUE(autostart.isEnabled());
    const std::string text = entryText();
    EXPECT_NE(text.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(text.find("\nExec=\"/opt/My Apps/orvelle\"\n"), std::string::npos);
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos);
    EXPECT_EQ(autostart.disable(), "");
    EXPECT_FALSE(fs::exists(autostart.entry()));
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_EQ(autostart.disable(), "");  // already off: no error
}

TEST_F(AutostartTest, EntriesTheUserSwitchedOffCountAsOff) {
    for (const char* off : {"Hidden=true", "Hidden = true", "X-GNOME-Autostart-enabled=false"}) {
        fs::create_directories(autostart.entry().parent_path());
        std::ofstream(autostart.entry()) << "[Desktop Entry]\nType=Application\nExec=orvelle\n"
                                         << off << "\n";
        EXPECT_FALSE(autostart.isEnabled()) << off;
    }
    // A key of another group does not count.
    std::ofstream(autostart.entry())
        << "[Desktop Entry]\nExec=orvelle\n[Desktop Action x]\nHidden=true\n";
    EXPECT_TRUE(autostart.isEnabled());
    EXPECT_EQ(autostart.enable(), "");
    EXPECT_TRUE(autostart.isEnabled());
    EXPECT_EQ(entryText().find("Hidden"), std::string::npos);
}

TEST(AutostartExec, QuotesArgumentsAsDesktopEntriesAsk) {
    EXPECT_EQ(Autostart::quoteExecArgument("/usr/bin/orvelle"), "/usr/bin/orvelle");
    EXPECT_EQ(Autostart::quoteExecArgument("/a b/orvelle"), "\"/a b/orvelle\"");
    EXPECT_EQ(Autostart::quoteExecArgument("/a\"$`\\b"), "\"/a\\\"\\$\\`\\\\b\"");
}

}  // namespace
}  // namespace orvelle
