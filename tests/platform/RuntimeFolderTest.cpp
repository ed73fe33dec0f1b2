#include "platform/posix/RuntimeFolder.h"

#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "fakes/TempFolder.h"
#include "platform/posix/SessionBus.h"

namespace orvelle {
namespace {

namespace fs = std::filesystem;
using State = RuntimeFolder::State;

// Giving a folder to another user needs root, as which the suite runs.
class RuntimeFolderTest : public ::testing::Test {
protected:
    // Makes `name` in the test's folder as one of the kinds the table names.
    fs::path make(const std::string& name, State kind) {
        const fs::path path = root / name;
        if (kind == State::notAFolder) {
            test::writeFile(path, "x");
        } else if (kind == State::symlink) {
            fs::create_symlink(make(name + "-target", State::usable), path);
        } else if (kind != State::missing) {
            ::mkdir(path.c_str(), 0700);
            ::chmod(path.c_str(), kind == State::openToOthers ? 0755 : 0700);
            EXPECT_EQ(kind == State::foreignOwner ? ::chown(path.c_str(), 65534, 65534) : 0, 0);
        }
        return path;
    }

    test::TempFolder temp;
    fs::path root = temp.path();
};

TEST_F(RuntimeFolderTest, OnlyAFolderOfOursWithMode0700IsUsable) {
    for (const State kind : {State::usable, State::missing, State::notAFolder, State::symlink,
                             State::openToOthers, State::foreignOwner}) {
        const std::string name = "case" + std::to_string(static_cast<int>(kind));
        EXPECT_EQ(RuntimeFolder::inspect(make(name, kind)), kind) << name;
    }
    // Creating makes a usable folder, and keeps what someone else put there first as it was.
    EXPECT_EQ(RuntimeFolder::create(root / "new"), State::usable);
    EXPECT_EQ(RuntimeFolder::create(make("taken", State::symlink)), State::symlink);
    EXPECT_EQ(RuntimeFolder::create(make("open", State::openToOthers)), State::openToOthers);
}

// Every instance walks the same list, and a later one must land in the folder the first chose.
TEST_F(RuntimeFolderTest, ChoosesTheFirstUsableCandidateTheSameWayEveryTime) {
    const std::tuple<State, State, std::string> rows[] = {
        {State::usable, State::usable, "runtime"},
        {State::missing, State::missing, "temporary"},
        {State::openToOthers, State::foreignOwner, "home/.cache/orvelle"},
        {State::symlink, State::notAFolder, "home/.cache/orvelle"}};
    for (const auto& [runtime, temporary, chosen] : rows) {
        fs::remove_all(root);
        fs::create_directory(root);
        const RuntimeFolder::Candidates candidates{
            make("runtime", runtime), make("temporary", temporary), root / "home/.cache/orvelle"};
        EXPECT_EQ(RuntimeFolder::choose(candidates).folder, root / chosen);
        EXPECT_EQ(RuntimeFolder::choose(candidates).folder, root / chosen);
        EXPECT_EQ(RuntimeFolder::inspect(root / chosen), State::usable) << chosen;
    }
    // With none usable, the error names each refused candidate and why.
    make("file", State::notAFolder);
    const auto none =
        RuntimeFolder::choose({root / "no", make("t", State::foreignOwner), root / "file/orvelle"});
    EXPECT_TRUE(none.folder.empty());
    EXPECT_NE(none.error.find((root / "t").string()), std::string::npos) << none.error;
    EXPECT_NE(none.error.find("Not a directory"), std::string::npos) << none.error;
}

// Without $HOME the cache candidate lies in the user's home as the password database names it,
// never in a folder at the root of the file system that every such user would share.
TEST(RuntimeFolderCandidates, WithoutHomeTheCacheFolderIsStillTheUsers) {
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    ::unsetenv("HOME");
    const fs::path cache = RuntimeFolder::candidatesFromEnvironment().cache;
    ::setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(cache, fs::path(::getpwuid(::geteuid())->pw_dir) / ".cache" / "orvelle");
}

// The session bus is the socket "bus" in the runtime folder, when one listens there.
TEST(SessionBusTest, UsesARunningBusAndNeverLeavesRoomToStartOne) {
    const test::TempFolder folder;
    EXPECT_EQ(SessionBus::addressFor("", folder.path()), "disabled:");
    EXPECT_EQ(SessionBus::addressFor("", ""), "disabled:");
    fs::create_directory(folder / "bus");  // a folder is no bus
    EXPECT_EQ(SessionBus::addressFor("", folder.path()), "disabled:");
    fs::remove(folder / "bus");

    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = (folder / "bus").string();
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(SessionBus::addressFor("", folder.path()), "unix:path=" + path);
    EXPECT_EQ(SessionBus::addressFor("unix:path=/run/other", folder.path()),
              "unix:path=/run/other");
    ::close(fd);
}

}  // namespace
}  // namespace orvelle
