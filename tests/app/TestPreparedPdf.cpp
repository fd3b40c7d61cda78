#include "app/commandline.h"
#include "testpaths.h"
#include "commandlinerun.h"
#include "catalogue/prepareddesigns.h"
#include "dbfrecords.h"
#include "pdfpages.h"
#include "platform/cp1252.h"
#include "printing/printeraccess.h"
#include "testfiles.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

const QString ShareDir = test::shareDir() + QStringLiteral("/");

} // namespace

// Every prepared design printed from the command line into a PDF file,
// with the records of its table, as a user would try them out.
class TestPreparedPdf : public QObject
{
    Q_OBJECT

private slots:
    void everyDesignPrintsWithoutAMessage_data();
    void everyDesignPrintsWithoutAMessage();
};

void TestPreparedPdf::everyDesignPrintsWithoutAMessage_data()
{
    QTest::addColumn<QString>("design");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("table");
    const ProgramDirectory share(ShareDir);
    for (const PreparedDesign *item : allPreparedDesigns()) {
        const PreparedPaths paths = preparedPaths(*item, share);
        QString table = paths.database;
        // The address program's table holds addresses like our own.
        if (QLatin1String(item->databaseFile) == AdrivoTableFile)
            table = ShareDir + QStringLiteral("DBANKEN/adress2.dbf");
        QTest::newRow(item->designFile) << paths.design << paths.format << table;
    }
}

void TestPreparedPdf::everyDesignPrintsWithoutAMessage()
{
    QFETCH(QString, design);
    QFETCH(QString, format);
    QFETCH(QString, table);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("probe.pdf"));
    QStringList args { QStringLiteral("print"), design, format, QStringLiteral("--frame") };
    if (!table.isEmpty())
        args << QStringLiteral("--table") << table;
    args << QStringLiteral("--pdf") << pdf;

    const test::CommandRun run = test::runCommand(args);
    const QString &outText = run.out;
    const QString &errText = run.err;
    const int code = run.code;
    QVERIFY2(errText.isEmpty(), qPrintable(errText));
    QCOMPARE(code, 0);
    // A design without table prints one label with its fixed texts.
    const QList<QStringList> records = table.isEmpty() ? QList<QStringList>() : test::tableRecords(table);
    const qsizetype labels = table.isEmpty() ? 1 : records.size();
    QVERIFY(labels >= 1);
    static const QRegularExpression summary(
        QStringLiteral("^(\\d+) Etikett(?:en)? auf (\\d+) Seiten? in (.*)\n$"));
    const QRegularExpressionMatch m = summary.match(outText);
    QVERIFY2(m.hasMatch(), qPrintable(outText));
    QCOMPARE(m.captured(1).toLongLong(), labels);
    QCOMPARE(m.captured(3), pdf);

    // The file holds the pages said, and every word of every record.
    int pages = 0;
    const QList<test::PdfWord> words = test::pdfWords(pdf, &pages);
    QCOMPARE(pages, m.captured(2).toInt());
    QSet<QString> printed;
    for (const test::PdfWord &word : words)
        printed.insert(QString(word.text)
                           .replace(QLatin1String("&lt;"), QLatin1String("<"))
                           .replace(QLatin1String("&gt;"), QLatin1String(">"))
                           .replace(QLatin1String("&quot;"), QLatin1String("\""))
                           .replace(QLatin1String("&amp;"), QLatin1String("&"))); // as pdftotext writes them
    QVERIFY(!printed.isEmpty());
    for (const QStringList &record : records)
        for (const QString &value : record)
            for (const QString &word : value.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                QVERIFY2(printed.contains(word), qPrintable(word));
}

QTEST_MAIN(TestPreparedPdf)
#include "TestPreparedPdf.moc"
