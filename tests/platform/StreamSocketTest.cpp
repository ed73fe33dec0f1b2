#include "platform/desktop/StreamSocket.h"

#include <sys/socket.h>
#include <unistd.h>
#include <future>

#include <gtest/gtest.h>
#include <QCoreApplication>

namespace orvelle {
namespace {

// More than a socket's buffer takes at once arrives whole and in order, what the peer sends comes
// in, and its hang-up is told once. A socket connects only where somebody listens.
TEST(StreamSocket, SendsMoreThanTheBufferTakesAndHearsThePeer) {
    int ends[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
    StreamSocket socket(ends[0]);
    QByteArray received;
    int closings = 0;
    socket.onEvents([&](const QByteArray& bytes) { received += bytes; }, [&] { ++closings; });

    QByteArray sent(4 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < sent.size(); ++i) {
        sent[i] = static_cast<char>(i * 7 % 251);
    }
    // The peer reads everything on another thread, then answers and hangs up; a read that waits
    // ten seconds ends the test instead of hanging it.
    const timeval patience{10, 0};
    ::setsockopt(ends[1], SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    auto peer = std::async(std::launch::async, [fd = ends[1], size = sent.size()] {
        QByteArray got;
        char buffer[65536];
        for (ssize_t length;
             got.size() < size && (length = ::read(fd, buffer, sizeof buffer)) > 0;) {
            got.append(buffer, length);
        }
        ::send(fd, "answer", 6, MSG_NOSIGNAL);
        ::close(fd);
        return got;
    });
    socket.write(sent);
    while (closings == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_TRUE(peer.get() == sent);
    EXPECT_EQ(received, "answer");
    EXPECT_EQ(closings, 1);
    EXPECT_FALSE(socket.isOpen());
    EXPECT_EQ(StreamSocket::connectTo("/nonexistent/socket"), nullptr);  // where nobody listens
}

}  // namespace
}  // namespace orvelle
