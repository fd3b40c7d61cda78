#pragma once

#include "platform/stringtable.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace qm {

// The print side of a design: the print element list that the print run
// draws on every label, read from an ETI file by EtikettdateiLesen, which in
// the same pass registers the design's data fields in the grids of the
// windows that need them.
//
// This reader differs from the editor's on purpose, so that files read the
// same on paper as they always have: it appends a "," to every line before
// splitting (the last field ends at the next comma, only TE and BM keep the
// commas of their last field), the key is the first two characters of the
// first field ("NAME" counts as NA), numbers are converted leniently (the
// digits read so far, 0 without any) and never reported, SF carries a font
// weight, XF is bold on paper only for a bold field of exactly 1, SE is a
// serial number for every mode but 0, and BC and BF register a field. A BC line
// whose barcode is not printed is noted in PrintDesign::notices.
//
// Limits:
// - The list holds at most MaxPrintRecords (200) records, one per line that
//   is neither a comment nor empty; a saved design fits 99 elements other
//   than bitmaps. A file with more records is refused with qm::Error
//   ("Die Etikettendatei ... enthält mehr als 200 Einträge ..."): printing
//   only its first 200 records would put a different label on paper without
//   a word. Nothing is changed then.
// - Texts (descriptions, font names, texts, paths, field names) are kept
//   whole however long they are, the design name too: cutting them would
//   print something else than was designed.

inline constexpr int MaxPrintRecords = 200;

// The size of a BF record's field when the line gives none: room for a path.
inline constexpr int UnsizedPictureField = 200;

// One record of the print element list. What goes where, by key:
//
//   NA            text = description (up to its first comma)
//   GR            a width, b height, c units per cm
//   SP            a pen width, b dashed
//   XP            a pen code, b colour
//   LI, RE, RA    a x1, b y1, c x2, d y2
//   SF            a height, b italic, c weight, d rotation, text font
//   XF            a height, b italic, c bold, d rotation, e colour, text font
//   TE            a x, b y, text (the rest of the line, commas included),
//                 pieces: the text split at its fields when it has any
//   BM            a x, b y, text path (the rest, commas included)
//   XB            a x1, b y1, c x2, d y2, text path
//   BC            a x1, b y1, c x2, d y2, e kind, text field name; e is -1
//                 when the kind is not a whole number or the size not 1..500
//   BF            a x1, b y1, c x2, d y2, text field name (the field's
//                 value names the picture file)
//   EF            a x, b y, c field size, text field name
//   SE            a x, b y, c mode, text before, text2 after (mode not 0)
//   XT            a width, b height, c fit, d align, e smallest size (points),
//                 f line limit: the text box of the next TE, EF or SE record
//                 (textBoxOf()); all zeros for a line that is not read (its
//                 fields out of range), which is named in notices
//
// A piece of a text with fields in it: literal text, or the value of a data
// column.
struct TextPiece
{
    QString text; // column 0: printed as it stands
    int column = 0; // the data column whose value is printed here

    bool operator==(const TextPiece &) const = default;
};

// Any other key gives a record with zeros and empty texts.
struct PrintRecord
{
    QString key; // the first two characters of the line's first field
    qint32 a = 0;
    qint32 b = 0;
    qint32 c = 0;
    qint32 d = 0;
    qint32 e = 0;
    QString text;
    QString text2;
    // TE with "${": the text in literal pieces and data columns, resolved
    // when the design is read (splitFieldText()); empty: `text` as it stands.
    std::vector<TextPiece> pieces {};
    qint32 f = 0; // XT: the line limit

    bool operator==(const PrintRecord &) const = default;
};

// A data field of the design, in data column order (1, 2, 3 ...): every EF
// record, every SE record with a mode other than 0 (a serial number),
// every BC record and every BF record (a picture named by the record); after
// them each title named inside a TE text ("${Titel}") that no field before
// has (compared trimmed, regardless of letter case).
struct DataField
{
    int column = 0;
    QString title; // the field name, or "Seriennr.[" + text before + "]"
    // As written in the file; "6" for a serial number; for BC the size 1..500
    // ("12" without one), for a kind with a check digit at least its digits
    // with the check digit (barcodeFieldLimit()).
    // A field named only inside text: N of the first "${Titel:N}", else
    // DefaultTextFieldSize.
    QString size;
    bool inFieldGrid = false; // EF, BC and text fields: also shown by the database expert

    bool operator==(const DataField &) const = default;
};

// Fields inside text. In a TE line that contains "${":
// - "${Titel}" prints the value of the data field with that title,
//   "${Titel:N}" the same and gives a field the design does not otherwise
//   have the size N (1 .. 9999; default DefaultTextFieldSize);
// - "$$" prints one "$";
// - a "${" that names nothing (no closing brace, an empty title, a size
//   that is not a whole number from 1 on, a "{" inside) prints as it stands.
// A TE line without "${" prints as it stands, "$$" included, as it always
// has.
inline constexpr int DefaultTextFieldSize = 30;

