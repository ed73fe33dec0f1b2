#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include <QPoint>

#include "platform/desktop/TilingWmIpc.h"

class QWindow;

namespace orvelle {

// Keeps the panel in place under i3 and sway, which ignore the panel's own requests to stay above
// others on every workspace (sway even its position) but obey commands on their IPC socket: once
// the window manager has taken the panel in, it floats it, makes it sticky, drops its border and
// moves it where the panel is meant to be. When the panel gets the focus anyway (sway on map, i3
// on a click), the focus goes back to the window that had it.
class TilingWmPanel final : public QObject {
public:
    // Returns a bridge for the panel's `window` (created, not yet shown) when a tiling window
    // manager's socket answers; else nothing.
    static std::unique_ptr<TilingWmPanel> connectIfAvailable(QWindow& window);

    TilingWmPanel(QWindow& window, const QString& socketPath);

    // Moves the panel's top left corner to `topLeft` (global logical pixels) through the window
    // manager, now or as soon as it has taken the panel in.
    void placeAt(QPoint topLeft);

private:
    void onMessage(const tilingwm::Message& message);
    void onWindowEvent(const tilingwm::WindowEvent& event);
    void adopt(std::uint64_t containerId);
    void command(const QString& text);

    QWindow& window_;
    std::uint64_t windowId_;
    TilingWmIpc ipc_;
    std::optional<std::uint64_t> containerId_;
    std::optional<std::uint64_t> previousFocus_;
    std::optional<QPoint> wanted_;
};

}  // namespace orvelle
