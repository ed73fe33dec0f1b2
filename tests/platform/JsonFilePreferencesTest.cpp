#include "platform/JsonFilePreferences.h"

#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <fstream>
#include <limits>
#include <sstream>
#include <thread>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/PreferencesFileReader.h"

namespace orvelle {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

mode_t modeOf(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

size_t entriesIn(const fs::path& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// Runs `body` in a child process, so that limits it sets touch nothing else; returns its status.
template <typename Body>
int inChild(Body body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class JsonFilePreferencesTest : public ::testing::Test {
protected:
    ~JsonFilePreferencesTest() override { fs::remove_all(folder); }

    long diagnosticLines() const {
        const std::string text = diagnostics.str();
        return std::count(text.begin(), text.end(), '\n');
    }

    std::string pattern = "/tmp/orvelle-prefs-XXXXXX";
    fs::path folder = ::mkdtemp(pattern.data());
    fs::path file = folder / "orvelle" / "preferences.json";
    std::ostringstream diagnostics;
};

TEST_F(JsonFilePreferencesTest, EveryTypeReadsBackExactlyAfterAReopen) {
    const std::vector<std::pair<std::string, PreferenceValue>> values{
        {"text", std::string("日薪 \"quoted\" \\ \n")},
        {"tenth", 0.1},
        {"instant", 1767600000.123456789},
        {"tiny", 4.9406564584124654e-324},
        {"huge", std::numeric_limits<double>::max()},
        {"whole double", 500.0},
        {"integer", std::int64_t{1080}},
        {"int min", std::numeric_limits<std::int64_t>::min()},
        {"on", true},
        {"off", false},
        {"removed", std::string("gone")}};
    {
        JsonFilePreferences preferences(file, diagnostics);
        for (const auto& [key, value] : values) {
            preferences.set(key, value);
        }
        preferences.remove("removed");
        preferences.remove("never there");
    }
    JsonFilePreferences reopened(file, diagnostics);
    for (const auto& [key, value] : values) {
        EXPECT_EQ(reopened.value(key), key == "removed" ? std::nullopt : std::optional(value))
            << key;
    }
    EXPECT_EQ(diagnostics.str(), "");
    // A private folder and file, and no temporary file left beside it.
    EXPECT_EQ(modeOf(file.parent_path()), 0700U);
    EXPECT_EQ(modeOf(file), 0600U);
    EXPECT_EQ(entriesIn(file.parent_path()), 1U);
}

TEST_F(JsonFilePreferencesTest, UnknownMembersAndTheirOrderAreKept) {
    writeFile(file,
              R"({"z.other": {"nested": [1, true, null]}, "salary.mode": "daily", "flag": true})");
    JsonFilePreferences preferences(file, diagnostics);
    EXPECT_EQ(preferences.value("z.other"), PreferenceValue{ForeignValue{}});
    EXPECT_EQ(preferences.flag("flag"), true);
    preferences.set("salary.mode", std::string("monthly"));
    EXPECT_EQ(Json::parse(readFile(file)).dump(),
              R"({"z.other":{"nested":[1,true,null]},"salary.mode":"monthly","flag":true})");
}

TEST_F(JsonFilePreferencesTest, SymbolicLinkIsKeptAndItsTargetUpdated) {
    const fs::path real = folder / "dotfiles" / "orvelle.json";
    writeFile(real, R"({"salary.mode": "daily"})");
    fs::create_directories(file.parent_path());
    fs::create_symlink("../dotfiles/orvelle.json", file);
    JsonFilePreferences preferences(file, diagnostics);
    EXPECT_EQ(preferences.text("salary.mode"), "daily");
    preferences.set("salary.mode", std::string("monthly"));
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(Json::parse(readFile(real))["salary.mode"], "monthly");
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

// Also files nested too deeply (a crash when copied or printed) or too large.
TEST_F(JsonFilePreferencesTest, FileThatIsNoJsonObjectIsMovedAsideNotOverwritten) {
    for (const std::string& content :
         {std::string("garbage"), std::string(R"({"salary.mode": "dai)"), std::string(),
          std::string("[1, 2]"), std::string("{\"salary.mode\": \"\xff\xfe\"}"),
          std::string("\"text\""), nested(60'000), nested(PreferencesFileReader::kMaxDepth + 1),
          padded(PreferencesFileReader::kMaxBytes + 1)}) {
        fs::remove_all(file.parent_path());
        writeFile(file, content);
        diagnostics.str("");
        JsonFilePreferences preferences(file, diagnostics);
        EXPECT_FALSE(preferences.contains("salary.mode"));
        preferences.set("salary.mode", std::string("monthly"));
        EXPECT_TRUE(Json::parse(readFile(file)).is_object());
        ASSERT_EQ(entriesIn(file.parent_path()), 2U) << content.substr(0, 40);
        for (const auto& entry : fs::directory_iterator(file.parent_path())) {
            if (entry.path() != file) {
                EXPECT_TRUE(
                    entry.path().filename().string().starts_with("preferences.json.corrupt-"));
                EXPECT_EQ(readFile(entry.path()), content);
                EXPECT_NE(diagnostics.str().find(entry.path().string()), std::string::npos);
            }
        }
        EXPECT_EQ(diagnosticLines(), 1);
    }
}

// Right at the caps a file is read and its unknown member kept on rewrite; brackets inside
// strings do not count as nesting.
TEST_F(JsonFilePreferencesTest, FilesRightAtTheCapsAreReadAndKept) {
    const std::string brackets = R"({"salary.mode": "daily", "other": ")" + std::string(100, '[') +
                                 "\\\"" + std::string(100, '{') + "\"}";
    for (const std::string& content : {nested(PreferencesFileReader::kMaxDepth), brackets,
                                       padded(PreferencesFileReader::kMaxBytes)}) {
        writeFile(file, content);
        JsonFilePreferences preferences(file, diagnostics);
        EXPECT_EQ(preferences.text("salary.mode"), "daily");
        preferences.set("salary.amount", 500.0);
        EXPECT_EQ(Json::parse(readFile(file))["other"], Json::parse(content)["other"]);
    }
    EXPECT_EQ(diagnostics.str(), "");
}

// A FIFO, a device or a folder at the path is neither read (a FIFO would block, /dev/zero never
// ends), nor moved aside, nor replaced: the values of the run stay in memory.
TEST_F(JsonFilePreferencesTest, WhatIsNoRegularFileIsLeftAloneAndNeverWritten) {
    for (const std::string kind : {"fifo", "device", "folder"}) {
        fs::remove_all(file.parent_path());
        fs::create_directories(file.parent_path());
        if (kind == "fifo") {
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        } else if (kind == "device") {
            fs::create_symlink("/dev/zero", file);
        } else {
            fs::create_directory(file);
        }
        diagnostics.str("");
        JsonFilePreferences preferences(file, diagnostics);
        preferences.set("salary.mode", std::string("monthly"));
        EXPECT_EQ(preferences.text("salary.mode"), "monthly") << kind;
        EXPECT_EQ(diagnosticLines(), 1) << kind;
        EXPECT_NE(diagnostics.str().find("不是普通文件"), std::string::npos) << kind;
        EXPECT_EQ(entriesIn(file.parent_path()), 1U) << kind;
        const auto status = fs::symlink_status(file).type();
        EXPECT_EQ(status, kind == "fifo"     ? fs::file_type::fifo
                          : kind == "device" ? fs::file_type::symlink
                                             : fs::file_type::directory)
            << kind;
    }
}

// Temporaries that killed writes left behind are removed at start, but only files of our own
// exact naming; a read-only store removes nothing.
TEST_F(JsonFilePreferencesTest, StaleTemporariesOfKilledWritesAreRemovedAtStart) {
    const fs::path dir = file.parent_path();
    const std::vector<std::pair<std::string, bool>> table{
        {".preferences.json.a1B2c3", true},  {".preferences.json.zzzzzz", true},
        {".preferences.json.a1B2c", false},  {".preferences.json.a1B2c3d", false},
        {".preferences.json.a1-2c3", false}, {".settings.json.a1B2c3", false},
        {"preferences.json.a1B2c3", false},  {".preferences.json.link00", false},
        {".preferences.json.dir000", false}};
    for (const auto access :
         {JsonFilePreferences::Access::readOnly, JsonFilePreferences::Access::readWrite}) {
        fs::remove_all(dir);
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
        for (const auto& [name, stale] : table) {
            const bool removed = stale && access == JsonFilePreferences::Access::readWrite;
            EXPECT_EQ(fs::exists(fs::symlink_status(dir / name)), !removed) << name;
        }
    }
}

TEST_F(JsonFilePreferencesTest, ReadOnlyStoreNeverTouchesTheFile) {
    writeFile(file, "garbage");
    JsonFilePreferences preferences(file, diagnostics, JsonFilePreferences::Access::readOnly);
    preferences.set("salary.mode", std::string("monthly"));
    EXPECT_EQ(preferences.text("salary.mode"), "monthly");
    EXPECT_EQ(readFile(file), "garbage");
    EXPECT_EQ(entriesIn(file.parent_path()), 1U);
    EXPECT_EQ(diagnosticLines(), 1);
}

TEST_F(JsonFilePreferencesTest, UnwritableFolderKeepsValuesInMemoryAndSaysSoOnce) {
    writeFile(folder / "orvelle", "a regular file where the folder should be");
    JsonFilePreferences preferences(file, diagnostics);
    preferences.set("salary.amount", 500.0);
    preferences.set("salary.mode", std::string("monthly"));
    EXPECT_EQ(preferences.number("salary.amount"), 500.0);
    EXPECT_EQ(preferences.text("salary.mode"), "monthly");
    EXPECT_EQ(diagnosticLines(), 1);
}

TEST_F(JsonFilePreferencesTest, FullDiskLeavesTheOldFileIntact) {
    JsonFilePreferences(file, diagnostics).set("salary.mode", std::string("daily"));
    const std::string before = readFile(file);
    // A file-size limit makes the write fail for real, even for root.
    EXPECT_EQ(inChild([&] {
                  std::signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit{16, 16};
                  ::setrlimit(RLIMIT_FSIZE, &limit);
                  std::ostringstream said;
                  JsonFilePreferences preferences(file, said);
                  preferences.set("salary.amount", 123456.0);
                  return preferences.number("salary.amount") == 123456.0 && !said.str().empty() ? 0
                                                                                                : 1;
              }),
              0);
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(entriesIn(file.parent_path()), 1U);
}

TEST_F(JsonFilePreferencesTest, KillDuringABurstOfWritesLeavesAValidFile) {
    for (int round = 0; round < 5; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            std::ostringstream said;
            JsonFilePreferences preferences(file, said);
            for (std::int64_t i = 0;; ++i) {
                preferences.set("counter", i);
                preferences.set("padding", std::string(static_cast<size_t>(i % 4096), 'x'));
            }
        }
        // Wait until the child has written a few times, then kill it mid-burst.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::int64_t seen = -1;
        while (std::chrono::steady_clock::now() < deadline && seen < 20 * (round + 1)) {
            const Json json = Json::parse(readFile(file), nullptr, false);
            seen = json.is_object() ? json.value("counter", std::int64_t{-1}) : seen;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const Json after = Json::parse(readFile(file), nullptr, false);
        ASSERT_TRUE(after.is_object()) << "round " << round;
        EXPECT_GE(after["counter"].get<std::int64_t>(), seen);
    }
}

// A relative $XDG_CONFIG_HOME is invalid and ignored; without an absolute $HOME the home folder
// comes from the password database, never "/".
TEST(JsonFilePreferencesPath, FollowsXdgConfigHomeAndTheHomeFolder) {
    const std::string home = std::getenv("HOME");
    const std::string userHome = ::getpwuid(::geteuid())->pw_dir;
    const char* unset = nullptr;
    for (const auto& [configHome, homeValue, path] :
         std::vector<std::tuple<const char*, const char*, std::string>>{
             {"/srv/config", unset, "/srv/config/orvelle/preferences.json"},
             {"relative/is/ignored", "/home/x", "/home/x/.config/orvelle/preferences.json"},
             {unset, "/home/x", "/home/x/.config/orvelle/preferences.json"},
             {unset, unset, userHome + "/.config/orvelle/preferences.json"},
             {"", "", userHome + "/.config/orvelle/preferences.json"},
             {unset, "relative", userHome + "/.config/orvelle/preferences.json"}}) {
        configHome != nullptr ? ::setenv("XDG_CONFIG_HOME", configHome, 1)
                              : ::unsetenv("XDG_CONFIG_HOME");
        homeValue != nullptr ? ::setenv("HOME", homeValue, 1) : ::unsetenv("HOME");
        EXPECT_EQ(JsonFilePreferences::defaultPath(), path);
    }
    ::setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace orvelle