// One piece of a text split at its fields.
struct FieldTextPart
{
    QString text; // literal text, or the field's title (trimmed)
    bool field = false;
    int size = 0; // a field's size as written, 0 without one
};

// `text` split into literal text and fields (adjacent literal text joined);
// a text without "${" is one literal part (none when empty).
std::vector<FieldTextPart> splitFieldText(const QString &text);

// The design read last, as the print run uses it. The application owns one
// and hands it to the loader, the print run and the database expert.
struct PrintDesign
{
    std::vector<PrintRecord> records; // at most MaxPrintRecords
    std::vector<DataField> fields;
    int fieldCount = 0;
    bool hasFields = false;
    QString name;          // the NA text
    int labelWidth = 0;    // from GR, design units
    int labelHeight = 0;
    int printScale = 25;   // from GR: design units per cm
    // What the reader found that the run should tell once before printing:
    // each barcode that is not printed, and why (barcodeNotice()).
    QStringList notices;

    int recordCount() const { return static_cast<int>(records.size()); }
};

// Where the loader registers the data fields: the label list (Gitter of
// TDatenhaltung), the entry grid (Gitter of TEingabeExperte), the database
// expert's field grid (GridEtikettenFelder), the database expert's caption
// (TitelEtifelder) and the first panel of the input expert's status line.
// A null pointer means "not wanted".
struct FieldGrids
{
    StringTable *labelList = nullptr;
    StringTable *entryGrid = nullptr;
    StringTable *fieldGrid = nullptr;
    QString *fieldGridCaption = nullptr;
    QString *statusText = nullptr;
};

// The print side's field splitter: removes the text up to the first comma
// and the comma from `line` and puts it into `field`. Without a comma the
// field becomes empty and the line stays as it is; when the line is already
// empty, `field` is left untouched.
void NaechstesFeld(QString &line, QString &field);

// EtikettdateiLesen: reads the ETI file at `path` into `design` and
// registers its data fields in `grids`:
// - label list: cell (n, 0) = title of data column n;
// - entry grid: (n, 0) title, (n, 1) size, (0, 0) the field count;
// - field grid, for EF and BC only: (n, 0) "Feld n", (n, 1) name,
//   (n, 2) size + " Zeichen", (0, 1) "Feldname", (0, 2) "Feldgröße";
// - caption "Felder der aktuellen Etikettendatei [\"<name>\"]" when the file
//   has an NA record; status text = the design name.
// Cells are (column, row). A grid that gets data column n has at least
// n + 1 columns afterwards; no column count is lowered, and a design
// without fields leaves the grids' sizes as they were.
//
// Returns false, changing nothing, for an empty path or a file that cannot
// be opened. Throws IoError for a read error after opening and qm::Error
// for a design with more than MaxPrintRecords records; in both cases
// nothing is changed either (the file is parsed first, then committed).
//
// Every call describes only the file just read: name, label size and print
// scale start from "", 0, 0 and 25 and are set by the NA and GR records.
// A field missing from a short record (such as "TE,10") reads as empty,
// i.e. 0 or "".
bool EtikettdateiLesen(const QString &path, PrintDesign &design, const FieldGrids &grids);

// The same, from lines already read (for the reader's tests and fuzzing);
// `path` only names the file in the error message.
void readPrintDesignLines(const QStringList &lines, const QString &path, PrintDesign &design,
                          const FieldGrids &grids);

// "Felder der aktuellen Etikettendatei [\"" + name + "\"]"
QString fieldGridCaption(const QString &designName);

// "Etikettendatei <path>, Zeile <line>, Feld <field>: Der Barcode wird
// nicht gedruckt, <reason>." (without a path from "Zeile" on)
QString barcodeNotice(const QString &path, int line, const QString &field, const QString &reason);

// A text box: the XT record before a text, field or serial number. Its
// values are checked where they are read: width and height 1..5000 design
// units, fit 0..2, align 0..2, smallest size 1..200 points, line limit
// 0..100.
struct TextBox
{
    enum class Fit { OneLine = 0, Shrink = 1, WrapAndShrink = 2 };
    enum class Align { Left = 0, Centre = 1, Right = 2 };
    int width = 0;
    int height = 0;
    Fit fit = Fit::OneLine;
    Align align = Align::Left;
    int minSize = 1; // points
    int maxLines = 0; // 0: as many as fit

    bool operator==(const TextBox &) const = default;
};

// The box of an XT record; none for another record or an XT line that was
// not read.
std::optional<TextBox> textBoxOf(const PrintRecord &record);

// Why the fields of an XT line (after the key) cannot be read; empty when
// they can.
QString textBoxLineFault(const QStringList &fields);

// "Etikettendatei <path>, Zeile <line>: Der Textrahmen wird nicht beachtet,
// <reason>." (without a path from "Zeile" on)
QString textBoxNotice(const QString &path, int line, const QString &reason);

// The message of a design with too many records for the print element list.
QString tooManyRecordsMessage(const QString &path);

} // namespace qm
