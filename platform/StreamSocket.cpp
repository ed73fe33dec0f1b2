#include "platform/StreamSocket.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QSocketNotifier>

namespace orvelle {

std::unique_ptr<StreamSocket> StreamSocket::connectTo(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        return nullptr;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return nullptr;
    }
    // A local connect completes at once or fails at once.
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

// Reads what has arrived, then tells; the callbacks come last, as they may destroy the socket.
void StreamSocket::readAvailable() {
    QByteArray arrived;
    bool hungUp = false;
    char buffer[4096];
    while (true) {
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
    if (hungUp) {
        close();
    }
    const auto closed = hungUp ? closed_ : nullptr;
    if (!arrived.isEmpty() && received_) {
        received_(arrived);
    }
    if (closed) {
        closed();
    }
}

}  // namespace orvelle
