#include "app/dialogs/progresswindow.h"
#include "app/printrun.h"
#include "data/databaseexpert.h"
#include "data/inputexpert.h"
#include "data/recordselection.h"
#include "data/shapelibtable.h"
#include "editor/designeditor.h"
#include "platform/doubles/memorysettings.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/doubles/virtualwaiter.h"
#include "platform/errors.h"
#include "printerdoubles.h"
#include "printing/layout.h"
#include "printing/preview.h"
#include "printing/printercorrection.h"
#include "testfiles.h"
#include "testpaths.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace qm;

namespace {

const QString FixtureDir = test::fixturesDir() + QStringLiteral("/");

// The input expert as a user drives it: the script types records and
// presses "Drucken" (or not).
class ScriptedInputExpert : public IInputExpert
{
public:
    QString modus, status, formatStatus, start = QStringLiteral("1");
    StringTable fields; // as the run handed them over
    QList<QStringList> typed; // the records the expert returns
    int x = 250, y = 250, shown = 0;
    bool frame = false;
    std::function<bool()> user; // returns whether "Drucken" was pressed

    void setModus(const QString &m) override { modus = m; }
    void setStatusText(const QString &s, const QString &f) override
    {
        status = s;
        formatStatus = f;
    }
    void setFields(const StringTable &f) override
    {
        fields = f;
        typed.clear(); // one empty record, as the window starts
    }
    void setStartCheck(StartCheck check) override { startCheck = std::move(check); }
    StartCheck startCheck;
    void setValueCheck(ValueCheck check) override { valueCheck = std::move(check); }
    ValueCheck valueCheck;
    void setScrollPositions(int sx, int sy) override
    {
        x = sx;
        y = sy;
    }
    int scrollX() const override { return x; }
    int scrollY() const override { return y; }
    bool showModal() override
    {
        ++shown;
        return user ? user() : false;
    }
    QList<QStringList> records() const override
    {
        return modus == QLatin1String("D") ? QList<QStringList>() : typed;
    }
    QString startLabelText() const override { return start; }
    bool frameChecked() const override { return frame; }
};

// The database expert as a user drives it: the script selects records (or
// not) with the record selection's rules.
class ScriptedDatabaseExpert : public IDatabaseExpert
{
public:
    QString design, format, table;
    int shown = 0;
    // The records handed over with "&Weiter >>>", or nothing.
    std::function<std::optional<SelectedRecords>()> user;

    void setEtikettendateiname(const QString &path) override { design = path; }
    void setVorlagendateiname(const QString &path) override { format = path; }
    void setDatenbankname(const QString &path) override { table = path; }
    std::optional<SelectedRecords> showModal() override
    {
        ++shown;
        return user ? user() : std::nullopt;
    }
    QString etikettendateiname() const override { return design; }
};

// A program directory with the three-line address design and the 3 x 7
// sheet in its folders, and everything a run talks to.
// The design editor of working mode 4: records how it was opened.
struct RecordingDesignEditor : IDesignEditor
{
    void setModus(const QString &m) override { modus = m; }
    void setDateiname(const QString &path) override { file = path; }
    void setLabelSize(const QString &, const QString &) override { }
    QString showModal() override
    {
        ++shown;
        return QString();
    }
    QString dateiname() const override { return file; }
    QString modus, file;
    int shown = 0;
};

// The progress window: logs its showing and hiding, and asks to stop after
// a number of steps when told to.
class RecordingProgressWindow : public IProgressWindow
{
public:
    QStringList log;
    bool visible = false;
    int cancelAfterSteps = -1;
    int steps = 0;
    void showForRun(const QString &printer) override
    {
        visible = true;
        steps = 0; // as the window forgets an earlier cancel request
        log << QStringLiteral("show ") + printer;
    }
    void hideWindow() override
    {
        visible = false;
        log << QStringLiteral("hide");
    }
    void setLabelText(const QString &) override { }
    void setPageText(const QString &) override { }
    void setActionText(const QString &) override { }
    void setProgressStep(int) override { }
    void stepProgress() override { ++steps; }
    bool cancelRequested() const override { return cancelAfterSteps >= 0 && steps >= cancelAfterSteps; }
};

struct Rig
{
    QTemporaryDir temp;
    PrintSession session;
    ScriptedMessages messages;
    ScriptedFileDialogs files;
    VirtualWaiter waiter;
    test::FakePrinters printers;
    RecordingProgressWindow progress;
    ScriptedInputExpert input;
    ScriptedDatabaseExpert dbExpert;
    MemorySettings settings;
    std::unique_ptr<PrintRun> run;
    QString design, format;

    Rig()
    {
        const QString dir = temp.path() + QStringLiteral("/");
        design = dir + QStringLiteral("versand.eti");
        format = dir + QStringLiteral("FORMATE/a4_3x7.vrl");
        test::writeBytes(
            design, test::contentOf(FixtureDir + QStringLiteral("designs/fields_name_serial_ort.eti")));
        test::writeBytes(
            format, test::contentOf(FixtureDir + QStringLiteral("formats/a4_3x7_63.5x38_written.vrl")));
        PrintRunServices services { messages, files, waiter, printers, input, progress };
        services.settings = &settings;
        run = std::make_unique<PrintRun>(ProgramDirectory(dir), session, services);
        run->setDateProvider([] { return QStringLiteral("10.12.26"); });
    }

    // Types records as the input expert returns them: copies, then the
    // values of the fields in design order.
    void typeRecords(const QList<QStringList> &records)
    {
        input.user = [this, records] {
            input.typed = records;
            return true;
        };
    }

    RunOutcome use(int mode, QString database = QString())
    {
        QString d = design, f = format;
        return run->Ausfuehren(d, f, mode, database);
    }

    QStringList texts() const { return printers.texts(); }
};

} // namespace

