#pragma once

#include <memory>

#include <QRectF>
#include <QString>

#include "views/CapsuleArt.h"

class QFont;
class QPainter;
class QTextLayout;

namespace orvelle {

// The capsule's amount, laid out once per text and drawn at every repaint without being laid out
// again: the layout is the dearest part of a repaint. It sits in the 150 × 90 view centred as
// designed where it fits there, else moved into, or shrunk (to half size at most) to fit, the
// room that the inner capsule leaves beside the coin, so that no digit hides under the coin or
// crosses the border. What does not fit even at half size is elided.
class AmountLine {
public:
    // Lays out `text`, "¥" and the formatted amount, in `font`, the amount's.
    AmountLine(const QString& text, const QFont& font);

    // Returns the text as given.
    const QString& text() const { return text_; }

    // Draws the line in the 150 × 90 view's coordinates, faded at rest.
    void draw(QPainter& painter, CapsuleLook look) const;

    // Returns the part of the 150 × 90 view that changes when this line gives way to `next`:
    // nothing for the same line; from the first glyph that differs to the end when the two lie
    // in the same place (a new cent changes a digit or two); else the whole amount box.
    QRectF changedPart(const AmountLine& next) const;

private:
    // Returns the view's x of the line's `position`, in its layout's units.
    qreal viewX(qreal position) const;

    QString text_;
    std::shared_ptr<const QTextLayout> layout_;  // of the line as drawn, elided if need be
    qreal advance_ = 0;                          // the drawn line's width, unscaled
    qreal centre_ = 0;                           // where its centre lies in the view
    qreal scale_ = 1;
};

}  // namespace orvelle
