#include "views/OnScreenWatch.h"

#include <QEvent>
#include <QWidget>

namespace orvelle {

OnScreenWatch::OnScreenWatch(QWidget& widget, std::function<void()> onBackInView)
    : QObject(&widget), widget_(widget), onBackInView_(std::move(onBackInView)) {
    widget_.installEventFilter(this);
}

bool OnScreenWatch::canBeSeen(const QWidget& widget) {
    return widget.isVisible() && !widget.window()->isMinimized();
}

// A window is told of its own minimising only, and the widget may move to another window, so the
// window is looked up again at every show.
void OnScreenWatch::watchWindow() {
    QWidget* window = widget_.window();
    if (window == window_ || window == &widget_) {
        window_ = window;
        return;
    }
    if (window_ != nullptr) {
        window_->removeEventFilter(this);
    }
    window_ = window;
    window_->installEventFilter(this);
}

bool OnScreenWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &widget_ && event->type() == QEvent::Show) {
        watchWindow();
        onBackInView_();
    } else if (watched == window_ && event->type() == QEvent::WindowStateChange &&
               !window_->isMinimized()) {
        onBackInView_();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace orvelle
