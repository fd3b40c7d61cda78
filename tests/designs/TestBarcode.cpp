#include "designs/barcode.h"
#include "designs/barcodelookahead.h"

#include <QTest>

#include <zint.h>

#include <cstdlib>
#include <limits>
#include <memory>

using namespace qm;

class TestBarcode : public QObject
{
    Q_OBJECT

private slots:
    void acceptsAndRefuses_data();
    void acceptsAndRefuses();
    void digitsUnderTheBars_data();
    void digitsUnderTheBars();
    void ean13HasItsBars();
    void matrixCodesAreSquare_data();
    void matrixCodesAreSquare();
    void qrMasksAsTheLibraryMakesThem_data();
    void qrMasksAsTheLibraryMakesThem();
    void qrMaskOfFewestPenaltyPoints_data();
    void qrMaskOfFewestPenaltyPoints();
    void qrMaskChosen_data();
    void qrMaskChosen();
    void qrCodeHasItsModules();
    void kindNumbers();
    void message_data();
    void message();
    void fieldTakesTheCheckDigit_data();
    void fieldTakesTheCheckDigit();
    void lookAheadGivesEachValuesSymbol();
    void samplesAreLaidOutOnce();
};

void TestBarcode::acceptsAndRefuses_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("printable");

    const int ean13 = int(Symbology::Ean13), ean8 = int(Symbology::Ean8), upc = int(Symbology::UpcA);
    const int itf = int(Symbology::Itf14), c128 = int(Symbology::Code128), c39 = int(Symbology::Code39);
    const int qr = int(Symbology::QrCode), dm = int(Symbology::DataMatrix);
    QTest::newRow("EAN-13, 12 digits") << ean13 << "400638133393" << true;
    QTest::newRow("EAN-13, right check digit") << ean13 << "4006381333931" << true;
    QTest::newRow("EAN-13, wrong check digit") << ean13 << "4006381333932" << false;
    QTest::newRow("EAN-13, letters") << ean13 << "12AB" << false;
    QTest::newRow("EAN-13, letters among 12") << ean13 << "40063813339A" << false;
    QTest::newRow("EAN-13, too short") << ean13 << "4006381" << false;
    QTest::newRow("EAN-13, too long") << ean13 << "40063813339310" << false;
    QTest::newRow("EAN-13, empty") << ean13 << "" << false;
    QTest::newRow("EAN-8, 7 digits") << ean8 << "9638507" << true;
    QTest::newRow("EAN-8, right check digit") << ean8 << "96385074" << true;
    QTest::newRow("EAN-8, wrong check digit") << ean8 << "96385075" << false;
    QTest::newRow("UPC-A, 11 digits") << upc << "03600029145" << true;
    QTest::newRow("UPC-A, right check digit") << upc << "036000291452" << true;
    QTest::newRow("UPC-A, wrong check digit") << upc << "036000291453" << false;
    QTest::newRow("ITF-14, 13 digits") << itf << "1540014128876" << true;
    QTest::newRow("ITF-14, right check digit") << itf << "15400141288763" << true;
    QTest::newRow("ITF-14, wrong check digit") << itf << "15400141288760" << false;
    QTest::newRow("Code 128, text") << c128 << "Lager 12/B-7" << true;
    QTest::newRow("Code 128, umlaut") << c128 << "Größe" << true;
    QTest::newRow("Code 128, empty") << c128 << "" << false;
    QTest::newRow("Code 39, capitals") << c39 << "ABC-123" << true;
    QTest::newRow("Code 39, a character it lacks") << c39 << "A@B" << false;
    QTest::newRow("QR, text") << qr << "Inventar 2026, Raum 3.14" << true;
    QTest::newRow("QR, far too long") << qr << QString(8000, u'x') << false;
    QTest::newRow("DataMatrix, text") << dm << "A-4711" << true;
}

void TestBarcode::acceptsAndRefuses()
{
    QFETCH(int, kind);
    QFETCH(QString, value);
    QFETCH(bool, printable);
    QCOMPARE(canEncode(static_cast<Symbology>(kind), value), printable);
}

