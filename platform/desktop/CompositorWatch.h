#pragma once

#include <functional>

#include <QAbstractNativeEventFilter>

namespace orvelle {

// Follows whether a compositing manager runs on the X11 display, without polling: it asks the X
// server (XFixes) to report every change of owner of the compositing manager's selection
// _NET_WM_CM_S<screen>, and answers from the last report. Off X11, or where the server lacks
// XFixes, it reports a compositor throughout, as the system composites there.
class CompositorWatch final : public QAbstractNativeEventFilter {
public:
    // Starts watching; `onChange` runs on the main thread after each change of the answer.
    explicit CompositorWatch(std::function<void()> onChange);
    ~CompositorWatch() override;

    // Returns whether a compositing manager runs, as last reported.
    bool compositorRunning() const { return running_; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::function<void()> onChange_;
    bool running_ = true;
    unsigned selection_ = 0;    // the _NET_WM_CM_S<n> atom
    int selectionNotify_ = -1;  // the XFixes selection-notify event code on this server
};

}  // namespace orvelle
