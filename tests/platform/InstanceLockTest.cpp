#include "platform/posix/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "fakes/TempFolder.h"

namespace orvelle {
namespace {

namespace fs = std::filesystem;

// Runs once, at the next flock() of this process, before the lock is taken.
std::function<void()> beforeNextFlock;

class InstanceLockTest : public ::testing::Test {
protected:
    test::TempFolder root;
    fs::path path = root / "orvelle.lock";
};

TEST_F(InstanceLockTest, OneHolderWhoseIdAndNoteTheFileNames) {
    InstanceLock first(path);
    ASSERT_EQ(first.tryLock(), InstanceLock::Outcome::held);
    EXPECT_EQ(InstanceLock::holder(path).pid, ::getpid());
    ASSERT_TRUE(first.record("/run/user/1000/orvelle-1.socket"));
    EXPECT_EQ(InstanceLock::holder(path).note, "/run/user/1000/orvelle-1.socket");
    EXPECT_EQ(InstanceLock(path).tryLock(), InstanceLock::Outcome::busy);
    EXPECT_EQ(InstanceLock::holder(root / "none").pid, 0);
}

// A link planted in the lock's place is neither followed nor written through.
TEST_F(InstanceLockTest, ALinkInPlaceOfTheLockFailsAndSaysWhy) {
    test::writeFile(root / "target", "");
    fs::create_symlink(root / "target", path);
    InstanceLock link(path);
    EXPECT_EQ(link.tryLock(), InstanceLock::Outcome::failed);
    EXPECT_NE(link.error().find("symbolic links"), std::string::npos) << link.error();
    EXPECT_EQ(test::readFile(root / "target"), "");
}

// A lock on a file that was since removed or replaced keeps no one else out.
TEST_F(InstanceLockTest, PathMustStillNameTheLockedFile) {
    test::writeFile(path, "");
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_TRUE(InstanceLock::pathNamesFile(path, fd));
    fs::rename(path, root / "real");
    fs::create_symlink(root / "real", path);
    EXPECT_FALSE(InstanceLock::pathNamesFile(path, fd)) << "a link to the locked file";
    fs::remove(path);
    test::writeFile(path, "");
    EXPECT_FALSE(InstanceLock::pathNamesFile(path, fd)) << "replaced";
    fs::remove(path);
    EXPECT_FALSE(InstanceLock::pathNamesFile(path, fd)) << "removed";
    ::close(fd);
}

// Another instance removes the file and takes the lock on the one it makes, between this one's
// open and its lock: this one must not count the lock it then gets on the removed file.
TEST_F(InstanceLockTest, ALockTakenOnAFileReplacedMeanwhileCountsForNothing) {
    std::unique_ptr<InstanceLock> other;
    beforeNextFlock = [this, &other] {
        fs::remove(path);
        other = std::make_unique<InstanceLock>(path);
        ASSERT_EQ(other->tryLock(), InstanceLock::Outcome::held);
    };
    EXPECT_EQ(InstanceLock(path).tryLock(), InstanceLock::Outcome::busy);
}

}  // namespace
}  // namespace orvelle

// Stands in for the C library's flock() in this test program, to run beforeNextFlock.
extern "C" int flock(int fd, int operation) noexcept {
    if (const auto run = std::exchange(orvelle::beforeNextFlock, nullptr)) {
        run();
    }
    return static_cast<int>(::syscall(SYS_flock, fd, operation));
}
