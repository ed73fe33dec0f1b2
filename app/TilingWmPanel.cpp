#include "app/TilingWmPanel.h"

#include <QWindow>
#include <nlohmann/json.hpp>

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
      windowId_(static_cast<std::uint64_t>(window.winId())),
      ipc_(socketPath, [this](const tilingwm::Message& message) { onMessage(message); }) {
    // Subscribing first means no event about the panel can fall between the tree and the events.
    ipc_.send(tilingwm::Request::subscribe, R"(["window"])");
    ipc_.send(tilingwm::Request::getTree);
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

void TilingWmPanel::onMessage(const tilingwm::Message& message) {
    // Text that is not JSON reads as nothing, which no lookup below finds anything in.
    const auto payload = nlohmann::json::parse(message.payload, nullptr, false);
    if (message.type == tilingwm::kWindowEvent) {
        if (const auto event = tilingwm::readWindowEvent(payload)) {
            onWindowEvent(*event);
        }
    } else if (message.type == static_cast<uint32_t>(tilingwm::Request::getTree)) {
        if (const auto focused = tilingwm::findContainer(payload, 0)) {
            previousFocus_ = focused;
        }
        if (const auto panel = tilingwm::findContainer(payload, windowId_)) {
            adopt(*panel);
        }
    }
}

void TilingWmPanel::onWindowEvent(const tilingwm::WindowEvent& event) {
    const bool panel = event.window == windowId_;
    if (panel && containerId_ != event.id) {
        adopt(event.id);
    }
    if (event.change == "focus") {
        if (!panel) {
            previousFocus_ = event.id;
        } else if (previousFocus_ && previousFocus_ != event.id) {
            command(QStringLiteral("[con_id=%1] focus").arg(*previousFocus_));
        }
    } else if (event.change == "close" && previousFocus_ == event.id) {
        previousFocus_.reset();
    }
}

void TilingWmPanel::adopt(std::uint64_t containerId) {
    containerId_ = containerId;
    command(
        QStringLiteral("[con_id=%1] floating enable, sticky enable, border none").arg(containerId));
    if (wanted_) {
        placeAt(*wanted_);
    }
}

void TilingWmPanel::command(const QString& text) {
    ipc_.send(tilingwm::Request::runCommand, text.toStdString());
}

}  // namespace orvelle
