#include "data/shapelibtable.h"
#include "data/tableengine.h"
#include "platform/errors.h"
#include "printing/csvtables.h"
#include "tablerecords.h"
#include "testfiles.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;
using test::allRecords;

namespace {

QList<TableField> addressFields()
{
    return { { QStringLiteral("Name"), 20 }, { QStringLiteral("Anzahl"), 3 }, { QStringLiteral("Ort"), 15 } };
}

} // namespace

// Tables to and from CSV files, as spreadsheets write and read them.
class TestCsvTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void importsAsSpreadsheetsWriteIt_data();
    void importsAsSpreadsheetsWriteIt();
    void badLineLeavesTheTableAsItWas_data();
    void badLineLeavesTheTableAsItWas();
    void tenThousandLinesThereAndBack();
    void exportQuotesWhereNeeded();
    void spreadsheetProgramReadsTheExport();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ShapelibTable> m_table;
};

void TestCsvTables::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_table = std::make_unique<ShapelibTable>();
    m_table->create(m_dir->filePath(QStringLiteral("t.dbf")), addressFields());
}

void TestCsvTables::importsAsSpreadsheetsWriteIt_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QList<QStringList>>("records");
    QTest::addColumn<int>("cut");
    QTest::newRow("LibreOffice: semicolons, quoted line break, UTF-8")
        << QByteArray(
               "Name;Anzahl;Ort\n\"Meier; Hans\";2;K\xC3\xB6ln\n\"Zeile1\nZeile2\";;\"Sag \"\"Hallo\"\"\"\n")
        << QList<QStringList> { { "Meier; Hans", "2", "Köln" }, { "Zeile1\nZeile2", "", "Sag \"Hallo\"" } }
        << 0;
    QTest::newRow("commas, other order and case, Windows-1252")
        << QByteArray("ORT,name\r\nM\xFCnchen,Erika\r\n") << QList<QStringList> { { "Erika", "", "München" } }
        << 0;
    QTest::newRow("no title names a field: columns by position")
        << QByteArray("A;B;C\r\nx;1;y\r\n") << QList<QStringList> { { "x", "1", "y" } } << 0;
    QTest::newRow("a telephone column and closing separators left out")
        << QByteArray("Name;Telefon;Ort;\r\nA;0221;B;\r\n") << QList<QStringList> { { "A", "", "B" } } << 0;
    QTest::newRow("values longer than their field are cut and counted")
        << QByteArray("Name;Ort\r\nA;Garmisch-Partenkirchen\r\nB;Rheda-Wiedenbr\xC3\xBC"
                      "ck\r\n")
        << QList<QStringList> { { "A", "", "Garmisch-Parten" }, { "B", "", "Rheda-Wiedenbrü" } } << 2;
}

void TestCsvTables::importsAsSpreadsheetsWriteIt()
{
    QFETCH(QByteArray, csv);
    QFETCH(QList<QStringList>, records);
    QFETCH(int, cut);
    const ImportResult result = csvtables::importCsv(*m_table, csv);
    QCOMPARE(result.records, records.size());
    QCOMPARE(result.cutValues, cut);
    QCOMPARE(allRecords(*m_table), records);
}

void TestCsvTables::badLineLeavesTheTableAsItWas_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("message");
    QByteArray good("Name;Ort\r\n");
    for (int i = 0; i < 500; ++i)
        good += "Anna;Bonn\r\n";
    QTest::newRow("too many values in line 503")
        << good + "B;C\r\nX;Y;Z\r\n"
        << "Zeile 503: 3 Werte, die Kopfzeile hat aber nur 2 Spalten.";
    QTest::newRow("quote left open in line 502") << good + "\"B;C\r\n"
                                                 << "Zeile 502, Spalte 1: Der Wert endet nicht";
    QTest::newRow("character outside Windows-1252") << good + "Z\xC5\x82oty;Y\r\n"
                                                    << "Das Zeichen \"\u0142\" im Datensatz 501";
}

