#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QByteArray>

class QSocketNotifier;

namespace orvelle {

// A connected Unix stream socket on the Qt event loop, on plain descriptors: Qt's own local
// sockets live in Qt Network, whose loading alone (with the Kerberos and proxy libraries it
// needs) costs the process over a megabyte of private memory for two small sockets.
class StreamSocket {
public:
    // Connects to the socket at `path`; returns nothing when nobody listens there.
    static std::unique_ptr<StreamSocket> connectTo(const std::string& path);

    // Takes over `fd`, a connected stream socket, and makes it non-blocking.
    explicit StreamSocket(int fd);
    ~StreamSocket();
    StreamSocket(const StreamSocket&) = delete;
    StreamSocket& operator=(const StreamSocket&) = delete;

    // Calls `received` with each piece of data that arrives, and `closed` once when the peer
    // hangs up or the connection fails, after the last data; either may destroy this socket.
    void onEvents(std::function<void(const QByteArray&)> received, std::function<void()> closed);

    // Sends `bytes`, now or, what the socket does not take at once, as soon as it can.
    void write(const QByteArray& bytes);

    // Returns whether the peer has shut down its sending side (or the whole connection).
    bool peerHungUp() const;

    // Returns whether the connection stands.
    bool isOpen() const { return fd_ >= 0; }

    // Closes the connection; nothing more is sent or received.
    void close();

private:
    void readAvailable();
    void flush();

    int fd_;
    QByteArray unsent_;
    std::unique_ptr<QSocketNotifier> readable_;
    std::unique_ptr<QSocketNotifier> writable_;
    std::function<void(const QByteArray&)> received_;
    std::function<void()> closed_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // gone with the socket
};

}  // namespace orvelle
