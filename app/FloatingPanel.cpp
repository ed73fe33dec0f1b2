#include "app/FloatingPanel.h"

#include <iostream>

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>

#include "app/TilingWmPanel.h"
#include "platform/desktop/CompositorWatch.h"
#include "platform/desktop/X11Desktop.h"
#include "platform/desktop/X11Shape.h"
#include "views/FloatingAmountView.h"

namespace orvelle {

namespace {

// A window manager that is starting may need a repeated map request; after ten seconds of asking
// it is not one that is starting.
constexpr std::chrono::milliseconds kMapCheckInterval{250};
// How long a dragged panel stands still before its place counts.
constexpr std::chrono::milliseconds kDragRest{600};
constexpr int kMapChecks = 40;
// Time for a window manager to have placed a window it has just mapped.
constexpr std::chrono::milliseconds kPlacementSettles{1000};

}  // namespace

FloatingPanel::FloatingPanel(FloatingAmountView* view)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowTitle(QStringLiteral("Orvelle"));
    view->setParent(this);
    view->move(0, 0);
    setFixedSize(view->size());
    view->installEventFilter(this);
    mapCheck_.setInterval(kMapCheckInterval);
    dragRest_.setSingleShot(true);
    dragRest_.setInterval(kDragRest);
    connect(&dragRest_, &QTimer::timeout, this, [this] { draggedTo_(frameGeometry().topLeft()); });
    connect(&mapCheck_, &QTimer::timeout, this, [this] {
        QWindow* window = windowHandle();
        if (window != nullptr && X11Desktop::mapAgainIfUnclaimed(*window)) {
            mapCheck_.stop();
            QTimer::singleShot(kPlacementSettles, this,
                               &FloatingPanel::reportWhatTheWindowManagerRefuses);
        } else if (window == nullptr || --mapChecksLeft_ <= 0) {
            mapCheck_.stop();
        }
    });
}

FloatingPanel::~FloatingPanel() = default;

void FloatingPanel::placeAt(QPoint topLeft) {
    placedAt_ = topLeft;
    dragged_ = false;
    dragRest_.stop();
    move(topLeft);
    if (tilingWm_) {
        tilingWm_->placeAt(topLeft);
    }
}

// Started together with the window manager, as at login, the map request can reach a window
// manager that has not begun reading its requests; it would then stay unmapped for good.
void FloatingPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (X11Desktop::isActive()) {
        mapChecksLeft_ = kMapChecks;
        mapCheck_.start();
    }
}

void FloatingPanel::hideEvent(QHideEvent* event) {
    mapCheck_.stop();
    QWidget::hideEvent(event);
}

// Some window managers (weston's, for one) place every window themselves and offer no way to keep
// one above the others. The panel then shows where it can; the user is told once, on standard
// error, what it could not do. i3 and sway are driven through their IPC instead.
void FloatingPanel::reportWhatTheWindowManagerRefuses() {
    if (refusalsReported_ || tilingWm_ || !isVisible()) {
        return;
    }
    refusalsReported_ = true;
    QStringList refused;
    if (placedAt_ && pos() != *placedAt_) {
        refused << QStringLiteral("停靠在指定位置");
    }
    if (X11Desktop::windowManagerLacks("_NET_WM_STATE_ABOVE")) {
        refused << QStringLiteral("保持在其他窗口之上");
    }
    if (!refused.isEmpty()) {
        std::cerr << "orvelle: 当前窗口管理器无法让悬浮胶囊" << refused.join("、").toStdString()
                  << "\n";
    }
}

