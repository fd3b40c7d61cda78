#include "barcode.h"

#include "platform/errors.h"

#include <QCoreApplication>

#include <zint.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <memory>
#include <utility>

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

// The check digit of EAN/UPC style codes for the digits before it
// (`digits` without its last character): weights 3 and 1 from the right.
int checkDigitFor(const QString &digits)
{
    int sum = 0;
    const qsizetype last = digits.size() - 1;
    for (qsizetype i = 0; i < last; ++i) {
        const int d = digits[i].unicode() - u'0';
        sum += ((last - i) % 2 == 1) ? 3 * d : d;
    }
    return (10 - sum % 10) % 10;
}

bool checkDigitRight(const QString &digits)
{
    return checkDigitFor(digits) == digits.back().unicode() - u'0';
}

// The digits of a kind with a check digit, the check digit included; 0 for
// the other kinds.
int digitsWithCheckDigit(Symbology kind)
{
    switch (kind) {
    case Symbology::Ean13:
        return 13;
    case Symbology::Ean8:
        return 8;
    case Symbology::UpcA:
        return 12;
    case Symbology::Itf14:
        return 14;
    default:
        return 0;
    }
}

bool hasCheckDigit(Symbology kind, const QString &value)
{
    const int digits = digitsWithCheckDigit(kind);
    return digits > 0 && value.size() == digits;
}

std::unique_ptr<zint_symbol, SymbolDeleter> newSymbol(Symbology kind, bool humanReadable)
{
    std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol)
        return symbol;
    symbol->symbology = zintKind(kind);
    symbol->input_mode = UNICODE_MODE;
    symbol->output_options |= BARCODE_QUIET_ZONES;
    symbol->show_hrt = humanReadable ? 1 : 0;
    if (kind == Symbology::DataMatrix)
        symbol->option_3 = DM_SQUARE; // always a square symbol, never an oblong one
    return symbol;
}

// The value as libzint takes it: checked for its kind, a given check digit
// checked and dropped. None when the kind cannot take it.
std::optional<QByteArray> barcodeData(Symbology kind, const QString &value)
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
    return data.toUtf8();
}

int encode(zint_symbol &symbol, const QByteArray &bytes, bool vector)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const int length = static_cast<int>(bytes.size());
    return vector ? ZBarcode_Encode_and_Buffer_Vector(&symbol, data, length, 0)
                  : ZBarcode_Encode(&symbol, data, length);
}

// Rectangles of the same column and width that touch one above the other
// become one: fewer, larger shapes for the device to fill.
std::vector<QRectF> joinedVertically(std::vector<QRectF> rects)
{
    std::sort(rects.begin(), rects.end(), [](const QRectF &a, const QRectF &b) {
        if (a.x() != b.x())
            return a.x() < b.x();
        if (a.width() != b.width())
            return a.width() < b.width();
        return a.y() < b.y();
    });
    std::vector<QRectF> joined;
    joined.reserve(rects.size());
    for (const QRectF &r : rects) {
        if (!joined.empty()) {
            QRectF &last = joined.back();
            if (last.x() == r.x() && last.width() == r.width() && qFuzzyCompare(last.bottom(), r.top())) {
                last.setBottom(r.bottom());
                continue;
            }
        }
        joined.push_back(r);
    }
    return joined;
}

// ---------------------------------------------------------------------------
// QR codes
//
// libzint 2.11 tries the eight masks of a QR code with a slow count of
// their penalty points: nine tenths of the time it takes for a short value.
// So the program has the symbol made with mask 0, takes the mask off the
// data modules again and chooses the mask itself, by the same rules
// (ISO/IEC 18004, 7.8.3), on the module matrix.

constexpr int QrQuietZone = 4; // modules on each side

// The 15 format bits of an error correction level (its two-bit code) and a
// mask: BCH(15,5) code, XORed with 101010000010010.
int qrFormatBits(int level, int mask)
{
    const int data = (level << 3) | mask;
    int rem = data;
    for (int i = 0; i < 10; ++i)
        rem = (rem << 1) ^ ((rem >> 9) * 0x537);
    return ((data << 10) | (rem & 0x3FF)) ^ 0x5412;
}

