#include "views/AmountLine.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

#include "views/Palette.h"

namespace orvelle {

namespace {

constexpr qreal kMinimumAmountScale = 0.5;
// At rest the amount stays readable but steps back.
constexpr qreal kRestingAmountOpacity = 0.4;
// Antialiased glyphs may reach a pixel or two past their advance and the font's height.
constexpr qreal kInkMargin = 2;

}  // namespace

AmountLine::AmountLine(const QString& text, const AmountGlyphs& glyphs)
    : text_(text), line_(glyphs.set(text)) {
    const QRectF room = CapsuleArt::amountRoom();
    const qreal width = advance();
    scale_ = std::clamp(room.width() / std::max(width, 1.0), kMinimumAmountScale, 1.0);
    const qreal shown = width * scale_;
    // Centred as designed when that keeps it in its room; else moved only as far as it must.
    const qreal left =
        std::max(room.left(),
                 std::min(CapsuleArt::amountBox().center().x() - shown / 2, room.right() - shown));
    centre_ = left + std::min(shown, room.width()) / 2;
    if (shown > room.width()) {
        const QFontMetricsF metrics(glyphs.font());
        line_ = glyphs.set(metrics.elidedText(text, Qt::ElideRight, room.width() / scale_));
    }
}

void AmountLine::draw(QPainter& painter, CapsuleLook look) const {
    painter.save();
    painter.translate(centre_, CapsuleArt::amountBox().center().y());
    painter.scale(scale_, scale_);
    painter.setPen(palette::accentRose);
    if (look == CapsuleLook::atRest) {
        painter.setOpacity(painter.opacity() * kRestingAmountOpacity);
    }
    const QPointF topLeft(-advance() / 2, -line_.height / 2);
    for (const QGlyphRun& run : line_.runs) {
        painter.drawGlyphRun(topLeft, run);
    }
    painter.restore();
}

qreal AmountLine::viewX(qreal position) const {
    return centre_ + (position - advance() / 2) * scale_;
}

qreal AmountLine::viewY(qreal y) const {
    return CapsuleArt::amountBox().center().y() + (y - line_.height / 2) * scale_;
}

// Only the rows that either line inks are repainted and sent to the display server: the digits
// take about two thirds of the amount font's line.
QRectF AmountLine::changedPart(const AmountLine& next) const {
    const QString& before = line_.text;
    const QString& after = next.line_.text;
    if (before == after) {
        return {};
    }
    const qreal top = std::min(viewY(line_.inkTop), next.viewY(next.line_.inkTop)) - kInkMargin;
    const qreal bottom =
        std::max(viewY(line_.inkBottom), next.viewY(next.line_.inkBottom)) + kInkMargin;
    const QRectF box = CapsuleArt::amountBox();
    if (advance() != next.advance() || centre_ != next.centre_ || scale_ != next.scale_) {
        return QRectF(box.left(), top, box.width(), bottom - top);
    }
    const auto differs = std::ranges::mismatch(before, after);
    const auto first = static_cast<std::size_t>(differs.in1 - before.begin());
    const qreal from = std::min(viewX(line_.carets[first]), next.viewX(next.line_.carets[first]));
    const qreal to = viewX(advance());
    return QRectF(from - kInkMargin, top, to - from + 2 * kInkMargin, bottom - top);
}

}  // namespace orvelle
