#include "formats/formatimport.h"
#include "formats/sheetformat.h"
#include "formats/sheetgrid.h"
#include "formats/stockindex.h"
#include "platform/errors.h"
#include "platform/filelock.h"
#include "programdir/programdirectory.h"
#include "testfiles.h"
#include "testpaths.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace qm;
using namespace qm::test;

namespace {

QString data(const QString &name)
{
    return test::fixturesDir() + QStringLiteral("/formats/") + name;
}

QStringList descriptions(const QList<FormatEntry> &entries)
{
    QStringList list;
    for (const FormatEntry &e : entries)
        list.append(e.description);
    return list;
}

QString formatsFolder(const ProgramDirectory &dir)
{
    return dir.subdirPath(QStringLiteral("FORMATE"));
}

// Every file in FORMATE (hidden ones included) that the catalogue does not
// name, and every file it names that is missing.
QStringList strayAndMissingFiles(const ProgramDirectory &dir)
{
    QSet<QString> named;
    QStringList result;
    for (const FormatEntry &entry : readFormatsFile(dir.formatsFile())) {
        named.insert(entry.file);
        if (!QFileInfo::exists(formatsFolder(dir) + entry.file))
            result.append(QStringLiteral("missing ") + entry.file);
    }
    for (const QString &name : QDir(formatsFolder(dir)).entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (!named.contains(name))
            result.append(QStringLiteral("stray ") + name);
    return result;
}

QByteArray vrlBytes(const SheetFormat &format)
{
    QByteArray bytes;
    for (const QString &line : vrlFileLines(format))
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

// A sheet of 2 x 3 labels of 50 x 30 mm.
SheetFormat smallSheet(qint32 left = 100)
{
    SheetFormat format;
    format.extentWidth = 2100;
    format.extentHeight = 2970;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 2; ++column)
            format.positions.push_back(LabelPosition { left + column * 600, 100 + row * 400, 500, 300 });
    format.lastLabelWidth = 500;
    format.lastLabelHeight = 300;
    return format;
}

// A template file of one part with `layouts` layouts of 2 x 3 labels.
QByteArray templateFile(int layouts)
{
    QByteArray xml = "<Glabels-templates><Template brand=\"B\" part=\"1\" size=\"A4\">"
                     "<Label-rectangle width=\"50mm\" height=\"30mm\">";
    for (int i = 0; i < layouts; ++i)
        xml += "<Layout nx=\"2\" ny=\"3\" x0=\"10mm\" y0=\"10mm\" dx=\"60mm\" dy=\"40mm\"/>";
    return xml + "</Label-rectangle></Template></Glabels-templates>";
}

int killAt = -1;

void killAtStep(FormatWriteStep step)
{
    if (int(step) == killAt)
        ::raise(SIGKILL);
}

} // namespace

class TestFormatImport : public QObject
{
    Q_OBJECT

private slots:
    void addsFittingFormatsToIndividualFormats();
    void neverReplacesAFileOrRepeatsAnEntry();
    void brokenFileWritesNothing_data();
    void brokenFileWritesNothing();
    void stockCatalogueKeepsOtherEntries();
    void oneTemplateAddsAtMostItsBound();
    void secondWriterIsRefusedWhileTheFirstHoldsTheCatalogue();
    void killedWriterLeavesOldOrNewCatalogue_data();
    void killedWriterLeavesOldOrNewCatalogue();
    void addTakesTheEntryThatHoldsTheSheet_data();
    void addTakesTheEntryThatHoldsTheSheet();
};

void TestFormatImport::addsFittingFormatsToIndividualFormats()
{
    QTemporaryDir temp;
    const ProgramDirectory dir(temp.path());
    const ImportResult result = importTemplateFile(dir, data(QStringLiteral("templates_sample.xml")));
    QCOMPARE(descriptions(result.added),
        (QStringList { "Avery L7160 63,5 x 38,1 mm (3 x 7)", "Avery J8160 63,5 x 38,1 mm (3 x 7)",
            "Avery J8414 87 x 50,8 mm (2 x 5)", "Zweckform 3474 25,4 x 10,1 mm (7 x 27)",
            "Zweckform 3490 70 x 37 mm (3 x 2)", "Zweckform 3490 70 x 37 mm (1 x 1)",
            "Avery L6015 117 x 117 mm (1 x 2) (rund)", "Avery 5160 66,3 x 25,4 mm (3 x 10)",
            "Herma 4226 45 x 30 mm (2 x 4)" }));
    QCOMPARE(result.skipped.size(), 3);
    QCOMPARE(readFormatsFile(dir.formatsFile()), result.added);
    for (const FormatEntry &entry : result.added) {
        QCOMPARE(entry.area, QStringLiteral("Individuelle Formate"));
        SheetFormat format;
        QVERIFY2(FormatdateiLesen(dir.subdirPath(QStringLiteral("FORMATE")) + entry.file, format),
            qPrintable(entry.file));
        // The NA line of a VRL file ends at a comma: there the decimal point.
        QCOMPARE(format.description, QString(entry.description).replace(u',', u'.'));
    }
    QVERIFY(contentOf(dir.formatsFile())
                .startsWith(
                    "FORMATE.DAT - Quillmark 32-Bit-Fassung\r\n=========================================\r\n"
                    "Individuelle Formate\r\nAvery L7160 63,5 x 38,1 mm (3 x 7)\r\navery_l7160.vrl\r\n"));
}

void TestFormatImport::neverReplacesAFileOrRepeatsAnEntry()
{
    QTemporaryDir temp;
    const ProgramDirectory dir(temp.path());
    const QString own = dir.subdirPath(QStringLiteral("FORMATE")) + QStringLiteral("herma_4226.vrl");
    QVERIFY(writeBytes(own, "NA,mein Format\r\n"));
    const ImportResult first = importTemplateFile(dir, data(QStringLiteral("templates_sample.xml")));
    QCOMPARE(first.added.last().file, QStringLiteral("herma_4226_2.vrl"));
    QCOMPARE(contentOf(own), QByteArray("NA,mein Format\r\n"));

    const QByteArray catalogue = contentOf(dir.formatsFile());
    const ImportResult again = importTemplateFile(dir, data(QStringLiteral("templates_sample.xml")));
    QVERIFY(again.added.isEmpty());
    QCOMPARE(again.skipped.last().name, QStringLiteral("Herma 4226 45 x 30 mm (2 x 4)"));
    QCOMPARE(again.skipped.last().reason, QStringLiteral("schon im Katalog"));
    QCOMPARE(contentOf(dir.formatsFile()), catalogue);
}

void TestFormatImport::brokenFileWritesNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("cut short") << data(QStringLiteral("templates_broken.xml"));
    QTest::newRow("missing") << data(QStringLiteral("no_such_templates.xml"));
    QTest::newRow("folder") << data(QString());
}

