#include "views/AmountLine.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

#include "views/Palette.h"

namespace orvelle {

namespace {

constexpr qreal kMinimumAmountScale = 0.5;
// At rest the amount stays readable but steps back.
constexpr qreal kRestingAmountOpacity = 0.4;
// Antialiased glyphs may reach a pixel or two past their advance and the font's height.
constexpr qreal kInkMargin = 2;

std::shared_ptr<const QTextLayout> laidOut(const QString& text, const QFont& font) {
    auto layout = std::make_shared<QTextLayout>(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    layout->createLine();
    layout->endLayout();
    return layout;
}

}  // namespace

AmountLine::AmountLine(const QString& text, const QFont& font)
    : text_(text), layout_(laidOut(text, font)) {
    const QRectF room = CapsuleArt::amountRoom();
    const qreal width = layout_->lineAt(0).horizontalAdvance();
    scale_ = std::clamp(room.width() / std::max(width, 1.0), kMinimumAmountScale, 1.0);
    const qreal shown = width * scale_;
    // Centred as designed when that keeps it in its room; else moved only as far as it must.
    const qreal left =
        std::max(room.left(),
                 std::min(CapsuleArt::amountBox().center().x() - shown / 2, room.right() - shown));
    centre_ = left + std::min(shown, room.width()) / 2;
    if (shown > room.width()) {
        const QFontMetricsF metrics(font);
        layout_ = laidOut(metrics.elidedText(text, Qt::ElideRight, room.width() / scale_), font);
    }
    advance_ = layout_->lineAt(0).horizontalAdvance();
}

void AmountLine::draw(QPainter& painter, CapsuleLook look) const {
    painter.save();
    painter.translate(centre_, CapsuleArt::amountBox().center().y());
    painter.scale(scale_, scale_);
    painter.setPen(palette::accentRose);
    if (look == CapsuleLook::atRest) {
        painter.setOpacity(painter.opacity() * kRestingAmountOpacity);
    }
    layout_->draw(&painter, QPointF(-advance_ / 2, -layout_->lineAt(0).height() / 2));
    painter.restore();
}

qreal AmountLine::viewX(qreal position) const {
    return centre_ + (position - advance_ / 2) * scale_;
}

QRectF AmountLine::changedPart(const AmountLine& next) const {
    const QRectF box = CapsuleArt::amountBox().adjusted(0, -kInkMargin, 0, kInkMargin);
    const QString& before = layout_->text();
    const QString& after = next.layout_->text();
    if (before == after) {
        return {};
    }
    if (advance_ != next.advance_ || centre_ != next.centre_ || scale_ != next.scale_) {
        return box;
    }
    const auto differs = std::ranges::mismatch(before, after);
    const auto first = static_cast<int>(differs.in1 - before.begin());
    const qreal from = std::min(viewX(layout_->lineAt(0).cursorToX(first)),
                                next.viewX(next.layout_->lineAt(0).cursorToX(first)));
    const qreal to = viewX(advance_);
    return QRectF(from - kInkMargin, box.top(), to - from + 2 * kInkMargin, box.height());
}

}  // namespace orvelle