void TestCsvTables::badLineLeavesTheTableAsItWas()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, message);
    m_table->appendRecord({ "Vorher", "1", "Ulm" });
    m_table->flush();
    const QString file = m_dir->filePath(QStringLiteral("t.dbf"));
    const QByteArray before = test::contentOf(file);
    try {
        csvtables::importCsv(*m_table, csv);
        QFAIL("imported");
    } catch (const Error &e) {
        QVERIFY2(e.message().startsWith(message), qPrintable(e.message()));
    }
    QCOMPARE(m_table->recordCount(), 1);
    m_table->flush();
    QCOMPARE(test::contentOf(file), before);
}

// 10,000 lines into a table, out again as CSV and into a second table: the
// same values, with quotes, separators, line breaks and umlauts.
void TestCsvTables::tenThousandLinesThereAndBack()
{
    QByteArray csv("Name;Anzahl;Ort\r\n");
    QList<QStringList> expected;
    for (int i = 0; i < 10000; ++i) {
        const QString name = QStringLiteral("Kunde \"%1\"; ä").arg(i);
        const QString town = i % 7 == 0 ? QStringLiteral("Zeile\nzwei") : QStringLiteral("Köln %1").arg(i);
        expected << QStringList { name, QString::number(i % 1000), town };
        QString quotedName = name;
        quotedName.replace(QLatin1Char('"'), QLatin1String("\"\""));
        csv += (QLatin1Char('"') + quotedName + QStringLiteral("\";%1;\"%2\"\r\n").arg(i % 1000).arg(town))
                   .toUtf8();
    }
    QCOMPARE(csvtables::importCsv(*m_table, csv).records, 10000);
    QCOMPARE(allRecords(*m_table), expected);

    const QString exported = m_dir->filePath(QStringLiteral("aus.csv"));
    csvtables::exportCsvFile(*m_table, exported);
    ShapelibTable second;
    second.create(m_dir->filePath(QStringLiteral("zwei.dbf")), addressFields());
    QCOMPARE(csvtables::importCsvFile(second, exported).records, 10000);
    QCOMPARE(allRecords(second), expected);
}

void TestCsvTables::exportQuotesWhereNeeded()
{
    m_table->appendRecord({ "Meier; Hans", "2", "Köln" });
    m_table->appendRecord({ "Sag \"Hallo\"", "", "Zeile\r\nzwei" });
    m_table->appendRecord({ "weg", "", "" });
    m_table->deleteRecord(2);
    m_table->appendRecord({ " vorn", "1", "Ulm" });
    QCOMPARE(csvtables::exportCsv(*m_table),
        QByteArray("\xEF\xBB\xBFName;Anzahl;Ort\r\n"
                   "\"Meier; Hans\";2;K\xC3\xB6ln\r\n"
                   "\"Sag \"\"Hallo\"\"\";;\"Zeile\r\nzwei\"\r\n"
                   "\" vorn\";1;Ulm\r\n"));
}

// A spreadsheet program opens the exported file with the same values.
void TestCsvTables::spreadsheetProgramReadsTheExport()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed on this machine");
    m_table->appendRecord({ "Jürgen Groß", "3", "Köln" });
    m_table->appendRecord({ "Meier; Hans", "1", "€ Stadt" });
    const QString exported = m_dir->filePath(QStringLiteral("aus.csv"));
    csvtables::exportCsvFile(*m_table, exported);
    // Read by LibreOffice (";" separated, UTF-8) and written again as CSV
    // with "," between the values.
    QProcess p;
    p.setWorkingDirectory(m_dir->path());
    p.start(soffice,
        { QStringLiteral("--headless"), QStringLiteral("--infilter=CSV:59,34,76,1"),
            QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"),
            QStringLiteral("--outdir"), m_dir->filePath(QStringLiteral("calc")), exported });
    QVERIFY(p.waitForFinished(120000));
    const QByteArray again = test::contentOf(m_dir->filePath(QStringLiteral("calc/aus.csv")));
    ShapelibTable second;
    second.create(m_dir->filePath(QStringLiteral("zwei.dbf")), addressFields());
    csvtables::importCsv(second, again);
    QCOMPARE(allRecords(second), allRecords(*m_table));
}

QTEST_MAIN(TestCsvTables)
#include "TestCsvTables.moc"