class TestPrintRun : public QObject
{
    Q_OBJECT

private slots:
    void typedRecordsArePrintedFromTheStartPosition();
    void serialNumbersFollowTheCopiesOption_data();
    void serialNumbersFollowTheCopiesOption();
    void copiesAtTheirBoundArePrinted();
    void cancelledInputExpertPrintsNothingAndKeepsOffsets();
    void missingFilesAreBothReported();
    void movedFilesAreFoundAndWrittenBack();
    void badNumbersStopTheRunCleanly_data();
    void badNumbersStopTheRunCleanly();
    void badBarcodeValuePrintsNothing(); // and a missing picture
    void checkDigitIsTypedAndChecked();
    void barcodeNotPrintedIsNamedOnce();
    void withoutDefaultPrinterThePdfIsOffered();
    void declinedPdfKeepsTheTypedOffsets();
    void chosenPrinterAndItsCorrection_data();
    void chosenPrinterAndItsCorrection();
    void correctionsThatMisplaceLabelsOrCannotBeReadAreSaid();
    void previewDrawsTheTypedRecordsAndChangesNothing_data();
    void previewDrawsTheTypedRecordsAndChangesNothing();
    void previewRefusals_data();
    void previewRefusals();
    void waitsUnlessTheSettingsSayWithout();
    void cancellingInTheProgressWindowStopsTheRun();
    void mode2PrintsSelectedTableRecords();
    void mode2PrintsWithTheDesignTheExpertShowed();
    void mode2CancelledExpertPrintsNothing();
    void mode3OpensTheTableAlone();
    void unprintableDesignPrintsNothing();
    void outOfMemoryEndsTheRunWithAMessage();
    void modeFourOpensTheDesignEditor();
    void otherModesSayWhatIsNotAvailable_data();
    void otherModesSayWhatIsNotAvailable();
    void textsCutAtTheEdgeAreNamedAfterTheRun();
    void designWithoutSizeIsClippedToTheSheetLabel();
    void fieldsInsideTextAreAskedForAndPrinted();
};

void TestPrintRun::typedRecordsArePrintedFromTheStartPosition()
{
    Rig rig;
    rig.typeRecords({ { "2", "Anna", "", "Bonn" }, { "1", "Bert", "", "Celle" } });
    rig.input.start = QStringLiteral("5");
    rig.input.frame = true;
    rig.session.offsetPositionX = 240;
    int handedX = -1;
    rig.input.user = [&rig, &handedX, typed = rig.input.user] {
        handedX = rig.input.x;
        rig.input.x = 220; // -30 tenths: 3 mm to the left
        rig.input.y = 265; // +15 tenths
        return typed();
    };

    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Printed);
    QCOMPARE(rig.input.shown, 1);
    QCOMPARE(handedX, 240);
    QCOMPARE(rig.input.modus, QStringLiteral("E"));
    QCOMPARE(rig.input.status, QStringLiteral("Versand"));
    QCOMPARE(rig.input.formatStatus, QStringLiteral("Adressetiketten für A4 63.5 x 38 mm"));
    QVERIFY(rig.messages.shown().isEmpty());
    QCOMPARE(rig.run->lastLabelCount(), 3);
    QCOMPARE(rig.run->lastPosition(), 7);
    QCOMPARE(rig.progress.log, (QStringList { "show Etikettendrucker", "hide" }));
    QCOMPARE(rig.waiter.waits().first(), 1000);
    QCOMPARE(rig.session.offsetPositionX, 220);
    QCOMPARE(rig.session.offsetPositionY, 265);
    QVERIFY(rig.printers.last->ended);
    // Paper: the sheet's extent, 25 mm wider, restored after the run.
    QCOMPARE(rig.printers.last->paper.code, 9);

    // Position 5 of the 3 x 7 sheet is at (735, 530) tenths; with the
    // offsets (705, 545), in design units (176, 136); the name field sits
    // 10 units right and down of the label's corner.
    const QStringList texts = rig.texts();
    QVERIFY2(texts.contains(QStringLiteral("186,146 \"Anna\"")), qPrintable(texts.join('\n')));
    // Position 6 (1395, 530) gets Anna's copy, position 7 (75, 910) Bert.
    QVERIFY(texts.contains(QStringLiteral("351,146 \"Anna\"")));
    QVERIFY(texts.contains(QStringLiteral("21,241 \"Bert\"")));
    QCOMPARE(texts.filter(QStringLiteral("\"Anna\"")).size(), 2);
}

void TestPrintRun::serialNumbersFollowTheCopiesOption_data()
{
    QTest::addColumn<bool>("inCopies");
    QTest::addColumn<QString>("firstStart");
    QTest::addColumn<QString>("secondStart");
    QTest::addColumn<QStringList>("numbers");
    QTest::newRow("every label counts") << true << "10" << "" << QStringList { "10", "11", "12", "13", "14" };
    QTest::newRow("records count") << false << "10" << "" << QStringList { "10", "10", "11", "11", "11" };
    QTest::newRow("empty start counts from 1") << true << "" << "" << QStringList { "1", "2", "3", "4", "5" };
    QTest::newRow("only the first record's start counts")
        << true << "10" << "99" << QStringList { "10", "11", "12", "13", "14" };
}

void TestPrintRun::serialNumbersFollowTheCopiesOption()
{
    QFETCH(bool, inCopies);
    QFETCH(QString, firstStart);
    QFETCH(QString, secondStart);
    QFETCH(QStringList, numbers);
    Rig rig;
    rig.session.serialInCopies = inCopies;
    rig.typeRecords({ { "2", "Anna", firstStart, "Bonn" }, { "3", "Bert", secondStart, "Celle" } });
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Printed);
    QCOMPARE(rig.run->lastLabelCount(), 5);
    // The labels in the order they were drawn: each prints its serial
    // number as "Nr. n/96" and its name.
    static const QRegularExpression serial(QStringLiteral("\"Nr\\. (\\d+)/96\""));
    QStringList got, names;
    for (const QString &text : rig.texts()) {
        if (const QRegularExpressionMatch m = serial.match(text); m.hasMatch())
            got << m.captured(1);
        else if (text.contains(QLatin1String("\"Anna\"")) || text.contains(QLatin1String("\"Bert\"")))
            names << text.section(u' ', 1);
    }
    QCOMPARE(got, numbers);
    QCOMPARE(names, (QStringList { "\"Anna\"", "\"Anna\"", "\"Bert\"", "\"Bert\"", "\"Bert\"" }));
}

// A record may ask for as many copies as a run allows, and gets them all.
void TestPrintRun::copiesAtTheirBoundArePrinted()
{
    Rig rig;
    rig.typeRecords({ { QString::number(MaxCopiesPerRecord), "Anna", "", "Bonn" } });
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Printed);
    QCOMPARE(rig.run->lastLabelCount(), MaxCopiesPerRecord);
    QCOMPARE(rig.texts().filter(QStringLiteral("\"Anna\"")).size(), MaxCopiesPerRecord);
    QVERIFY(rig.messages.shown().isEmpty());
}

