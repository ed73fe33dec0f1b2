#include "app/TilingWmPanel.h"

#include <QJsonDocument>
#include <QWindow>

#include "platform/desktop/X11Desktop.h"

namespace orvelle {

std::unique_ptr<TilingWmPanel> TilingWmPanel::connectIfAvailable(QWindow& window) {
    const QString path =
        TilingWmIpc::socketPath(QString::fromStdString(X11Desktop::rootText("I3_SOCKET_PATH")));
    if (path.isEmpty() || !X11Desktop::isActive()) {
        return nullptr;
    }
    auto bridge = std::make_unique<TilingWmPanel>(window, path);
    return bridge->ipc_.isConnected() ? std::move(bridge) : nullptr;
}

TilingWmPanel::TilingWmPanel(QWindow& window, const QString& socketPath)
    : window_(window),
      windowId_(static_cast<qint64>(window.winId())),
      ipc_(socketPath, [this](const TilingWmIpc::Message& message) { onMessage(message); }) {
    // Subscribing first means no event about the panel can fall between the tree and the events.
    ipc_.send(TilingWmIpc::Request::subscribe, R"(["window"])");
    ipc_.send(TilingWmIpc::Request::getTree);
}

void TilingWmPanel::placeAt(QPoint topLeft) {
    wanted_ = topLeft;
    if (containerId_) {
        // The window manager speaks of the X server's pixels.
        const qreal ratio = window_.devicePixelRatio();
        command(QStringLiteral("[con_id=%1] move absolute position %2 %3")
                    .arg(*containerId_)
                    .arg(qRound(topLeft.x() * ratio))
                    .arg(qRound(topLeft.y() * ratio)));
    }
}

void TilingWmPanel::onMessage(const TilingWmIpc::Message& message) {
    const QJsonObject payload = QJsonDocument::fromJson(message.payload).object();
    if (message.type == TilingWmIpc::kWindowEvent) {
        onWindowEvent(payload);
    } else if (message.type == static_cast<uint32_t>(TilingWmIpc::Request::getTree)) {
        if (const QJsonObject focused = TilingWmIpc::findNode(payload, 0); !focused.isEmpty()) {
            previousFocus_ = focused.value("id").toInteger();
        }
        if (const QJsonObject panel = TilingWmIpc::findNode(payload, windowId_); !panel.isEmpty()) {
            adopt(panel.value("id").toInteger());
        }
    }
}

void TilingWmPanel::onWindowEvent(const QJsonObject& event) {
    const QJsonObject container = event.value("container").toObject();
    const qint64 id = container.value("id").toInteger();
    const bool panel = container.value("window").toInteger() == windowId_;
    if (panel && containerId_ != id) {
        adopt(id);
    }
    const QString change = event.value("change").toString();
    if (change == "focus") {
        if (!panel) {
            previousFocus_ = id;
        } else if (previousFocus_ && previousFocus_ != id) {
            command(QStringLiteral("[con_id=%1] focus").arg(*previousFocus_));
        }
    } else if (change == "close" && previousFocus_ == id) {
        previousFocus_.reset();
    }
}

void TilingWmPanel::adopt(qint64 containerId) {
    containerId_ = containerId;
    command(
        QStringLiteral("[con_id=%1] floating enable, sticky enable, border none").arg(containerId));
    if (wanted_) {
        placeAt(*wanted_);
    }
}

void TilingWmPanel::command(const QString& text) {
    ipc_.send(TilingWmIpc::Request::runCommand, text.toUtf8());
}

}  // namespace orvelle
