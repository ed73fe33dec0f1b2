#pragma once

#include <string>

#include <QPoint>

class QWindow;

namespace orvelle {

// What the panel needs of an X11 window manager that Qt does not offer. Every call does nothing
// (or answers the safe way) when the application does not run on X11.
class X11Desktop {
public:
    // Returns whether the application talks to an X server.
    static bool isActive();

    // How a window keeps out of the keyboard focus.
    enum class FocusRefusal {
        // It offers no WM_TAKE_FOCUS and its input hint is off, so no window manager can hand it
        // the focus. mutter and KWin map such a window on top without asking for attention,
        // which they do for one that wants the focus and is refused it.
        unoffered,
        // It keeps Qt's WM_TAKE_FOCUS, which Qt declines, and asks with a user time of 0 not to
        // be focused on map. i3 sets the X focus itself on a clicked window that offers no
        // WM_TAKE_FOCUS, whatever its input hint, and the focus handed back then closes its menu.
        declined,
    };

    // Marks an unmapped window to stay above others on every workspace, without a taskbar or
    // pager entry: _NET_WM_STATE ABOVE, STICKY, SKIP_TASKBAR, SKIP_PAGER and _NET_WM_DESKTOP
    // 0xFFFFFFFF; typed as a utility window that refuses the focus as `refusal` says. Qt keeps
    // these properties when it maps the window.
    static void markAsOverlay(QWindow& window, FocusRefusal refusal);

    // Maps `window` again if it is still unmapped and no window manager has taken it in (it has
    // no WM_STATE). A window manager that is starting can leave the first map request unread in
    // its queue until some other event wakes it; the repeated request is that event. Returns
    // whether the window is shown or taken in, so that no more requests are needed.
    static bool mapAgainIfUnclaimed(QWindow& window);

    // What asking the window manager to move a window came to.
    enum class MoveStart { started, buttonReleased, unsupported };

    // Asks the window manager to move `window` with the pointer, as from a left press at
    // `pressedAt` (global logical pixels), so that the point pressed stays under the pointer. Sends
    // nothing if the button is no longer held: a move asked for after the release would leave the
    // window manager waiting in a move that takes the next click.
    static MoveStart startMove(QWindow& window, QPoint pressedAt);

    // Returns the text property `name` of the root window, empty when unset or off X11.
    static std::string rootText(const char* name);

    // Returns whether the window manager lists its EWMH hints in _NET_SUPPORTED and `hint` is not
    // among them; false without such a list (no window manager, or one that says nothing).
    static bool windowManagerLacks(const char* hint);

    // Returns whether a compositing manager runs, that is whether translucent windows are
    // blended with what lies below them; always true off X11, where the system composites.
    static bool compositingManagerRunning();
};

}  // namespace orvelle