void TestPrintRun::cancelledInputExpertPrintsNothingAndKeepsOffsets()
{
    Rig rig;
    rig.session.offsetPositionX = 200;
    rig.input.user = [&rig] {
        rig.input.x = 0;
        return false;
    };
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Cancelled);
    QCOMPARE(rig.input.x, 0);
    QCOMPARE(rig.session.offsetPositionX, 200);
    QVERIFY(rig.progress.log.isEmpty());
    QVERIFY(!rig.printers.last);

    // The next run hands the remembered offsets to the input expert again.
    rig.input.user = nullptr;
    rig.use(EnterAndPrint);
    QCOMPARE(rig.input.x, 200);
}

void TestPrintRun::missingFilesAreBothReported()
{
    Rig rig;
    QString design = rig.temp.path() + QStringLiteral("/fehlt.eti");
    QString format = QStringLiteral("C:\\QUILL\\FORMATE\\fehlt.vrl");
    QString database;
    QCOMPARE(rig.run->Ausfuehren(design, format, EnterAndPrint, database), RunOutcome::FileMissing);
    QCOMPARE(rig.messages.shown().size(), 2);
    QCOMPARE(rig.messages.shown()[0].text,
        QStringLiteral("Etiketten- bzw. Formulardatei nicht gefunden. Bearbeitung abgebrochen !"));
    QCOMPARE(rig.messages.shown()[1].text,
        QStringLiteral("Formatdatei nicht gefunden. Bearbeitung abgebrochen !"));
    QCOMPARE(rig.messages.shown()[1].kind, MessageKind::Plain);
    QCOMPARE(rig.input.shown, 0);
}

void TestPrintRun::movedFilesAreFoundAndWrittenBack()
{
    Rig rig;
    // The format lies in FORMATE only: the second lookup step does not look
    // there, so it is copied into the program directory itself.
    test::writeBytes(rig.temp.path() + QStringLiteral("/a4_3x7.vrl"), test::contentOf(rig.format));
    QString design = QStringLiteral("C:\\QUILL\\ETIKETT\\versand.eti");
    QString format = QStringLiteral("/nirgends/a4_3x7.vrl");
    QString database;
    rig.typeRecords({ { "1", "Anna", "", "Bonn" } });
    QCOMPARE(rig.run->Ausfuehren(design, format, EnterAndPrint, database), RunOutcome::Printed);
    QCOMPARE(design, rig.design);
    QCOMPARE(format, rig.temp.path() + QStringLiteral("/a4_3x7.vrl"));
}

void TestPrintRun::badNumbersStopTheRunCleanly_data()
{
    QTest::addColumn<QString>("copies");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("message");
    QTest::newRow("copies") << "zwei"
                            << "1"
                            << "'zwei' ist kein gültiger Integerwert";
    QTest::newRow("start") << "1"
                           << "x1"
                           << "'x1' ist kein gültiger Integerwert";
    QTest::newRow("start below 1") << "1"
                                   << "0"
                                   << "Das Startetikett muss mindestens 1 sein.";
    QTest::newRow("start beyond the first sheets") << "1"
                                                   << "201"
                                                   << "Die Startposition 201 liegt nicht zwischen 1 und 200.";
    QTest::newRow("a billion copies") << "1000000000"
                                      << "1"
                                      << "Datensatz 1: 1000000000 Kopien sind zu viele, höchstens 10000 "
                                         "sind möglich.";
    QTest::newRow("no copies") << "0"
                               << "1"
                               << "Es gibt kein Etikett zu drucken.";
}

void TestPrintRun::badNumbersStopTheRunCleanly()
{
    QFETCH(QString, copies);
    QFETCH(QString, start);
    QFETCH(QString, message);
    Rig rig;
    rig.typeRecords({ { copies, "Anna", "", "Bonn" } });
    rig.input.start = start;
    rig.input.x = 100;
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Failed);
    QCOMPARE(rig.messages.lastText(), message);
    QVERIFY(!rig.progress.visible);
    QVERIFY(rig.texts().isEmpty());
    QCOMPARE(rig.session.offsetPositionX, 250);
}

// An EAN-13 field of the stored size 12 takes the 13th digit, the check
// digit: the input expert lets it be typed and checks it.
void TestPrintRun::checkDigitIsTypedAndChecked()
{
    Rig rig;
    QVERIFY(test::writeBytes(rig.design,
        "NA,Artikel\r\nGR,175,100,25\r\nXF,12,0,0,0,Arial,0\r\nEF,120,10,8,Preis\r\n"
        "BC,10,10,110,70,0,Artikel,12\r\n"));
    rig.typeRecords({ { "1", "1,99", "4006381333931" } });
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Printed);
    // The field size handed to the input expert.
    QCOMPARE(rig.input.fields.cell(2, 1), QStringLiteral("13"));
    QVERIFY(rig.input.valueCheck);
    QCOMPARE(rig.input.valueCheck(2, QStringLiteral("4006381333932"), 1),
        QStringLiteral("Datensatz 1, Feld Artikel: „4006381333932“ kann nicht als EAN-13 gedruckt werden, "
                       "die Prüfziffer müsste 1 sein."));
    QCOMPARE(rig.input.valueCheck(2, QStringLiteral("4006381333931"), 1), QString());
}

// A BC line the program does not read as a barcode is printed without it,
// and the run says so once, before printing.
void TestPrintRun::barcodeNotPrintedIsNamedOnce()
{
    Rig rig;
    QVERIFY(test::writeBytes(rig.design,
        "NA,Artikel\r\nGR,175,100,25\r\nBC,10,10,110,70,x,Artikel\r\nXF,12,0,0,0,Arial,0\r\n"
        "EF,120,10,8,Preis\r\n"));
    rig.typeRecords({ { "2", "400638133393", "1,99" } }); // the field takes 12 characters
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Printed);
    QCOMPARE(rig.messages.shown().size(), 1);
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("Etikettendatei %1, Zeile 3, Feld Artikel: Der Barcode wird nicht gedruckt, die "
                       "Barcodeart „x“ ist keine Zahl.")
            .arg(rig.design));
    // The price is printed from its own column on both labels, no barcode.
    QCOMPARE(rig.texts().size(), 2);
    QVERIFY(rig.texts().first().contains(QStringLiteral("\"1,99\"")));
    int bars = 0;
    for (const auto &call : rig.printers.last->canvas_.calls())
        bars += call.op == QLatin1String("fillf");
    QCOMPARE(bars, 0);
    // Nothing to refuse as it is typed either.
    QCOMPARE(rig.input.valueCheck(1, QStringLiteral("12AB"), 1), QString());
}

