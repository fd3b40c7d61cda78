#pragma once

#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

namespace qm {

// The kinds of barcode a BC record names in its fifth number.
enum class Symbology {
    Ean13 = 0,
    Code128 = 1,
    QrCode = 2,
    DataMatrix = 3,
    Code39 = 4,
    Ean8 = 5,
    UpcA = 6,
    Itf14 = 7,
};

// The kind for a BC record's number; none for a number that names no kind.
std::optional<Symbology> symbologyOf(int number);

// The kind's name as users know it ("EAN-13", "QR-Code", ...).
QString symbologyName(Symbology kind);

// A value of the kind's own sort that it prints, for showing a barcode
// that has no value yet (the editor's workspace): "400638133393" for
// EAN-13, "QR-Code" for a QR code, and so on.
QString sampleBarcodeValue(Symbology kind);

// The field size a barcode of the kind is offered with in the editor.
int defaultBarcodeFieldSize(Symbology kind);

// The size of a BC record's data field when its line gives none.
inline constexpr int UnsizedBarcodeField = 12;
// The sizes a BC record's eighth field may give.
inline constexpr int MaxBarcodeFieldSize = 500;
// A barcode's box must be at least this many design units across and down.
inline constexpr int MinBarcodeBox = 10;

// The most characters a barcode field of `kind` takes when its design gives
// it `size`: a kind with a check digit takes its digits with the check digit
// whatever size is stored (EAN-13 13, EAN-8 8, UPC-A 12, ITF-14 14), so a
// value is neither cut nor refused for its check digit; the other kinds take
// `size`. The input expert, the record files and new tables go by this size.
int barcodeFieldLimit(Symbology kind, int size);

// The check digit a value of `kind` should end in when it has all its digits
// with the check digit and that digit is wrong; none otherwise.
std::optional<int> expectedCheckDigit(Symbology kind, const QString &value);

// Why the barcode of a BC record is not printed, from its fifth field (the
// kind), its eighth (the field size, empty when the line has none) and its
// box in design units; "" when it is printed. A kind that is not a whole
// number or a size outside 1..500 makes the line one the program does not
// draw (as a line written elsewhere); an unknown kind or a box under
// MinBarcodeBox units is left out as well.
QString barcodeLineFault(const QString &kindText, const QString &sizeText, qint64 boxWidth, qint64 boxHeight);
// The kind number of a BC record's fifth field: a whole number, blanks
// around it allowed; none for anything else.
std::optional<int> barcodeKindNumber(const QString &kindText);
// The field size of a BC record's eighth field: 1..500, and
// UnsizedBarcodeField for an empty field; none for anything else.
std::optional<int> barcodeFieldSize(const QString &sizeText);

// A barcode laid out by libzint: dark rectangles and the human-readable
// texts, in the symbol's own units (its size is width x height, quiet
// zones included). A text's baseline runs through y; x is its middle, its
// left end or its right end, as `align` says.
struct BarcodeText
{
    enum class Align { Centre, Left, Right };
    double x = 0;
    double y = 0;
    double size = 0; // the font's size
    Align align = Align::Centre;
    QString text;
};

struct BarcodeSymbol
{
    double width = 0;
    double height = 0;
    std::vector<QRectF> bars;
    std::vector<BarcodeText> texts;
};

// Lays `value` out as a barcode of `kind`, with the digits under the bars of
// a linear code when `humanReadable`. None when the kind cannot encode the
// value: characters it does not know, a wrong check digit, a wrong number of
// digits (EAN-13 takes 12 digits, or 13 with the right check digit; EAN-8 7
// or 8, UPC-A 11 or 12, ITF-14 13 or 14), an empty value, or too much data.
std::optional<BarcodeSymbol> encodeBarcode(Symbology kind, const QString &value, bool humanReadable = true);

// sampleBarcodeValue(kind) laid out (encodeBarcode()), once for the whole
// program run: the editor's workspace draws it at every repaint.
const std::optional<BarcodeSymbol> &sampleBarcodeSymbol(Symbology kind);

// The modules of a QR code of `value`, row by row (1 dark), the quiet zone
// left out, with the given mask 0..7 or, for -1, the mask of fewest penalty
// points (ISO/IEC 18004, 7.8.3). None when the value cannot be encoded.
struct QrMatrix
{
    int size = 0; // modules across and down
    int mask = -1;
    std::vector<quint8> modules; // size x size
};
std::optional<QrMatrix> qrModules(const QString &value, int mask = -1);
// The penalty points of a QR code's modules by which the mask is chosen.
long qrPenaltyPoints(const QrMatrix &matrix);

// Whether `value` can be printed as `kind`.
bool canEncode(Symbology kind, const QString &value);

// "Datensatz <record>, Feld <field>: "<value>" kann nicht als <kind>
// gedruckt werden.", for a wrong check digit with ", die Prüfziffer müsste
// <digit> sein" before the full stop.
QString unprintableBarcodeMessage(int record, const QString &field, const QString &value, Symbology kind);

} // namespace qm