// The places of format bit i (0 the lowest): the copy beside the top-left
// finder and the copy split between the other two, as (row, column).
std::pair<int, int> qrFormatPlace(int copy, int i, int size)
{
    if (copy == 0) {
        if (i < 6)
            return { i, 8 };
        if (i < 8)
            return { i + 1, 8 };
        if (i == 8)
            return { 8, 7 };
        return { 8, 14 - i };
    }
    if (i < 8)
        return { 8, size - 1 - i };
    return { size - 15 + i, 8 };
}

// Whether each module belongs to a function pattern (finders, separators,
// format and version information, timing, alignment) rather than to data.
std::vector<quint8> qrFunctionModules(int size)
{
    std::vector<quint8> function(static_cast<size_t>(size) * size, 0);
    const auto mark = [&](int rowFrom, int rowTo, int columnFrom, int columnTo) {
        for (int r = rowFrom; r <= rowTo; ++r)
            for (int c = columnFrom; c <= columnTo; ++c)
                function[static_cast<size_t>(r) * size + c] = 1;
    };
    mark(0, 8, 0, 8); // finder, separator and format bits, top left
    mark(0, 8, size - 8, size - 1); // top right
    mark(size - 8, size - 1, 0, 8); // bottom left, with the dark module
    mark(6, 6, 0, size - 1); // timing patterns
    mark(0, size - 1, 6, 6);
    const int version = (size - 17) / 4;
    if (version >= 2) {
        const int count = version / 7 + 2;
        const int step = version == 32 ? 26 : (version * 4 + count * 2 + 1) / (count * 2 - 2) * 2;
        std::vector<int> places { 6 };
        for (int k = count - 2; k >= 0; --k)
            places.push_back(size - 7 - k * step);
        for (size_t a = 0; a < places.size(); ++a) {
            for (size_t b = 0; b < places.size(); ++b) {
                const bool nearFinder = (a == 0 && b == 0) || (a == 0 && b == places.size() - 1)
                    || (a == places.size() - 1 && b == 0);
                if (!nearFinder)
                    mark(places[a] - 2, places[a] + 2, places[b] - 2, places[b] + 2);
            }
        }
    }
    if (version >= 7) {
        mark(0, 5, size - 11, size - 9);
        mark(size - 11, size - 9, 0, 5);
    }
    return function;
}

int bitCount(quint64 x)
{
    // std::popcount becomes a library call where the processor's own
    // instruction is not assumed; this is the same in a few operations.
    x = x - ((x >> 1) & 0x5555555555555555ULL);
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((x * 0x0101010101010101ULL) >> 56);
}

// One row of a QR code as bits, module c at bit c + QrQuietZone, so that
// the quiet zone around (light, 0) is part of it: N words hold up to
// 64 N - 8 modules (177 at most).
template <size_t N> struct QrRow
{
    std::array<quint64, N> w {};

    QrRow operator&(const QrRow &o) const
    {
        QrRow r;
        for (size_t i = 0; i < N; ++i)
            r.w[i] = w[i] & o.w[i];
        return r;
    }
    QrRow operator^(const QrRow &o) const
    {
        QrRow r;
        for (size_t i = 0; i < N; ++i)
            r.w[i] = w[i] ^ o.w[i];
        return r;
    }
    QrRow operator~() const
    {
        QrRow r;
        for (size_t i = 0; i < N; ++i)
            r.w[i] = ~w[i];
        return r;
    }
    // Bit k takes bit k + n (0 < n < 64).
    QrRow down(int n) const
    {
        QrRow r;
        for (size_t i = 0; i < N; ++i)
            r.w[i] = (w[i] >> n) | (i + 1 < N ? w[i + 1] << (64 - n) : 0);
        return r;
    }
    // Bit k takes bit k - 1.
    QrRow up1() const
    {
        QrRow r;
        for (size_t i = 0; i < N; ++i)
            r.w[i] = (w[i] << 1) | (i > 0 ? w[i - 1] >> 63 : 0);
        return r;
    }
    long count() const
    {
        long n = 0;
        for (size_t i = 0; i < N; ++i)
            n += bitCount(w[i]);
        return n;
    }
    void set(int bit) { w[static_cast<size_t>(bit) >> 6] |= quint64(1) << (bit & 63); }
};

