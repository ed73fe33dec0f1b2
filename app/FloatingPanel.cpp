#include "app/FloatingPanel.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainterPath>
#include <QWindow>

#include "platform/CompositorWatch.h"
#include "platform/X11Desktop.h"
#include "views/FloatingAmountView.h"

namespace orvelle {

namespace {

// A window manager that is starting may need a repeated map request; after ten seconds of asking
// it is not one that is starting.
constexpr std::chrono::milliseconds kMapCheckInterval{250};
constexpr int kMapChecks = 40;

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
    mapCheck_.setInterval(kMapCheckInterval);
    connect(&mapCheck_, &QTimer::timeout, this, [this] {
        QWindow* window = windowHandle();
        if (window == nullptr || X11Desktop::mapAgainIfUnclaimed(*window) ||
            --mapChecksLeft_ <= 0) {
            mapCheck_.stop();
        }
    });
}

FloatingPanel::~FloatingPanel() = default;

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

void FloatingPanel::prepareNativeWindow() {
    winId();  // creates the native window, unmapped
    if (QWindow* window = windowHandle()) {
        X11Desktop::markAsOverlay(*window);
    }
    // A compositing manager may start or stop at any time; the X server tells when.
    compositorWatch_ = std::make_unique<CompositorWatch>([this] { updateShape(); });
    updateShape();
}

void FloatingPanel::updateShape() {
    const bool shaped = compositorWatch_ != nullptr && !compositorWatch_->compositorRunning();
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

void FloatingPanel::mouseReleaseEvent(QMouseEvent*) {
    pressedAt_.reset();
    manualDragOffset_.reset();
}

}  // namespace orvelle
