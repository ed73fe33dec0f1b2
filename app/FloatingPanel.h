#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QPoint>
#include <QTimer>
#include <QWidget>

namespace orvelle {

class CompositorWatch;
class FloatingAmountView;
class TilingWmPanel;

// The frameless, transparent, always-on-top window of 150 × 90 that hosts the capsule. It shows
// on every workspace, has no taskbar or pager entry and never takes the focus. Pressing anywhere
// on it and moving drags it with the window manager's own move. Where no compositing manager
// blends translucent windows, it is cut to the capsule's shape so that no black corners show.
class FloatingPanel final : public QWidget {
public:
    explicit FloatingPanel(FloatingAmountView* view);
    ~FloatingPanel() override;

    // Prepares the native window with its workspace states; call before the first show().
    void prepareNativeWindow();

    // Moves the panel's top left corner to `topLeft`, through a tiling window manager where one
    // places it.
    void placeAt(QPoint topLeft);

    // Returns whether the panel is cut to the capsule's shape.
    bool isShaped() const { return shaped_; }

    // Calls `moved` with the panel's top left corner once a drag by the user has come to rest.
    void onDraggedTo(std::function<void(QPoint)> moved) { draggedTo_ = std::move(moved); }
    // Lets every click, drag and turn of the wheel through to the window beneath, or takes them
    // again: an empty input shape on X11, an empty input region on Wayland.
    void setClickThrough(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void reportWhatTheWindowManagerRefuses();
    void updateShape();
    void applyShape(bool shaped);

    std::unique_ptr<CompositorWatch> compositorWatch_;  // set by prepareNativeWindow()
    QTimer mapCheck_;  // runs after show() until the window is mapped or a window manager has it
    int mapChecksLeft_ = 0;
    std::optional<QPoint> placedAt_;  // where the panel was last asked to be, until a drag
    bool refusalsReported_ = false;
    bool shaped_ = false;
    bool shapeFollowsScreen_ = false;
    std::unique_ptr<TilingWmPanel> tilingWm_;  // set under i3 and sway
    std::optional<QPoint> pressedAt_;          // where a left press began, until a drag starts
    std::optional<QPoint> manualDragOffset_;   // set while the panel moves itself
    bool dragged_ = false;                     // a drag moved the panel since it was last placed
    QTimer dragRest_;                          // runs while a dragged panel keeps moving
    std::function<void(QPoint)> draggedTo_;
};

}  // namespace orvelle
