#include "formats/formatimport.h"
#include "formats/sheetformat.h"
#include "platform/errors.h"
#include "platform/filelock.h"
#include "programdir/programdirectory.h"
#include "testfiles.h"
#include "testpaths.h"

#include <QTemporaryDir>
#include <QTest>

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

QTEST_GUILESS_MAIN(TestFormatImport)
#include "TestFormatImport.moc"
