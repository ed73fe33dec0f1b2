#include "platform/desktop/TilingWmIpc.h"

#include <cstring>

#include <QJsonArray>

namespace orvelle {

namespace {

constexpr char kMagic[] = "i3-ipc";
constexpr qsizetype kMagicSize = sizeof kMagic - 1;
constexpr qsizetype kHeaderSize = kMagicSize + 8;
// No message of i3 or sway comes near this; a larger length means the stream is not theirs.
constexpr uint32_t kLargestPayload = 64 * 1024 * 1024;

}  // namespace

QString TilingWmIpc::socketPath(const QString& rootProperty) {
    for (const char* name : {"SWAYSOCK", "I3SOCK"}) {
        if (const QString path = qEnvironmentVariable(name); !path.isEmpty()) {
            return path;
        }
    }
    return rootProperty;
}

QByteArray TilingWmIpc::encode(uint32_t type, const QByteArray& payload) {
    const auto length = static_cast<uint32_t>(payload.size());
    QByteArray bytes(kMagic, kMagicSize);
    bytes.append(reinterpret_cast<const char*>(&length), sizeof length);
    bytes.append(reinterpret_cast<const char*>(&type), sizeof type);
    return bytes + payload;
}

std::optional<TilingWmIpc::Message> TilingWmIpc::takeMessage(QByteArray& buffer) {
    if (buffer.size() < kHeaderSize) {
        return std::nullopt;
    }
    uint32_t length = 0;
    Message message;
    std::memcpy(&length, buffer.constData() + kMagicSize, sizeof length);
    std::memcpy(&message.type, buffer.constData() + kMagicSize + 4, sizeof message.type);
    if (!buffer.startsWith(QByteArray(kMagic, kMagicSize)) || length > kLargestPayload) {
        buffer.clear();
        return std::nullopt;
    }
    if (buffer.size() < kHeaderSize + qsizetype{length}) {
        return std::nullopt;
    }
    message.payload = buffer.mid(kHeaderSize, length);
    buffer.remove(0, kHeaderSize + length);
    return message;
}

QJsonObject TilingWmIpc::findNode(const QJsonObject& tree, uint64_t windowId) {
    const bool matches = windowId == 0
                             ? tree.value("focused").toBool()
                             : tree.value("window").toInteger() == static_cast<qint64>(windowId);
    if (matches) {
        return tree;
    }
    for (const char* children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue& child : tree.value(children).toArray()) {
            if (QJsonObject found = findNode(child.toObject(), windowId); !found.isEmpty()) {
                return found;
            }
        }
    }
    return {};
}

TilingWmIpc::TilingWmIpc(const QString& path, std::function<void(const Message&)> onMessage)
    : onMessage_(std::move(onMessage)) {
    socket_ = StreamSocket::connectTo(path.toStdString());
    if (socket_) {
        socket_->onEvents([this](const QByteArray& bytes) { readMessages(bytes); }, [] {});
    }
}

void TilingWmIpc::send(Request request, const QByteArray& payload) {
    if (isConnected()) {
        socket_->write(encode(static_cast<uint32_t>(request), payload));
    }
}

void TilingWmIpc::readMessages(const QByteArray& bytes) {
    buffer_.append(bytes);
    while (const std::optional<Message> message = takeMessage(buffer_)) {
        onMessage_(*message);
    }
}

}  // namespace orvelle
