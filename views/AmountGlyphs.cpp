#include "views/AmountGlyphs.h"

#include <QTextLayout>

#include <algorithm>

namespace orvelle {

namespace {

// Lays `text` out on one unwrapped line, shaped in full.
SetLine laidOut(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    SetLine set{text, layout.glyphRuns(), {}, line.height(), 0, line.height()};
    set.carets.reserve(text.size() + 1);
    for (int i = 0; i <= text.size(); ++i) {
        set.carets.push_back(line.cursorToX(i));
    }
    return set;
}

}  // namespace

AmountGlyphs::AmountGlyphs(const QFont& font) : font_(font) {
    if (!takeTable()) {
        ascent_ = 0;
    }
}

// Lays out every ordered pair of the characters in one sample and takes each character's glyph
// and advance from it, if every occurrence agrees: then no pair is kerned or joined.
bool AmountGlyphs::takeTable() {
    QString sample;
    for (const char16_t first : kCharacters) {
        for (const char16_t second : kCharacters) {
            sample.append(QChar(first)).append(QChar(second));
        }
    }
    const SetLine line = laidOut(sample, font_);
    if (line.runs.size() != 1 || line.runs[0].glyphIndexes().size() != sample.size()) {
        return false;
    }
    const QGlyphRun& run = line.runs[0];
    raw_ = run.rawFont();
    height_ = line.height;
    ascent_ = run.positions()[0].y();
    std::array<bool, kCharacters.size()> seen{};
    for (qsizetype i = 0; i < sample.size(); ++i) {
        const auto at = kCharacters.find(sample[i].unicode());
        const quint32 glyph = run.glyphIndexes()[i];
        const QPointF position = run.positions()[i];
        const qreal advance = line.carets[i + 1] - line.carets[i];
        if (glyph == 0 || position.y() != ascent_ || position.x() != line.carets[i]) {
            return false;
        }
        if (!seen[at]) {
            seen[at] = true;
            glyphs_[at] = glyph;
            advances_[at] = advance;
        } else if (glyphs_[at] != glyph || advances_[at] != advance) {
            return false;
        }
    }
    // The glyphs' ink boxes, which a new cent's repaint need not go beyond: a CJK font's line is
    // much taller than its digits.
    inkTop_ = height_;
    inkBottom_ = 0;
    for (const quint32 glyph : glyphs_) {
        const QRectF ink = raw_.boundingRect(glyph).translated(0, ascent_);
        inkTop_ = std::min(inkTop_, ink.top());
        inkBottom_ = std::max(inkBottom_, ink.bottom());
    }
    return ascent_ > 0;
}

SetLine AmountGlyphs::set(const QString& text) const {
    if (auto line = setFromTable(text)) {
        return *std::move(line);
    }
    return laidOut(text, font_);
}

std::optional<SetLine> AmountGlyphs::setFromTable(const QString& text) const {
    if (!fromTable()) {
        return std::nullopt;
    }
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(text.size());
    positions.reserve(text.size());
    SetLine set{text, {}, {0}, height_, inkTop_, inkBottom_};
    set.carets.reserve(text.size() + 1);
    qreal x = 0;
    for (const QChar c : text) {
        const auto at = kCharacters.find(c.unicode());
        if (at == std::u16string_view::npos) {
            return std::nullopt;
        }
        glyphs.append(glyphs_[at]);
        positions.append(QPointF(x, ascent_));
        x += advances_[at];
        set.carets.push_back(x);
    }
    if (!glyphs.isEmpty()) {
        QGlyphRun run;
        run.setRawFont(raw_);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        set.runs.append(run);
    }
    return set;
}

}  // namespace orvelle
