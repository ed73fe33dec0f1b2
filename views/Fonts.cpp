#include "views/Fonts.h"

#include <QStringList>

namespace orvelle {

QFont viewFont(int pixelSize, QFont::Weight weight) {
    QFont font;
    font.setFamilies({QString::fromLatin1(kTextFamily), QStringLiteral("Noto Sans")});
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

}  // namespace orvelle
