#include "formats/formatcatalogue.h"
#include "testpaths.h"
#include "platform/errors.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace qm;
using namespace qm::test;

namespace {

QString data(const QString &name)
{
    return test::fixturesDir() + QStringLiteral("/formats/") + name;
}

const QByteArray Title
    = "FORMATE.DAT - Quillmark 32-Bit-Fassung\r\n=========================================\r\n";

} // namespace

class TestFormatCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void readsEntriesAfterTwoTitleLines();
    void lastEntryCutShortIsCompleted();
    void refusesWhatIsNoCatalogue();
    void missingFileCreatedWithTitleLines();
    void appendKeepsEveryLine();
    void removeTakesEveryMatchAndRewritesTitles();
    void sortedDescriptions_data();
    void sortedDescriptions();
    void unwritableTextLeavesFileWhole();
};

void TestFormatCatalogue::readsEntriesAfterTwoTitleLines()
{
    const QList<FormatEntry> entries
        = readFormatsFile(data(QStringLiteral("catalogue_unsorted_duplicates.dat")));
    QCOMPARE(entries.size(), 6);
    QCOMPARE(entries[0], (FormatEntry { "AVERY Laseretiketten", "Zweite 70 x 37", "z.vrl" }));
    QCOMPARE(entries[4], (FormatEntry { "Individuelle Formate", "Äpfel-Etiketten", "aepfel.vrl" }));
    QCOMPARE(entries[5], (FormatEntry { "Fremder Bereich", "Unsichtbar", "x.vrl" }));
}

void TestFormatCatalogue::lastEntryCutShortIsCompleted()
{
    const QList<FormatEntry> entries
        = readFormatsFile(data(QStringLiteral("catalogue_short_last_entry.dat")));
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0], (FormatEntry { "DIN-Größen", "A4", "a4.vrl" }));
    QCOMPARE(entries[1], (FormatEntry { "DIN-Größen", "A5", "" }));
}

void TestFormatCatalogue::refusesWhatIsNoCatalogue()
{
    QTemporaryDir temp;
    QVERIFY_THROWS_EXCEPTION(IoError, readFormatsFile(temp.filePath(QStringLiteral("FORMATE.DAT"))));
    QVERIFY_THROWS_EXCEPTION(IoError, readFormatsFile(temp.path()));
}

void TestFormatCatalogue::missingFileCreatedWithTitleLines()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("FORMATE.DAT"));
    QVERIFY(createFormatsFileIfMissing(path));
    QCOMPARE(contentOf(path), Title);
    QVERIFY(writeBytes(path, Title + "DIN-Größen\r\n"));
    QVERIFY(!createFormatsFileIfMissing(path));
    QCOMPARE(contentOf(path), Title + "DIN-Größen\r\n");
}

void TestFormatCatalogue::appendKeepsEveryLine()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("FORMATE.DAT"));
    const QByteArray before = contentOf(data(QStringLiteral("catalogue_unsorted_duplicates.dat")));
    QVERIFY(writeBytes(path, before));
    appendFormatEntry(path, FormatEntry { "DIN-Größen", "Neu, mit Komma", "/tmp/neu.vrl" });
    QCOMPARE(contentOf(path),
        before
            + QByteArray("DIN-Gr\xf6\xdf"
                         "en\r\nNeu, mit Komma\r\n/tmp/neu.vrl\r\n"));

    const QString fresh = temp.filePath(QStringLiteral("NEU.DAT"));
    appendFormatEntry(fresh, FormatEntry { "A", "B\nC", "c.vrl" });
    QCOMPARE(contentOf(fresh), Title + "A\r\nB C\r\nc.vrl\r\n");
}

void TestFormatCatalogue::removeTakesEveryMatchAndRewritesTitles()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("FORMATE.DAT"));
    QVERIFY(writeBytes(path, contentOf(data(QStringLiteral("catalogue_unsorted_duplicates.dat")))));
    QCOMPARE(
        removeFormatEntries(path, QStringLiteral("AVERY Laseretiketten"), QStringLiteral("Zweite 70 x 37")),
        2);
    QCOMPARE(contentOf(path),
        Title
            + QByteArray("AVERY Laseretiketten\r\nadressen 63,5 x 38,1\r\nadressen.vrl\r\n"
                         "Individuelle Formate\r\nBirnen\r\nbirnen.vrl\r\n"
                         "Individuelle Formate\r\n\xc4pfel-Etiketten\r\naepfel.vrl\r\n"
                         "Fremder Bereich\r\nUnsichtbar\r\nx.vrl\r\n"));
    QCOMPARE(
        removeFormatEntries(path, QStringLiteral("Individuelle Formate"), QStringLiteral("Unsichtbar")), 0);
}

void TestFormatCatalogue::sortedDescriptions_data()
{
    QTest::addColumn<QString>("area");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("letter case second")
        << "AVERY Laseretiketten"
        << QStringList { "adressen 63,5 x 38,1", "Zweite 70 x 37", "Zweite 70 x 37" };
    QTest::newRow("umlaut with its letter")
        << "Individuelle Formate" << QStringList { "Äpfel-Etiketten", "Birnen" };
    QTest::newRow("empty area") << "DIN-Größen" << QStringList {};
}

void TestFormatCatalogue::sortedDescriptions()
{
    QFETCH(QString, area);
    QFETCH(QStringList, expected);
    const QList<FormatEntry> entries
        = readFormatsFile(data(QStringLiteral("catalogue_unsorted_duplicates.dat")));
    QCOMPARE(qm::sortedDescriptions(entries, area), expected);
}

void TestFormatCatalogue::unwritableTextLeavesFileWhole()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("FORMATE.DAT"));
    QVERIFY(createFormatsFileIfMissing(path));
    QVERIFY_THROWS_EXCEPTION(
        EncodingError, appendFormatEntry(path, FormatEntry { "A", QStringLiteral("Ω"), "x.vrl" }));
    QCOMPARE(contentOf(path), Title);
    QCOMPARE(QDir(temp.path()).entryList(QDir::Files), QStringList { "FORMATE.DAT" });
}

QTEST_GUILESS_MAIN(TestFormatCatalogue)
#include "TestFormatCatalogue.moc"
