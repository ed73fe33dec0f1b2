#include "platform/desktop/X11Shape.h"

#include <vector>

#include <xcb/shape.h>
#include <xcb/xcb.h>
#include <QGuiApplication>
#include <QPainterPath>
#include <QWindow>

#include "platform/desktop/X11Connection.h"

namespace orvelle {

void X11Shape::set(QWindow& window, const QRegion& devicePixels) {
    xcb_connection_t* c = x11Connection();
    if (c == nullptr) {
        return;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (devicePixels.isEmpty()) {
        xcb_shape_mask(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, id, 0, 0, XCB_NONE);
    } else {
        std::vector<xcb_rectangle_t> rectangles;
        for (const QRect& r : devicePixels) {
            rectangles.push_back({static_cast<int16_t>(r.x()), static_cast<int16_t>(r.y()),
                                  static_cast<uint16_t>(r.width()),
                                  static_cast<uint16_t>(r.height())});
        }
        xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED,
                             id, 0, 0, static_cast<uint32_t>(rectangles.size()), rectangles.data());
    }
    xcb_flush(c);
}

QRegion X11Shape::capsule(QSize logicalSize, qreal ratio) {
    const QSizeF size = QSizeF(logicalSize) * ratio;
    const qreal radius = std::min(size.width(), size.height()) / 2.0;
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), size), radius, radius);
    return QRegion(path.toFillPolygon().toPolygon());
}

}  // namespace orvelle
