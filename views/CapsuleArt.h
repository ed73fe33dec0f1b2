#pragma once

#include <QFont>
#include <QPixmap>
#include <QString>

namespace orvelle {

// How the capsule looks: as usual while working, marked as paid overtime (its own label, a
// glowing coin), in the unpaid break (its own label), or at rest with no session open (its own
// label, the amount faded).
enum class CapsuleLook { regular, overtime, lunchBreak, atRest };

// The parts of the floating capsule that never change, drawn at a device pixel ratio.
class CapsuleArt {
public:
    // Returns the words for the session's state `look`: 上班中, 加班中, 午休中 or 未在上班.
    static QString stateName(CapsuleLook look);

    // Returns the text stack's geometry: the label's and the amount's boxes in the 150 × 90 view.
    static QRectF labelBox();
    static QRectF amountBox();
    // Returns the amount's room at the height of its digits: right of where the inner capsule's
    // border curves in, left of the coin, each with a pixel or two to spare.
    static QRectF amountRoom();
    // Returns the amount's font.
    static QFont amountFont();

    // Returns the layers under the amount (capsules, sparkle, label) and over it (the coin). A
    // `label` given replaces the working label (the time left to the end of work).
    static QPixmap below(qreal devicePixelRatio, CapsuleLook look = CapsuleLook::regular,
                         const QString& label = {});
    static QPixmap above(qreal devicePixelRatio, CapsuleLook look = CapsuleLook::regular);
};

}  // namespace orvelle