// Finder-like patterns: 1011101 with four light modules after it, and with
// four light modules before it; x[k] holds the modules k places on.
template <size_t N> long qrFinderLike(const std::array<QrRow<N>, 11> &x)
{
    const QrRow<N> dark = x[0] & x[2] & x[3] & x[4] & x[6];
    const QrRow<N> after = dark & ~x[1] & ~x[5] & ~x[7] & ~x[8] & ~x[9] & ~x[10];
    const QrRow<N> darkBefore = x[4] & x[6] & x[7] & x[8] & x[10];
    const QrRow<N> before = darkBefore & ~x[0] & ~x[1] & ~x[2] & ~x[3] & ~x[5] & ~x[9];
    return after.count() + before.count();
}

// Penalty points of a masked symbol (ISO/IEC 18004, 7.8.3.1), counted on
// whole rows of bits at once (the modules are random, so a count module by
// module mostly mispredicts its branches):
// - a run of n >= 5 modules of one colour in a row or column: n - 2 points
//   (it has n - 4 places where five of one colour end, and one where such
//   five begin it, counted twice);
// - a 2 x 2 block of one colour: 3;
// - a finder-like pattern 1011101 with four light modules before or after
//   it, the quiet zone counting as light: 40;
// - 10 for every full 5 % the share of dark modules is away from a half.
template <size_t N> long qrPenaltyOf(const std::vector<quint8> &m, int size)
{
    using Row = QrRow<N>;
    std::vector<Row> rows(static_cast<size_t>(size));
    for (int r = 0; r < size; ++r) {
        const quint8 *line = m.data() + static_cast<size_t>(r) * size;
        Row &bits = rows[static_cast<size_t>(r)];
        for (int c = 0; c < size; ++c) {
            const int bit = c + QrQuietZone;
            bits.w[static_cast<size_t>(bit) >> 6] |= quint64(line[c]) << (bit & 63);
        }
    }
    Row inside;
    Row pairs; // a module and the next, both inside
    for (int c = 0; c < size; ++c) {
        inside.set(QrQuietZone + c);
        if (c + 1 < size)
            pairs.set(QrQuietZone + c);
    }
    const auto row = [&](int r) { return r >= 0 && r < size ? rows[static_cast<size_t>(r)] : Row(); };

    long points = 0;
    long dark = 0;
    std::vector<Row> sameRight(static_cast<size_t>(size)); // a module equals the next in its row
    for (int r = 0; r < size; ++r) {
        const Row &x = rows[static_cast<size_t>(r)];
        dark += x.count();
        const Row e = ~(x ^ x.down(1)) & pairs;
        sameRight[static_cast<size_t>(r)] = e;
        const Row five = e & e.down(1) & e.down(2) & e.down(3);
        points += five.count() + 2 * (five & ~e.up1()).count();
        std::array<Row, 11> shifted;
        shifted[0] = x;
        for (int k = 1; k < 11; ++k)
            shifted[static_cast<size_t>(k)] = x.down(k);
        points += 40 * qrFinderLike(shifted);
    }
    // Columns: the same counts, with the rows as the steps.
    std::vector<Row> sameBelow(static_cast<size_t>(size), Row());
    for (int r = 0; r + 1 < size; ++r)
        sameBelow[static_cast<size_t>(r)] = ~(row(r) ^ row(r + 1)) & inside;
    for (int r = 0; r + 4 < size; ++r) {
        const auto k = static_cast<size_t>(r);
        const Row five = sameBelow[k] & sameBelow[k + 1] & sameBelow[k + 2] & sameBelow[k + 3];
        const Row begins = r == 0 ? five : five & ~sameBelow[k - 1];
        points += five.count() + 2 * begins.count();
    }
    for (int r = -QrQuietZone; r < size; ++r) {
        std::array<Row, 11> shifted;
        for (int k = 0; k < 11; ++k)
            shifted[static_cast<size_t>(k)] = row(r + k);
        points += 40 * qrFinderLike(shifted);
    }
    for (int r = 0; r + 1 < size; ++r) {
        const auto k = static_cast<size_t>(r);
        points += 3 * (sameRight[k] & sameRight[k + 1] & sameBelow[k]).count();
    }
    const long total = static_cast<long>(size) * size;
    points += 10 * (std::abs(dark * 20 - total * 10) / total);
    return points;
}

long qrPenalty(const std::vector<quint8> &m, int size)
{
    // Small symbols, the usual ones on labels, fit one word a row.
    if (size + 2 * QrQuietZone <= 64)
        return qrPenaltyOf<1>(m, size);
    if (size + 2 * QrQuietZone <= 128)
        return qrPenaltyOf<2>(m, size);
    return qrPenaltyOf<3>(m, size);
}