void TestFormatImport::brokenFileWritesNothing()
{
    QFETCH(QString, file);
    QTemporaryDir temp;
    const ProgramDirectory dir(temp.path());
    QVERIFY(writeBytes(dir.formatsFile(), "Titel\r\n===\r\n"));
    QVERIFY_THROWS_EXCEPTION(Error, importTemplateFile(dir, file));
    QCOMPARE(contentOf(dir.formatsFile()), QByteArray("Titel\r\n===\r\n"));
    QVERIFY(QDir(dir.subdirPath(QStringLiteral("FORMATE"))).isEmpty());
}

void TestFormatImport::stockCatalogueKeepsOtherEntries()
{
    QTemporaryDir temp;
    const QString catalogue = temp.filePath(QStringLiteral("FORMATE.DAT"));
    QVERIFY(writeBytes(catalogue,
        "T\r\n=\r\nIndividuelle Formate\r\nEigenes\r\neigen.vrl\r\n"
        "ZWECKFORM Laser\r\nveraltet\r\nZWECKFORM_3474.VRL\r\n"));
    QList<LabelTemplate> templates = readLabelTemplates(data(QStringLiteral("templates_sample.xml")));
    resolveEquivalents(templates);
    const StockCatalogue stock = buildStockCatalogue(templates);
    QCOMPARE(writeStockCatalogue(temp.path(), stock), 13);
    const QList<FormatEntry> entries = readFormatsFile(catalogue);
    QCOMPARE(entries.size(), 14);
    QCOMPARE(entries.first(), (FormatEntry { "Individuelle Formate", "Eigenes", "eigen.vrl" }));
    QCOMPARE(entries.last(),
        (FormatEntry { "ZWECKFORM Laser", "3490 70 x 37 mm (1 x 1)", "zweckform_3490_2.vrl" }));
    QCOMPARE(QDir(temp.filePath(QStringLiteral("FORMATE"))).entryList(QDir::Files).size(), 13);
}

