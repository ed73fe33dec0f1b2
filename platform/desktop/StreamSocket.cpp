#include "platform/desktop/StreamSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QSocketNotifier>

#include "platform/posix/UnixSocket.h"

namespace orvelle {

std::unique_ptr<StreamSocket> StreamSocket::connectTo(const std::string& path) {
    sockaddr_un address{};
    if (path.empty() || !unixSocketAddress(path, address)) {
        return nullptr;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return nullptr;
    }
    // Non-blocking, a local connect completes at once or fails at once; blocking, it would wait
    // as long as a stopped listener leaves its backlog full (EAGAIN here).
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<StreamSocket>(fd);
}

StreamSocket::StreamSocket(int fd) : fd_(fd) {
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    readable_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    writable_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Write);
    writable_->setEnabled(false);
    QObject::connect(readable_.get(), &QSocketNotifier::activated, readable_.get(),
                     [this] { readAvailable(); });
    QObject::connect(writable_.get(), &QSocketNotifier::activated, writable_.get(),
                     [this] { flush(); });
}

StreamSocket::~StreamSocket() {
    close();
}

void StreamSocket::onEvents(std::function<void(const QByteArray&)> received,
                            std::function<void()> closed) {
    received_ = std::move(received);
    closed_ = std::move(closed);
}

void StreamSocket::write(const QByteArray& bytes) {
    unsent_.append(bytes);
    flush();
}

bool StreamSocket::peerHungUp() const {
    pollfd state{fd_, POLLRDHUP, 0};
    return fd_ < 0 || (::poll(&state, 1, 0) > 0 && (state.revents & (POLLRDHUP | POLLHUP)) != 0);
}

void StreamSocket::close() {
    if (fd_ < 0) {
        return;
    }
    readable_->setEnabled(false);
    writable_->setEnabled(false);
    ::close(fd_);
    fd_ = -1;
}

void StreamSocket::flush() {
    while (fd_ >= 0 && !unsent_.isEmpty()) {
        const ssize_t sent = ::send(fd_, unsent_.constData(), static_cast<size_t>(unsent_.size()),
                                    MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            unsent_.remove(0, sent);
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            writable_->setEnabled(true);  // the rest goes when the socket takes it
            return;
        } else if (sent < 0 && errno != EINTR) {
            unsent_.clear();  // a broken connection; its reader hears of it
        }
    }
    if (fd_ >= 0) {
        writable_->setEnabled(false);
    }
}

// Reads what has arrived, at most a bounded amount a turn so that a peer that keeps sending
// cannot hold the event loop (the notifier fires again for the rest), and hands it on before
// telling of a hang-up, as the callbacks may destroy the socket.
void StreamSocket::readAvailable() {
    constexpr qsizetype kLargestTurn = 64 * 1024;
    QByteArray arrived;
    bool hungUp = false;
    char buffer[4096];
    while (arrived.size() < kLargestTurn) {
        const ssize_t length = ::read(fd_, buffer, sizeof buffer);
        if (length > 0) {
            arrived.append(buffer, length);
        } else if (length < 0 && errno == EINTR) {
            continue;
        } else {
            hungUp = length == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            break;
        }
    }
    const std::weak_ptr<bool> alive = alive_;
    if (!arrived.isEmpty() && received_) {
        received_(arrived);
    }
    if (hungUp && !alive.expired() && fd_ >= 0) {
        close();
        if (closed_) {
            closed_();
        }
    }
}

}  // namespace orvelle
