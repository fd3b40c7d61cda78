#include "designs/printdesign.h"
#include "printing/barcodecheck.h"
#include "platform/errors.h"
#include "printing/printjob.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

// Field 1 a text field, field 2 an EAN-13 barcode, a date (no field), field
// 3 a QR code, field 4 a barcode too small to draw, field 5 one of an
// unknown kind.
const QStringList Design = {
    QStringLiteral("EF,1,1,20,Name"),
    QStringLiteral("BC,10,10,110,70,0,Artikel"),
    QStringLiteral("SE,1,80,0,,"),
    QStringLiteral("BC,120,10,170,60,2,Inventar,80"),
    QStringLiteral("BC,1,2,3,4,0,Klein"),
    QStringLiteral("BC,1,2,100,100,9,Fremd"),
};

} // namespace

class TestBarcodeCheck : public QObject
{
    Q_OBJECT

private slots:
    void columns();
    void refusesTheFirstBadValue_data();
    void refusesTheFirstBadValue();
    void refusesAMissingPicture();
};

void TestBarcodeCheck::columns()
{
    PrintDesign d;
    readPrintDesignLines(Design, QString(), d, {});
    const std::vector<BarcodeColumn> columns = barcodeColumns(d);
    QCOMPARE(columns.size(), size_t(2));
    QCOMPARE(columns[0].column, 2);
    QCOMPARE(columns[0].kind, Symbology::Ean13);
    QCOMPARE(columns[0].name, QStringLiteral("Artikel"));
    QCOMPARE(columns[1].column, 3);
    QCOMPARE(columns[1].kind, Symbology::QrCode);
}

void TestBarcodeCheck::refusesTheFirstBadValue_data()
{
    QTest::addColumn<QList<QStringList>>("records");
    QTest::addColumn<QString>("message");

    const QStringList good = { "1", "Mehl", "400638133393", "Regal 3", "xy", "ÄÖÜ" };
    QTest::newRow("all good") << QList<QStringList> { good, good } << "";
    QTest::newRow("empty values are left out") << QList<QStringList> { { "1", "", "", "" } } << "";
    QTest::newRow("letters in EAN-13, third record")
        << QList<QStringList> { good, good, { "1", "Zucker", "12AB", "x" } }
        << "Datensatz 3, Feld Artikel: „12AB“ kann nicht als EAN-13 gedruckt werden.";
    QTest::newRow("wrong check digit")
        << QList<QStringList> { { "1", "Salz", "4006381333932", "x" } }
        << "Datensatz 1, Feld Artikel: „4006381333932“ kann nicht als EAN-13 gedruckt werden, "
           "die Prüfziffer müsste 1 sein.";
    QTest::newRow("first of two bad records") << QList<QStringList> { { "1", "a", "1", "x" },
        { "1", "b", "2", "x" } } << "Datensatz 1, Feld Artikel: „1“ kann nicht als EAN-13 gedruckt werden.";
    // The records are checked in batches on several cores: the first bad
    // value in record order is named, wherever the others stand.
    QList<QStringList> many(5000, good);
    many[4998] = { "1", "c", "3", "x" };
    many[3001] = { "1", "d", "7", "x" };
    many[3000] = { "1", "e", "12", "x" };
    QTest::newRow("first of three bad ones, in a later batch")
        << many << "Datensatz 3001, Feld Artikel: „12“ kann nicht als EAN-13 gedruckt werden.";
}

void TestBarcodeCheck::refusesTheFirstBadValue()
{
    QFETCH(QList<QStringList>, records);
    QFETCH(QString, message);
    PrintDesign d;
    readPrintDesignLines(Design, QString(), d, {});
    ListRecords reader(records);
    // The check of every print: the print job's.
    PrintJob job;
    job.design = &d;
    job.records = &reader;
    QString refused;
    try {
        LabelRun run(job);
    } catch (const Error &e) {
        refused = e.message();
    }
    QCOMPARE(refused, message);
}

// A picture that cannot be read is named before anything is printed.
void TestBarcodeCheck::refusesAMissingPicture()
{
    QTemporaryDir dir;
    const QString there = dir.filePath(QStringLiteral("da.png"));
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QVERIFY(image.save(there));
    const QString broken = dir.filePath(QStringLiteral("kaputt.png"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("kein Bild") > 0);
    file.close();

    PrintDesign d;
    readPrintDesignLines({ QStringLiteral("XB,0,0,10,10,%1").arg(there) }, QString(), d, {});
    QCOMPARE(firstUnreadablePicture(d), QString());
    QCOMPARE(firstUnreadablePicture(d, QStringLiteral("/anderswo")), QString()); // absolute stays

    readPrintDesignLines(
        { QStringLiteral("XB,0,0,10,10,%1").arg(there), QStringLiteral("XB,0,0,10,10,fehlt.png"),
            QStringLiteral("XB,0,0,10,10,%1").arg(broken) },
        QString(), d, {});
    QCOMPARE(firstUnreadablePicture(d),
        QStringLiteral("Das Bild \"fehlt.png\" fehlt oder kann nicht gelesen werden."));
    readPrintDesignLines({ QStringLiteral("XB,0,0,10,10,da.png"), QStringLiteral("XB,0,0,10,10,kaputt.png") },
        QString(), d, {});
    QCOMPARE(firstUnreadablePicture(d, dir.path()),
        QStringLiteral("Das Bild \"kaputt.png\" fehlt oder kann nicht gelesen werden."));
}

QTEST_GUILESS_MAIN(TestBarcodeCheck)
#include "TestBarcodeCheck.moc"
