#include "views/SoftShadow.h"

#include <QPainter>
#include <vector>

namespace orvelle {

namespace {

// One pass of a running-sum box blur over the alpha channel, along rows or along columns.
void boxBlurAlpha(QImage& image, int radius, bool alongRows) {
    const int outer = alongRows ? image.height() : image.width();
    const int inner = alongRows ? image.width() : image.height();
    std::vector<int> line(static_cast<size_t>(inner));
    const int window = 2 * radius + 1;
    for (int o = 0; o < outer; ++o) {
        auto pixel = [&](int i) -> QRgb& {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(alongRows ? o : i));
            return row[alongRows ? i : o];
        };
        for (int i = 0; i < inner; ++i) {
            line[static_cast<size_t>(i)] = qAlpha(pixel(i));
        }
        int sum = 0;
        for (int i = -radius; i <= radius; ++i) {
            sum += (i >= 0 && i < inner) ? line[static_cast<size_t>(i)] : 0;
        }
        for (int i = 0; i < inner; ++i) {
            const QRgb old = pixel(i);
            pixel(i) = qRgba(qRed(old), qGreen(old), qBlue(old), sum / window);
            const int leaving = i - radius;
            const int entering = i + radius + 1;
            sum -= (leaving >= 0) ? line[static_cast<size_t>(leaving)] : 0;
            sum += (entering < inner) ? line[static_cast<size_t>(entering)] : 0;
        }
    }
}

}  // namespace

QImage softShadow(const QPainterPath& shape, const QColor& color, qreal radius, QPointF offset,
                  QSize size, qreal devicePixelRatio) {
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(devicePixelRatio, devicePixelRatio);
        painter.translate(offset);
        painter.fillPath(shape, QColor(color.red(), color.green(), color.blue()));
    }
    // Three box passes approximate a Gaussian; the shadow radius is about two standard deviations.
    const int box = std::max(1, qRound(radius * devicePixelRatio / 2.0));
    for (int pass = 0; pass < 3; ++pass) {
        boxBlurAlpha(image, box, true);
        boxBlurAlpha(image, box, false);
    }
    // Colour and opacity are applied after blurring: straight alpha, premultiplied on conversion.
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            row[x] = qRgba(color.red(), color.green(), color.blue(),
                           qAlpha(row[x]) * color.alpha() / 255);
        }
    }
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

}  // namespace orvelle
