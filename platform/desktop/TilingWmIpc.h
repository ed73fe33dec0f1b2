#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include <QByteArray>
#include <QJsonObject>
#include <QObject>

#include "platform/desktop/StreamSocket.h"

namespace orvelle {

// A client of the IPC socket that i3 and sway offer: each message is "i3-ipc", its payload's
// length and its type as 32-bit numbers in the machine's byte order, then a JSON payload. Replies
// come in the order of the requests; events, once subscribed to, carry the high bit in their type.
class TilingWmIpc final : public QObject {
public:
    enum class Request : uint32_t { runCommand = 0, subscribe = 2, getTree = 4 };
    static constexpr uint32_t kWindowEvent = 0x80000003;

    struct Message {
        uint32_t type = 0;
        QByteArray payload;
    };

    // Returns the socket to use: $SWAYSOCK, else $I3SOCK, else `rootProperty` (i3's
    // I3_SOCKET_PATH on the root window, for programs i3 did not start); empty when none is set.
    static QString socketPath(const QString& rootProperty);

    // Returns the bytes of one message.
    static QByteArray encode(uint32_t type, const QByteArray& payload);

    // Takes one whole message off the front of `buffer`, if it holds one. A buffer that does not
    // start with the magic string is cleared: the stream can no longer be followed.
    static std::optional<Message> takeMessage(QByteArray& buffer);

    // Returns the node of `tree` (a get_tree reply) that shows the X11 window `windowId`, or the
    // node that has the focus when `windowId` is 0; an empty object when there is none.
    static QJsonObject findNode(const QJsonObject& tree, uint64_t windowId);

    // Connects to the socket at `path`; messages arrive at `onMessage`.
    TilingWmIpc(const QString& path, std::function<void(const Message&)> onMessage);

    // Returns whether the connection stands.
    bool isConnected() const { return socket_ && socket_->isOpen(); }

    // Sends a request.
    void send(Request request, const QByteArray& payload = {});

private:
    void readMessages(const QByteArray& bytes);

    std::unique_ptr<StreamSocket> socket_;
    QByteArray buffer_;
    std::function<void(const Message&)> onMessage_;
};

}  // namespace orvelle