void TestFormatImport::oneTemplateAddsAtMostItsBound()
{
    QTemporaryDir temp;
    const ProgramDirectory dir(temp.filePath(QStringLiteral("Quillmark")));
    QByteArray xml = "<Glabels-templates><Template brand=\"B\" part=\"7\" size=\"A4\">"
                     "<Label-rectangle width=\"50mm\" height=\"30mm\">";
    for (int i = 0; i < MaxFormatsPerTemplate + 3; ++i)
        xml += "<Layout nx=\"2\" ny=\"3\" x0=\"10mm\" y0=\"10mm\" dx=\"60mm\" dy=\"40mm\"/>";
    xml += "</Label-rectangle></Template></Glabels-templates>";
    QVERIFY(writeBytes(temp.filePath(QStringLiteral("t.xml")), xml));
    // Layout n is named stem_n; a file of that name is there already, so
    // that one layout steps around it.
    QVERIFY(writeBytes(dir.subdirPath(QStringLiteral("FORMATE")) + QStringLiteral("b_7_2.vrl"), "NA,x\r\n"));
    const ImportResult result = importTemplateFile(dir, temp.filePath(QStringLiteral("t.xml")));
    QCOMPARE(result.added.size(), MaxFormatsPerTemplate);
    QCOMPARE(result.added.at(0).file, QStringLiteral("b_7.vrl"));
    QCOMPARE(result.added.at(1).file, QStringLiteral("b_7_2_2.vrl"));
    QCOMPARE(result.added.at(2).file, QStringLiteral("b_7_3.vrl"));
    QCOMPARE(result.added.at(999).file, QStringLiteral("b_7_1000.vrl"));
    QCOMPARE(result.added.at(2).description, QStringLiteral("B 7 50 x 30 mm (2 x 3) - 3"));
    QCOMPARE(result.skipped.size(), 1);
    QCOMPARE(result.skipped.first().name, QStringLiteral("B 7"));
    QCOMPARE(result.skipped.first().reason,
        QStringLiteral("mehr als 1000 Bögen aus einer Vorlage, 3 weitere nicht aufgenommen"));
    QCOMPARE(readFormatsFile(dir.formatsFile()).size(), MaxFormatsPerTemplate);
    QCOMPARE(QDir(dir.subdirPath(QStringLiteral("FORMATE"))).entryList(QDir::Files | QDir::Hidden).size(),
        MaxFormatsPerTemplate + 1);
}

void TestFormatImport::secondWriterIsRefusedWhileTheFirstHoldsTheCatalogue()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("FORMATE.DAT"));
    QVERIFY(!CatalogueLock(path, std::chrono::milliseconds(0)).holds()); // nothing to lock yet
    writeFormatsFile(path, {});
    {
        const CatalogueLock first(path);
        QVERIFY(first.holds());
        try {
            const CatalogueLock second(path, std::chrono::milliseconds(0));
            QFAIL("second lock granted");
        } catch (const Error &e) {
            QVERIFY2(e.message().contains(path), qPrintable(e.message()));
        }
        // The first writer replaces the file: a writer after it locks the new one.
        writeFormatsFile(path, { FormatEntry { "A", "B", "c.vrl" } });
    }
    const CatalogueLock third(path, std::chrono::milliseconds(0));
    QVERIFY(third.holds());
}

void TestFormatImport::killedWriterLeavesOldOrNewCatalogue_data()
{
    QTest::addColumn<bool>("import"); // else one format added
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("replaced"); // the catalogue is the new one after the kill
    const std::pair<const char *, FormatWriteStep> steps[] = { { "files staged", FormatWriteStep::FilesStaged },
        { "files named", FormatWriteStep::FilesNamed },
        { "catalogue replaced", FormatWriteStep::CatalogueReplaced }, { "done", FormatWriteStep::Done } };
    for (const bool import : { false, true })
        for (const auto &[name, step] : steps)
            QTest::addRow("%s, killed: %s", import ? "import" : "add", name)
                << import << int(step) << (step >= FormatWriteStep::CatalogueReplaced);
}

// A writer killed at each of its steps leaves the old catalogue or the new
// one, with every file it names; the next writer removes what it left, so
// that doing it again gives the very names of an undisturbed run.
void TestFormatImport::killedWriterLeavesOldOrNewCatalogue()
{
    QFETCH(bool, import);
    QFETCH(int, step);
    QFETCH(bool, replaced);
    QTemporaryDir temp;
    const ProgramDirectory dir(temp.filePath(QStringLiteral("Quillmark")));
    const QString xml = temp.filePath(QStringLiteral("t.xml"));
    QVERIFY(writeBytes(xml, templateFile(3)));
    QVERIFY(writeBytes(formatsFolder(dir) + QStringLiteral("eigen.vrl"), vrlBytes(smallSheet(0))));
    writeFormatsFile(dir.formatsFile(), { FormatEntry { "Individuelle Formate", "Eigenes", "eigen.vrl" } });
    const QByteArray before = contentOf(dir.formatsFile());
    const auto write = [&] {
        if (import)
            importTemplateFile(dir, xml);
        else
            addIndividualFormat(dir, QStringLiteral("Neu 50 x 30"), QStringLiteral("neu.vrl"), smallSheet());
    };

    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        killAt = step;
        setFormatWriteStepHook(&killAtStep);
        try {
            write();
        } catch (...) {
            ::_exit(2);
        }
        ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, qPrintable(QString::number(status)));

    const QList<FormatEntry> left = readFormatsFile(dir.formatsFile());
    if (replaced)
        QCOMPARE(left.size(), import ? 4 : 2);
    else
        QCOMPARE(contentOf(dir.formatsFile()), before);
    for (const FormatEntry &entry : left)
        QVERIFY2(QFileInfo::exists(formatsFolder(dir) + entry.file), qPrintable(entry.file));

    write();
    const QStringList expected = import
        ? QStringList { "eigen.vrl", "b_1.vrl", "b_1_2.vrl", "b_1_3.vrl" }
        : QStringList { "eigen.vrl", "neu.vrl" };
    QStringList files;
    for (const FormatEntry &entry : readFormatsFile(dir.formatsFile()))
        files.append(entry.file);
    QCOMPARE(files, expected);
    QCOMPARE(strayAndMissingFiles(dir), QStringList());
    QCOMPARE(contentOf(formatsFolder(dir) + expected.last()).left(3), QByteArray("** "));
}

