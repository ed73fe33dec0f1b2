#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>

namespace orvelle {

// Returns an image of `size` logical pixels at `devicePixelRatio` holding the blurred shadow that
// `shape` casts: the shape filled with `color`, moved by `offset` and blurred by `radius`.
QImage softShadow(const QPainterPath& shape, const QColor& color, qreal radius, QPointF offset,
                  QSize size, qreal devicePixelRatio);

}  // namespace orvelle
