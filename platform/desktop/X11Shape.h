#pragma once

#include <QRegion>

class QWindow;

namespace orvelle {

// Cuts a native X11 window to a region given in device pixels. Qt's own masks are in logical
// pixels and reach the server scaled up, so at a scale factor of 2 their edges step in 2-pixel
// blocks; a region cut at device pixels keeps them as smooth as the screen allows.
class X11Shape {
public:
    // Cuts `window` to `devicePixels`, or removes the cut when the region is empty. Does nothing
    // off X11.
    static void set(QWindow& window, const QRegion& devicePixels);

    // Returns the region of a capsule (a rounded rectangle whose ends are half circles) of
    // `logicalSize` at `ratio` device pixels per logical pixel.
    static QRegion capsule(QSize logicalSize, qreal ratio);
};

}  // namespace orvelle
