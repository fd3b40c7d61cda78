// The windows and the command line print the same records the same way:
// both go through the one print job, so the printer is asked for the same
// drawing, call for call.

#include "app/commandline.h"
#include "app/dialogs/progresswindow.h"
#include "app/printrun.h"
#include "data/csvtable.h"
#include "data/databaseexpert.h"
#include "data/inputexpert.h"
#include "data/recordselection.h"
#include "platform/doubles/memorysettings.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/doubles/virtualwaiter.h"
#include "platform/textfile.h"
#include "printerdoubles.h"
#include "testpaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace qm;

namespace {

// Name (10 characters), an EAN-13 barcode and a serial number "Nr. n".
const QStringList DesignLines { "** QUILLMARK", "** ETI-Datei", "** Erstellt", "NA,Weg", "GR,175,90,25",
    "XP,0,0", "RE,2,2,173,88", "XF,14,0,1,0,Arial,0", "EF,8,6,10,Name", "BC,8,24,104,70,0,EAN",
    "SE,110,6,1,Nr. " };

class TypingInputExpert : public IInputExpert
{
public:
    QList<QStringList> typed;
    QString start = QStringLiteral("1");
    bool frame = false;
    int x = 250, y = 250;
    QString modus;

    void setModus(const QString &m) override { modus = m; }
    void setStatusText(const QString &, const QString &) override { }
    void setFields(const StringTable &) override { }
    void setStartCheck(StartCheck) override { }
    void setScrollPositions(int, int) override { }
    int scrollX() const override { return x; }
    int scrollY() const override { return y; }
    bool showModal() override { return true; }
    QList<QStringList> records() const override
    {
        return modus == QLatin1String("D") ? QList<QStringList>() : typed;
    }
    QString startLabelText() const override { return start; }
    bool frameChecked() const override { return frame; }
};

// Hands over every record of the table the run opens it on.
class AllRecordsExpert : public IDatabaseExpert
{
public:
    QString design, table;
    void setEtikettendateiname(const QString &path) override { design = path; }
    void setVorlagendateiname(const QString &) override { }
    void setDatenbankname(const QString &path) override { table = path; }
    std::optional<SelectedRecords> showModal() override
    {
        TableFiles engine;
        engine.open(table, TableAccess::ReadOnly);
        RecordSelection selection(engine);
        selection.formShow();
        return SelectedRecords { selection.fieldNames(), selection.handOver() };
    }
    QString etikettendateiname() const override { return design; }
};

class QuietProgress : public IProgressWindow
{
public:
    void showForRun(const QString &) override { }
    void hideWindow() override { }
    void setLabelText(const QString &) override { }
    void setPageText(const QString &) override { }
    void setActionText(const QString &) override { }
    void setProgressStep(int) override { }
    void stepProgress() override { }
};

struct Road
{
    bool printed = false;
    QList<RecordingCanvas::Call> calls;
    QString said; // the messages, or stderr
};

void writeLines(const QString &path, const QStringList &lines)
{
    TextFileWriter w(path);
    for (const QString &line : lines)
        w.writeLine(line);
    w.commit();
}

} // namespace

class TestOneRoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void bothRoadsDrawTheSame_data();
    void bothRoadsDrawTheSame();

private:
    QTemporaryDir m_config;
};

void TestOneRoad::initTestCase()
{
    // No printer choice or correction of the machine's user.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
}

void TestOneRoad::bothRoadsDrawTheSame_data()
{
    QTest::addColumn<QStringList>("csv"); // the records as the command line reads them
    QTest::addColumn<QStringList>("options"); // of `quillmark print`
    QTest::addColumn<bool>("fromTable"); // the windows take the file as a table (working mode 2)
    QTest::addColumn<bool>("printed");
    QTest::addColumn<QString>("refusal"); // what both say when they refuse

    const QStringList records { "Anzahl;Name;EAN", "2;Anna;4006381333931", "0;Bert;", "3;Carl;" };
    QTest::newRow("copies") << records << QStringList {} << false << true << QString();
    QTest::newRow("serial numbers per record")
        << records << QStringList { "--serial-per-record" } << false << true << QString();
    QTest::newRow("start position, frame and offsets")
        << records << QStringList { "--start", "20", "--frame", "--offset-x", "15", "--offset-y", "-7" }
        << false << true << QString();
    QTest::newRow("barcodes") << QStringList { "Anzahl;Name;EAN", "1;A;4006381333931", "1;B;",
        "1;C;5901234123457" } << QStringList {}
                              << false << true << QString();
    QTest::newRow("wrong check digit refused")
        << QStringList { "Anzahl;Name;EAN", "1;A;4006381333931", "1;B;5901234123450" } << QStringList {}
        << false << false
        << QStringLiteral(
               "„5901234123450“ kann nicht als EAN-13 gedruckt werden, die Prüfziffer müsste 7 sein.");
    QTest::newRow("value too long, as a table")
        << QStringList { "Name;EAN", "Anna;", "Bartholomäus;" } << QStringList {} << true << false
        << QStringLiteral("hat 12 Zeichen, das Feld fasst höchstens 10.");
    QTest::newRow("as a table") << QStringList { "Name;EAN", "Anna;4006381333931", "Bert;" } << QStringList {}
                                << true << true << QString();
}

