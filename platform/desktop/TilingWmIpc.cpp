#include "platform/desktop/TilingWmIpc.h"

#include <string>
#include <vector>

namespace orvelle {

QString TilingWmIpc::socketPath(const QString& rootProperty) {
    for (const char* name : {"SWAYSOCK", "I3SOCK"}) {
        if (const QString path = qEnvironmentVariable(name); !path.isEmpty()) {
            return path;
        }
    }
    return rootProperty;
}

TilingWmIpc::TilingWmIpc(const QString& path,
                         std::function<void(const tilingwm::Message&)> onMessage)
    : onMessage_(std::move(onMessage)) {
    socket_ = StreamSocket::connectTo(path.toStdString());
    if (socket_) {
        socket_->onEvents([this](const QByteArray& bytes) { readMessages(bytes); }, [] {});
    }
}

void TilingWmIpc::send(tilingwm::Request request, std::string_view payload) {
    if (isConnected()) {
        const std::string bytes = tilingwm::encode(static_cast<uint32_t>(request), payload);
        socket_->write(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
}

void TilingWmIpc::readMessages(const QByteArray& bytes) {
    std::vector<tilingwm::Message> messages;
    const bool inStep = reader_.feed(
        std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), messages);
    for (const tilingwm::Message& message : messages) {
        onMessage_(message);
    }
    if (!inStep) {
        socket_->close();
    }
}

}  // namespace orvelle
