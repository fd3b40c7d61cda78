#pragma once

#include "sheetformat.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace qm {

// The format expert describes a sheet format as a regular grid: N labels of
// W by H across, M down, the first one at (SX, SY), with the gaps GX and GY
// between neighbours (the pitch is W + GX across and H + GY down). The VRL
// file stores only the finished positions; the grid is derived back from
// them when a format is changed.

// The grid in tenths of a millimetre, counts as whole numbers.
struct SheetGrid
{
    qint32 width = 0;  // W, field Grx
    qint32 height = 0; // H, field GRY
    int across = 1;    // N, field Neben
    int down = 1;      // M, field Unter
    qint32 startX = 0; // SX, field Startx: left edge of the first column
    qint32 startY = 0; // SY, field Starty: top edge of the first row
    qint32 gapX = 0;   // GX, field VorX
    qint32 gapY = 0;   // GY, field VorY

    bool operator==(const SheetGrid &) const = default;
};

// The grid derived from a sheet format. The gaps are real numbers: a sheet
// that was not written from a grid may spread its labels unevenly.
struct DerivedSheetGrid
{
    qint32 width = 0;
    qint32 height = 0;
    int across = 1;
    int down = 1;
    qint32 startX = 0;
    qint32 startY = 0;
    double gapX = 0;
    double gapY = 0;

    bool operator==(const DerivedSheetGrid &) const = default;
};

// The texts of the format expert's eight fields: lengths in millimetres,
// counts as whole numbers.
struct GridTexts
{
    QString grx;
    QString gry;
    QString neben;
    QString unter;
    QString startx;
    QString starty;
    QString vorX;
    QString vorY;

    bool operator==(const GridTexts &) const = default;
};

// Millimetres as typed to tenths: times 10, the fraction dropped toward zero
// ("10.5" and "10.55" are 105, "-0.55" is -5). The text is read leniently
// and exactly (digit by digit, no floating point): leading blanks, an
// optional sign, digits, optionally a decimal point or comma and more
// digits; reading stops at the first other character and takes what it has,
// so "" and "abc" are 0, and "10,5" is 105 like "10.5" (German users type
// the comma). A digit that would
// carry the value beyond the 32-bit range ends the number like an invalid
// character.
qint32 mmTextToTenths(QStringView text);

// Tenths shown as millimetres with exactly one decimal, right-aligned in at
// least four characters: 105 is "10.5", 50 is " 5.0", -5 is "-0.5".
QString tenthsToMmText(qint64 tenths);

// The same for a real number of tenths (a derived gap), rounded to whole
// tenths, halves away from zero: 12.5 is " 1.3".
QString realTenthsToMmText(double tenths);

// The grid of the format expert's fields. The counts are converted strictly,
// Neben before Unter (ConvertError with the field's text); the lengths
// leniently by mmTextToTenths.
SheetGrid sheetGridFromTexts(const GridTexts &texts);

// The fields' texts for a grid (lengths by tenthsToMmText).
GridTexts gridTexts(const SheetGrid &grid);
GridTexts gridTexts(const DerivedSheetGrid &grid);

// The number of labels the writer puts on a sheet: N·M when N >= 1 and
// M > 1; N when N > 1 and M <= 1; 1 when both are 1 or less; 0 when N is 0
// or less and M > 1.
qint64 labelCount(const SheetGrid &grid);

// The sheet format a grid describes, exactly as VorlageSichern writes it
// and FormatdateiLesen reads it back (description as given, not cut).
//
// Extent: SX + N·W + (N − 1)·GX when N > 1, else SX + W + GX (a single
// column ends one gap after its label); the same for the height with M, SY,
// H and GY. Positions row by row from the top, left to right within a row:
// x = SX + (i − 1)·(W + GX), y = SY + (j − 1)·(H + GY). A count of 0 counts
// as 1, except that 0 across with more than one row gives no position.
//
// Throws qm::Error, in German, for a negative count, for more than
// MaxLabelPositions labels (the reader could not take them back) and for a
// length of the result outside the 32-bit range.
SheetFormat sheetFormatFromGrid(const QString &description, const SheetGrid &grid);

// The lines of a VRL file for a sheet format: the header
// "** Formatdatei erstellt mit QUILLMARK 95 - Version2.04s", "NA," and the
// description, "GR," width "," height, then "PO," x "," y "," width ","
// height per label. A line break in the description becomes a blank, so
// that it cannot start a line of its own.
QStringList vrlFileLines(const SheetFormat &format);

// VorlageSichern: writes the format expert's fields as a VRL file. All
// checks come before anything is written (ConvertError for a count that is
// not a whole number, qm::Error as for sheetFormatFromGrid, EncodingError
// for a description outside cp1252); the file is then replaced in one step
// (cp1252, CR LF), so a failure leaves the previous file whole.
void VorlageSichern(const QString &path, const QString &description, const GridTexts &texts);

// The grid of a sheet format, as the format expert shows it when a format
// is changed:
// - SX, SY, W and H are x, y, width and height of the first label (0 when
//   the format has none);
// - N counts the labels, in file order, whose x is greater than -1 and than
//   the x of every earlier label; M likewise with y; 0 becomes 1;
// - with exactly one label GX is 0 and GY = extent height − SY − H;
//   otherwise GX = (extent width − SX − N·W) / (N − 1) when N > 1, else
//   extent width − SX − W, and GY the same way with M.
// For a file written from a grid, writing the derived grid again gives the
// same file, except that a single label loses its horizontal gap.
DerivedSheetGrid deriveSheetGrid(const SheetFormat &format);

} // namespace qm
