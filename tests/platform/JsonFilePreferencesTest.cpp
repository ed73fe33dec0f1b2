#include "platform/posix/JsonFilePreferences.h"

#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cmath>
#include <csignal>
#include <sstream>

#include <gtest/gtest.h>

#include "fakes/InMemoryPreferences.h"
#include "fakes/TempFolder.h"
#include "platform/posix/PreferencesFileReader.h"

namespace orvelle {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;
using test::InMemoryPreferences;
using test::readFile;
using test::writeFile;

size_t entriesIn(const fs::path& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// A preferences file whose member "other" holds arrays `depth` deep, the outer object included.
std::string nested(int depth) {
    const auto inner = static_cast<size_t>(depth - 1);
    return R"({"salary.mode": "daily", "other": )" + std::string(inner, '[') +
           std::string(inner, ']') + "}";
}

// A preferences file of exactly `size` bytes, padded by its member "other".
std::string padded(size_t size) {
    const std::string head = R"({"salary.mode": "daily", "other": ")";
    return head + std::string(size - head.size() - 2, 'x') + "\"}";
}

class JsonFilePreferencesTest : public ::testing::Test {
protected:
    long diagnosticLines() const { return std::ranges::count(diagnostics.str(), '\n'); }

    // Starts a row of a table afresh: an empty preferences folder, nothing said yet.
    void startRow() {
        fs::remove_all(dir);
        fs::create_directories(dir);
        diagnostics.str("");
    }

    test::TempFolder temp;
    fs::path dir = temp / "orvelle";
    fs::path file = dir / "preferences.json";
    std::ostringstream diagnostics;
};

TEST_F(JsonFilePreferencesTest, EveryTypeReadsBackExactlyAfterAReopen) {
    const std::pair<std::string, PreferenceValue> values[] = {
        {"text", std::string("日薪 \"quoted\" \\ \n")},
        {"instant", 1767600000.123456789},
        {"whole double", 500.0},
        {"integer", std::int64_t{1080}},
        {"int min", std::numeric_limits<std::int64_t>::min()},
        {"on", true},
        {"off", false}};
    {
        JsonFilePreferences preferences(file, diagnostics);
        for (const auto& [key, value] : values) {
            preferences.set(key, value);
        }
    }
    JsonFilePreferences reopened(file, diagnostics);
    for (const auto& [key, value] : values) {
        EXPECT_EQ(reopened.value(key), value) << key;
    }
    EXPECT_EQ(diagnostics.str(), "");
    // A private folder and file, and no temporary file left beside it.
    EXPECT_EQ(fs::status(dir).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(entriesIn(dir), 1U);
}

// A link (into a dotfiles repository, say) stays a link and its target is rewritten, with the
// members this program does not know kept where they were. A null written by hand reads as absent.
TEST_F(JsonFilePreferencesTest, RewriteKeepsTheLinkAndUnknownMembersInTheirOrder) {
    const fs::path real = temp / "dotfiles" / "orvelle.json";
    writeFile(real,
              R"({"z.other": {"nested": [1, true, null]}, "salary.mode": "daily", "n": null})");
    fs::create_directories(dir);
    fs::create_symlink("../dotfiles/orvelle.json", file);
    JsonFilePreferences preferences(file, diagnostics);
    EXPECT_EQ(preferences.value("z.other"), PreferenceValue{ForeignValue{}});
    EXPECT_EQ(preferences.value("n"), std::nullopt);
    preferences.set("salary.mode", std::string("monthly"));
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(Json::parse(readFile(real)).dump(),
              R"({"z.other":{"nested":[1,true,null]},"salary.mode":"monthly","n":null})");
}

// A file that is no JSON object, or is larger or nested deeper than the caps (deep nesting crashes
// whatever recurses over it), is moved aside whole with one line that names where, never
// overwritten. Right at the caps, brackets inside strings not counting, it is read and its unknown
// member kept on rewrite.
TEST_F(JsonFilePreferencesTest, DamagedFilesAreMovedAsideAndFilesAtTheCapsRead) {
    const size_t maxBytes = PreferencesFileReader::kMaxBytes;
    const int maxDepth = PreferencesFileReader::kMaxDepth;
    const std::string brackets = R"({"salary.mode": "daily", "other": ")" + std::string(100, '[') +
                                 "\\\"" + std::string(100, '{') + "\"}";
    const std::vector<std::string> readable{nested(maxDepth), brackets, padded(maxBytes)};
    const std::vector<std::string> damaged{
        R"({"salary.mode": "dai)", "", "[1, 2]", "{\"a\": \"\xff\xfe\"}", nested(maxDepth + 1),
        padded(maxBytes + 1)};
    for (const bool read : {true, false}) {
        for (const std::string& content : read ? readable : damaged) {
            const std::string row = content.substr(0, 40);
            startRow();
            writeFile(file, content);
            JsonFilePreferences preferences(file, diagnostics);
            EXPECT_EQ(preferences.contains("salary.mode"), read) << row;
            preferences.set("salary.amount", 500.0);
            EXPECT_EQ(Json::parse(readFile(file)).value("other", Json()),
                      read ? Json::parse(content)["other"] : Json())
                << row;
            EXPECT_EQ(diagnosticLines(), read ? 0 : 1) << row;
            EXPECT_EQ(entriesIn(dir), read ? 1U : 2U) << row;
            const std::string said = diagnostics.str();
            const size_t aside = std::min(said.find(file.string() + ".corrupt-"), said.size());
            EXPECT_EQ(readFile(said.substr(aside, said.find("，", aside) - aside)),
                      read ? "" : content)
                << row;
        }
    }
}

// What is no regular file (a FIFO would block, /dev/zero never ends) or cannot be opened (a loop
// of links) is neither read, nor moved aside, nor replaced: the values of the run stay in memory.
TEST_F(JsonFilePreferencesTest, WhatIsNoReadableFileIsLeftAloneAndNeverWritten) {
    const std::tuple<std::string, void (*)(const fs::path&), std::string> cases[] = {
        {"fifo", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); }, "不是普通文件"},
        {"device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, "不是普通文件"},
        {"folder", [](const fs::path& p) { fs::create_directory(p); }, "不是普通文件"},
        {"link loop", [](const fs::path& p) { fs::create_symlink(p.filename(), p); }, "无法读取"},
    };
    for (const auto& [kind, make, why] : cases) {
        startRow();
        make(file);
        const auto type = fs::symlink_status(file).type();
        JsonFilePreferences preferences(file, diagnostics);
        preferences.set("salary.mode", std::string("monthly"));
        EXPECT_EQ(preferences.text("salary.mode"), "monthly") << kind;
        EXPECT_NE(preferences.unsaved().find(why), std::string::npos) << kind;
        EXPECT_EQ(diagnosticLines(), 1) << kind;
        EXPECT_NE(diagnostics.str().find(why), std::string::npos) << kind;
        EXPECT_EQ(entriesIn(dir), 1U) << kind;
        EXPECT_EQ(fs::symlink_status(file).type(), type) << kind;
    }
}

