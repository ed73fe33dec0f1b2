#pragma once

#include <QFont>

namespace orvelle {

// The family every text of the views is set in: Noto Sans CJK SC draws Chinese without tofu, and
// its digits, "," and "." have equal advances, so amounts do not jitter as they change.
inline constexpr const char* kTextFamily = "Noto Sans CJK SC";

// The type sizes of the cards beside the salary page: their titles and their rows.
inline constexpr int kTitlePixels = 18;
inline constexpr int kRowPixels = 14;

// Returns the views' font at `pixelSize` logical pixels (the design's points) and `weight`.
QFont viewFont(int pixelSize, QFont::Weight weight = QFont::Normal);

}  // namespace orvelle
