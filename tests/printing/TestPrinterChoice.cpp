#include "formats/sheetformat.h"
#include "pdfpages.h"
#include "platform/doubles/memorysettings.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/doubles/virtualwaiter.h"
#include "platform/errors.h"
#include "printerdoubles.h"
#include "printing/printers/printerchoice.h"
#include "printing/qt/printerdialog.h"
#include "printing/qt/qtprinteraccess.h"
#include "testfiles.h"
#include "testpaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace qm;

// The rules of "&Druckparameter ..." on the printer doubles, and the window
// on the PDF files' entry (the one entry every system has).
class TestPrinterChoice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsShowPrintersWithTheirCorrections();
    void choosingKeepsThePrinterInTheSettings();
    void defaultPrinterIsTakenWhenNoneIsChosen_data();
    void defaultPrinterIsTakenWhenNoneIsChosen();
    void calibrationOnAPrinterStoresItsCorrection();
    void readingOutOfRangeStoresNothing();
    void windowCalibratesThePdfEntry();
    void windowOffersTheCatalogueFormats();
    void windowKeepsPrintingWithoutWaits();

private:
    static SheetFormat format()
    {
        SheetFormat f;
        FormatdateiLesen(formatPath(), f);
        return f;
    }
    static QString formatPath()
    {
        return test::fixturesDir() + QStringLiteral("/formats/a4_3x7_63.5x38_written.vrl");
    }
};

void TestPrinterChoice::rowsShowPrintersWithTheirCorrections()
{
    test::FakePrinters printers;
    printers.others = QStringList { QStringLiteral("Zweiter") };
    MemorySettings settings;
    settings.setValue(QStringLiteral("Parameter"), QStringLiteral("Drucker"), QStringLiteral("Zweiter"));
    settings.setValue(
        QStringLiteral("Kalibrierung"), QStringLiteral("Zweiter"), QStringLiteral("5,-5,1000,1010"));
    const PrinterChoiceCore core(printers, settings);

    QCOMPARE(core.rows().size(), 3);
    const PrinterChoiceCore::Row &first = core.rows()[0];
    QCOMPARE(first.name, QStringLiteral("Etikettendrucker"));
    QCOMPARE(first.location, QStringLiteral("Büro"));
    QCOMPARE(first.state, QStringLiteral("bereit"));
    QVERIFY(first.isDefault && !first.chosen);
    QCOMPARE(first.correction, QStringLiteral("keine Korrektur"));
    QVERIFY(core.rows()[1].chosen);
    QCOMPARE(core.rows()[1].correction,
        QStringLiteral("Versatz x +0,5 mm, y -0,5 mm; Maßstab x 100,0 %, y 101,0 %"));
    QVERIFY(core.rows()[2].isPdf);
    QCOMPARE(core.rows()[2].name, QStringLiteral("PDF"));
    QCOMPARE(core.initialRow(), 1);
}

void TestPrinterChoice::choosingKeepsThePrinterInTheSettings()
{
    test::FakePrinters printers;
    printers.others = QStringList { QStringLiteral("Zweiter") };
    MemorySettings settings;
    PrinterChoiceCore core(printers, settings);
    QCOMPARE(core.initialRow(), 0); // the default printer

    core.choose(1);
    QCOMPARE(settings.value(QStringLiteral("Parameter"), QStringLiteral("Drucker")),
        std::optional<QString>(QStringLiteral("Zweiter")));
    QVERIFY(core.rows()[1].chosen);
    // The PDF files' entry is no printer to print to.
    core.choose(2);
    QCOMPARE(PrinterSettings(settings).chosenPrinter(), QStringLiteral("Zweiter"));
}

void TestPrinterChoice::defaultPrinterIsTakenWhenNoneIsChosen_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("notice");
    QTest::newRow("none chosen") << "" << "";
    QTest::newRow("the chosen one is gone")
        << "Entfernt"
        << "Der gewählte Drucker Entfernt ist nicht mehr vorhanden; gedruckt wird auf den Standarddrucker "
           "Etikettendrucker.";
}

