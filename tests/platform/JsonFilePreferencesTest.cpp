#include "platform/JsonFilePreferences.h"

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

#include <gtest/gtest.h>

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
    EXPECT_EQ(preferences.value("flag"), PreferenceValue{ForeignValue{}});
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

TEST_F(JsonFilePreferencesTest, FileThatIsNoJsonObjectIsMovedAsideNotOverwritten) {
    for (const std::string content : {"garbage", R"({"salary.mode": "dai)", "", "[1, 2]",
                                      "{\"salary.mode\": \"\xff\xfe\"}", "\"text\""}) {
        fs::remove_all(file.parent_path());
        writeFile(file, content);
        diagnostics.str("");
        JsonFilePreferences preferences(file, diagnostics);
        EXPECT_FALSE(preferences.contains("salary.mode"));
        preferences.set("salary.mode", std::string("monthly"));
        EXPECT_TRUE(Json::parse(readFile(file)).is_object());
        ASSERT_EQ(entriesIn(file.parent_path()), 2U) << content;
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

TEST(JsonFilePreferencesPath, FollowsXdgConfigHome) {
    const std::string home = std::getenv("HOME");
    for (const auto& [value, path] : std::vector<std::pair<const char*, std::string>>{
             {"/srv/config", "/srv/config/orvelle/preferences.json"},
             {"relative/is/ignored", home + "/.config/orvelle/preferences.json"},
             {nullptr, home + "/.config/orvelle/preferences.json"}}) {
        value != nullptr ? ::setenv("XDG_CONFIG_HOME", value, 1) : ::unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(JsonFilePreferences::defaultPath(), path);
    }
}

}  // namespace
}  // namespace orvelle