// A value the barcode cannot encode is refused before a printer is asked for.
void TestPrintRun::badBarcodeValuePrintsNothing()
{
    Rig rig;
    QVERIFY(test::writeBytes(rig.design,
        "NA,Artikel\r\nGR,175,100,25\r\nXF,12,0,0,0,Arial,0\r\nEF,120,10,8,Preis\r\n"
        "BC,10,10,110,70,0,Artikel\r\n"));
    rig.typeRecords({ { "1", "1,99", "400638133393" }, { "2", "2,50", "40063813339X" } });
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Failed);
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("Datensatz 2, Feld Artikel: „40063813339X“ kann nicht als EAN-13 gedruckt werden."));
    QVERIFY(!rig.progress.visible);
    QVERIFY(rig.texts().isEmpty());

    // The input expert was given the same check for values as they are typed.
    QVERIFY(rig.input.valueCheck);
    QCOMPARE(rig.input.valueCheck(2, QStringLiteral("12AB"), 3),
        QStringLiteral("Datensatz 3, Feld Artikel: „12AB“ kann nicht als EAN-13 gedruckt werden."));
    QCOMPARE(rig.input.valueCheck(2, QStringLiteral("400638133393"), 3), QString());
    QCOMPARE(rig.input.valueCheck(1, QStringLiteral("12AB"), 3), QString()); // the price is text

    // A picture whose file is missing is named, and nothing is printed.
    QVERIFY(
        test::writeBytes(rig.design, "NA,Artikel\r\nGR,175,100,25\r\nXB,10,10,60,40,/nicht/da/logo.png\r\n"));
    rig.typeRecords({ { "1" } });
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Failed);
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("Das Bild \"/nicht/da/logo.png\" fehlt oder kann nicht gelesen werden."));
    QVERIFY(!rig.progress.visible);
    QVERIFY(rig.texts().isEmpty());

    // A relative picture path (as the editor stores a picture from inside
    // the program directory, also with "\\") is read from the program
    // directory, whatever the working directory.
    QImage logo(4, 4, QImage::Format_RGB32);
    logo.fill(Qt::green);
    QVERIFY(QDir(rig.temp.path()).mkpath(QStringLiteral("BILDER")));
    QVERIFY(logo.save(rig.temp.path() + QStringLiteral("/BILDER/logo.png"), "PNG"));
    QVERIFY(test::writeBytes(rig.design,
        "NA,Artikel\r\nGR,175,100,25\r\nXB,10,10,60,40,BILDER/logo.png\r\nXB,70,10,120,40,BILDER\\logo.png\r\n"));
    rig.messages.clear();
    rig.typeRecords({ { "1" } });
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Printed);
    QVERIFY2(rig.messages.shown().isEmpty(), qPrintable(rig.messages.lastText()));
}

void TestPrintRun::withoutDefaultPrinterThePdfIsOffered()
{
    Rig rig;
    rig.printers.hasDefault = false;
    rig.typeRecords({ { "3", "Anna", "", "Bonn" } });

    rig.messages.addAnswer(MessageButton::No);
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Cancelled);
    QCOMPARE(rig.messages.shown().first().kind, MessageKind::Warning);
    QVERIFY(rig.messages.lastText().startsWith(QStringLiteral("Es ist kein Standarddrucker eingerichtet.")));
    QVERIFY(rig.progress.log.isEmpty());

    const QString pdf = rig.temp.path() + QStringLiteral("/etiketten.pdf");
    rig.messages.addAnswer(MessageButton::Yes);
    rig.files.addAnswer(pdf);
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Printed);
    QCOMPARE(rig.files.calls().last().save, true);
    // The dialog suggests a name after the design, in the home folder at first.
    QCOMPARE(
        rig.files.calls().last().directory, QDir(QDir::homePath()).filePath(QStringLiteral("Versand.pdf")));
    QCOMPARE(rig.progress.log.first(), QStringLiteral("show etiketten.pdf"));
    QVERIFY(test::contentOf(pdf).startsWith("%PDF"));
    // The user is told where the file went.
    QCOMPARE(rig.messages.shown().last().kind, MessageKind::Information);
    QVERIFY2(
        rig.messages.lastText().contains(QDir::toNativeSeparators(pdf)), qPrintable(rig.messages.lastText()));

    // A PDF that cannot be written is reported, not passed off as printed.
    rig.messages.addAnswer(MessageButton::Yes);
    rig.files.addAnswer(rig.temp.path() + QStringLiteral("/fehlt/nicht/da.pdf"));
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::DeviceFailed);
    // The next dialog starts in the folder used last.
    QCOMPARE(QFileInfo(rig.files.calls().last().directory).absolutePath(), QFileInfo(pdf).absolutePath());
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("Die PDF-Datei da.pdf konnte nicht geschrieben werden: Datei nicht gefunden"));
    QVERIFY(!rig.progress.visible);
}

// Once "Drucken" was pressed the offsets are the user's, whether or not a
// printer or a PDF file takes the labels.
void TestPrintRun::declinedPdfKeepsTheTypedOffsets()
{
    Rig rig;
    rig.printers.hasDefault = false;
    rig.typeRecords({ { "1", "Anna", "", "Bonn" } });
    rig.input.user = [&rig, typed = rig.input.user] {
        rig.input.x = 230;
        rig.input.y = 275;
        return typed();
    };
    rig.messages.addAnswer(MessageButton::No);
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Cancelled);
    QCOMPARE(rig.session.offsetPositionX, 230);
    QCOMPARE(rig.session.offsetPositionY, 275);

    // The next run shows them again.
    rig.input.user = nullptr;
    rig.use(EnterAndPrint);
    QCOMPARE(rig.input.x, 230);
    QCOMPARE(rig.input.y, 275);
}

