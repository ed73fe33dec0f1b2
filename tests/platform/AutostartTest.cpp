#include "platform/posix/Autostart.h"

#include <gtest/gtest.h>

#include "fakes/TempFolder.h"

namespace orvelle {
namespace {

namespace fs = std::filesystem;

// Desktops switch an entry off by writing one of these keys into it, where a key of another group
// does not count; enabling writes an entry that starts us, over one switched off too.
TEST(Autostart, EnableAndDisableTheEntryAndSeeItSwitchedOff) {
    const test::TempFolder home;
    const Autostart autostart{home.path(), "io.github.orvelle.Orvelle", "/opt/My Apps/orvelle"};
    EXPECT_FALSE(autostart.isEnabled());
    for (const auto& [line, on] : std::initializer_list<std::pair<const char*, bool>>{
             {"[Desktop Action x]\nHidden=true", true},
             {"X-GNOME-Autostart-enabled=false", false},
             {"Hidden = true", false}}) {
        test::writeFile(autostart.entry(), std::string("[Desktop Entry]\nExec=orvelle\n") + line);
        EXPECT_EQ(autostart.isEnabled(), on) << line;
    }
    EXPECT_EQ(autostart.enable(), "");
    EXPECT_EQ(autostart.entry(), home / "autostart" / "io.github.orvelle.Orvelle.desktop");
    EXPECT_TRUE(autostart.isEnabled());
    const std::string text = test::readFile(autostart.entry());
    EXPECT_TRUE(text.starts_with("[Desktop Entry]\nType=Application\n")) << text;
    EXPECT_NE(text.find("\nExec=\"/opt/My Apps/orvelle\"\n"), std::string::npos) << text;
    EXPECT_EQ(autostart.disable(), "");
    EXPECT_FALSE(fs::exists(autostart.entry()));
    EXPECT_EQ(autostart.disable(), "");  // already off: no error
}

// Each path as the Exec value must carry it: quoted, escaped inside the quotes, then escaped again
// as a string value (`\` doubled), with `%` doubled; a control character cannot be carried at all,
// and such a path writes no entry.
TEST(Autostart, ExecValueQuotesAndEscapesEveryPathOrRefusesIt) {
    const std::optional<std::string> refused;
    const std::pair<std::string, std::optional<std::string>> table[] = {
        {"/usr/bin/orvelle", "/usr/bin/orvelle"},
        {R"(/opt/it's "q"/orvelle)", R"("/opt/it's \\"q\\"/orvelle")"},
        {R"(/opt/a\b/orvelle)", R"("/opt/a\\\\b/orvelle")"},
        {"/opt/$HOME/orvelle", R"("/opt/\\$HOME/orvelle")"},
        {"/opt/`id`/orvelle", R"("/opt/\\`id\\`/orvelle")"},
        {"/opt/100%/orvelle", "/opt/100%%/orvelle"},
        {"/opt/100% sure/orvelle", R"("/opt/100%% sure/orvelle")"},
        {"/opt/new\nline/orvelle", refused},
        {"/opt/tab\there/orvelle", refused},
    };
    for (const auto& [path, value] : table) {
        EXPECT_EQ(Autostart::execValue(path), value) << path;
    }
    const test::TempFolder home;
    const Autostart controlled{home.path(), "io.github.orvelle.Orvelle", "/opt/new\nline/orvelle"};
    EXPECT_NE(controlled.enable().find("控制字符"), std::string::npos);
    EXPECT_FALSE(fs::exists(controlled.entry()));
}

}  // namespace
}  // namespace orvelle
