#include "barcode.h"

#include <QCoreApplication>

#include <zint.h>

#include <memory>

namespace qm {
namespace {

struct SymbolDeleter
{
    void operator()(zint_symbol *symbol) const { ZBarcode_Delete(symbol); }
};

bool allDigits(const QString &value)
{
    for (const QChar c : value) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// The digit counts a fixed-length code accepts: without and with its check digit.
bool digitCountFits(Symbology kind, const QString &value)
{
    const qsizetype n = value.size();
    switch (kind) {
    case Symbology::Ean13:
        return allDigits(value) && (n == 12 || n == 13);
    case Symbology::Ean8:
        return allDigits(value) && (n == 7 || n == 8);
    case Symbology::UpcA:
        return allDigits(value) && (n == 11 || n == 12);
    case Symbology::Itf14:
        return allDigits(value) && (n == 13 || n == 14);
    default:
        return true;
    }
}

int zintKind(Symbology kind)
{
    switch (kind) {
    case Symbology::Ean13:
    case Symbology::Ean8:
        return BARCODE_EANX;
    case Symbology::Code128:
        return BARCODE_CODE128;
    case Symbology::QrCode:
        return BARCODE_QRCODE;
    case Symbology::DataMatrix:
        return BARCODE_DATAMATRIX;
    case Symbology::Code39:
        return BARCODE_CODE39;
    case Symbology::UpcA:
        return BARCODE_UPCA;
    case Symbology::Itf14:
        return BARCODE_ITF14;
    }
    return BARCODE_CODE128;
}

// Check digit of EAN/UPC style codes: weights 3 and 1 from the right.
bool checkDigitRight(const QString &digits)
{
    int sum = 0;
    const qsizetype last = digits.size() - 1;
    for (qsizetype i = 0; i < last; ++i) {
        const int d = digits[i].unicode() - u'0';
        sum += ((last - i) % 2 == 1) ? 3 * d : d;
    }
    return (10 - sum % 10) % 10 == digits[last].unicode() - u'0';
}

bool hasCheckDigit(Symbology kind, const QString &value)
{
    switch (kind) {
    case Symbology::Ean13:
        return value.size() == 13;
    case Symbology::Ean8:
        return value.size() == 8;
    case Symbology::UpcA:
        return value.size() == 12;
    case Symbology::Itf14:
        return value.size() == 14;
    default:
        return false;
    }
}

} // namespace

std::optional<Symbology> symbologyOf(int number)
{
    if (number < 0 || number > static_cast<int>(Symbology::Itf14))
        return std::nullopt;
    return static_cast<Symbology>(number);
}

QString symbologyName(Symbology kind)
{
    switch (kind) {
    case Symbology::Ean13:
        return QStringLiteral("EAN-13");
    case Symbology::Code128:
        return QStringLiteral("Code 128");
    case Symbology::QrCode:
        return QStringLiteral("QR-Code");
    case Symbology::DataMatrix:
        return QStringLiteral("DataMatrix");
    case Symbology::Code39:
        return QStringLiteral("Code 39");
    case Symbology::Ean8:
        return QStringLiteral("EAN-8");
    case Symbology::UpcA:
        return QStringLiteral("UPC-A");
    case Symbology::Itf14:
        return QStringLiteral("ITF-14");
    }
    return {};
}

std::optional<BarcodeSymbol> encodeBarcode(Symbology kind, const QString &value, bool humanReadable)
{
    if (value.isEmpty() || !digitCountFits(kind, value))
        return std::nullopt;
    // The library's own check of a given check digit differs between its
    // versions; the program checks it itself.
    QString data = value;
    if (hasCheckDigit(kind, value)) {
        if (!checkDigitRight(value))
            return std::nullopt;
        data.chop(1); // the library adds it again
    }

    const std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol)
        return std::nullopt;
    symbol->symbology = zintKind(kind);
    symbol->input_mode = UNICODE_MODE;
    symbol->output_options |= BARCODE_QUIET_ZONES;
    symbol->show_hrt = humanReadable ? 1 : 0;
    if (kind == Symbology::DataMatrix)
        symbol->option_3 = DM_SQUARE; // always a square symbol, never an oblong one
    const QByteArray bytes = data.toUtf8();
    const int error = ZBarcode_Encode_and_Buffer_Vector(symbol.get(),
        reinterpret_cast<const unsigned char *>(bytes.constData()), static_cast<int>(bytes.size()), 0);
    if (error >= ZINT_ERROR || !symbol->vector)
        return std::nullopt;

    BarcodeSymbol out;
    out.width = symbol->vector->width;
    out.height = symbol->vector->height;
    for (const zint_vector_rect *r = symbol->vector->rectangles; r; r = r->next) {
        if (r->colour == -1)
            out.bars.emplace_back(r->x, r->y, r->width, r->height);
    }
    for (const zint_vector_string *s = symbol->vector->strings; s; s = s->next) {
        out.texts.push_back(BarcodeText { s->x, s->y, s->fsize, s->width,
            QString::fromUtf8(reinterpret_cast<const char *>(s->text), s->length) });
    }
    return out;
}

bool canEncode(Symbology kind, const QString &value)
{
    return encodeBarcode(kind, value, false).has_value();
}

QString unprintableBarcodeMessage(int record, const QString &field, const QString &value, Symbology kind)
{
    return QCoreApplication::translate(
        "qm", "Datensatz %1, Feld %2: \"%3\" kann nicht als %4 gedruckt werden.")
        .arg(record)
        .arg(field, value, symbologyName(kind));
}

} // namespace qm
