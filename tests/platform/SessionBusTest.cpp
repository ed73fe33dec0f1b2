#include "platform/posix/SessionBus.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

namespace orvelle {
namespace {

TEST(SessionBusTest, UsesARunningBusAndNeverLeavesRoomToStartOne) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("orvelle-bus-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    EXPECT_EQ(SessionBus::addressFor("", folder), "disabled:");
    EXPECT_EQ(SessionBus::addressFor("", ""), "disabled:");

    std::filesystem::create_directory(folder / "bus");  // a folder is no bus
    EXPECT_EQ(SessionBus::addressFor("", folder), "disabled:");
    std::filesystem::remove(folder / "bus");

    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = (folder / "bus").string();
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(SessionBus::addressFor("", folder), "unix:path=" + path);
    EXPECT_EQ(SessionBus::addressFor("unix:path=/run/other", folder), "unix:path=/run/other");
    ::close(fd);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace orvelle
