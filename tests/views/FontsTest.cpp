#include "views/Fonts.h"

#include <gtest/gtest.h>
#include <QFontInfo>
#include <QFontMetricsF>

namespace orvelle {
namespace {

TEST(ViewFont, ResolvesToTheCjkFamilyAtPixelSizes) {
    const QFont font = viewFont(24, QFont::Bold);
    EXPECT_EQ(QFontInfo(font).family(), kTextFamily);
    EXPECT_EQ(QFontInfo(font).pixelSize(), 24);
}

TEST(ViewFont, DigitsAndSeparatorsHaveEqualAdvancesInEveryAmountFont) {
    for (const QFont& font : {viewFont(24, QFont::Bold), viewFont(54, QFont::Bold)}) {
        const QFontMetricsF metrics(font);
        const qreal zero = metrics.horizontalAdvance(QLatin1Char('0'));
        for (const char digit : std::string("123456789")) {
            EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(QLatin1Char(digit)), zero)
                << digit << " at " << font.pixelSize() << " px";
        }
        // So an amount's width depends only on how many digits it has.
        EXPECT_DOUBLE_EQ(metrics.horizontalAdvance("1,111.11"),
                         metrics.horizontalAdvance("8,888.88"));
    }
}

}  // namespace
}  // namespace orvelle
