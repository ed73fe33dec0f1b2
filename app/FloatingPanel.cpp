#include "app/FloatingPanel.h"

#include <QMouseEvent>
#include <QPainterPath>
#include <QWindow>

#include "platform/X11Desktop.h"
#include "views/FloatingAmountView.h"

namespace orvelle {

namespace {

// A compositing manager may start or stop at any time; checking costs one round trip.
constexpr std::chrono::seconds kCompositorCheckInterval{2};

QRegion capsuleRegion(QSize size) {
    QPainterPath path;
    const qreal radius = std::min(size.width(), size.height()) / 2.0;
    path.addRoundedRect(QRectF(QPointF(0, 0), size), radius, radius);
    return QRegion(path.toFillPolygon().toPolygon());
}

}  // namespace

FloatingPanel::FloatingPanel(FloatingAmountView* view)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Orvelle"));
    view->setParent(this);
    view->move(0, 0);
    setFixedSize(view->size());
    connect(&compositorCheck_, &QTimer::timeout, this, [this] { updateShape(); });
}

void FloatingPanel::prepareNativeWindow() {
    winId();  // creates the native window, unmapped
    if (QWindow* window = windowHandle()) {
        X11Desktop::markAsOverlay(*window);
    }
    updateShape();
    if (X11Desktop::isActive()) {
        compositorCheck_.start(kCompositorCheckInterval);
    }
}

void FloatingPanel::updateShape() {
    const bool shaped = !X11Desktop::compositingManagerRunning();
    if (shaped == isShaped()) {
        return;
    }
    if (shaped) {
        setMask(capsuleRegion(size()));
    } else {
        clearMask();
    }
}

// The window manager moves the window itself where it can: that works under Wayland too, where
// a client cannot place its own windows, and it follows the window manager's snapping rules.
void FloatingPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    QWindow* window = windowHandle();
    if (window != nullptr && window->startSystemMove()) {
        return;
    }
    manualDragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void FloatingPanel::mouseMoveEvent(QMouseEvent* event) {
    if (manualDragOffset_) {
        move(event->globalPosition().toPoint() - *manualDragOffset_);
    }
}

void FloatingPanel::mouseReleaseEvent(QMouseEvent*) {
    manualDragOffset_.reset();
}

}  // namespace orvelle