void TestPrintRun::chosenPrinterAndItsCorrection_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("printedOn");
    QTest::addColumn<int>("originX");
    QTest::addColumn<double>("scaleY");
    QTest::addColumn<QString>("notice");

    // Stored: Etikettendrucker 12,-8,1000,990; Zweiter -20,5,1010,1000.
    QTest::newRow("none chosen: the default") << ""
                                              << "Etikettendrucker" << 12 << 0.990 << "";
    QTest::newRow("the default chosen") << "Etikettendrucker"
                                        << "Etikettendrucker" << 12 << 0.990 << "";
    QTest::newRow("another chosen") << "Zweiter"
                                    << "Zweiter" << -20 << 1.0 << "";
    QTest::newRow("one without correction") << "Dritter"
                                            << "Dritter" << 0 << 1.0 << "";
    QTest::newRow("a gone one: the default")
        << "Entfernt"
        << "Etikettendrucker" << 12 << 0.990
        << "Der gewählte Drucker Entfernt ist nicht mehr vorhanden; gedruckt wird auf den "
           "Standarddrucker Etikettendrucker.";
}

// The run prints on the chosen printer with that printer's correction, and
// on the default printer (saying so) when the chosen one is gone.
void TestPrintRun::chosenPrinterAndItsCorrection()
{
    QFETCH(QString, chosen);
    QFETCH(QString, printedOn);
    QFETCH(int, originX);
    QFETCH(double, scaleY);
    QFETCH(QString, notice);

    Rig rig;
    rig.printers.others = QStringList { QStringLiteral("Zweiter"), QStringLiteral("Dritter") };
    PrinterSettings printers(rig.settings);
    printers.setChosenPrinter(chosen);
    printers.setCorrection(QStringLiteral("Etikettendrucker"), { 12, -8, 1000, 990 });
    printers.setCorrection(QStringLiteral("Zweiter"), { -20, 5, 1010, 1000 });
    printers.setCorrection(QStringLiteral("Entfernt"), { 100, 100, 1100, 1100 });
    rig.typeRecords({ { "1", "Anna", "", "Bonn" } });

    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Printed);
    QCOMPARE(rig.printers.lastOpened, printedOn);
    QCOMPARE(rig.progress.log.first(), QStringLiteral("show ") + printedOn);
    QCOMPARE(rig.printers.last->originX, originX);
    QCOMPARE(rig.printers.last->scaleY, scaleY);
    QCOMPARE(rig.printers.last->unitsPerCm, 25);
    if (notice.isEmpty()) {
        QVERIFY(rig.messages.shown().isEmpty());
    } else {
        QCOMPARE(rig.messages.shown().size(), 1);
        QCOMPARE(rig.messages.lastText(), notice);
    }
    // The labels are laid out as without a correction: position 1 at
    // (75, 150) tenths, the name 10 units right and down of its corner.
    QVERIFY(rig.texts().contains(QStringLiteral("28,47 \"Anna\"")));
}

// A stored correction that cannot be read is said before the run, which
// prints without it; one that would put a label of the run beside the page
// refuses the run with its name.
void TestPrintRun::correctionsThatMisplaceLabelsOrCannotBeReadAreSaid()
{
    Rig rig;
    rig.settings.setValue(QStringLiteral("Kalibrierung"), QStringLiteral("Etikettendrucker"), QStringLiteral("12,x"));
    rig.typeRecords({ { "1", "Anna", "", "Bonn" } });
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Printed);
    QCOMPARE(rig.messages.shown().size(), 1);
    QVERIFY2(rig.messages.lastText().startsWith(QStringLiteral(
                 "Die gespeicherte Korrektur für Etikettendrucker („12,x“ im Abschnitt [Kalibrierung] von "
                 "Quillmark.ini) ist ungültig und wird nicht angewandt")),
        qPrintable(rig.messages.lastText()));
    QCOMPARE(rig.printers.last->originX, 0);
    QVERIFY(rig.texts().contains(QStringLiteral("28,47 \"Anna\"")));

    Rig refused;
    PrinterSettings(refused.settings).setCorrection(QStringLiteral("Etikettendrucker"), { 250, 250, 1100, 1100 });
    refused.typeRecords({ { "21", "Anna", "", "Bonn" } });
    QCOMPARE(refused.use(EnterAndPrint), RunOutcome::Failed);
    QCOMPARE(refused.messages.shown().size(), 1);
    QVERIFY2(refused.messages.lastText().startsWith(QStringLiteral(
                 "Mit der Korrektur für Etikettendrucker (Versatz x +25,0 mm, y +25,0 mm; Maßstab x 110,0 %, "
                 "y 110,0 %) fiele Etikett 3 des Bogens links oder rechts über den Rand der Seite")),
        qPrintable(refused.messages.lastText()));
    QVERIFY(refused.texts().isEmpty());
}

void TestPrintRun::previewDrawsTheTypedRecordsAndChangesNothing_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("pages");
    QTest::newRow("from the first label") << "1" << 1;
    QTest::newRow("partly used sheet") << "20" << 2;
}

void TestPrintRun::previewDrawsTheTypedRecordsAndChangesNothing()
{
    QFETCH(QString, start);
    QFETCH(int, pages);
    Rig rig;
    rig.typeRecords({ { "2", "Anna", "", "Bonn" }, { "1", "Bert", "", "Celle" } });
    std::unique_ptr<PreviewPages> shown;
    rig.input.user = [&, typed = rig.input.user] {
        typed();
        shown = rig.run->preview(start, true, 250, 250, 30);
        return false; // closed without printing
    };
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Cancelled);
    QVERIFY(shown);
    QCOMPARE(shown->pageCount(), pages);
    // A4 at 30 dots per inch.
    QCOMPARE(shown->page(0).size(), QSize(248, 351));
    QVERIFY(rig.printers.made.empty());
    QVERIFY(rig.messages.shown().isEmpty());

    // Printed after the preview: the same labels as without it.
    rig.input.user = [&, typed = rig.input.user] {
        typed();
        rig.run->preview(start, true, 250, 250, 30);
        return true;
    };
    rig.input.start = start;
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Printed);
    QCOMPARE(rig.texts().filter(QStringLiteral("\"Anna\"")).size(), 2);
    QCOMPARE(rig.texts().filter(QStringLiteral("\"Bert\"")).size(), 1);
}

