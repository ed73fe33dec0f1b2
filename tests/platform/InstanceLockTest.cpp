#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <unistd.h>
#include <fstream>

#include <gtest/gtest.h>

namespace orvelle {
namespace {

namespace fs = std::filesystem;

class InstanceLockTest : public ::testing::Test {
protected:
    ~InstanceLockTest() override { fs::remove_all(root); }

    fs::path root = [] {
        std::string pattern = "/tmp/orvelle-lock-XXXXXX";
        return fs::path(::mkdtemp(pattern.data()));
    }();
    fs::path path = root / "orvelle.lock";
};

TEST_F(InstanceLockTest, OneHolderWhoseIdTheFileNames) {
    InstanceLock first(path);
    ASSERT_EQ(first.tryLock(), InstanceLock::Outcome::held);
    EXPECT_EQ(InstanceLock::holder(path), ::getpid());
    InstanceLock second(path);
    EXPECT_EQ(second.tryLock(), InstanceLock::Outcome::busy);
    EXPECT_EQ(InstanceLock::holder(root / "none"), 0);
}

TEST_F(InstanceLockTest, ALockThatCannotBeMadeSaysWhy) {
    fs::create_directory(path);
    InstanceLock folder(path);
    EXPECT_EQ(folder.tryLock(), InstanceLock::Outcome::failed);
    EXPECT_NE(folder.error().find("Is a directory"), std::string::npos) << folder.error();
    std::ofstream(root / "target") << "";
    fs::create_symlink(root / "target", root / "link");
    InstanceLock link(root / "link");
    EXPECT_EQ(link.tryLock(), InstanceLock::Outcome::failed);
    EXPECT_NE(link.error().find("symbolic links"), std::string::npos) << link.error();
}

TEST_F(InstanceLockTest, PathMustStillNameTheLockedFile) {
    std::ofstream(path) << "";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct Row {
        const char* change;
        void (*apply)(const fs::path&);
        bool names;
    };
    for (const Row& row : {
             Row{"untouched", [](const fs::path&) {}, true},
             Row{"linked to itself",
                 [](const fs::path& p) {
                     fs::rename(p, p.string() + ".real");
                     fs::create_symlink(p.string() + ".real", p);
                 },
                 false},
             Row{"replaced",
                 [](const fs::path& p) {
                     fs::remove(p);
                     std::ofstream(p) << "";
                 },
                 false},
             Row{"removed", [](const fs::path& p) { fs::remove(p); }, false},
         }) {
        row.apply(path);
        EXPECT_EQ(InstanceLock::pathNamesFile(path, fd), row.names) << row.change;
    }
    ::close(fd);
}

}  // namespace
}  // namespace orvelle
