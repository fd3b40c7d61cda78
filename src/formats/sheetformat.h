#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace qm {

// A sheet format: one kind of label stock, read from a VRL file. All lengths
// are tenths of a millimetre, origin at the top-left corner of the sheet,
// x to the right and y downward.
//
// The application owns one SheetFormat, the current sheet format, and hands
// it to the reader, the print run, the creation wizard and the format
// expert.

// The position table holds at most this many labels per sheet.
inline constexpr int MaxLabelPositions = 200;

// The format expert takes descriptions of at most this many characters; the
// reader cuts a longer description from a file to this length.
inline constexpr int MaxDescriptionLength = 60;

// The rectangle of one label on the sheet.
struct LabelPosition
{
    qint32 x = 0;
    qint32 y = 0;
    qint32 width = 0;
    qint32 height = 0;

    bool operator==(const LabelPosition &) const = default;
};

struct SheetFormat
{
    QString description;      // at most MaxDescriptionLength characters
    qint32 extentWidth = 0;   // the used part of the sheet
    qint32 extentHeight = 0;
    // Entry i - 1 belongs to the i-th PO line of the file; at most
    // MaxLabelPositions entries. Its size is the position count.
    std::vector<LabelPosition> positions;
    // Width and height of the last PO line read (the creation wizard takes
    // them as the label size of the format).
    qint32 lastLabelWidth = 0;
    qint32 lastLabelHeight = 0;

    int positionCount() const { return static_cast<int>(positions.size()); }

    bool operator==(const SheetFormat &) const = default;
};

// FormatdateiLesen: reads the VRL file at `path` into `format`.
//
// Every line gets a "," appended and is split at commas, without quoting.
// The key is the first two characters of the first field, compared
// case-sensitively ("POS" counts as "PO"); lines with another key, with a
// first field shorter than two characters, comments ("**") and empty lines
// are skipped.
//   NA,description           the description, up to its first comma and cut
//                            to MaxDescriptionLength characters
//   GR,width,height          the sheet extent
//   PO,x,y,width,height      the next label; also the last label size
// A field missing from a short line repeats the last field that was present,
// the key field included (so "PO,10,20" is 10, 20, 20, 20, a bare "GR" reads
// as 0, 0 and a bare "NA" as the description "NA"). Numbers are read
// leniently: leading blanks, a sign, the digits up to the first other
// character, 0 without any; nothing is reported.
//
// The description, the extent and the last label size are only replaced by
// the lines that carry them: a file without NA or GR lines keeps the values
// of the file read before. The position table always describes this file
// alone.
//
// `statusPanelText` (when given) receives the description of this file, or
// an empty text when it has no NA line: the input mask shows it in its
// status line.
//
// Returns false, changing nothing, for an empty path or a file that cannot
// be opened (a directory included). Throws IoError for a read error after
// opening and qm::Error (tooManyLabelsMessage) for a file with more than
// MaxLabelPositions PO lines: its labels would not fit the position table,
// and printing only some of them would put the wrong sheet on paper. In both
// cases nothing is changed: the file is read into a copy that replaces
// `format` at the end.
bool FormatdateiLesen(const QString &path, SheetFormat &format, QString *statusPanelText = nullptr);

// The same for lines already read (tests and fuzzing); `path` only names the
// file in the error message.
void readSheetFormatLines(const QStringList &lines, const QString &path, SheetFormat &format,
                          QString *statusPanelText = nullptr);

// HolePosition: the rectangle of label i (1-based) moved by the offsets.
// The offsets are tenths of a millimetre; their fraction is dropped toward
// zero before they are added (-12.7 counts as -12). The sums are held to the
// 32-bit range, and an offset that is not a number counts as 0.
// When i is below 1 or above the position count, returns false and leaves
// x, y, width and height as they were.
bool HolePosition(const SheetFormat &format, int i, double offsetX, double offsetY, int &x, int &y,
                  int &width, int &height);

// The message of a VRL file with more labels than the position table holds.
QString tooManyLabelsMessage(const QString &path);

} // namespace qm
