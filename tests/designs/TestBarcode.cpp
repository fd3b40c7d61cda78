#include "designs/barcode.h"

#include <QTest>

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
    void kindNumbers();
    void message();
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

void TestBarcode::kindNumbers()
{
    QCOMPARE(symbologyOf(0), std::optional(Symbology::Ean13));
    QCOMPARE(symbologyOf(7), std::optional(Symbology::Itf14));
    QVERIFY(!symbologyOf(8));
    QVERIFY(!symbologyOf(-1));
}

void TestBarcode::message()
{
    QCOMPARE(
        unprintableBarcodeMessage(3, QStringLiteral("Artikel"), QStringLiteral("12AB"), Symbology::Ean13),
        QStringLiteral("Datensatz 3, Feld Artikel: \"12AB\" kann nicht als EAN-13 gedruckt werden."));
}

QTEST_GUILESS_MAIN(TestBarcode)
#include "TestBarcode.moc"
