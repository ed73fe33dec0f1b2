#include "views/CardFrame.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include "views/Palette.h"

namespace orvelle {

namespace {

constexpr int kPadding = 14;
constexpr qreal kRadius = 18;
constexpr qreal kBorderWidth = 1.5;

}  // namespace

CardFrame::CardFrame(int spacing, QWidget* parent)
    : QWidget(parent), content_(new QVBoxLayout(this)) {
    content_->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    content_->setSpacing(spacing);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void CardFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The outline is centred on the card's edge; inset by half its width so it is not clipped.
    const QRectF card = QRectF(rect()).adjusted(kBorderWidth / 2, kBorderWidth / 2,
                                                -kBorderWidth / 2, -kBorderWidth / 2);
    QPainterPath path;
    path.addRoundedRect(card, kRadius, kRadius);
    painter.fillPath(path, palette::cardFill);
    painter.strokePath(path, QPen(palette::cardBorder, kBorderWidth));
}

}  // namespace orvelle
