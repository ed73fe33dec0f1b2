#include "platform/desktop/SingleInstance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <future>

#include <gtest/gtest.h>
#include <QCoreApplication>

#include "fakes/TempFolder.h"

namespace orvelle {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Returns a socket connected to `path`, or -1.
int connectTo(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.string().copy(address.sun_path, sizeof address.sun_path - 1);
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    return connected ? fd : (::close(fd), -1);
}

// Sends `bytes` to the socket as a raw peer, while this thread runs the event loop as the running
// instance does, and returns what came back before the socket closed. Everything is sent before
// the instance first looks, so what it sees does not depend on timing. A peer that gives up hangs
// up its sending side at once.
std::string askAsPeer(const fs::path& socket, const std::string& bytes, bool givesUp = false) {
    const int fd = connectTo(socket);
    ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (givesUp) {
        ::shutdown(fd, SHUT_WR);
    }
    std::string received;
    char buffer[256];
    for (ssize_t length = 1; length > 0 || (length < 0 && errno == EAGAIN);) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        length = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        received.append(buffer, static_cast<size_t>(std::max<ssize_t>(length, 0)));
    }
    ::close(fd);
    return received;
}

class SingleInstanceTest : public ::testing::Test {
protected:
    SingleInstanceTest() { fs::create_directory(folder / "runtime", folder.path()); }

    test::TempFolder folder;
    fs::path settings = folder / "config/orvelle/preferences.json";
    int carriedOut = 0;
    SingleInstance::Handler handler = [this](const InstanceProtocol::Request&) {
        ++carriedOut;
        return std::optional<std::string>();
    };
};

// One request per connection, whatever a peer sends after it; a peer that sends too much, or
// that gave up before the request was looked at, has nothing carried out.
TEST_F(SingleInstanceTest, CarriesOutOneRequestPerConnectionForACallerStillWaiting) {
    SingleInstance first(settings, folder / "runtime");
    ASSERT_EQ(first.claim(handler), SingleInstance::Role::primary);
    std::string flood = "orvelle/1 activate\r\nhello\n";
    for (int i = 0; i < 3000; ++i) {
        flood += "orvelle/1 activate\n";
    }
    EXPECT_EQ(askAsPeer(first.socketPath(), flood), "orvelle/1 ok\n");
    EXPECT_EQ(askAsPeer(first.socketPath(), std::string(70000, 'x')), "");
    EXPECT_EQ(askAsPeer(first.socketPath(), "orvelle/1 activate\n", true), "");
    EXPECT_EQ(carriedOut, 1);
}

// The folder's mode keeps other users away; were it open, the instance still serves none of them.
// The suite runs as root, which may speak as another user.
TEST_F(SingleInstanceTest, ServesNoOtherUser) {
    ASSERT_EQ(::geteuid(), 0U) << "needs root to speak as another user";
    fs::permissions(folder.path(), fs::perms::all);
    fs::permissions(folder / "runtime", fs::perms::all);
    SingleInstance first(settings, folder / "runtime");
    ASSERT_EQ(first.claim(handler), SingleInstance::Role::primary);
    fs::permissions(first.socketPath(), fs::perms::all);
    const pid_t child = ::fork();
    if (child == 0) {  // no event loop here: it would serve the copy of the listener it shares
        // The exit status names the step that went wrong; 4 is an answer, which must not come.
        // The instance may hang up before the request is even sent: that refuses it too.
        const int fd = ::setuid(65534) == 0 ? connectTo(first.socketPath()) : -1;
        if (fd < 0 || ::send(fd, "orvelle/1 activate\n", 19, MSG_NOSIGNAL) != 19) {
            ::_exit(fd < 0 ? 1 : 0);
        }
        pollfd wait{fd, POLLIN, 0};
        char answer = 0;
        ::_exit(::poll(&wait, 1, 20000) != 1 ? 3 : ::read(fd, &answer, 1) > 0 ? 4 : 0);
    }
    int status = -1;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(status, 0) << "1: could not connect as another user, 3: no hang-up, 4: answered";
    EXPECT_EQ(carriedOut, 0);
}

// Whatever runtime folder a process's environment names, the settings file it would write leads
// it to the instance that writes it; another settings file has an instance of its own.
TEST_F(SingleInstanceTest, OneInstancePerSettingsFileWhateverTheRuntimeFolder) {
    SingleInstance first(settings, folder / "runtime");
    ASSERT_EQ(first.claim(handler), SingleInstance::Role::primary);
    // Delivered from another thread while this one serves the running instance's requests.
    fs::create_directory(folder / "other-runtime", folder.path());
    SingleInstance elsewhere(settings, folder / "other-runtime");
    auto role = std::async(std::launch::async, [&elsewhere] {
        return elsewhere.deliver({InstanceProtocol::Verb::activate, {}});
    });
    while (role.wait_for(0s) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(role.get(), SingleInstance::Role::secondary);
    EXPECT_EQ(carriedOut, 1);

    SingleInstance otherFile(folder / "other-config/preferences.json", folder / "runtime");
    EXPECT_EQ(otherFile.claim(handler), SingleInstance::Role::primary);
    EXPECT_NE(otherFile.socketPath(), first.socketPath());
}

}  // namespace
}  // namespace orvelle
