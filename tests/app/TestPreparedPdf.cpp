#include "app/commandline.h"
#include "catalogue/prepareddesigns.h"
#include "printing/printeraccess.h"
#include "testfiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

const QString ShareDir = QStringLiteral(QM_SHARE_DIR "/");

// No default printer: the runs must not reach the machine's printers.
class NoPrinters : public IPrinterAccess
{
public:
    std::optional<PrinterName> DruckerbezeichnungHolen() override { return std::nullopt; }
    std::unique_ptr<IPrinterDevice> openDefaultPrinter() override { return nullptr; }
};

// The number of records of a dBASE III table, from its header.
int recordCount(const QString &path)
{
    const QByteArray bytes = test::contentOf(path);
    if (bytes.size() < 8)
        return -1;
    const auto byte = [&](int i) { return static_cast<unsigned char>(bytes[i]); };
    return byte(4) | byte(5) << 8 | byte(6) << 16 | byte(7) << 24;
}

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

    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    NoPrinters printers;
    const int code = runCommandLine(args, out, err, printers).value_or(-1);
    out.flush();
    err.flush();
    QVERIFY2(errText.isEmpty(), qPrintable(errText));
    QCOMPARE(code, 0);
    // A design without table prints one label with its fixed texts.
    const int labels = table.isEmpty() ? 1 : recordCount(table);
    QVERIFY(labels >= 1);
    QVERIFY2(outText.startsWith(QStringLiteral("%1 Etikett").arg(labels)), qPrintable(outText));
    QVERIFY2(outText.endsWith(QStringLiteral(" in %1\n").arg(pdf)), qPrintable(outText));
    QVERIFY(test::contentOf(pdf).startsWith("%PDF-"));
}

QTEST_MAIN(TestPreparedPdf)
#include "TestPreparedPdf.moc"