// Flips the data modules (function[k] == 0) where `bit(row, column)` is set.
template <typename Bit>
void flipData(std::vector<quint8> &m, const std::vector<quint8> &function, int size, Bit bit)
{
    for (int r = 0; r < size; ++r) {
        quint8 *row = m.data() + static_cast<size_t>(r) * size;
        const quint8 *fixed = function.data() + static_cast<size_t>(r) * size;
        for (int c = 0; c < size; ++c)
            row[c] ^= static_cast<quint8>((fixed[c] ^ 1) & static_cast<int>(bit(r, c)));
    }
}

// Puts QR mask `mask` (0..7) onto the data modules.
void applyQrMask(std::vector<quint8> &m, const std::vector<quint8> &function, int size, int mask)
{
    switch (mask) {
    case 0:
        return flipData(m, function, size, [](int i, int j) { return (i + j) % 2 == 0; });
    case 1:
        return flipData(m, function, size, [](int i, int) { return i % 2 == 0; });
    case 2:
        return flipData(m, function, size, [](int, int j) { return j % 3 == 0; });
    case 3:
        return flipData(m, function, size, [](int i, int j) { return (i + j) % 3 == 0; });
    case 4:
        return flipData(m, function, size, [](int i, int j) { return (i / 2 + j / 3) % 2 == 0; });
    case 5:
        return flipData(m, function, size, [](int i, int j) { return (i * j) % 2 + (i * j) % 3 == 0; });
    case 6:
        return flipData(m, function, size, [](int i, int j) { return ((i * j) % 2 + (i * j) % 3) % 2 == 0; });
    default:
        return flipData(m, function, size, [](int i, int j) { return ((i + j) % 2 + (i * j) % 3) % 2 == 0; });
    }
}

// The modules of `symbol` (size x size), true for dark.
std::vector<quint8> modulesOf(const zint_symbol &symbol)
{
    const int size = symbol.width;
    std::vector<quint8> m(static_cast<size_t>(size) * size);
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
            m[static_cast<size_t>(r) * size + c] = (symbol.encoded_data[r][c >> 3] >> (c & 7)) & 1;
    return m;
}

std::optional<QrMatrix> qrMatrixOf(const QByteArray &bytes, int wantedMask)
{
    const std::unique_ptr<zint_symbol, SymbolDeleter> symbol = newSymbol(Symbology::QrCode, false);
    if (!symbol)
        return std::nullopt;
    symbol->option_3 = (0 + 1) << 8; // mask 0
    if (encode(*symbol, bytes, false) >= ZINT_ERROR)
        return std::nullopt;
    const int size = symbol->width;
    if (size != symbol->rows || size < 21 || size > 177 || (size - 17) % 4 != 0)
        return std::nullopt;
    std::vector<quint8> m = modulesOf(*symbol);

    // The error correction level, read from the format bits of mask 0.
    int written = 0;
    for (int i = 0; i < 15; ++i) {
        const auto [r, c] = qrFormatPlace(0, i, size);
        written |= m[static_cast<size_t>(r) * size + c] << i;
    }
    int level = -1;
    for (int l = 0; l < 4; ++l) {
        if (qrFormatBits(l, 0) == written)
            level = l;
    }
    if (level < 0)
        return std::nullopt;

    const std::vector<quint8> function = qrFunctionModules(size);
    applyQrMask(m, function, size, 0); // off again

    const auto masked = [&](int mask) {
        std::vector<quint8> out = m;
        applyQrMask(out, function, size, mask);
        const int bits = qrFormatBits(level, mask);
        for (int copy = 0; copy < 2; ++copy) {
            for (int i = 0; i < 15; ++i) {
                const auto [r, c] = qrFormatPlace(copy, i, size);
                out[static_cast<size_t>(r) * size + c] = (bits >> i) & 1;
            }
        }
        return out;
    };

    QrMatrix result;
    result.size = size;
    if (wantedMask >= 0 && wantedMask < 8) {
        result.mask = wantedMask;
        result.modules = masked(wantedMask);
        return result;
    }
    long best = std::numeric_limits<long>::max();
    for (int mask = 0; mask < 8; ++mask) {
        std::vector<quint8> candidate = masked(mask);
        const long points = qrPenalty(candidate, size);
        if (points < best) {
            best = points;
            result.mask = mask;
            result.modules = std::move(candidate);
        }
    }
    return result;
}

