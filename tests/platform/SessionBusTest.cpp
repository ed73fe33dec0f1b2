#include "platform/posix/SessionBus.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "fakes/TempFolder.h"

namespace orvelle {
namespace {

TEST(SessionBusTest, UsesARunningBusAndNeverLeavesRoomToStartOne) {
    const test::TempFolder folder;
    EXPECT_EQ(SessionBus::addressFor("", folder.path()), "disabled:");
    EXPECT_EQ(SessionBus::addressFor("", ""), "disabled:");
    std::filesystem::create_directory(folder / "bus");  // a folder is no bus
    EXPECT_EQ(SessionBus::addressFor("", folder.path()), "disabled:");
    std::filesystem::remove(folder / "bus");

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
