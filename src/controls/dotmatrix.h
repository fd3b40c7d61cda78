#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace qm {

// The font of the dot-matrix panel. A character cell is 6 × 9 dots; a glyph
// uses dot columns 0 to 4 and dot rows 1 to 7, so that dot row 0, dot row 8
// and dot column 5 stay unlit and keep neighbouring characters apart. The font
// has the 64 characters from the blank (32) to the underscore (95).
namespace dotfont {

inline constexpr int CellDotsX = 6;
inline constexpr int CellDotsY = 9;
inline constexpr int FirstCode = 32;
inline constexpr int LastCode = 95;
inline constexpr int GlyphCount = LastCode - FirstCode + 1;
inline constexpr int GlyphRows = 7;

// The seven dot rows of a glyph from top to bottom, bit 4 the leftmost dot.
using Glyph = std::array<std::uint8_t, GlyphRows>;

// The glyph of a character code 32..95; any other code gives the blank.
const Glyph &glyph(int code);

// The code whose glyph shows the character: small letters a to z become
// capitals, and every character outside 32..95 after that shows as the blank.
int glyphCode(QChar c);

// Whether dot (x, y) of the character's cell (x 0..5, y 0..8) is lit.
bool isLit(QChar c, int x, int y);

// A dot of dotSize pixels shows a small square in its top-left corner and
// background on its right and lower side: two thirds of the dot, rounded
// (1 pixel of 1 or 2, 2 of 3, 3 of 4 or 5, 13 of 20).
int litExtent(int dotSize);

} // namespace dotfont

// The colours of a dot-matrix display.
struct DotColours
{
    QColor background;
    QColor lit;
    QColor unlit;

    bool operator==(const DotColours &) const = default;
};

// All glyphs of the font side by side in one row, drawn at one dot size in
// one set of colours, so that painting a character is one copy of its cell.
class DotGlyphSheet
{
public:
    // Draws the sheet again when the dot size or a colour differs from the
    // last call; a dot size outside 1..20 is taken as the nearest limit.
    void prepare(int dotSize, const DotColours &colours);

    int dotSize() const { return m_dotSize; }
    int cellWidth() const { return m_dotSize * dotfont::CellDotsX; }
    int cellHeight() const { return m_dotSize * dotfont::CellDotsY; }
    const QImage &image() const { return m_image; }
    // The cell of the sheet that shows the character.
    QRect cell(QChar c) const;

private:
    int m_dotSize = 0;
    DotColours m_colours;
    QImage m_image;
};

// The scrolling of one line of text through a row of character cells, from
// the right edge to the left, dot by dot or character by character.
class DotScroller
{
public:
    // The scrolled text: every line followed by one blank.
    static QString joinedText(const QStringList &lines);

    // Back to the start: offset 0, position 1, and the display string of
    // that position.
    void restart(const QStringList &lines, int columns);

    // One step of the timer; returns true when the text has advanced by one
    // whole character.
    bool step(const QStringList &lines, int columns, int dotSize, bool byCharacter);

    // Pixels the row of cells is drawn to the left (0 or negative).
    int offset() const { return m_offset; }
    // The 1-based position in the text padded in front by one blank per
    // column.
    int position() const { return m_position; }
    // The characters of cells 0 to columns (one more than are visible).
    const QString &display() const { return m_display; }

private:
    void updateDisplay(const QString &text, int columns);

    int m_offset = 0;
    int m_position = 1;
    QString m_display;
};

} // namespace qm