// The dark modules as few rectangles, quiet zone around: from each dark
// module not covered yet (row by row), as far right as the modules are
// dark, then as far down as that whole span is dark. Rectangles may
// overlap, which a fill of one colour does not show.
BarcodeSymbol qrSymbolOf(const QrMatrix &matrix)
{
    BarcodeSymbol out;
    const int size = matrix.size;
    out.width = out.height = size + 2 * QrQuietZone;
    const auto dark = [&](int r, int c) { return matrix.modules[static_cast<size_t>(r) * size + c] != 0; };
    std::vector<quint8> covered(matrix.modules.size(), 0);
    for (int r = 0; r < size; ++r) {
        for (int c = 0; c < size; ++c) {
            if (!dark(r, c) || covered[static_cast<size_t>(r) * size + c])
                continue;
            int right = c + 1;
            while (right < size && dark(r, right))
                ++right;
            int bottom = r + 1;
            for (; bottom < size; ++bottom) {
                bool full = true;
                for (int k = c; k < right && full; ++k)
                    full = dark(bottom, k);
                if (!full)
                    break;
            }
            for (int y = r; y < bottom; ++y)
                std::fill_n(covered.begin() + static_cast<qsizetype>(y) * size + c, right - c, quint8(1));
            out.bars.emplace_back(QrQuietZone + c, QrQuietZone + r, right - c, bottom - r);
        }
    }
    return out;
}

} // namespace

long qrPenaltyPoints(const QrMatrix &matrix)
{
    return qrPenalty(matrix.modules, matrix.size);
}

std::optional<QrMatrix> qrModules(const QString &value, int mask)
{
    const auto bytes = barcodeData(Symbology::QrCode, value);
    return bytes ? qrMatrixOf(*bytes, mask) : std::nullopt;
}

std::optional<Symbology> symbologyOf(int number)
{
    if (number < 0 || number > static_cast<int>(Symbology::Itf14))
        return std::nullopt;
    return static_cast<Symbology>(number);
}

namespace {

// What the program knows of each kind beside its encoding, in the order of
// the kinds' numbers.
struct SymbologyFacts
{
    const char *name;
    const char *sample; // a value the kind can print
    int fieldSize; // what its data takes
};

constexpr SymbologyFacts Facts[] = {
    { "EAN-13", "400638133393", 12 }, // 12 digits, the check digit computed
    { "Code 128", "Code 128", 20 }, // room for an article number
    { "QR-Code", "QR-Code", 80 }, // room for an address or a link
    { "DataMatrix", "DataMatrix", 80 },
    { "Code 39", "CODE 39", 20 },
    { "EAN-8", "9638507", 7 },
    { "UPC-A", "03600029145", 11 },
    { "ITF-14", "1540014128876", 13 },
};
static_assert(std::size(Facts) == static_cast<size_t>(Symbology::Itf14) + 1);

const SymbologyFacts &factsOf(Symbology kind)
{
    return Facts[static_cast<size_t>(kind)];
}

} // namespace

QString symbologyName(Symbology kind)
{
    return QString::fromLatin1(factsOf(kind).name);
}

QString sampleBarcodeValue(Symbology kind)
{
    return QString::fromLatin1(factsOf(kind).sample);
}

const std::optional<BarcodeSymbol> &sampleBarcodeSymbol(Symbology kind)
{
    static const auto symbols = [] {
        std::array<std::optional<BarcodeSymbol>, std::size(Facts)> laidOut;
        for (size_t k = 0; k < laidOut.size(); ++k) {
            const auto each = static_cast<Symbology>(k);
            laidOut[k] = encodeBarcode(each, sampleBarcodeValue(each));
        }
        return laidOut;
    }();
    return symbols[static_cast<size_t>(kind)];
}

int defaultBarcodeFieldSize(Symbology kind)
{
    return factsOf(kind).fieldSize;
}

