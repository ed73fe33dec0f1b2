#include "platform/JsonFilePreferences.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstring>
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
    std::ofstream(path, std::ios::binary) << content;
}

mode_t modeOf(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

class JsonFilePreferencesTest : public ::testing::Test {
protected:
    JsonFilePreferencesTest() {
        char pattern[] = "/tmp/orvelle-prefs-XXXXXX";
        folder = ::mkdtemp(pattern);
        file = folder / "orvelle" / "preferences.json";
    }
    ~JsonFilePreferencesTest() override { fs::remove_all(folder); }

    std::vector<fs::path> asideFiles() const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(file.parent_path())) {
            if (entry.path().filename().string().starts_with("preferences.json.corrupt-")) {
                found.push_back(entry.path());
            }
        }
        return found;
    }

    long lineCount() const {
        const std::string text = diagnostics.str();
        return std::count(text.begin(), text.end(), '\n');
    }

    fs::path folder;
    fs::path file;
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
        {"int max", std::numeric_limits<std::int64_t>::max()}};
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
}

TEST_F(JsonFilePreferencesTest, RemoveDeletesTheKeyFromTheFile) {
    JsonFilePreferences preferences(file, diagnostics);
    preferences.set("a", 1.5);
    preferences.set("b", std::string("x"));
    preferences.remove("a");
    preferences.remove("never there");
    EXPECT_EQ(Json::parse(readFile(file)), Json::parse(R"({"b":"x"})"));
}

TEST_F(JsonFilePreferencesTest, UnknownMembersAndTheirOrderAreKept) {
    fs::create_directories(file.parent_path());
    writeFile(file,
              R"({"z.other": {"nested": [1, true, null]}, "salary.mode": "daily", "flag": true})");
    JsonFilePreferences preferences(file, diagnostics);
    EXPECT_EQ(preferences.value("flag"), PreferenceValue{ForeignValue{}});
    preferences.set("salary.mode", std::string("monthly"));
    const Json written = Json::parse(readFile(file));
    EXPECT_EQ(written.dump(),
              R"({"z.other":{"nested":[1,true,null]},"salary.mode":"monthly","flag":true})");
}

TEST_F(JsonFilePreferencesTest, NewFolderIsPrivateAndSoIsTheFile) {
    JsonFilePreferences preferences(file, diagnostics);
    preferences.set("salary.amount", 500.0);
    EXPECT_EQ(modeOf(file.parent_path()), 0700U);
    EXPECT_EQ(modeOf(file), 0600U);
    // Only the file and no leftover temporary beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator{}),
              1);
}

TEST_F(JsonFilePreferencesTest, SymbolicLinkIsKeptAndItsTargetUpdated) {
    const fs::path real = folder / "dotfiles" / "orvelle.json";
    fs::create_directories(real.parent_path());
    fs::create_directories(file.parent_path());
    writeFile(real, R"({"salary.mode": "daily"})");
    fs::create_symlink("../dotfiles/orvelle.json", file);
    JsonFilePreferences preferences(file, diagnostics);
    EXPECT_EQ(preferences.text("salary.mode"), "daily");
    preferences.set("salary.mode", std::string("monthly"));
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(Json::parse(readFile(real))["salary.mode"], "monthly");
}

TEST_F(JsonFilePreferencesTest, FileThatIsNoJsonObjectIsMovedAsideNotOverwritten) {
    const std::vector<std::string> corrupt{
        "garbage", R"({"salary.mode": "dai)",         "",
        "[1, 2]",  "{\"salary.mode\": \"\xff\xfe\"}", "\"text\""};
    for (const std::string& content : corrupt) {
        fs::remove_all(file.parent_path());
        fs::create_directories(file.parent_path());
        writeFile(file, content);
        diagnostics.str("");
        JsonFilePreferences preferences(file, diagnostics);
        EXPECT_FALSE(preferences.contains("salary.mode"));
        const auto aside = asideFiles();
        ASSERT_EQ(aside.size(), 1U) << content;
        EXPECT_EQ(readFile(aside.front()), content);
        EXPECT_NE(diagnostics.str().find(aside.front().string()), std::string::npos);
        EXPECT_EQ(lineCount(), 1);
        preferences.set("salary.mode", std::string("monthly"));
        EXPECT_TRUE(Json::parse(readFile(file)).is_object());
        EXPECT_EQ(readFile(aside.front()), content);
    }
}

TEST_F(JsonFilePreferencesTest, UnwritableFolderKeepsValuesInMemoryAndSaysSoOnce) {
    writeFile(folder / "orvelle", "a regular file where the folder should be");
    JsonFilePreferences preferences(file, diagnostics);
    preferences.set("salary.amount", 500.0);
    preferences.set("salary.mode", std::string("monthly"));
    EXPECT_EQ(preferences.number("salary.amount"), 500.0);
    EXPECT_EQ(preferences.text("salary.mode"), "monthly");
    EXPECT_EQ(lineCount(), 1);
}

// Runs `body` in a child process and returns its exit status.
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

TEST_F(JsonFilePreferencesTest, FullDiskLeavesTheOldFileIntact) {
    {
        JsonFilePreferences preferences(file, diagnostics);
        preferences.set("salary.mode", std::string("daily"));
    }
    const std::string before = readFile(file);
    // A file-size limit makes the write fail for real, even for root; in a child, so that the
    // limit cannot touch anything else.
    const int status = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::ostringstream childDiagnostics;
        JsonFilePreferences preferences(file, childDiagnostics);
        preferences.set("salary.amount", 123456.0);
        const bool kept = preferences.number("salary.amount") == 123456.0;
        const bool said = childDiagnostics.str().find("cannot write") != std::string::npos;
        return kept && said ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator{}),
              1);
}

TEST_F(JsonFilePreferencesTest, KillDuringABurstOfWritesLeavesAValidFile) {
    for (int round = 0; round < 5; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            std::ostringstream childDiagnostics;
            JsonFilePreferences preferences(file, childDiagnostics);
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
            if (json.is_object() && json.contains("counter")) {
                seen = json["counter"].get<std::int64_t>();
            }
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
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = saved != nullptr ? saved : "";
    ::setenv("XDG_CONFIG_HOME", "/srv/config", 1);
    EXPECT_EQ(JsonFilePreferences::defaultPath(), "/srv/config/orvelle/preferences.json");
    ::setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
    const std::string home = std::getenv("HOME");
    EXPECT_EQ(JsonFilePreferences::defaultPath(), home + "/.config/orvelle/preferences.json");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(JsonFilePreferences::defaultPath(), home + "/.config/orvelle/preferences.json");
    if (saved != nullptr) {
        ::setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
    }
}

}  // namespace
}  // namespace orvelle
