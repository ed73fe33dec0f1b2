#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QRawFont>
#include <QString>

namespace orvelle {

// A line of text set in glyphs, ready to draw: its top left is at (0, 0).
struct SetLine {
    QString text;               // what was set
    QList<QGlyphRun> runs;      // positioned in the line, on its baseline
    std::vector<qreal> carets;  // the x before each of the text's code units, then the line's end
    qreal height = 0;
    // Where the glyphs may put ink, from the line's top down: the whole line for text laid out in
    // full, the rows the table's glyphs ink for an amount set from it.
    qreal inkTop = 0;
    qreal inkBottom = 0;
};

// Sets lines of text in one font. The capsule sets a new amount for every cent, all day, and text
// shaping was the dearest part of that. An amount is written with fifteen characters; where the
// font sets each of them as one glyph with an advance of its own whatever stands beside it (no
// kerning, ligature or fallback font among them, which is checked on every pair of them), an
// amount is set from a table taken once from a laid-out sample: the glyphs and positions the
// layout gives every pair of them. Any other text, and any text in a font that shapes these
// characters in context, is laid out in full.
class AmountGlyphs {
public:
    explicit AmountGlyphs(const QFont& font);

    // Returns the font lines are set in.
    const QFont& font() const { return font_; }
    // Returns whether amounts are set from the table.
    bool fromTable() const { return ascent_ > 0; }
    // Returns `text` set in the font.
    SetLine set(const QString& text) const;

private:
    static constexpr std::u16string_view kCharacters = u"0123456789.,-¥•";

    bool takeTable();
    // Returns `text` set from the table; nothing when the table is not in use or lacks one of
    // its characters.
    std::optional<SetLine> setFromTable(const QString& text) const;

    QFont font_;
    QRawFont raw_;
    std::array<quint32, kCharacters.size()> glyphs_{};
    std::array<qreal, kCharacters.size()> advances_{};
    qreal ascent_ = 0;  // the baseline's y in a line; 0 while the table is not in use
    qreal height_ = 0;
    qreal inkTop_ = 0;  // the least and most y that any of the table's glyphs inks in a line
    qreal inkBottom_ = 0;
};

}  // namespace orvelle