void TestFormatImport::addTakesTheEntryThatHoldsTheSheet_data()
{
    // The catalogue holds one entry whose file is `file` (with the stock
    // sheet's labels, or others); the sheet is added under `fileName`.
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("sameLabels");
    QTest::addColumn<bool>("fileThere");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("result"); // the file handed back, or "Fehler: ..." (part of the message)
    QTest::addColumn<int>("entries"); // afterwards
    const QString laser = QStringLiteral("AVERY Laseretiketten");
    const QString own = QStringLiteral("Individuelle Formate");
    const QString stock = QStringLiteral("Avery L7163 99,1 x 38,1 mm (2 x 7)");
    QTest::newRow("held in another area") << laser << "L7163 99,1 x 38,1 mm (2 x 7)" << true << true
                                          << "avery_l7163.vrl" << "avery_l7163.vrl" << 1;
    QTest::newRow("file name in other letter case") << laser << "L7163" << true << true << "AVERY_L7163.VRL"
                                                    << "avery_l7163.vrl" << 1;
    QTest::newRow("file of that name with other labels")
        << laser << "L7163" << false << true << "avery_l7163.vrl" << "avery_l7163_2.vrl" << 2;
    QTest::newRow("description held with the labels")
        << own << stock << true << true << "anders.vrl" << "avery_l7163.vrl" << 1;
    QTest::newRow("description held with other labels")
        << own << stock << false << true << "anders.vrl"
        << "Fehler: Unter \"Individuelle Formate\" gibt es schon ein Format \"" + stock
            + "\" mit anderen Etiketten" << 1;
    QTest::newRow("description held, its file missing")
        << own << stock << true << false << "anders.vrl" << "Fehler: aber seine Datei " << 1;
}

void TestFormatImport::addTakesTheEntryThatHoldsTheSheet()
{
    QFETCH(QString, area);
    QFETCH(QString, description);
    QFETCH(bool, sameLabels);
    QFETCH(bool, fileThere);
    QFETCH(QString, fileName);
    QFETCH(QString, result);
    QFETCH(int, entries);
    const QList<StockSheet> sheets = shippedStockIndex();
    const QList<qsizetype> found = stockSheetsOfPart(sheets, QStringLiteral("Avery"), QStringLiteral("L7163"));
    QCOMPARE(found.size(), 1);
    const StockSheet &sheet = sheets[found.first()];
    QTemporaryDir temp;
    const ProgramDirectory dir(temp.path());
    SheetFormat held = sheet.format;
    if (!sameLabels)
        held.positions.pop_back();
    if (fileThere)
        QVERIFY(writeBytes(formatsFolder(dir) + QStringLiteral("avery_l7163.vrl"), vrlBytes(held)));
    writeFormatsFile(dir.formatsFile(), { FormatEntry { area, description, "avery_l7163.vrl" } });
    const QByteArray before = contentOf(dir.formatsFile());

    QString got;
    try {
        got = addIndividualFormat(dir, sheet.description, fileName, sheet.format).file;
    } catch (const Error &e) {
        got = QStringLiteral("Fehler: ") + e.message();
    }
    if (result.startsWith(QStringLiteral("Fehler: ")))
        QVERIFY2(got.startsWith(QStringLiteral("Fehler: ")) && got.contains(result.mid(8)), qPrintable(got));
    else
        QCOMPARE(got, result);
    QCOMPARE(readFormatsFile(dir.formatsFile()).size(), entries);
    if (entries == 1)
        QCOMPARE(contentOf(dir.formatsFile()), before);
    else
        QCOMPARE(readFormatsFile(dir.formatsFile()).last(),
            (FormatEntry { "Individuelle Formate", sheet.description, result }));
    QCOMPARE(QDir(formatsFolder(dir)).entryList(QDir::Files | QDir::Hidden).size(),
        int(fileThere) + entries - 1);
}

QTEST_GUILESS_MAIN(TestFormatImport)
#include "TestFormatImport.moc"