// Temporaries that killed writes left behind are removed at start, but only files of our own
// exact naming. A read-only store removes nothing, and neither moves a damaged file aside nor
// writes it.
TEST_F(JsonFilePreferencesTest, StartRemovesOurStaleTemporariesAndReadOnlyTouchesNothing) {
    const std::pair<std::string, bool> table[] = {
        {".preferences.json.a1B2c3", true},  {".preferences.json.a1B2c", false},
        {".preferences.json.a1-2c3", false}, {".settings.json.a1B2c3", false},
        {"preferences.json.a1B2c3", false},  {".preferences.json.link00", false},
        {".preferences.json.dir000", false}, {".preferences.json.a1B2c3d", false}};
    for (const auto access :
         {JsonFilePreferences::Access::readOnly, JsonFilePreferences::Access::readWrite}) {
        const bool readOnly = access == JsonFilePreferences::Access::readOnly;
        startRow();
        writeFile(file, "garbage");
        for (const auto& [name, stale] : table) {
            if (name.ends_with("link00")) {
                fs::create_symlink("preferences.json", dir / name);
            } else if (name.ends_with("dir000")) {
                fs::create_directories(dir / name);
            } else {
                writeFile(dir / name, "{}");
            }
        }
        JsonFilePreferences preferences(file, diagnostics, access);
        preferences.set("salary.mode", std::string("monthly"));
        EXPECT_EQ(preferences.text("salary.mode"), "monthly");
        EXPECT_EQ(readFile(file) == "garbage", readOnly);
        for (const auto& [name, stale] : table) {
            EXPECT_EQ(fs::exists(fs::symlink_status(dir / name)), !stale || readOnly) << name;
        }
    }
}

