#include "platform/desktop/X11Desktop.h"

#include <algorithm>
#include <string>
#include <vector>

#include <xcb/xcb.h>
#include <QGuiApplication>
#include <QWindow>

#include "platform/desktop/X11Connection.h"

namespace orvelle {

namespace {

xcb_atom_t atom(xcb_connection_t* c, const std::string& name) {
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.c_str());
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t result = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(reply);
    return result;
}

int defaultScreenNumber() {
    // DISPLAY is ":display.screen"; without a screen part the screen is 0.
    const QByteArray display = qgetenv("DISPLAY");
    const int dot = display.lastIndexOf('.');
    const int colon = display.lastIndexOf(':');
    return (dot > colon && colon >= 0) ? display.mid(dot + 1).toInt() : 0;
}

void dropTakeFocus(xcb_connection_t* c, xcb_window_t id) {
    const xcb_atom_t protocols = atom(c, "WM_PROTOCOLS");
    const xcb_atom_t takeFocus = atom(c, "WM_TAKE_FOCUS");
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, id, protocols, XCB_ATOM_ATOM, 0, 64), nullptr);
    if (reply == nullptr) {
        return;
    }
    const auto* listed = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    std::vector<xcb_atom_t> kept;
    for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i) {
        if (listed[i] != takeFocus) {
            kept.push_back(listed[i]);
        }
    }
    free(reply);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, protocols, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(kept.size()), kept.data());
}

}  // namespace

bool X11Desktop::isActive() {
    return x11Connection() != nullptr;
}

void X11Desktop::markAsOverlay(QWindow& window, FocusRefusal refusal) {
    xcb_connection_t* c = x11Connection();
    if (c == nullptr) {
        return;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    std::vector<xcb_atom_t> states;
    for (const char* name : {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_STICKY",
                             "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        states.push_back(atom(c, name));
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(states.size()), states.data());
    const uint32_t allDesktops = 0xFFFFFFFF;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom(c, "_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL,
                        32, 1, &allDesktops);
    // A utility window is one that window managers do not focus on map and tiling ones float.
    // KDE's override type, first, keeps KWin from drawing a frame around it.
    const std::vector<xcb_atom_t> types{atom(c, "_KDE_NET_WM_WINDOW_TYPE_OVERRIDE"),
                                        atom(c, "_NET_WM_WINDOW_TYPE_UTILITY")};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM,
                        32, static_cast<uint32_t>(types.size()), types.data());
    if (refusal == FocusRefusal::unoffered) {
        dropTakeFocus(c, id);
    } else {
        const uint32_t neverFocus = 0;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom(c, "_NET_WM_USER_TIME"),
                            XCB_ATOM_CARDINAL, 32, 1, &neverFocus);
    }
    xcb_flush(c);
}

bool X11Desktop::mapAgainIfUnclaimed(QWindow& window) {
    xcb_connection_t* c = x11Connection();
    if (c == nullptr) {
        return true;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    const auto attributesCookie = xcb_get_window_attributes(c, id);
    const auto stateCookie = xcb_get_property(c, 0, id, atom(c, "WM_STATE"), XCB_ATOM_ANY, 0, 1);
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, attributesCookie, nullptr);
    xcb_get_property_reply_t* state = xcb_get_property_reply(c, stateCookie, nullptr);
    const bool mapped = attributes != nullptr && attributes->map_state != XCB_MAP_STATE_UNMAPPED;
    const bool claimed = state != nullptr && state->type != XCB_NONE;
    free(attributes);
    free(state);
    if (mapped || claimed) {
        return true;
    }
    xcb_map_window(c, id);
    xcb_flush(c);
    return false;
}

X11Desktop::MoveStart X11Desktop::startMove(QWindow& window, QPoint pressedAt) {
    xcb_connection_t* c = x11Connection();
    if (c == nullptr) {
        return MoveStart::unsupported;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_query_pointer_reply_t* pointer =
        xcb_query_pointer_reply(c, xcb_query_pointer(c, root), nullptr);
    const bool held = pointer != nullptr && (pointer->mask & XCB_BUTTON_MASK_1) != 0;
    free(pointer);
    if (!held) {
        return MoveStart::buttonReleased;
    }
    // The message speaks of device pixels on the root window.
    const qreal ratio = window.devicePixelRatio();
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window.winId());
    message.type = atom(c, "_NET_WM_MOVERESIZE");
    message.data.data32[0] = static_cast<uint32_t>(qRound(pressedAt.x() * ratio));
    message.data.data32[1] = static_cast<uint32_t>(qRound(pressedAt.y() * ratio));
    message.data.data32[2] = 8;  // _NET_WM_MOVERESIZE_MOVE
    message.data.data32[3] = XCB_BUTTON_INDEX_1;
    message.data.data32[4] = 1;  // asked for by an ordinary application
    // The window manager can only take the pointer over once this client lets it go.
    xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
    return MoveStart::started;
}

std::string X11Desktop::rootText(const char* name) {
    xcb_connection_t* c = x11Connection();
    if (c == nullptr) {
        return {};
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto cookie = xcb_get_property(c, 0, root, atom(c, name), XCB_ATOM_ANY, 0, 4096);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    std::string text;
    if (reply != nullptr && reply->format == 8) {
        text.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                    static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    }
    free(reply);
    return text;
}

bool X11Desktop::windowManagerLacks(const char* hint) {
    xcb_connection_t* c = x11Connection();
    if (c == nullptr) {
        return false;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto cookie =
        xcb_get_property(c, 0, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    const int count = reply != nullptr ? xcb_get_property_value_length(reply) / 4 : 0;
    const auto* listed =
        count > 0 ? static_cast<const xcb_atom_t*>(xcb_get_property_value(reply)) : nullptr;
    const bool lacks =
        count > 0 && std::find(listed, listed + count, atom(c, hint)) == listed + count;
    free(reply);
    return lacks;
}

bool X11Desktop::compositingManagerRunning() {
    xcb_connection_t* c = x11Connection();
    if (c == nullptr) {
        return true;
    }
    const xcb_atom_t selection = atom(c, "_NET_WM_CM_S" + std::to_string(defaultScreenNumber()));
    const auto cookie = xcb_get_selection_owner(c, selection);
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(c, cookie, nullptr);
    const bool owned = reply != nullptr && reply->owner != XCB_NONE;
    free(reply);
    return owned;
}

}  // namespace orvelle
