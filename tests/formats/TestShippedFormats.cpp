#include "formats/formatcatalogue.h"
#include "formats/sheetformat.h"
#include "programdir/filelookup.h"
#include "testpaths.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace qm;

namespace {

const QString Share = test::shareDir() + QStringLiteral("/");

// DIN A4 in tenths of a millimetre: no shipped sheet is larger.
constexpr qint32 SheetWidth = 2100;
constexpr qint32 SheetHeight = 2970;

bool overlap(const LabelPosition &a, const LabelPosition &b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

} // namespace

// Every format of the shipped catalogue, as the program reads it.
class TestShippedFormats : public QObject
{
    Q_OBJECT

private slots:
    void everyEntryIsASoundSheet();
    void areasAreFilled_data();
    void areasAreFilled();
    void partNumberFindsItsSheet();
};

void TestShippedFormats::everyEntryIsASoundSheet()
{
    const QList<FormatEntry> entries = readFormatsFile(Share + QStringLiteral("FORMATE.DAT"));
    QVERIFY(entries.size() > 80);
    QHash<QString, QSet<QString>> descriptions;
    for (const FormatEntry &entry : entries) {
        const QString where = entry.area + QStringLiteral(" / ") + entry.description;
        QVERIFY2(formatAreas().contains(entry.area), qPrintable(where));
        QVERIFY2(!descriptions[entry.area].contains(entry.description), qPrintable(where + " twice"));
        descriptions[entry.area].insert(entry.description);

        const QString file
            = findFileCaseInsensitive(Share + QStringLiteral("FORMATE/"), DateinameHolen(entry.file));
        QVERIFY2(!file.isEmpty(), qPrintable(where + ": no file " + entry.file));
        SheetFormat format;
        QVERIFY2(FormatdateiLesen(file, format), qPrintable(file));
        QVERIFY2(
            format.positionCount() >= 1 && format.positionCount() <= MaxLabelPositions, qPrintable(file));
        QVERIFY2(!format.description.isEmpty(), qPrintable(file));
        // The generated formats carry their catalogue description, with
        // decimal points (an NA line ends at a comma).
        static const QRegularExpression generated(QStringLiteral("^(avery|zweckform|din|umschlag)_"));
        if (generated.match(entry.file).hasMatch())
            QCOMPARE(format.description, QString(entry.description).replace(u',', u'.'));
        QVERIFY2(format.extentWidth <= SheetWidth && format.extentHeight <= SheetHeight, qPrintable(file));
        for (size_t i = 0; i < format.positions.size(); ++i) {
            const LabelPosition &p = format.positions[i];
            QVERIFY2(p.x >= 0 && p.y >= 0 && p.width > 0 && p.height > 0, qPrintable(file));
            QVERIFY2(p.x + p.width <= SheetWidth && p.y + p.height <= SheetHeight, qPrintable(file));
            for (size_t j = i + 1; j < format.positions.size(); ++j)
                QVERIFY2(!overlap(p, format.positions[j]),
                    qPrintable(file + QStringLiteral(": labels %1 and %2").arg(i + 1).arg(j + 1)));
        }
    }
}

void TestShippedFormats::areasAreFilled_data()
{
    QTest::addColumn<QString>("area");
    QTest::addColumn<int>("atLeast");
    QTest::newRow("avery laser") << "AVERY Laseretiketten" << 40;
    QTest::newRow("avery inkjet") << "AVERY Tintenstrahl" << 5;
    QTest::newRow("zweckform") << "ZWECKFORM Laser" << 15;
    QTest::newRow("din") << "DIN-Größen" << 3;
    QTest::newRow("envelopes") << "Briefumschläge" << 4;
}

void TestShippedFormats::areasAreFilled()
{
    QFETCH(QString, area);
    QFETCH(int, atLeast);
    const QList<FormatEntry> entries = readFormatsFile(Share + QStringLiteral("FORMATE.DAT"));
    QVERIFY(sortedDescriptions(entries, area).size() >= atLeast);
}

void TestShippedFormats::partNumberFindsItsSheet()
{
    const QList<FormatEntry> entries = readFormatsFile(Share + QStringLiteral("FORMATE.DAT"));
    const QList<FormatEntry> found = matchingEntries(
        entries, QStringLiteral("AVERY Laseretiketten"), QStringLiteral("L7160 64 x 38,1 mm (3 x 7)"));
    QCOMPARE(found.size(), 1);
    SheetFormat format;
    QVERIFY(FormatdateiLesen(Share + QStringLiteral("FORMATE/") + found.first().file, format));
    QCOMPARE(format.positionCount(), 21);
    QCOMPARE(format.positions.front(), (LabelPosition { 75, 155, 640, 381 }));
}

QTEST_GUILESS_MAIN(TestShippedFormats)
#include "TestShippedFormats.moc"