void TestOneRoad::bothRoadsDrawTheSame()
{
    QFETCH(QStringList, csv);
    QFETCH(QStringList, options);
    QFETCH(bool, fromTable);
    QFETCH(bool, printed);

    QTemporaryDir dir;
    const QString design = dir.filePath(QStringLiteral("weg.eti"));
    const QString format = dir.filePath(QStringLiteral("bogen.vrl"));
    const QString records = dir.filePath(QStringLiteral("weg.csv"));
    writeLines(design, DesignLines);
    QVERIFY(QFile::copy(test::shareDir() + QStringLiteral("/FORMATE/adressen_3x7.vrl"), format));
    writeLines(records, csv);

    // The command line.
    Road command;
    {
        test::FakePrinters printers;
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const QStringList args
            = QStringList { "print", design, format, "--records", records, "--printer" } + options;
        command.printed = runCommandLine(args, outStream, errStream, printers).value_or(-1) == 0;
        errStream.flush();
        command.said = err;
        if (printers.last)
            command.calls = printers.last->canvas_.calls();
    }

    // The windows: typed into the input expert (working mode 1), or the
    // file's records taken over from the database expert (mode 2).
    Road windows;
    {
        PrintSession session;
        ScriptedMessages messages;
        ScriptedFileDialogs files;
        VirtualWaiter waiter;
        test::FakePrinters printers;
        QuietProgress progress;
        TypingInputExpert input;
        AllRecordsExpert database;
        MemorySettings settings;
        PrintRunServices services { messages, files, waiter, printers, input, progress };
        services.settings = &settings;
        services.databaseExpert = &database;
        session.serialInCopies = !options.contains(QStringLiteral("--serial-per-record"));
        const auto option = [&](const QString &name) {
            const qsizetype at = options.indexOf(name);
            return at < 0 ? QString() : options.value(at + 1);
        };
        if (!option(QStringLiteral("--start")).isEmpty())
            input.start = option(QStringLiteral("--start"));
        input.frame = options.contains(QStringLiteral("--frame"));
        input.x = 250 + option(QStringLiteral("--offset-x")).toInt();
        input.y = 250 + option(QStringLiteral("--offset-y")).toInt();
        for (const QString &line : csv.mid(1)) {
            QStringList values = line.split(u';');
            values.append(QString()); // the serial number's start
            input.typed.append(values);
        }
        PrintRun run(ProgramDirectory(dir.path()), session, services);
        QString d = design, f = format, table = records;
        const RunOutcome outcome = run.Ausfuehren(d, f, fromTable ? PrintFromDatabase : EnterAndPrint, table);
        windows.printed = outcome == RunOutcome::Printed;
        for (const auto &shown : messages.shown())
            windows.said += shown.text + u'\n';
        if (printers.last)
            windows.calls = printers.last->canvas_.calls();
    }

    QVERIFY2(command.printed == printed, qPrintable(command.said));
    QVERIFY2(windows.printed == printed, qPrintable(windows.said));
    if (!printed) {
        // Refused before anything was drawn, on both roads.
        QVERIFY(command.calls.isEmpty());
        QVERIFY(windows.calls.isEmpty());
        // Each says why: the command line names the file's line, the
        // windows the record.
        QFETCH(QString, refusal);
        QVERIFY2(command.said.contains(refusal), qPrintable(command.said));
        QVERIFY2(windows.said.contains(refusal), qPrintable(windows.said));
        return;
    }
    QVERIFY(!command.calls.isEmpty());
    QCOMPARE(windows.calls.size(), command.calls.size());
    for (qsizetype i = 0; i < command.calls.size(); ++i)
        QCOMPARE(windows.calls[i].toString(), command.calls[i].toString());
}

QTEST_MAIN(TestOneRoad)
#include "TestOneRoad.moc"
