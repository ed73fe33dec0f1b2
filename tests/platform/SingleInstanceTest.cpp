#include "platform/SingleInstance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <future>

#include <gtest/gtest.h>
#include <QCoreApplication>

#include "fakes/TempFolder.h"

namespace orvelle {
namespace {

using namespace std::chrono_literals;

// Sends `bytes` to the socket as a raw peer on another thread, while this one runs the event loop
// as the running instance does, and returns what came back before the socket closed.
std::string askAsPeer(const std::string& socket, const std::string& bytes) {
    auto answer = std::async(std::launch::async, [socket, bytes] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socket.copy(address.sun_path, socket.size());
        std::string received;
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            char buffer[256];
            for (ssize_t length; (length = ::read(fd, buffer, sizeof buffer)) > 0;) {
                received.append(buffer, static_cast<size_t>(length));
            }
        }
        ::close(fd);
        return received;
    });
    while (answer.wait_for(0s) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return answer.get();
}

// Finding the running instance, through its socket even without its lock file, is covered end to
// end; what no second instance sends is covered here.
TEST(SingleInstanceTest, AnswersEveryLineAndDropsAPeerThatSendsTooMuch) {
    const test::TempFolder folder;
    int activations = 0;
    SingleInstance first(folder.path());
    const auto handler = [&activations](const InstanceProtocol::Request&) {
        ++activations;
        return std::optional<std::string>();
    };
    ASSERT_EQ(first.claim(handler), SingleInstance::Role::primary);
    const std::string socket = folder / "orvelle.socket";
    EXPECT_EQ(askAsPeer(socket, "orvelle/1 activate\r\nhello\norvelle/1 act"),
              "orvelle/1 ok\norvelle/1 error malformed\n");
    EXPECT_EQ(askAsPeer(socket, std::string(70000, 'x')), "");
    EXPECT_EQ(activations, 1);
}

}  // namespace
}  // namespace orvelle