void TestBarcode::digitsUnderTheBars_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("digits");
    // The check digit is computed where it is left out.
    QTest::newRow("EAN-13") << int(Symbology::Ean13) << "400638133393"
                            << "4006381333931";
    QTest::newRow("EAN-8") << int(Symbology::Ean8) << "9638507"
                           << "96385074";
    QTest::newRow("Code 128") << int(Symbology::Code128) << "A-4711"
                              << "A-4711";
}

void TestBarcode::digitsUnderTheBars()
{
    QFETCH(int, kind);
    QFETCH(QString, value);
    QFETCH(QString, digits);
    const auto symbol = encodeBarcode(static_cast<Symbology>(kind), value);
    QVERIFY(symbol);
    QString shown;
    for (const BarcodeText &t : symbol->texts)
        shown += t.text;
    shown.remove(u' ');
    shown.remove(u'<');
    shown.remove(u'>');
    QCOMPARE(shown, digits);

    const auto bare = encodeBarcode(static_cast<Symbology>(kind), value, false);
    QVERIFY(bare);
    QVERIFY(bare->texts.empty());
}

void TestBarcode::ean13HasItsBars()
{
    // 12 digits of two bars each and three guards of two bars.
    const auto symbol = encodeBarcode(Symbology::Ean13, QStringLiteral("4006381333931"), false);
    QVERIFY(symbol);
    QCOMPARE(symbol->bars.size(), size_t(30));
    for (const QRectF &bar : symbol->bars) {
        QVERIFY(bar.left() >= 0 && bar.right() <= symbol->width);
        QVERIFY(bar.top() >= 0 && bar.bottom() <= symbol->height);
    }
}

void TestBarcode::matrixCodesAreSquare_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("QR") << int(Symbology::QrCode);
    QTest::newRow("DataMatrix") << int(Symbology::DataMatrix);
}

void TestBarcode::matrixCodesAreSquare()
{
    QFETCH(int, kind);
    const auto symbol = encodeBarcode(static_cast<Symbology>(kind), QStringLiteral("Regal 7, Fach 3"));
    QVERIFY(symbol);
    QCOMPARE(symbol->width, symbol->height);
    QVERIFY(!symbol->bars.empty());
}

void TestBarcode::qrMasksAsTheLibraryMakesThem_data()
{
    QTest::addColumn<QString>("value");
    // Versions 1 to 3, one with version information (7 and above) and one
    // with many alignment patterns.
    QTest::newRow("version 1") << "4";
    QTest::newRow("umlauts") << "Stück 3, ÄÖÜ";
    QTest::newRow("inventory") << "INV-2026-17 Raum 17.4 Gerät Nummer 17";
    QTest::newRow("version 7 and above") << QString(200, u'a');
    QTest::newRow("version 20 and above") << QStringLiteral("Regal %1; ").repeated(100).arg(7);
    QTest::newRow("version 30 and above") << QStringLiteral("Regal %1; ").repeated(140).arg(7);
}

// The program takes the mask off libzint's symbol and puts another on:
// with each mask the modules must be the library's own for that mask.
void TestBarcode::qrMasksAsTheLibraryMakesThem()
{
    QFETCH(QString, value);
    const QByteArray bytes = value.toUtf8();
    for (int mask = 0; mask < 8; ++mask) {
        const auto ours = qrModules(value, mask);
        QVERIFY(ours);
        const std::unique_ptr<zint_symbol, void (*)(zint_symbol *)> lib(ZBarcode_Create(), ZBarcode_Delete);
        lib->symbology = BARCODE_QRCODE;
        lib->input_mode = UNICODE_MODE;
        lib->option_3 = (mask + 1) << 8;
        QVERIFY(ZBarcode_Encode(lib.get(), reinterpret_cast<const unsigned char *>(bytes.constData()),
                    static_cast<int>(bytes.size()))
            < ZINT_ERROR);
        QCOMPARE(ours->size, lib->width);
        QCOMPARE(ours->mask, mask);
        for (int r = 0; r < lib->rows; ++r) {
            for (int c = 0; c < lib->width; ++c) {
                const int theirs = (lib->encoded_data[r][c >> 3] >> (c & 7)) & 1;
                if (ours->modules[size_t(r) * ours->size + c] != theirs)
                    QFAIL(qPrintable(QStringLiteral("mask %1, row %2, column %3").arg(mask).arg(r).arg(c)));
            }
        }
    }
}

