#include "platform/Autostart.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

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

    static std::string entryText(const Autostart& entry) {
        std::ifstream in(entry.entry());
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
    const std::string text = entryText(autostart);
    EXPECT_NE(text.find("[Desktop Entry]\n"), std::string::npos);
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
    EXPECT_EQ(entryText(autostart).find("Hidden"), std::string::npos);
}

// Each path as the Exec line must carry it: quoted, escaped inside the quotes, then escaped again
// as a string value (`\` doubled), with `%` doubled; a control character cannot be carried at all.
TEST_F(AutostartTest, ExecLineQuotesAndEscapesEveryPathOrRefusesIt) {
    const char* const refused = nullptr;
    const std::vector<std::pair<std::string, const char*>> table{
        {"/usr/bin/orvelle", "Exec=/usr/bin/orvelle"},
        {"/opt/My Apps/orvelle", R"(Exec="/opt/My Apps/orvelle")"},
        {R"(/opt/it's "q"/orvelle)", R"(Exec="/opt/it's \\"q\\"/orvelle")"},
        {R"(/opt/a\b/orvelle)", R"(Exec="/opt/a\\\\b/orvelle")"},
        {"/opt/$HOME/orvelle", R"(Exec="/opt/\\$HOME/orvelle")"},
        {"/opt/`id`/orvelle", R"(Exec="/opt/\\`id\\`/orvelle")"},
        {"/opt/100%/orvelle", "Exec=/opt/100%%/orvelle"},
        {"/opt/100% sure/orvelle", R"(Exec="/opt/100%% sure/orvelle")"},
        {"/opt/new\nline/orvelle", refused},
        {"/opt/tab\there/orvelle", refused},
    };
    for (const auto& [path, line] : table) {
        fs::remove_all(home / "autostart");
        const Autostart entry{home, "io.github.orvelle.Orvelle", path};
        const std::string error = entry.enable();
        EXPECT_EQ(entry.isEnabled(), line != refused) << path;
        if (line == refused) {
            EXPECT_NE(error.find("控制字符"), std::string::npos) << path;
            continue;
        }
        EXPECT_EQ(error, "") << path;
        std::istringstream text(entryText(entry));
        std::vector<std::string> execLines;
        for (std::string each; std::getline(text, each);) {
            if (each.starts_with("Exec=")) {
                execLines.push_back(each);
            }
        }
        EXPECT_EQ(execLines, std::vector<std::string>{line}) << path;
    }
}

// From an AppImage the entry starts the AppImage, not the executable in its temporary mount; a
// $APPIMAGE that names no existing absolute file is ignored.
TEST_F(AutostartTest, EntryStartsTheAppImageThatRunsUs) {
    const fs::path appImage = home / "Orvelle-x86_64.AppImage";
    std::ofstream(appImage) << "ELF";
    for (const auto& [value, exec] : std::vector<std::pair<std::string, std::string>>{
             {appImage.string(), appImage.string()},
             {"Orvelle-x86_64.AppImage", "/tmp/.mount_Orv/usr/bin/orvelle"},
             {(home / "gone.AppImage").string(), "/tmp/.mount_Orv/usr/bin/orvelle"}}) {
        ::setenv("APPIMAGE", value.c_str(), 1);
        const Autostart entry{home, "io.github.orvelle.Orvelle", "/tmp/.mount_Orv/usr/bin/orvelle"};
        ::unsetenv("APPIMAGE");
        EXPECT_EQ(entry.enable(), "");
        EXPECT_NE(entryText(entry).find("\nExec=" + exec + "\n"), std::string::npos) << value;
    }
}

}  // namespace
}  // namespace orvelle