// The system lists the default printer last: the window still selects it
// first, and a run prints on it, when no printer is chosen or the chosen
// one is gone.
void TestPrinterChoice::defaultPrinterIsTakenWhenNoneIsChosen()
{
    QFETCH(QString, chosen);
    QFETCH(QString, notice);
    test::FakePrinters printers;
    printers.others = QStringList { QStringLiteral("Anderer"), QStringLiteral("Zweiter") };
    printers.defaultListedLast = true;
    MemorySettings settings;
    PrinterSettings(settings).setChosenPrinter(chosen);

    const PrinterChoiceCore core(printers, settings);
    QCOMPARE(core.rows().size(), 4);
    QCOMPARE(core.rows()[2].name, QStringLiteral("Etikettendrucker"));
    QCOMPARE(core.initialRow(), 2);

    const PrinterTarget target = openPrinterFor(printers, PrinterSettings(settings).chosenPrinter());
    QVERIFY(target.device);
    QCOMPARE(target.name, QStringLiteral("Etikettendrucker"));
    QCOMPARE(printers.lastOpened, QStringLiteral("Etikettendrucker"));
    QCOMPARE(target.notice, notice);
}

// The sheet goes to the row's printer uncorrected; the reading taken on it
// becomes that printer's correction and no other's.
void TestPrinterChoice::calibrationOnAPrinterStoresItsCorrection()
{
    test::FakePrinters printers;
    printers.others = QStringList { QStringLiteral("Zweiter") };
    MemorySettings settings;
    PrinterSettings(settings).setCorrection(QStringLiteral("Zweiter"), { 40, 40, 1050, 1050 });
    PrinterChoiceCore core(printers, settings);
    VirtualWaiter waiter;

    QCOMPARE(core.printCalibration(1, format(), QString(), waiter), QString());
    QCOMPARE(printers.lastOpened, QStringLiteral("Zweiter"));
    QCOMPARE(printers.last->unitsPerCm, 100);
    QCOMPARE(printers.last->scaleX, 1.0);
    QCOMPARE(printers.last->originY, 0);
    QVERIFY(printers.last->ended);

    // Printed 0.8 mm right and 1.5 mm low, true to scale: moved back.
    QCOMPARE(
        core.storeReading(1, { 8, 15, 1000, 1000 }, format()), (PrinterCorrection { -8, -15, 1000, 1000 }));
    QCOMPARE(PrinterSettings(settings).correction(QStringLiteral("Zweiter")),
        (PrinterCorrection { -8, -15, 1000, 1000 }));
    QCOMPARE(PrinterSettings(settings).correction(QStringLiteral("Etikettendrucker")), PrinterCorrection());
    QCOMPARE(core.rows()[1].correction,
        QStringLiteral("Versatz x -0,8 mm, y -1,5 mm; Maßstab x 100,0 %, y 100,0 %"));
}

void TestPrinterChoice::readingOutOfRangeStoresNothing()
{
    test::FakePrinters printers;
    MemorySettings settings;
    PrinterChoiceCore core(printers, settings);
    QVERIFY_THROWS_EXCEPTION(Error, core.storeReading(0, { 0, 0, 1200, 1000 }, format()));
    QVERIFY_THROWS_EXCEPTION(Error, core.storeReading(0, { -300, 0, 1000, 1000 }, format()));
    QVERIFY(!settings.value(QStringLiteral("Kalibrierung"), QStringLiteral("Etikettendrucker")).has_value());
}

// "Ausrichtung prüfen ..." on "PDF-Dateien": the format, the file, the
// sheet in it, the reading, and the entry "PDF" holds the correction.
void TestPrinterChoice::windowCalibratesThePdfEntry()
{
    QtPrinterAccess printers([] { return QString(); });
    MemorySettings settings;
    ScriptedMessages messages;
    ScriptedFileDialogs files;
    VirtualWaiter waiter;
    QTemporaryDir dir;
    TDruckparameter window(printers, settings, messages, files, waiter, dir.path());
    window.setReadingQuestion([](QWidget *) { return CalibrationReading { -5, 0, 1000, 1010 }; });

    QTreeWidget *list = window.list();
    const int pdfRow = list->topLevelItemCount() - 1;
    QCOMPARE(list->topLevelItem(pdfRow)->text(0), QStringLiteral("PDF-Dateien"));
    list->setCurrentItem(list->topLevelItem(pdfRow));
    const QString pdf = dir.filePath(QStringLiteral("kalibrierung.pdf"));
    files.addAnswer(formatPath());
    files.addAnswer(pdf);
    window.AusrichtungClick();

    QCOMPARE(test::pdfWord(test::pdfWords(pdf), QStringLiteral("Ausrichtung")).page, 1);
    const PrinterCorrection stored = PrinterSettings(settings).correction(QStringLiteral("PDF"));
    QCOMPARE(stored.scaleY, 990);
    // Label 1 lies at (75, 150): x 75 - 70 = 5; y 150 - 150 / 1.01 = 1.
    QCOMPARE(stored.offsetX, 5);
    QCOMPARE(stored.offsetY, 1);
    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(messages.lastText(),
        QStringLiteral(
            "Für PDF gilt von nun an: Versatz x +0,5 mm, y +0,1 mm; Maßstab x 100,0 %, y 99,0 %."));
    QVERIFY(list->topLevelItem(pdfRow)->text(3).startsWith(QStringLiteral("Versatz x +0,5 mm")));
}

