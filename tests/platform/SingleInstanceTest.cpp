#include "platform/SingleInstance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <future>

#include <gtest/gtest.h>
#include <QCoreApplication>

namespace orvelle {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class SingleInstanceTest : public ::testing::Test {
protected:
    ~SingleInstanceTest() override { fs::remove_all(folder); }

    // Runs `work` on another thread while this one runs the event loop, as a second process would.
    template <typename Work>
    auto whileServing(Work work) {
        auto result = std::async(std::launch::async, work);
        while (result.wait_for(0s) != std::future_status::ready) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return result.get();
    }

    // Sends `bytes` on the socket as a raw peer and returns what came back before it closed.
    std::string exchange(const std::string& bytes) {
        return whileServing([this, bytes] {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            const std::string path = (folder / "orvelle.socket").string();
            path.copy(address.sun_path, path.size());
            std::string answer;
            if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
                ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
                char buffer[256];
                ssize_t length;
                while ((length = ::read(fd, buffer, sizeof buffer)) > 0) {
                    answer.append(buffer, static_cast<size_t>(length));
                }
            }
            ::close(fd);
            return answer;
        });
    }

    fs::path folder = [] {
        std::string pattern = "/tmp/orvelle-instance-XXXXXX";
        return fs::path(::mkdtemp(pattern.data()));
    }();
    int activations = 0;
};

TEST_F(SingleInstanceTest, LaterInstancesActivateTheFirstEvenWithoutItsLockFile) {
    SingleInstance first(folder);
    ASSERT_EQ(first.claim([this] { ++activations; }), SingleInstance::Role::primary);
    const auto second = [this] { return SingleInstance(folder).claim([] {}); };
    EXPECT_EQ(whileServing(second), SingleInstance::Role::secondary);
    fs::remove(folder / "orvelle.lock");
    EXPECT_EQ(whileServing(second), SingleInstance::Role::secondary);
    EXPECT_EQ(activations, 2);
}

TEST_F(SingleInstanceTest, AnswersEveryLineAndDropsAPeerThatSendsTooMuch) {
    SingleInstance first(folder);
    ASSERT_EQ(first.claim([this] { ++activations; }), SingleInstance::Role::primary);
    EXPECT_EQ(exchange("orvelle/1 activate\r\nhello\norvelle/1 act"),
              "orvelle/1 ok\norvelle/1 error malformed\n");
    EXPECT_EQ(exchange(std::string(70000, 'x')), "");
    EXPECT_EQ(activations, 1);
}

}  // namespace
}  // namespace orvelle
