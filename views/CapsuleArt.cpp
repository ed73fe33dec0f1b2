#include "views/CapsuleArt.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

#include "views/Fonts.h"
#include "views/Palette.h"
#include "views/SoftShadow.h"

namespace orvelle {

namespace {

constexpr QSizeF kSize{150, 90};
constexpr QPointF kSparkleCentre{75 - 56, 45 - 22};
constexpr QPointF kCoinCentre{75 + 56, 45 + 24};
constexpr qreal kSparkleSize = 14;
constexpr qreal kCoinSize = 28;
constexpr qreal kStackSpacing = 2;
constexpr QColor kOvertimeGlow{255, 196, 40, 235};
constexpr qreal kAmountLeft = 21;
constexpr qreal kAmountRight = kCoinCentre.x() - kCoinSize / 2 - 3.5;

// Working, the label is the designed one; any other state names itself.
QString labelText(CapsuleLook look) {
    return look == CapsuleLook::regular ? QStringLiteral("今日收入:") : CapsuleArt::stateName(look);
}

QFont labelFont() {
    return viewFont(13, QFont::DemiBold);
}

QPainterPath capsule(const QRectF& rect) {
    QPainterPath path;
    const qreal radius = std::min(rect.width(), rect.height()) / 2;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// A four-pointed star with concave sides, filling a square of `size` around `centre`.
QPainterPath sparklePath(QPointF centre, qreal size) {
    const qreal r = size / 2;
    const qreal waist = r * 0.18;
    QPainterPath path(centre + QPointF(0, -r));
    path.quadTo(centre + QPointF(waist, -waist), centre + QPointF(r, 0));
    path.quadTo(centre + QPointF(waist, waist), centre + QPointF(0, r));
    path.quadTo(centre + QPointF(-waist, waist), centre + QPointF(-r, 0));
    path.quadTo(centre + QPointF(-waist, -waist), centre + QPointF(0, -r));
    return path;
}

QPixmap blankLayer(qreal devicePixelRatio) {
    QPixmap pixmap((kSize * devicePixelRatio).toSize());
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawShadow(QPainter& painter, const QPainterPath& shape, const QColor& color, qreal radius,
                QPointF offset, qreal devicePixelRatio) {
    painter.drawImage(QPointF(0, 0),
                      softShadow(shape, color, radius, offset, kSize.toSize(), devicePixelRatio));
}

}  // namespace

QString CapsuleArt::stateName(CapsuleLook look) {
    switch (look) {
        case CapsuleLook::overtime:
            return QStringLiteral("加班中");
        case CapsuleLook::lunchBreak:
            return QStringLiteral("午休中");
        case CapsuleLook::atRest:
            return QStringLiteral("未在上班");
        case CapsuleLook::regular:
            break;
    }
    return QStringLiteral("上班中");
}

// The fonts never change while the program runs: the boxes are measured once.
QRectF CapsuleArt::labelBox() {
    static const QRectF box = [] {
        const qreal labelHeight = QFontMetricsF(labelFont()).height();
        const qreal amountHeight = QFontMetricsF(amountFont()).height();
        const qreal top = (kSize.height() - labelHeight - kStackSpacing - amountHeight) / 2;
        return QRectF(0, top, kSize.width(), labelHeight);
    }();
    return box;
}

QRectF CapsuleArt::amountBox() {
    static const QRectF box(0, labelBox().bottom() + kStackSpacing, kSize.width(),
                            QFontMetricsF(amountFont()).height());
    return box;
}

QRectF CapsuleArt::amountRoom() {
    const QRectF box = amountBox();
    return {kAmountLeft, box.top(), kAmountRight - kAmountLeft, box.height()};
}

QFont CapsuleArt::amountFont() {
    return viewFont(24, QFont::Bold);
}

QPixmap CapsuleArt::below(qreal devicePixelRatio, CapsuleLook look, const QString& label) {
    QPixmap layer = blankLayer(devicePixelRatio);
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient gradient(QPointF(0, 0), QPointF(kSize.width(), 0));
    gradient.setColorAt(0, palette::gradientStart);
    gradient.setColorAt(1, palette::gradientEnd);
    painter.fillPath(capsule(QRectF(QPointF(0, 0), kSize)), gradient);

    const QPainterPath inner = capsule(QRectF(10, 9, kSize.width() - 20, kSize.height() - 18));
    painter.fillPath(inner, palette::innerCapsuleFill);
    painter.strokePath(inner,
                       QPen(palette::cardBorder, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));

    const QPainterPath star = sparklePath(kSparkleCentre, kSparkleSize);
    drawShadow(painter, star, palette::sparkleShadow, 3, QPointF(0, 1), devicePixelRatio);
    painter.fillPath(star, palette::sparkle);

    painter.setFont(labelFont());
    painter.setPen(palette::sectionPink);
    painter.drawText(labelBox(), Qt::AlignCenter, label.isEmpty() ? labelText(look) : label);
    return layer;
}

QPixmap CapsuleArt::above(qreal devicePixelRatio, CapsuleLook look) {
    QPixmap layer = blankLayer(devicePixelRatio);
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF coin(kCoinCentre - QPointF(kCoinSize / 2, kCoinSize / 2),
                      QSizeF(kCoinSize, kCoinSize));
    QPainterPath disc;
    // The outline is centred on the circle, so half of its width lies outside the 28-point frame.
    disc.addEllipse(coin.adjusted(-1.5, -1.5, 1.5, 1.5));
    drawShadow(painter, disc, palette::coinShadow, 4, QPointF(0, 2), devicePixelRatio);
    if (look == CapsuleLook::overtime) {
        // A golden halo around the coin: overtime shows at a glance, without reading the label.
        drawShadow(painter, disc, kOvertimeGlow, 7, QPointF(0, 0), devicePixelRatio);
    }
    painter.setBrush(palette::coinFill);
    painter.setPen(QPen(palette::coinOutline, 3));
    painter.drawEllipse(coin);
    painter.setFont(viewFont(14, QFont::Bold));
    painter.setPen(palette::coinGlyph);
    painter.drawText(coin, Qt::AlignCenter, QStringLiteral("¥"));
    return layer;
}

}  // namespace orvelle