void TestPrintRun::previewRefusals_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("copies");
    QTest::addColumn<QString>("message");
    QTest::newRow("start not a number") << "x"
                                        << "1"
                                        << "'x' ist kein gültiger Integerwert";
    QTest::newRow("start 0") << "0"
                             << "1"
                             << "Das Startetikett muss mindestens 1 sein.";
    QTest::newRow("no copies") << "1"
                               << "0"
                               << "Es gibt kein Etikett zu drucken.";
}

void TestPrintRun::previewRefusals()
{
    QFETCH(QString, start);
    QFETCH(QString, copies);
    QFETCH(QString, message);
    Rig rig;
    rig.typeRecords({ { copies, "Anna", "", "Bonn" } });
    QString error;
    rig.input.user = [&, typed = rig.input.user] {
        typed();
        try {
            rig.run->preview(start, false, 250, 250, 30);
        } catch (const Error &e) {
            error = e.message();
        }
        return false;
    };
    rig.use(EnterAndPrint);
    QCOMPARE(error, message);
}

// The windows' runs wait a second with the progress window shown, then the
// fixed times of the layout's steps; with "Ohne Wartezeiten drucken" they
// wait nothing and print the same labels, the progress window shown as
// before.
void TestPrintRun::waitsUnlessTheSettingsSayWithout()
{
    for (const bool withoutWaits : { false, true }) {
        Rig rig;
        PrinterSettings(rig.settings).setPrintWithoutWaits(withoutWaits);
        rig.typeRecords({ { "30", "Anna", "", "Bonn" } });
        QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Printed);
        QCOMPARE(rig.texts().filter(QStringLiteral("\"Anna\"")).size(), 30);
        QCOMPARE(rig.progress.log, (QStringList { "show Etikettendrucker", "hide" }));
        if (withoutWaits) {
            QVERIFY(rig.waiter.waits().isEmpty());
        } else {
            QCOMPARE(rig.waiter.waits().first(), 1000);
            // At least one wait per label after the first second.
            QVERIFY(rig.waiter.waits().size() > 30);
        }
    }
}

void TestPrintRun::cancellingInTheProgressWindowStopsTheRun()
{
    Rig rig;
    rig.typeRecords({ { "10", "Anna", "", "Bonn" } });
    rig.progress.cancelAfterSteps = 2;
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::PrintCancelled);
    QCOMPARE(rig.texts().filter(QStringLiteral("\"Anna\"")).size(), 2);
    QVERIFY(rig.printers.last->ended);
    QVERIFY(!rig.progress.visible);
    QVERIFY(rig.messages.shown().isEmpty());

    // Into a PDF file, the cut-short file is named as such.
    rig.printers.hasDefault = false;
    rig.messages.addAnswer(MessageButton::Yes);
    const QString pdf = rig.temp.path() + QStringLiteral("/abgebrochen.pdf");
    rig.files.addAnswer(pdf);
    rig.progress.cancelAfterSteps = 2;
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::PrintCancelled);
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral(
            "Der Druck wurde abgebrochen. Die PDF-Datei enthält nur die Etiketten bis zum Abbruch:\n")
            + QDir::toNativeSeparators(pdf));
}

namespace {

// A run whose database expert selects the records of a real table whose
// third field has at least "B", with prints 2 for the first one.
struct DatabaseRig : Rig
{
    QString table;
    ShapelibTable engine;

    DatabaseRig()
    {
        PrintRunServices services { messages, files, waiter, printers, input, progress };
        services.databaseExpert = &dbExpert;
        run = std::make_unique<PrintRun>(
            ProgramDirectory(temp.path() + QStringLiteral("/")), session, services);
        table = temp.path() + QStringLiteral("/DBANKEN/kunden.dbf");
        QDir().mkpath(temp.path() + QStringLiteral("/DBANKEN"));
        engine.create(table,
            { { QStringLiteral("NAME"), 10 }, { QStringLiteral("NR"), 4 }, { QStringLiteral("ORT"), 10 } });
        engine.appendRecord({ "Anna", "7", "Bonn" });
        engine.appendRecord({ "Aaron", "8", "Aachen" });
        engine.appendRecord({ "Zoë", "9", "Celle" });
        engine.close();
        dbExpert.user = [this] {
            engine.open(dbExpert.table);
            RecordSelection selection(engine);
            selection.formShow();
            selection.criteria()[0] = { true, QStringLiteral("ORT"), QStringLiteral("B"), QString() };
            selection.criterionSwitched(0);
            selection.records().setCell(0, 1, QStringLiteral("2"));
            const QStringList names = selection.fieldNames();
            return std::optional<SelectedRecords>({ names, selection.handOver() });
        };
        input.user = [] { return true; };
    }
};

} // namespace

void TestPrintRun::mode2PrintsSelectedTableRecords()
{
    DatabaseRig rig;
    QString database = rig.table;
    QString d = rig.design, f = rig.format;
    QCOMPARE(rig.run->Ausfuehren(d, f, PrintFromDatabase, database), RunOutcome::Printed);
    QCOMPARE(rig.dbExpert.shown, 1);
    QCOMPARE(rig.dbExpert.design, rig.design);
    QCOMPARE(rig.dbExpert.format, rig.format);
    QCOMPARE(rig.dbExpert.table, rig.table);
    QCOMPARE(rig.input.modus, QStringLiteral("D"));
    QCOMPARE(rig.input.shown, 1);
    // Anna twice, Zoë once; table fields feed the design's fields by position,
    // the second one into the place of the serial number, which counts no more.
    QCOMPARE(rig.run->lastLabelCount(), 3);
    const QStringList texts = rig.texts();
    QCOMPARE(texts.filter(QStringLiteral("\"Anna\"")).size(), 2);
    QCOMPARE(texts.filter(QStringLiteral("\"Bonn\"")).size(), 2);
    QCOMPARE(texts.filter(QStringLiteral("\"Zoë\"")).size(), 1);
    QCOMPARE(texts.filter(QStringLiteral("\"Celle\"")).size(), 1);
    QCOMPARE(texts.filter(QStringLiteral("Aaron")).size(), 0);
    QCOMPARE(texts.filter(QStringLiteral("7/96")).size(), 2);
    QCOMPARE(texts.filter(QStringLiteral("9/96")).size(), 1);
}

