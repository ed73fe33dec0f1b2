#pragma once

#include <QPixmap>

namespace orvelle {

// How the capsule looks: as usual, or marked as paid overtime (its own label, a glowing coin).
enum class CapsuleLook { regular, overtime };

// The parts of the floating capsule that never change, drawn at a device pixel ratio.
class CapsuleArt {
public:
    // Returns the text stack's geometry: the label's and the amount's boxes in the 150 × 90 view.
    static QRectF labelBox();
    static QRectF amountBox();

    // Returns the layers under the amount (capsules, sparkle, label) and over it (the coin).
    static QPixmap below(qreal devicePixelRatio, CapsuleLook look = CapsuleLook::regular);
    static QPixmap above(qreal devicePixelRatio, CapsuleLook look = CapsuleLook::regular);
};

}  // namespace orvelle
