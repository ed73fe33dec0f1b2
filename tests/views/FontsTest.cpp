#include "views/Fonts.h"

#include <gtest/gtest.h>
#include <QFontInfo>
#include <QFontMetricsF>

namespace orvelle {
namespace {

// The CJK family must really be there (no tofu), and its digits must share one advance so that a
// changing amount does not jitter: every "d,ddd.dd" is as wide as "0,000.00".
TEST(ViewFont, ResolvesToTheCjkFamilyWhoseDigitsShareOneAdvance) {
    for (const int size : {24, 54}) {
        const QFont font = viewFont(size, QFont::Bold);
        EXPECT_EQ(QFontInfo(font).family(), kTextFamily);
        EXPECT_EQ(QFontInfo(font).pixelSize(), size);
        const QFontMetricsF metrics(font);
        for (const QChar digit : QStringLiteral("123456789")) {
            EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(QString("0,000.00").replace('0', digit)),
                             metrics.horizontalAdvance("0,000.00"))
                << digit.toLatin1() << " at " << size << " px";
        }
    }
}

}  // namespace
}  // namespace orvelle