// A design opened in the database expert is the one the records print with.
void TestPrintRun::mode2PrintsWithTheDesignTheExpertShowed()
{
    DatabaseRig rig;
    const QString other = rig.temp.path() + QStringLiteral("/andere.eti");
    QVERIFY(test::writeBytes(
        other, "NA,Andere\r\nGR,175,100,25\r\nXF,12,0,0,0,Arial,0\r\nEF,50,50,30,Name\r\n"));
    rig.dbExpert.user = [&rig, other, select = rig.dbExpert.user] {
        rig.dbExpert.design = other; // "&Etikettendatei öffnen ..."
        return select();
    };
    QString database = rig.table;
    QString d = rig.design, f = rig.format;
    QCOMPARE(rig.run->Ausfuehren(d, f, PrintFromDatabase, database), RunOutcome::Printed);
    QCOMPARE(d, rig.design); // the entry keeps its design
    QCOMPARE(rig.input.status, QStringLiteral("Andere"));
    // Position 1 at (18, 37) in design units, the name 50 units right and down.
    QCOMPARE(rig.texts().first(), QStringLiteral("68,87 \"Anna\""));
    QCOMPARE(rig.texts().size(), 3);
}

void TestPrintRun::mode2CancelledExpertPrintsNothing()
{
    DatabaseRig rig;
    rig.dbExpert.user = [] { return std::nullopt; };
    QString database = rig.table;
    QString d = rig.design, f = rig.format;
    QCOMPARE(rig.run->Ausfuehren(d, f, PrintFromDatabase, database), RunOutcome::Cancelled);
    QCOMPARE(rig.dbExpert.shown, 1);
    QCOMPARE(rig.input.shown, 0);
    QVERIFY(!rig.printers.last);
    // Cancelling the input expert after the selection prints nothing either.
    DatabaseRig second;
    second.input.user = [] { return false; };
    QString d2 = second.design, f2 = second.format, t2 = second.table;
    QCOMPARE(second.run->Ausfuehren(d2, f2, PrintFromDatabase, t2), RunOutcome::Cancelled);
    QCOMPARE(second.input.shown, 1);
    QVERIFY(!second.printers.last);
}

void TestPrintRun::mode3OpensTheTableAlone()
{
    DatabaseRig rig;
    QFile::remove(rig.design);
    QString database = rig.table;
    QString d = rig.design, f = QStringLiteral("fehlt.vrl");
    rig.dbExpert.user = [] { return std::nullopt; };
    QCOMPARE(rig.run->Ausfuehren(d, f, EditDatabase, database), RunOutcome::Edited);
    QCOMPARE(rig.dbExpert.shown, 1);
    QCOMPARE(rig.dbExpert.design, QString());
    QCOMPARE(rig.dbExpert.format, QString());
    QCOMPARE(rig.dbExpert.table, rig.table);
    QVERIFY(rig.messages.shown().isEmpty());
    QCOMPARE(rig.input.shown, 0);
}

void TestPrintRun::unprintableDesignPrintsNothing()
{
    Rig rig;
    QVERIFY(test::writeBytes(
        rig.design, test::contentOf(FixtureDir + QStringLiteral("designs/print_scale_zero.eti"))));
    rig.typeRecords({ { "1" } });
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Failed);
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("Der Druckmaßstab 0 der Etikettendatei liegt nicht zwischen 1 und 1000. Es wurde "
                       "nichts gedruckt."));
    QVERIFY(rig.printers.made.empty()); // no printer was asked for
    QVERIFY(!rig.progress.visible);
}

void TestPrintRun::outOfMemoryEndsTheRunWithAMessage()
{
    Rig rig;
    rig.printers.outOfMemory = true;
    rig.typeRecords({ { "1", "Anna", "", "Bonn" } });
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Failed);
    QCOMPARE(
        rig.messages.lastText(), QStringLiteral("Nicht genügend Arbeitsspeicher. Bearbeitung abgebrochen !"));
    QVERIFY(!rig.progress.visible);
}

void TestPrintRun::modeFourOpensTheDesignEditor()
{
    Rig rig;
    RecordingDesignEditor editor;
    rig.run->setDesignEditor(&editor);
    QFile::remove(rig.format); // the format is not needed to edit a design
    QString design = QStringLiteral("C:\\ALT\\versand.eti");
    QString format = rig.format;
    QString database;
    QCOMPARE(rig.run->Ausfuehren(design, format, 4, database), RunOutcome::Edited);
    QCOMPARE(editor.shown, 1);
    QCOMPARE(editor.modus, QStringLiteral("N"));
    QCOMPARE(editor.file, rig.design);
    QCOMPARE(design, rig.design);
    QVERIFY(rig.messages.shown().isEmpty());

    // A design that is not found opens nothing.
    QFile::remove(rig.design);
    QCOMPARE(rig.use(4), RunOutcome::FileMissing);
    QCOMPARE(editor.shown, 1);
}

void TestPrintRun::otherModesSayWhatIsNotAvailable_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("database");
    QTest::addColumn<bool>("designExists");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("message");
    const QString dbMissing
        = QStringLiteral("Datenbank \"%1/fehlt.dbf\" nicht gefunden. Bearbeitung abgebrochen !");
    QTest::newRow("2 without table") << 2 << "" << true << int(RunOutcome::FileMissing)
                                     << "Keine Datenbank zu diesem Etikett bestimmt !";
    QTest::newRow("2 table missing") << 2 << "C:\\DB\\fehlt.dbf" << true << int(RunOutcome::FileMissing)
                                     << dbMissing;
    QTest::newRow("2 table found") << 2 << "kunden.dbf" << true << int(RunOutcome::NotAvailable)
                                   << "Der Datenbank-Experte steht";
    QTest::newRow("3 design missing")
        << 3 << "kunden.dbf" << false << int(RunOutcome::NotAvailable) << "Der Datenbank-Experte steht";
    QTest::newRow("3 without table") << 3 << "" << true << int(RunOutcome::FileMissing)
                                     << "Keine Datenbank zu diesem Etikett bestimmt !";
    QTest::newRow("4") << 4 << "" << true << int(RunOutcome::NotAvailable) << "Der Design-Experte steht";
    QTest::newRow("4 design missing")
        << 4 << "" << false << int(RunOutcome::FileMissing)
        << "Etiketten- bzw. Formulardatei nicht gefunden. Bearbeitung abgebrochen !";
    QTest::newRow("7") << 7 << "" << true << int(RunOutcome::Nothing) << "";
}