// The format of the calibration sheet is chosen among the catalogue's by
// description; the file dialog is only for a file the catalogue does not
// name.
void TestPrinterChoice::windowOffersTheCatalogueFormats()
{
    QtPrinterAccess printers([] { return QString(); });
    MemorySettings settings;
    ScriptedMessages messages;
    ScriptedFileDialogs files;
    VirtualWaiter waiter;
    QTemporaryDir dir;
    QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("FORMATE/adressen.vrl")), test::contentOf(formatPath())));
    QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("FORMATE.DAT")),
        "FORMATE.DAT - Quillmark 32-Bit-Fassung\r\n=========================================\r\n"
        "Individuelle Formate\r\nAdressen 3 x 7\r\nadressen.vrl\r\n"));
    TDruckparameter window(
        printers, settings, messages, files, waiter, dir.filePath(QStringLiteral("FORMATE")) + QLatin1Char('/'));
    window.setReadingQuestion([](QWidget *) { return CalibrationReading { 0, 0, 1000, 1000 }; });
    QComboBox *box = window.formatBox();
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemText(0), QStringLiteral("Formatdatei wählen ..."));
    QCOMPARE(box->itemText(1), QStringLiteral("Adressen 3 x 7 (Individuelle Formate)"));
    box->setCurrentIndex(1);

    QTreeWidget *list = window.list();
    list->setCurrentItem(list->topLevelItem(list->topLevelItemCount() - 1));
    const QString pdf = dir.filePath(QStringLiteral("kalibrierung.pdf"));
    files.addAnswer(pdf);
    window.AusrichtungClick();
    QCOMPARE(files.calls().size(), 1);
    QVERIFY(files.calls().first().save);
    QCOMPARE(test::pdfWord(test::pdfWords(pdf), QStringLiteral("Ausrichtung")).page, 1);
    QVERIFY2(messages.lastText().startsWith(QStringLiteral("Für PDF gilt von nun an:")), qPrintable(messages.lastText()));
}

// "Ohne Wartezeiten drucken": off at first, kept as soon as it is clicked
// (also when the window is then cancelled), shown as kept the next time; a
// settings file that cannot be written is named and the box shows what is
// still stored.
void TestPrinterChoice::windowKeepsPrintingWithoutWaits()
{
    QtPrinterAccess printers([] { return QString(); });
    MemorySettings settings;
    ScriptedMessages messages;
    ScriptedFileDialogs files;
    VirtualWaiter waiter;
    QTemporaryDir dir;
    {
        TDruckparameter window(printers, settings, messages, files, waiter, dir.path());
        QCheckBox *box = window.withoutWaitsBox();
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Ohne Wartezeiten drucken"));
        QCOMPARE(box->objectName(), QStringLiteral("Check_OhneWartezeiten"));
        QVERIFY(!box->isChecked());
        window.show();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QVERIFY(box->isChecked());
        QCOMPARE(settings.value(QStringLiteral("Parameter"), QStringLiteral("OhneWartezeiten")),
            std::optional<QString>(QStringLiteral("1")));
        window.reject();
    }
    QVERIFY(PrinterSettings(settings).printWithoutWaits());
    {
        TDruckparameter window(printers, settings, messages, files, waiter, dir.path());
        QCheckBox *box = window.withoutWaitsBox();
        QVERIFY(box->isChecked());
        settings.setRefuseWrites(true);
        window.show();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QCOMPARE(messages.lastText(), QStringLiteral("Kann nicht nach Quillmark.ini schreiben"));
        QVERIFY(box->isChecked());
        settings.setRefuseWrites(false);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QVERIFY(!box->isChecked());
    }
    QVERIFY(!PrinterSettings(settings).printWithoutWaits());
    QCOMPARE(messages.shown().size(), 1);
}

QTEST_MAIN(TestPrinterChoice)
#include "TestPrinterChoice.moc"
