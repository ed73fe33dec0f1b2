#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include <QObject>
#include <QString>

#include "platform/desktop/StreamSocket.h"
#include "platform/posix/TilingWmMessages.h"

namespace orvelle {

// A client of the IPC socket that i3 and sway offer (the messages are in TilingWmMessages.h), on
// the Qt event loop.
class TilingWmIpc final : public QObject {
public:
    // Returns the socket to use: $SWAYSOCK, else $I3SOCK, else `rootProperty` (i3's
    // I3_SOCKET_PATH on the root window, for programs i3 did not start); empty when none is set.
    static QString socketPath(const QString& rootProperty);

    // Connects to the socket at `path`; messages arrive at `onMessage`. A stream that goes out of
    // step closes the connection.
    TilingWmIpc(const QString& path, std::function<void(const tilingwm::Message&)> onMessage);

    // Returns whether the connection stands.
    bool isConnected() const { return socket_ && socket_->isOpen(); }

    // Sends a request.
    void send(tilingwm::Request request, std::string_view payload = {});

private:
    void readMessages(const QByteArray& bytes);

    std::unique_ptr<StreamSocket> socket_;
    tilingwm::MessageReader reader_;
    std::function<void(const tilingwm::Message&)> onMessage_;
};

}  // namespace orvelle