namespace {

// The penalty points of ISO/IEC 18004, 7.8.3.1, module by module: runs of
// n >= 5 in rows and columns 3 + (n - 5), 2 x 2 blocks 3, 1011101 with four
// light modules on one side 40 (outside the symbol is light), 10 per full
// 5 % of dark modules away from a half.
long plainPenalty(const QrMatrix &m)
{
    const int n = m.size;
    const auto at = [&](int r, int c) {
        return r >= 0 && r < n && c >= 0 && c < n ? int(m.modules[size_t(r) * n + c]) : 0;
    };
    long points = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const auto get = [&](int line, int k) { return pass == 0 ? at(line, k) : at(k, line); };
        for (int line = 0; line < n; ++line) {
            for (int k = 0; k < n;) {
                int end = k;
                while (end < n && get(line, end) == get(line, k))
                    ++end;
                if (end - k >= 5)
                    points += 3 + (end - k - 5);
                k = end;
            }
            const int finder[7] = { 1, 0, 1, 1, 1, 0, 1 };
            for (int k = -10; k < n + 10; ++k) {
                bool core = true;
                for (int i = 0; i < 7; ++i)
                    core = core && get(line, k + i) == finder[i];
                if (!core)
                    continue;
                bool after = true, before = true;
                for (int i = 1; i <= 4; ++i) {
                    after = after && get(line, k + 6 + i) == 0;
                    before = before && get(line, k - i) == 0;
                }
                points += 40 * (int(after) + int(before));
            }
        }
    }
    long dark = 0;
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) {
            dark += at(r, c);
            if (r + 1 < n && c + 1 < n && at(r, c) == at(r, c + 1) && at(r, c) == at(r + 1, c)
                && at(r, c) == at(r + 1, c + 1))
                points += 3;
        }
    }
    const long total = long(n) * n;
    points += 10 * (std::abs(dark * 20 - total * 10) / total);
    return points;
}

} // namespace

void TestBarcode::qrMaskOfFewestPenaltyPoints_data()
{
    qrMasksAsTheLibraryMakesThem_data();
}

void TestBarcode::qrMaskOfFewestPenaltyPoints()
{
    QFETCH(QString, value);
    const auto chosen = qrModules(value);
    QVERIFY(chosen);
    long fewest = std::numeric_limits<long>::max();
    for (int mask = 0; mask < 8; ++mask) {
        const auto masked = qrModules(value, mask);
        QVERIFY(masked);
        const long points = plainPenalty(*masked);
        QCOMPARE(qrPenaltyPoints(*masked), points);
        fewest = std::min(fewest, points);
    }
    QCOMPARE(plainPenalty(*chosen), fewest);
}

void TestBarcode::qrMaskChosen_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("mask");
    // One value for each mask that is its only one of fewest points.
    QTest::newRow("mask 0") << "Artikel 4" << 0;
    QTest::newRow("mask 1") << "https://example.org/a/0" << 1;
    QTest::newRow("mask 2") << "INV-0" << 2;
    QTest::newRow("mask 3") << "Regal 0" << 3;
    QTest::newRow("mask 4") << "Artikel 7" << 4;
    QTest::newRow("mask 5") << "Nr. 0" << 5;
    QTest::newRow("mask 6") << "Lager 0" << 6;
    QTest::newRow("mask 7") << "Raum 0" << 7;
}

// Each mask is chosen for a value whose best mask it is, by the count module
// by module, and the printed symbol carries it.
void TestBarcode::qrMaskChosen()
{
    QFETCH(QString, value);
    QFETCH(int, mask);
    for (int other = 0; other < 8; ++other) {
        if (other != mask)
            QVERIFY(plainPenalty(*qrModules(value, other)) > plainPenalty(*qrModules(value, mask)));
    }
    const auto chosen = qrModules(value);
    QVERIFY(chosen);
    QCOMPARE(chosen->mask, mask);
    QVERIFY(chosen->modules == qrModules(value, mask)->modules);

    const auto symbol = encodeBarcode(Symbology::QrCode, value);
    QVERIFY(symbol);
    const int size = chosen->size;
    std::vector<quint8> printed(size_t(size) * size, 0);
    for (const QRectF &bar : symbol->bars) {
        for (int r = int(bar.top()); r < int(bar.bottom()); ++r)
            for (int c = int(bar.left()); c < int(bar.right()); ++c)
                printed[size_t(r - 4) * size + (c - 4)] = 1;
    }
    QVERIFY(printed == chosen->modules);
}

