#pragma once

#include <xcb/xcb.h>
#include <QGuiApplication>

namespace orvelle {

// Returns the application's connection to the X server; null when it does not run on X11.
inline xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace orvelle