// A file-size limit makes the writes fail for real, even for root; it is set in a child process so
// that it touches nothing else. The old file stays whole with no temporary beside it, and the
// values live on in memory, with one line for the whole run of failures.
TEST_F(JsonFilePreferencesTest, FailedWritesKeepTheOldFileAndTheValuesAndSaySoOnce) {
    JsonFilePreferences(file, diagnostics).set("salary.mode", std::string("daily"));
    const std::string before = readFile(file);
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        JsonFilePreferences preferences(file, diagnostics);
        preferences.set("salary.amount", 123456.0);
        preferences.set("salary.mode", std::string("monthly"));
        const bool kept = preferences.number("salary.amount") == 123456.0 &&
                          preferences.text("salary.mode") == "monthly";
        ::_exit((kept ? 0 : 1) + (diagnosticLines() == 1 ? 0 : 2) +
                (preferences.unsaved().empty() ? 4 : 0));
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0) << "1: values lost, 2: not said exactly once, 4: reported as saved";
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(entriesIn(dir), 1U);
}

// A relative $XDG_CONFIG_HOME is invalid and ignored; without an absolute $HOME the home folder
// comes from the password database, never "/".
TEST(JsonFilePreferencesPath, FollowsXdgConfigHomeAndTheHomeFolder) {
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    const std::string user = std::string(::getpwuid(::geteuid())->pw_dir) + "/.config";
    const char* unset = nullptr;
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"/srv/config", unset, "/srv/config"},
        {"relative/is/ignored", "/home/x", "/home/x/.config"},
        {unset, unset, user},
        {"", "relative", user}};
    for (const auto& [configHome, homeValue, folder] : cases) {
        configHome != nullptr ? ::setenv("XDG_CONFIG_HOME", configHome, 1)
                              : ::unsetenv("XDG_CONFIG_HOME");
        homeValue != nullptr ? ::setenv("HOME", homeValue, 1) : ::unsetenv("HOME");
        EXPECT_EQ(JsonFilePreferences::defaultPath(), folder + "/orvelle/preferences.json");
    }
    ::setenv("HOME", home.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
}

// Numbers read from numbers and from text that is wholly a number, integers as the number
// truncated and saturated; nothing else is a number (a stored NaN may read as NaN or as nothing,
// never as a number), and only booleans are flags.
TEST(PreferencesStore, ReadsNumbersFromNumbersAndNumericTextAndFlagsOnlyFromBooleans) {
    using S = std::string;
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max(), kMin = -kMax - 1;
    constexpr std::nullopt_t none = std::nullopt;
    using Row =
        std::tuple<PreferenceValue, std::optional<double>, std::int64_t, std::optional<bool>>;
    const Row cases[] = {{21.75, 21.75, 21, none},        {std::int64_t{0}, 0, 0, none},
                         {S("22"), 22, 22, none},         {S("21.75"), 21.75, 21, none},
                         {S("-3"), -3, -3, none},         {1e300, 1e300, kMax, none},
                         {-1e300, -1e300, kMin, none},    {S("1e400"), none, 0, none},
                         {S("inf"), none, 0, none},       {S("nan"), none, 0, none},
                         {S(" 22"), none, 0, none},       {S("22 days"), none, 0, none},
                         {S(""), none, 0, none},          {S("true"), none, 0, none},
                         {ForeignValue{}, none, 0, none}, {std::nan(""), none, 0, none},
                         {true, none, 0, true},           {false, none, 0, false}};
    for (const auto& [stored, number, integer, flag] : cases) {
        const InMemoryPreferences store({{"key", stored}});
        const auto read = store.numberIfPresent("key");
        EXPECT_TRUE(number ? read == number : !read || std::isnan(*read))
            << ::testing::PrintToString(stored);
        EXPECT_EQ(store.integer("key"), integer) << ::testing::PrintToString(stored);
        EXPECT_EQ(store.flag("key"), flag) << ::testing::PrintToString(stored);
    }
    EXPECT_EQ(InMemoryPreferences().flag("key"), std::nullopt);
}

}  // namespace
}  // namespace orvelle