void TestBarcode::qrCodeHasItsModules()
{
    // The rectangles cover every dark module and no light one, inside the
    // quiet zone of four modules.
    const QString value = QStringLiteral("INV-2026-0001 Raum 3.14");
    const auto matrix = qrModules(value);
    const auto symbol = encodeBarcode(Symbology::QrCode, value);
    QVERIFY(matrix && symbol);
    QVERIFY(matrix->mask >= 0 && matrix->mask < 8);
    const int size = matrix->size;
    QCOMPARE(symbol->width, double(size + 8));
    QCOMPARE(symbol->height, double(size + 8));
    std::vector<quint8> cover(size_t(size) * size, 0);
    for (const QRectF &bar : symbol->bars) {
        for (int r = int(bar.top()); r < int(bar.bottom()); ++r)
            for (int c = int(bar.left()); c < int(bar.right()); ++c) {
                QVERIFY(r >= 4 && r < size + 4 && c >= 4 && c < size + 4);
                cover[size_t(r - 4) * size + (c - 4)] = 1;
            }
    }
    QVERIFY(cover == matrix->modules);
    // Far fewer rectangles than dark modules.
    QVERIFY(symbol->bars.size() * 2 < size_t(std::count(cover.begin(), cover.end(), 1)));
}

void TestBarcode::kindNumbers()
{
    QCOMPARE(symbologyOf(0), std::optional(Symbology::Ean13));
    QCOMPARE(symbologyOf(7), std::optional(Symbology::Itf14));
    QVERIFY(!symbologyOf(8));
    QVERIFY(!symbologyOf(-1));
}

void TestBarcode::message_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    const QString prefix = QStringLiteral("Datensatz 3, Feld Artikel: ");
    QTest::newRow("letters") << int(Symbology::Ean13) << "12AB"
                             << prefix + "„12AB“ kann nicht als EAN-13 gedruckt werden.";
    // A wrong check digit names the right one.
    QTest::newRow("EAN-13, check digit") << int(Symbology::Ean13) << "4006381333932"
                                         << prefix + "„4006381333932“ kann nicht als EAN-13 gedruckt "
                                                     "werden, die Prüfziffer müsste 1 sein.";
    QTest::newRow("EAN-8, check digit") << int(Symbology::Ean8) << "96385070"
                                        << prefix + "„96385070“ kann nicht als EAN-8 gedruckt "
                                                    "werden, die Prüfziffer müsste 4 sein.";
    QTest::newRow("UPC-A, check digit") << int(Symbology::UpcA) << "036000291450"
                                        << prefix + "„036000291450“ kann nicht als UPC-A gedruckt "
                                                    "werden, die Prüfziffer müsste 2 sein.";
    QTest::newRow("ITF-14, check digit") << int(Symbology::Itf14) << "15400141288769"
                                         << prefix + "„15400141288769“ kann nicht als ITF-14 gedruckt "
                                                     "werden, die Prüfziffer müsste 3 sein.";
    QTest::newRow("EAN-13, a digit too many") << int(Symbology::Ean13) << "40063813339310"
                                              << prefix + "„40063813339310“ kann nicht als EAN-13 "
                                                          "gedruckt werden.";
    QTest::newRow("EAN-13, letter where the check digit goes") << int(Symbology::Ean13) << "400638133393X"
                                                               << prefix + "„400638133393X“ kann nicht als "
                                                                           "EAN-13 gedruckt werden.";
}

void TestBarcode::message()
{
    QFETCH(int, kind);
    QFETCH(QString, value);
    QFETCH(QString, message);
    QCOMPARE(unprintableBarcodeMessage(3, QStringLiteral("Artikel"), value, static_cast<Symbology>(kind)), message);
}