void FloatingPanel::prepareNativeWindow() {
    winId();  // creates the native window, unmapped
    if (QWindow* window = windowHandle()) {
        tilingWm_ = TilingWmPanel::connectIfAvailable(*window);
        // The user time of 0 that a window shown without activating gets from Qt is what i3 and
        // sway go by; elsewhere it would make mutter and KWin ask for attention.
        setAttribute(Qt::WA_ShowWithoutActivating, tilingWm_ != nullptr);
        X11Desktop::markAsOverlay(*window, tilingWm_ ? X11Desktop::FocusRefusal::declined
                                                     : X11Desktop::FocusRefusal::unoffered);
    }
    // A compositing manager may start or stop at any time; the X server tells when.
    compositorWatch_ = std::make_unique<CompositorWatch>([this] { updateShape(); });
    updateShape();
}

// The view changes its size when the capsule's size setting changes; the panel follows it and
// keeps its right edge and top where they are, so that a capsule at the screen's edge stays there.
bool FloatingPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched->parent() == this) {
        const QSize size = static_cast<QWidget*>(watched)->size();
        const QRect before = geometry();
        setFixedSize(size);
        if (isVisible()) {
            placeAt({before.x() + before.width() - size.width(), before.y()});
        }
        if (isShaped()) {
            applyShape(true);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FloatingPanel::updateShape() {
    const bool shaped = compositorWatch_ != nullptr && !compositorWatch_->compositorRunning();
    if (shaped == isShaped()) {
        return;
    }
    applyShape(shaped);
}

// The cut is made at device pixels, so that its edges stay smooth at scale factors above 1; a
// move to a screen of another scale cuts it again.
void FloatingPanel::setClickThrough(bool on) {
    if (QWindow* window = windowHandle()) {
        window->setFlag(Qt::WindowTransparentForInput, on);
    }
}

void FloatingPanel::applyShape(bool shaped) {
    QWindow* window = windowHandle();
    if (window == nullptr) {
        return;
    }
    shaped_ = shaped;
    X11Shape::set(*window,
                  shaped ? X11Shape::capsule(size(), window->devicePixelRatio()) : QRegion());
    if (!shapeFollowsScreen_) {
        shapeFollowsScreen_ = true;
        connect(window, &QWindow::screenChanged, this, [this] { applyShape(shaped_); });
    }
}

// The window manager moves the window itself where it can: that works under Wayland too, where
// a client cannot place its own windows, and it follows the window manager's snapping rules. The
// move is asked for only once the pointer has travelled the drag distance with the button held, so
// that a plain click never starts one.
void FloatingPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressedAt_ = event->globalPosition().toPoint();
    manualDragOffset_.reset();
}

void FloatingPanel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pointer = event->globalPosition().toPoint();
    if (manualDragOffset_) {
        move(pointer - *manualDragOffset_);
        return;
    }
    if (!pressedAt_ || !(event->buttons() & Qt::LeftButton) ||
        (pointer - *pressedAt_).manhattanLength() < QApplication::startDragDistance()) {
        return;
    }
    const QPoint pressedAt = *pressedAt_;
    pressedAt_.reset();
    placedAt_.reset();  // where the user drags it is no refusal of the window manager
    dragged_ = true;
    QWindow* window = windowHandle();
    if (window == nullptr) {
        return;
    }
    switch (X11Desktop::startMove(*window, pressedAt)) {
        case X11Desktop::MoveStart::started:
        case X11Desktop::MoveStart::buttonReleased:
            return;
        case X11Desktop::MoveStart::unsupported:
            break;
    }
    // Elsewhere Qt asks the system; where the system does not move windows, the panel follows
    // the pointer itself.
    if (!window->startSystemMove()) {
        manualDragOffset_ = pressedAt - frameGeometry().topLeft();
        move(pointer - *manualDragOffset_);
    }
}

// The window manager moves a dragged window in many steps and says nothing of the drag's end: the
// panel's place counts once it has stood still for a moment.
void FloatingPanel::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (dragged_ && draggedTo_) {
        dragRest_.start();
    }
}

void FloatingPanel::mouseReleaseEvent(QMouseEvent*) {
    pressedAt_.reset();
    manualDragOffset_.reset();
}

}  // namespace orvelle
