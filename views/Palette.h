#pragma once

#include <QColor>

namespace orvelle::palette {

// The colours both views share, by role, as sRGB components over 255.
inline const QColor gradientStart{250, 213, 229};
inline const QColor gradientEnd{255, 243, 190};
inline const QColor accentRose{234, 63, 121};
inline const QColor sectionPink{242, 72, 130};
inline const QColor plum{140, 59, 92};
inline const QColor cardBorder{248, 169, 203};
inline const QColor cardFill{255, 255, 255, 217};  // white at 0.85

// The capsule's own colours.
inline const QColor innerCapsuleFill{255, 255, 255, 224};  // white at 0.88
inline const QColor sparkle{255, 224, 106};
inline const QColor sparkleShadow{255, 224, 106, 89};  // 0.35
inline const QColor coinFill{255, 200, 87};
inline const QColor coinOutline{240, 175, 58};
inline const QColor coinGlyph{185, 126, 0};
inline const QColor coinShadow{255, 180, 70, 89};  // 0.35

}  // namespace orvelle::palette