void TestBarcode::fieldTakesTheCheckDigit_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("limit");
    QTest::newRow("EAN-13 of 12") << int(Symbology::Ean13) << 12 << 13;
    QTest::newRow("EAN-13 of 1") << int(Symbology::Ean13) << 1 << 13;
    QTest::newRow("EAN-13 of 40") << int(Symbology::Ean13) << 40 << 40;
    QTest::newRow("EAN-8 of 7") << int(Symbology::Ean8) << 7 << 8;
    QTest::newRow("UPC-A of 11") << int(Symbology::UpcA) << 11 << 12;
    QTest::newRow("ITF-14 of 13") << int(Symbology::Itf14) << 13 << 14;
    QTest::newRow("Code 128 of 5") << int(Symbology::Code128) << 5 << 5;
    QTest::newRow("QR of 80") << int(Symbology::QrCode) << 80 << 80;
}

// A kind with a check digit takes its value with the check digit whatever
// size its field was given.
void TestBarcode::fieldTakesTheCheckDigit()
{
    QFETCH(int, kind);
    QFETCH(int, stored);
    QFETCH(int, limit);
    QCOMPARE(barcodeFieldLimit(static_cast<Symbology>(kind), stored), limit);
}

namespace {

bool sameSymbol(const std::optional<BarcodeSymbol> &a, const std::optional<BarcodeSymbol> &b)
{
    if (!a || !b)
        return !a && !b;
    if (a->width != b->width || a->height != b->height || a->bars != b->bars || a->texts.size() != b->texts.size())
        return false;
    for (size_t i = 0; i < a->texts.size(); ++i) {
        if (a->texts[i].text != b->texts[i].text || a->texts[i].x != b->texts[i].x)
            return false;
    }
    return true;
}

} // namespace

// Barcodes laid out on other threads come back as the drawing asks for
// them: each value's own symbol, also when the order differs from the one
// prepared or a value was never prepared.
void TestBarcode::lookAheadGivesEachValuesSymbol()
{
    using K = Symbology;
    const std::vector<std::pair<K, QString>> prepared = {
        { K::QrCode, "INV-1 Raum 3" },
        { K::Ean13, "400638133393" },
        { K::QrCode, "INV-2 Raum 3" },
        { K::Ean13, "12AB" }, // cannot be printed: none
        { K::QrCode, "INV-1 Raum 3" }, // the same value again
        { K::Code128, "Regal 7" },
        { K::QrCode, "INV-3" },
    };
    BarcodeLookAhead ahead(2);
    for (const auto &[kind, value] : prepared)
        ahead.prepare(kind, value);
    QCOMPARE(ahead.waiting(), 7);

    const std::vector<std::pair<K, QString>> taken = {
        { K::QrCode, "INV-1 Raum 3" },
        { K::Ean13, "400638133393" },
        { K::QrCode, "nie vorbereitet" }, // laid out now, the queue stays
        { K::QrCode, "INV-2 Raum 3" },
        { K::Ean13, "12AB" },
        { K::Code128, "Regal 7" }, // the second INV-1 is skipped
        { K::QrCode, "INV-1 Raum 3" }, // and laid out now
        { K::QrCode, "INV-3" },
    };
    const std::vector<int> waitingAfter = { 6, 5, 5, 4, 3, 1, 1, 0 };
    for (size_t i = 0; i < taken.size(); ++i) {
        const auto &[kind, value] = taken[i];
        QVERIFY2(sameSymbol(ahead.take(kind, value), encodeBarcode(kind, value)), qPrintable(value));
        QCOMPARE(ahead.waiting(), waitingAfter[i]);
    }
    QVERIFY(!ahead.take(K::Ean13, "12AB"));
}

// The workspace's sample of each kind is its sample value laid out, made
// once and handed out again.
void TestBarcode::samplesAreLaidOutOnce()
{
    for (int k = 0; k <= int(Symbology::Itf14); ++k) {
        const auto kind = Symbology(k);
        const std::optional<BarcodeSymbol> &sample = sampleBarcodeSymbol(kind);
        QVERIFY2(sample.has_value(), qPrintable(symbologyName(kind)));
        QVERIFY(sameSymbol(sample, encodeBarcode(kind, sampleBarcodeValue(kind))));
        QCOMPARE(&sampleBarcodeSymbol(kind), &sample);
    }
}

QTEST_GUILESS_MAIN(TestBarcode)
#include "TestBarcode.moc"