std::optional<BarcodeSymbol> encodeBarcode(Symbology kind, const QString &value, bool humanReadable)
{
    const auto bytes = barcodeData(kind, value);
    if (!bytes)
        return std::nullopt;
    if (kind == Symbology::QrCode) {
        if (const auto matrix = qrMatrixOf(*bytes, -1))
            return qrSymbolOf(*matrix);
        // A symbol the program cannot read back: libzint chooses the mask.
    }

    const std::unique_ptr<zint_symbol, SymbolDeleter> symbol = newSymbol(kind, humanReadable);
    if (!symbol || encode(*symbol, *bytes, true) >= ZINT_ERROR || !symbol->vector)
        return std::nullopt;

    BarcodeSymbol out;
    out.width = symbol->vector->width;
    out.height = symbol->vector->height;
    std::vector<QRectF> bars;
    for (const zint_vector_rect *r = symbol->vector->rectangles; r; r = r->next) {
        if (r->colour == -1)
            bars.emplace_back(r->x, r->y, r->width, r->height);
    }
    out.bars = joinedVertically(std::move(bars));
    for (const zint_vector_string *s = symbol->vector->strings; s; s = s->next) {
        const auto align = s->halign == 1 ? BarcodeText::Align::Left
            : s->halign == 2              ? BarcodeText::Align::Right
                                          : BarcodeText::Align::Centre;
        out.texts.push_back(BarcodeText { s->x, s->y, s->fsize, align,
            QString::fromUtf8(reinterpret_cast<const char *>(s->text), s->length) });
    }
    return out;
}

bool canEncode(Symbology kind, const QString &value)
{
    const auto bytes = barcodeData(kind, value);
    if (!bytes)
        return false;
    const std::unique_ptr<zint_symbol, SymbolDeleter> symbol = newSymbol(kind, false);
    if (!symbol)
        return false;
    if (kind == Symbology::QrCode)
        symbol->option_3 = (0 + 1) << 8; // the mask changes nothing of what fits
    return encode(*symbol, *bytes, false) < ZINT_ERROR;
}

QString unprintableBarcodeMessage(int record, const QString &field, const QString &value, Symbology kind)
{
    if (const std::optional<int> digit = expectedCheckDigit(kind, value))
        return QCoreApplication::translate(
            "qm", "Datensatz %1, Feld %2: %3 kann nicht als %4 gedruckt werden, die Prüfziffer müsste %5 sein.")
            .arg(record)
            .arg(field, quotedValue(value), symbologyName(kind))
            .arg(*digit);
    return QCoreApplication::translate(
        "qm", "Datensatz %1, Feld %2: %3 kann nicht als %4 gedruckt werden.")
        .arg(record)
        .arg(field, quotedValue(value), symbologyName(kind));
}

int barcodeFieldLimit(Symbology kind, int size)
{
    return std::max(size, digitsWithCheckDigit(kind));
}

std::optional<int> expectedCheckDigit(Symbology kind, const QString &value)
{
    if (!hasCheckDigit(kind, value) || !allDigits(value) || checkDigitRight(value))
        return std::nullopt;
    return checkDigitFor(value);
}

std::optional<int> barcodeKindNumber(const QString &kindText)
{
    bool number = false;
    const int kind = kindText.trimmed().toInt(&number, 10);
    return number ? std::optional<int>(kind) : std::nullopt;
}

std::optional<int> barcodeFieldSize(const QString &sizeText)
{
    if (sizeText.isEmpty())
        return UnsizedBarcodeField;
    bool number = false;
    const int size = sizeText.trimmed().toInt(&number, 10);
    if (!number || size < 1 || size > MaxBarcodeFieldSize)
        return std::nullopt;
    return size;
}

QString barcodeLineFault(const QString &kindText, const QString &sizeText, qint64 boxWidth, qint64 boxHeight)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("qm", text); };
    const std::optional<int> kind = barcodeKindNumber(kindText);
    if (kindText.trimmed().isEmpty())
        return tr("die Barcodeart fehlt");
    if (!kind)
        return tr("die Barcodeart \u201E%1\u201C ist keine Zahl").arg(kindText);
    if (!symbologyOf(*kind))
        return tr("die Barcodeart %1 gibt es nicht (0 bis %2)").arg(*kind).arg(static_cast<int>(Symbology::Itf14));
    if (!barcodeFieldSize(sizeText))
        return tr("die Feldgröße \u201E%1\u201C ist keine Zahl von 1 bis %2").arg(sizeText).arg(MaxBarcodeFieldSize);
    if (std::abs(boxWidth) < MinBarcodeBox || std::abs(boxHeight) < MinBarcodeBox)
        return tr("sein Rahmen ist kleiner als 4 x 4 mm");
    return {};
}

} // namespace qm
