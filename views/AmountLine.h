#pragma once

#include <QRectF>
#include <QString>

#include "views/AmountGlyphs.h"
#include "views/CapsuleArt.h"

class QPainter;

namespace orvelle {

// The capsule's amount, set once per text and drawn at every repaint without being set again. It
// sits in the 150 × 90 view centred as designed where it fits there, else moved into, or shrunk
// (to half size at most) to fit, the room that the inner capsule leaves beside the coin, so that
// no digit hides under the coin or crosses the border. What does not fit even at half size is
// elided.
class AmountLine {
public:
    // Sets `text`, "¥" and the formatted amount, in the amount's glyphs.
    AmountLine(const QString& text, const AmountGlyphs& glyphs);

    // Returns the text as given.
    const QString& text() const { return text_; }

    // Draws the line in the 150 × 90 view's coordinates, faded at rest.
    void draw(QPainter& painter, CapsuleLook look) const;

    // Returns the part of the 150 × 90 view that changes when this line gives way to `next`:
    // nothing for the same line; from the first glyph that differs to the end when the two lie
    // in the same place (a new cent changes a digit or two); else the amount box's whole width;
    // in height, the rows that the glyphs of either line may ink.
    QRectF changedPart(const AmountLine& next) const;

private:
    // Returns the view's x of the line's `position`, in its own units.
    qreal viewX(qreal position) const;
    // Returns the view's y of the line's `y`, counted from its top.
    qreal viewY(qreal y) const;
    qreal advance() const { return line_.carets.back(); }

    QString text_;
    SetLine line_;      // the line as drawn, elided if need be
    qreal centre_ = 0;  // where its centre lies in the view
    qreal scale_ = 1;
};

}  // namespace orvelle
