#pragma once

#include <functional>

#include <QObject>
#include <QPointer>

class QWidget;

namespace orvelle {

// Lets a view skip its work while nobody can see it: it tells whether a widget can be seen, and
// runs a callback when the widget comes back into view (shown, or its window no longer
// minimised), before it is painted, so that the view can catch up then.
class OnScreenWatch final : public QObject {
public:
    OnScreenWatch(QWidget& widget, std::function<void()> onBackInView);

    // Returns whether `widget` can be seen: shown, in a window that is not minimised.
    static bool canBeSeen(const QWidget& widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchWindow();

    QWidget& widget_;
    std::function<void()> onBackInView_;
    QPointer<QWidget> window_;  // the window whose minimising is followed
};

}  // namespace orvelle
