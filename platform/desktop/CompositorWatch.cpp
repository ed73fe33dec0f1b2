#include "platform/desktop/CompositorWatch.h"

#include <string>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>
#include <QGuiApplication>

#include "platform/desktop/X11Connection.h"
#include "platform/desktop/X11Desktop.h"

namespace orvelle {

namespace {

// The screen of DISPLAY (":display.screen"; without a screen part it is 0), whose compositing
// manager selection the window system's own check asks about.
int displayScreen() {
    const QByteArray display = qgetenv("DISPLAY");
    const int dot = display.lastIndexOf('.');
    const int colon = display.lastIndexOf(':');
    return (dot > colon && colon >= 0) ? display.mid(dot + 1).toInt() : 0;
}

// The XFixes event code of a selection-notify, or -1 where the server lacks XFixes 1.0 or later.
int xfixesSelectionNotify(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_xfixes_id);
    if (extension == nullptr || extension->present == 0) {
        return -1;
    }
    // The server accepts no XFixes request before the version is agreed; Qt has usually done
    // so already, and agreeing again is harmless.
    xcb_xfixes_query_version_reply_t* version = xcb_xfixes_query_version_reply(
        c, xcb_xfixes_query_version(c, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
        nullptr);
    const bool usable = version != nullptr && version->major_version >= 1;
    free(version);
    return usable ? extension->first_event + XCB_XFIXES_SELECTION_NOTIFY : -1;
}

}  // namespace

CompositorWatch::CompositorWatch(std::function<void()> onChange) : onChange_(std::move(onChange)) {
    xcb_connection_t* c = x11Connection();
    if (c == nullptr) {
        return;
    }
    selectionNotify_ = xfixesSelectionNotify(c);
    if (selectionNotify_ < 0) {
        running_ = X11Desktop::compositingManagerRunning();  // asked once, then kept
        return;
    }
    const std::string name = "_NET_WM_CM_S" + std::to_string(displayScreen());
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
    selection_ = atom != nullptr ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(atom);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_xfixes_select_selection_input(c, root, selection_,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(c);
    QCoreApplication::instance()->installNativeEventFilter(this);
    // Only changes are reported, so the owner at the start is asked for once.
    running_ = X11Desktop::compositingManagerRunning();
}

CompositorWatch::~CompositorWatch() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool CompositorWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != selectionNotify_) {
        return false;
    }
    const auto* notify = static_cast<const xcb_xfixes_selection_notify_event_t*>(message);
    if (notify->selection != selection_) {
        return false;
    }
    const bool running = notify->owner != XCB_NONE;
    if (running != running_) {
        running_ = running;
        onChange_();
    }
    return false;  // Qt's own XFixes users see the event too
}

}  // namespace orvelle
