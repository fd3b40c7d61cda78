// Barcode values on arbitrary bytes. The first byte chooses what is fuzzed:
// - below 0x80: a value (the rest, as UTF-8) of the kind byte % 8, with a
//   stored field size from the second byte. What the check before printing
//   accepts must be laid out, inside its symbol; a value of a kind with a
//   check digit is taken with it whatever the stored size, a wrong check
//   digit is refused naming the right one, and a QR code gets the mask of
//   fewest penalty points;
// - from 0x80 on: the rest is the tail of a BC line of a design, which is
//   either drawn or named once as a barcode that is not printed, and keeps
//   its data column either way.
// Any broken rule aborts.
#include "designs/barcode.h"
#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "platform/errors.h"
#include "platform/stringtable.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void require(bool rule)
{
    if (!rule)
        abort();
}

// The digits of a kind with a check digit, the check digit included.
int fullDigits(qm::Symbology kind)
{
    switch (kind) {
    case qm::Symbology::Ean13:
        return 13;
    case qm::Symbology::Ean8:
        return 8;
    case qm::Symbology::UpcA:
        return 12;
    case qm::Symbology::Itf14:
        return 14;
    default:
        return 0;
    }
}

bool allDigits(const QString &value)
{
    for (const QChar c : value) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return !value.isEmpty();
}

// Weights 3 and 1 from the right, over the digits before the check digit.
int checkDigitOf(const QString &digits)
{
    int sum = 0;
    for (qsizetype i = 0; i < digits.size(); ++i)
        sum += (digits.size() - i) % 2 == 1 ? 3 * (digits[i].unicode() - u'0') : digits[i].unicode() - u'0';
    return (10 - sum % 10) % 10;
}

void checkLaidOut(qm::Symbology kind, const QString &value)
{
    const bool printable = qm::canEncode(kind, value);
    const std::optional<qm::BarcodeSymbol> symbol = qm::encodeBarcode(kind, value);
    require(printable == symbol.has_value());
    if (!symbol)
        return;
    require(std::isfinite(symbol->width) && std::isfinite(symbol->height));
    require(symbol->width > 0 && symbol->height > 0);
    require(!symbol->bars.empty());
    constexpr double slack = 1e-6;
    for (const QRectF &bar : symbol->bars) {
        require(bar.width() > 0 && bar.height() > 0);
        require(bar.left() >= -slack && bar.top() >= -slack);
        require(bar.right() <= symbol->width + slack && bar.bottom() <= symbol->height + slack);
    }
}

void checkCheckDigit(qm::Symbology kind, const QString &value, int storedSize)
{
    const int digits = fullDigits(kind);
    if (digits == 0)
        return;
    // Whatever the stored size, the field takes every value the kind prints.
    if (qm::canEncode(kind, value))
        require(value.size() <= qm::barcodeFieldLimit(kind, storedSize));
    if (!allDigits(value) || value.size() != digits - 1)
        return;
    const int right = checkDigitOf(value);
    const QString withRight = value + QString::number(right);
    require(qm::canEncode(kind, withRight) == qm::canEncode(kind, value));
    require(!qm::expectedCheckDigit(kind, withRight));
    const QString withWrong = value + QString::number((right + 1 + int(value.size() % 9)) % 10);
    require(!qm::canEncode(kind, withWrong));
    require(qm::expectedCheckDigit(kind, withWrong) == right);
    require(qm::unprintableBarcodeMessage(1, QStringLiteral("Feld"), withWrong, kind)
                .endsWith(QStringLiteral(", die Prüfziffer müsste %1 sein.").arg(right)));
}

void checkQrMask(const QString &value)
{
    if (value.toUtf8().size() > 120)
        return; // larger symbols repeat what small ones do, slowly
    const std::optional<qm::QrMatrix> chosen = qm::qrModules(value);
    if (!chosen)
        return;
    require(chosen->mask >= 0 && chosen->mask < 8);
    const long points = qm::qrPenaltyPoints(*chosen);
    for (int mask = 0; mask < 8; ++mask) {
        const std::optional<qm::QrMatrix> masked = qm::qrModules(value, mask);
        require(masked && masked->size == chosen->size && masked->mask == mask);
        const long maskPoints = qm::qrPenaltyPoints(*masked);
        // The first mask of fewest points.
        require(mask < chosen->mask ? maskPoints > points : maskPoints >= points);
        if (mask == chosen->mask)
            require(masked->modules == chosen->modules);
    }
}

void checkLine(const QByteArray &tail)
{
    const QString line = QStringLiteral("BC,") + QString::fromLatin1(tail).remove(u'\r').remove(u'\n');
    qm::PrintDesign design;
    qm::StringTable entryGrid;
    qm::FieldGrids grids;
    grids.entryGrid = &entryGrid;
    qm::readPrintDesignLines(
        { line, QStringLiteral("EF,1,1,8,Preis") }, QStringLiteral("fuzz.eti"), design, grids);
    require(design.records.size() == 2 && design.fields.size() == 2);
    const qm::PrintRecord &record = design.records.front();
    require(record.key == u"BC");
    // The price keeps the second column.
    require(entryGrid.cell(2, 0) == u"Preis" && design.fields[1].column == 2);
    const bool drawn = qm::drawsBarcode(record);
    require(design.notices.size() == (drawn ? 0 : 1));
    if (!drawn)
        require(design.notices.front().contains(QStringLiteral("Zeile 1, Feld ")));
    bool number = false;
    const int size = design.fields.front().size.toInt(&number);
    require(number && size >= 1 && size <= qm::MaxBarcodeFieldSize);
    if (drawn)
        require(size >= fullDigits(static_cast<qm::Symbology>(record.e)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data) + 2, static_cast<qsizetype>(size - 2));
    if (data[0] >= 0x80) {
        checkLine(QByteArray(1, static_cast<char>(data[1])) + rest);
        return 0;
    }
    const auto kind = static_cast<qm::Symbology>(data[0] % 8);
    const int storedSize = 1 + data[1] % qm::MaxBarcodeFieldSize;
    const QString value = QString::fromUtf8(rest);
    checkLaidOut(kind, value);
    checkCheckDigit(kind, value, storedSize);
    if (kind == qm::Symbology::QrCode)
        checkQrMask(value);
    return 0;
}