void TestPrintRun::otherModesSayWhatIsNotAvailable()
{
    QFETCH(int, mode);
    QFETCH(QString, database);
    QFETCH(bool, designExists);
    QFETCH(int, outcome);
    QFETCH(QString, message);
    Rig rig;
    test::writeBytes(rig.temp.path() + QStringLiteral("/DBANKEN/kunden.dbf"), QByteArray("\x03", 1));
    test::writeBytes(rig.temp.path() + QStringLiteral("/kunden.dbf"), QByteArray("\x03", 1));
    if (database == QLatin1String("kunden.dbf"))
        database = rig.temp.path() + QStringLiteral("/DBANKEN/kunden.dbf");
    if (!designExists)
        QFile::remove(rig.design);
    QCOMPARE(int(rig.use(mode, database)), outcome);
    QCOMPARE(rig.input.shown, 0);
    QVERIFY(!rig.printers.last);
    if (message.isEmpty()) {
        QVERIFY(rig.messages.shown().isEmpty());
        return;
    }
    if (message.contains(QLatin1String("%1")))
        message = message.arg(rig.temp.path());
    QVERIFY2(rig.messages.lastText().startsWith(message), qPrintable(rig.messages.lastText()));
    if (message.startsWith(QLatin1String("Keine"))) {
        QCOMPARE(rig.messages.shown().last().kind, MessageKind::Warning);
        QCOMPARE(rig.messages.shown().last().buttons, MessageButtons(MessageButton::Cancel));
    }
}

// A value that runs past its label's edge is named once per record and
// field in one message after the run, whatever the copies; a run whose
// values all fit says nothing.
void TestPrintRun::textsCutAtTheEdgeAreNamedAfterTheRun()
{
    // As long as their fields take: Name 30 characters, Ort (here) 50.
    const QString longName = QStringLiteral("Ein sehr langer Name, der übe");
    const QString longPlace = QStringLiteral("Bad Münstereifel an der Erft im Kreis Euskirchen");
    Rig rig;
    QVERIFY(test::writeBytes(
        rig.design, test::contentOf(rig.design).replace("EF,10,50,20,Ort", "EF,10,50,50,Ort")));
    rig.typeRecords(
        { { "1", "Anna", "", "Bonn" }, { "3", longName, "", "Celle" }, { "1", "Bert", "", longPlace } });
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Printed);
    QCOMPARE(rig.texts().filter(longName).size(), 3); // printed, cut by the clip
    QCOMPARE(rig.messages.shown().size(), 1);
    QCOMPARE(rig.messages.shown().first().kind, MessageKind::Information);
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("Datensatz 2, Feld Name: „%1“ reicht über den Rand des Etiketts und ist dort "
                       "abgeschnitten.\n"
                       "Datensatz 3, Feld Ort: „%2“ reicht über den Rand des Etiketts und ist dort "
                       "abgeschnitten.")
            .arg(longName, longPlace));

    Rig fits;
    fits.typeRecords({ { "2", "Anna", "", "Bonn" } });
    QCOMPARE(fits.use(EnterAndPrint), RunOutcome::Printed);
    QVERIFY(fits.messages.shown().isEmpty());
}

// A design of size 0 x 0 prints its elements, clipped to the sheet's label
// (63.5 x 38 mm: 158 x 95 units) instead of to nothing.
void TestPrintRun::designWithoutSizeIsClippedToTheSheetLabel()
{
    Rig rig;
    QVERIFY(test::writeBytes(rig.design, "NA,Alt\r\nGR,0,0,25\r\nXF,12,0,0,0,Arial,0\r\nEF,10,10,30,Name\r\n"));
    rig.typeRecords({ { "2", "Anna" } });
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Printed);
    // Positions 1 and 2 of the 3 x 7 sheet: (75, 150) and (735, 150) tenths.
    QCOMPARE(rig.texts(), (QStringList { "28,47 \"Anna\"", "193,47 \"Anna\"" }));
    QStringList clips;
    for (const auto &call : rig.printers.last->canvas_.calls())
        if (call.op == QLatin1String("clip"))
            clips << call.args.join(u' ');
    QCOMPARE(clips, (QStringList { "18,37,176,132", "183,37,341,132" }));
    QVERIFY(rig.messages.shown().isEmpty());
}

// The fields named in a text are asked for after the design's own and
// printed on the text's line.
void TestPrintRun::fieldsInsideTextAreAskedForAndPrinted()
{
    Rig rig;
    QVERIFY(test::writeBytes(rig.design,
        "NA,Orte\r\nGR,150,90,25\r\nXF,20,0,0,0,Arial,0\r\nEF,10,10,20,Name\r\nTE,10,40,${PLZ:5} ${Ort}\r\n"));
    rig.typeRecords({ { "1", "Erika", "50667", "Köln" }, { "1", "Hans", "53111", "Bonn" } });
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Printed);
    QCOMPARE(rig.input.fields.cell(0, 0), QStringLiteral("3"));
    QCOMPARE((QStringList { rig.input.fields.cell(2, 0), rig.input.fields.cell(2, 1), rig.input.fields.cell(3, 0),
                 rig.input.fields.cell(3, 1) }),
        (QStringList { "PLZ", "5", "Ort", "30" }));
    QStringList lines;
    for (const QString &text : rig.texts())
        lines << text.section(u' ', 1);
    QCOMPARE(lines, (QStringList { "\"Erika\"", "\"50667 Köln\"", "\"Hans\"", "\"53111 Bonn\"" }));
    QVERIFY2(rig.messages.shown().isEmpty(), qPrintable(rig.messages.lastText()));

    // The size given in the text holds for typed values too.
    rig.typeRecords({ { "1", "Erika", "506670", "Köln" } });
    QCOMPARE(rig.use(EnterAndPrint), RunOutcome::Failed);
    QVERIFY2(rig.messages.lastText().contains(QStringLiteral("Feld PLZ")), qPrintable(rig.messages.lastText()));
}

QTEST_MAIN(TestPrintRun)
#include "TestPrintRun.moc"
