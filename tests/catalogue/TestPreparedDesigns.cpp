#include "catalogue/prepareddesigns.h"
#include "testpaths.h"
#include "designs/printdesign.h"
#include "formats/sheetformat.h"
#include "testfiles.h"

#include <QSet>

#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using namespace qm;

namespace {

const QString ShareDir = test::shareDir() + QStringLiteral("/");

struct DbfField
{
    QString name;
    int width = 0;
    char type = 0;
};

// The field descriptors of a dBASE III table: 32 bytes of header, then one
// 32-byte descriptor per field up to the byte 0x0D. Empty when the file is
// no such table.
QList<DbfField> dbfFields(const QByteArray &bytes, int *recordCount = nullptr)
{
    QList<DbfField> fields;
    if (bytes.size() < 33)
        return fields;
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    if (recordCount)
        *recordCount = byte(4) | byte(5) << 8 | byte(6) << 16 | byte(7) << 24;
    for (qsizetype at = 32; at + 32 <= bytes.size() && bytes[at] != '\r'; at += 32) {
        const QByteArray name = bytes.mid(at, 11);
        fields.append({ QString::fromLatin1(name.left(name.indexOf('\0'))), byte(at + 16), bytes[at + 11] });
    }
    return fields;
}

} // namespace

class TestPreparedDesigns : public QObject
{
    Q_OBJECT

private slots:
    void menuHoldsEveryItemOnce();
    void everyItemAsListed_data();
    void everyItemAsListed();
    void paths_data();
    void paths();
    void lettersCaseOfOlderInstallations();
    void adrivoTable_data();
    void adrivoTable();
    void shippedFilesExist_data();
    void shippedFilesExist();
    void tablesFollowTheirDesign_data();
    void tablesFollowTheirDesign();
    void seedingKeepsTheUsersFiles();
};

void TestPreparedDesigns::menuHoldsEveryItemOnce()
{
    const QList<const PreparedDesign *> items = allPreparedDesigns();
    QCOMPARE(preparedDesignGroups().size(), size_t(5));
    QCOMPARE(items.size(), 41);
    QSet<QString> components;
    int withoutTable = 0;
    for (const PreparedDesign *item : items) {
        components.insert(QString::fromLatin1(item->component));
        withoutTable += *item->databaseFile == 0;
    }
    QCOMPARE(components.size(), 41);
    QCOMPARE(withoutTable, 4);
}

// The prepared items written out here once more, independently of the
// program's own list: caption and files of each, row by row.
void TestPreparedDesigns::everyItemAsListed_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("design");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("database");
    QTest::newRow("AudioKassetteAusfhrungI1") << "Audio-Kassettenhülle"
                                              << "Audio1.eti"
                                              << "Audio1.vrl"
                                              << "Audio1.dbf";
    QTest::newRow("AudioKassetteAusfhrungII1") << "Audio-Kassettenhülle (ohne Felder)"
                                               << "Audio2.eti"
                                               << "Audio1.vrl"
                                               << "";
    QTest::newRow("AudioKassettenhlleFrontteil1") << "Audio-Kassettenhülle Frontteil"
                                                  << "Audio3.eti"
                                                  << "Audio2.vrl"
                                                  << "Audio2.dbf";
    QTest::newRow("CDHlleVorderseite1") << "CD-Hülle Vorderseite"
                                        << "CD1.eti"
                                        << "CD1.vrl"
                                        << "CD1.dbf";
    QTest::newRow("CDHlleRckseite1") << "CD-Hülle Rückseite"
                                     << "CD2.eti"
                                     << "CD1.vrl"
                                     << "CD2.dbf";
    QTest::newRow("Dia1") << "Dia"
                          << "dia1.eti"
                          << "dia1.vrl"
                          << "dia1.dbf";
    QTest::newRow("DATHlle1") << "DAT-Hülle"
                              << "dat1.eti"
                              << "dat1.vrl"
                              << "dat1.dbf";
    QTest::newRow("Fotoaufkleber1") << "Fotoaufkleber"
                                    << "foto1.eti"
                                    << "AV42-122.vrl"
                                    << "foto1.dbf";
    QTest::newRow("VHSCHlle1") << "VHS-C Hülle"
                               << "VHSC1.eti"
                               << "VHSC1.vrl"
                               << "VHSC1.dbf";
    QTest::newRow("VHSVideoFrontseite12") << "VHS-Video Frontseite 1"
                                          << "VHS1.eti"
                                          << "VHS1.vrl"
                                          << "VHS1.dbf";
    QTest::newRow("VHSVideoFrontseite11") << "VHS-Video Frontseite 2"
                                          << "VHS2.eti"
                                          << "VHS1.vrl"
                                          << "VHS2.dbf";
    QTest::newRow("VHSVideoOberseite11") << "VHS-Video Oberseite 1"
                                         << "VHS3.eti"
                                         << "AV42-122.vrl"
                                         << "VHS3.dbf";
    QTest::newRow("VHSVideoFrontseite13") << "VHS-Video Oberseite 2"
                                          << "VHS4.eti"
                                          << "AV42-122.vrl"
                                          << "VHS4.dbf";
    QTest::newRow("Diskettenetikett35Ausfhrung170x70mm1") << "Diskettenetikett 3.5\" Ausführung 1 (70x70mm)"
                                                          << "disk1.eti"
                                                          << "disk1.vrl"
                                                          << "disk1.dbf";
    QTest::newRow("Diskettenetikett35Ausfhrung170x70mm2") << "Diskettenetikett 3.5\" Ausführung 2 (70x70mm)"
                                                          << "disk2.eti"
                                                          << "disk1.vrl"
                                                          << "disk2.dbf";
    QTest::newRow("Diskettenetikett35Ausfhrung170x70mm3") << "Diskettenetikett 3.5\" Ausführung 1 (70x50mm)"
                                                          << "disk3.eti"
                                                          << "disk2.vrl"
                                                          << "disk3.dbf";
    QTest::newRow("Diskettenetikett35Ausfhrung170x70mm4") << "Diskettenetikett 3.5\" Ausführung 2 (70x50mm)"
                                                          << "disk4.eti"
                                                          << "disk2.vrl"
                                                          << "disk4.dbf";
    QTest::newRow("Diskettenetikett35Ausfhrung170x70mm5") << "Diskettenetikett 5.25\" (89x36mm)"
                                                          << "disk5.eti"
                                                          << "AV42-122.vrl"
                                                          << "disk5.dbf";
    QTest::newRow("Adressaufkleber89x36mm1") << "Adressaufkleber Ausführung 1 (89x36 mm)"
                                             << "adress1.eti"
                                             << "AVL7655.vrl"
                                             << "adress1.dbf";
    QTest::newRow("AdressaufkleberAusfhrung189x36mm2") << "Adressaufkleber Ausführung 2 (70x36 mm)"
                                                       << "adress2.eti"
                                                       << "70x36.vrl"
                                                       << "adress2.dbf";
    QTest::newRow("AdressaufkleberAusfhrung189x36mm1") << "Adressaufkleber Ausführung 3 (70x42 mm)"
                                                       << "adress3.eti"
                                                       << "70x42.vrl"
                                                       << "adress3.dbf";
    QTest::newRow("DINA5Umschlag1") << "DIN-A5 Umschlag"
                                    << "brief1.eti"
                                    << "brief1.vrl"
                                    << "brief1.dbf";
    QTest::newRow("Paketaufkleberpoststandard1") << "Paketaufkleber -poststandard-"
                                                 << "paket1.eti"
                                                 << "post.vrl"
                                                 << "paket1.dbf";
    QTest::newRow("Paketaufklebergro210x148mm1") << "Paketaufkleber -groß- (210x148mm)"
                                                 << "paket2.eti"
                                                 << "dina5q.vrl"
                                                 << "paket2.dbf";
    QTest::newRow("Paketaufkleberklein140x100mm1") << "Paketaufkleber -klein- (140x100mm)"
                                                   << "paket3.eti"
                                                   << "post.vrl"
                                                   << "paket3.dbf";
    QTest::newRow("Postkartepoststandard1") << "Postkarte -poststandard-"
                                            << "postkart.eti"
                                            << "post.vrl"
                                            << "postkart.dbf";
    QTest::newRow("AbsenderaufkleberAusfhrung189x36mm1") << "Absenderaufkleber Ausführung 1 (89x36mm)"
                                                         << "absend1.eti"
                                                         << "AVL7655.vrl"
                                                         << "absend1.dbf";
    QTest::newRow("AbsenderaufkleberAusfhrung189x36mm2") << "Absenderaufkleber Ausführung 2 (89x23mm)"
                                                         << "absend2.eti"
                                                         << "AV42-121.vrl"
                                                         << "absend2.dbf";
    QTest::newRow("Aktenordnerbreit190x61mm1") << "Aktenordner -breit- (190x61mm)"
                                               << "Akten1.eti"
                                               << "Akten1.vrl"
                                               << "Akten1.dbf";
    QTest::newRow("Aktenordnerbreit190x61mm3") << "Aktenordner -mittel- (154x48mm)"
                                               << "Akten2.eti"
                                               << "Akten2.vrl"
                                               << "Akten2.dbf";
    QTest::newRow("Aktenordnerbreit190x61mm2") << "Aktenordner -schmal- (190x38mm)"
                                               << "Akten3.eti"
                                               << "Akten3.vrl"
                                               << "Akten3.dbf";
    QTest::newRow("Tischkarte1") << "Tischkarte"
                                 << "Tisch1.eti"
                                 << "Tisch1.vrl"
                                 << "Tisch1.dbf";
    QTest::newRow("Kofferschild1") << "Kofferschild"
                                   << "Koffer1.eti"
                                   << "Disk1.vrl"
                                   << "Koffer1.dbf";
    QTest::newRow("WochenplanerLeerblatt1") << "Wochenplaner -Leerblatt-"
                                            << "Wochen1.eti"
                                            << "Wochen1.vrl"
                                            << "";
    QTest::newRow("WochenplanerLeerblatt3") << "Wochenplaner -Tagesübersicht-"
                                            << "Wochen2.eti"
                                            << "Wochen1.vrl"
                                            << "";
    QTest::newRow("WochenplanerLeerblatt2") << "Wochenplaner -Wochenübersicht-"
                                            << "Wochen3.eti"
                                            << "Wochen1.vrl"
                                            << "";
    QTest::newRow("VisitenkartenAusfhrungI1") << "Visitenkarten Ausführung 1"
                                              << "Visiten1.eti"
                                              << "Visiten1.vrl"
                                              << "Visiten1.dbf";
    QTest::newRow("VisitenkartenAusfhrungI2") << "Visitenkarten Ausführung 2"
                                              << "Visiten2.eti"
                                              << "Visiten1.vrl"
                                              << "Visiten2.dbf";
    QTest::newRow("Adressaufkleber89x36mm4") << "Adressaufkleber 89x36 mm"
                                             << "adrivo1.eti"
                                             << "AVL7655.vrl"
                                             << "qmadrivo.dbf";
    QTest::newRow("Adressaufkleber89x36mm3") << "Adressaufkleber 70x36 mm"
                                             << "adrivo2.eti"
                                             << "70x36.vrl"
                                             << "qmadrivo.dbf";
    QTest::newRow("Adressaufkleber89x36mm2") << "Adressaufkleber 70x42 mm"
                                             << "adrivo3.eti"
                                             << "70x42.vrl"
                                             << "qmadrivo.dbf";
}

void TestPreparedDesigns::everyItemAsListed()
{
    QFETCH(QString, caption);
    QFETCH(QString, design);
    QFETCH(QString, format);
    QFETCH(QString, database);
    const QList<const PreparedDesign *> items = allPreparedDesigns();
    const auto item = std::find_if(items.cbegin(), items.cend(), [](const PreparedDesign *d) {
        return QLatin1String(d->component) == QLatin1String(QTest::currentDataTag());
    });
    QVERIFY(item != items.cend());
    QCOMPARE(QString::fromUtf8((*item)->caption), caption);
    QCOMPARE(QString::fromUtf8((*item)->designFile), design);
    QCOMPARE(QString::fromUtf8((*item)->formatFile), format);
    QCOMPARE(QString::fromUtf8((*item)->databaseFile), database);
}

void TestPreparedDesigns::paths_data()
{
    QTest::addColumn<QString>("component");
    QTest::addColumn<QString>("design");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("database");
    QTest::newRow("slide") << "Dia1"
                           << "ETIKETT/dia1.eti"
                           << "FORMATE/dia1.vrl"
                           << "DBANKEN/dia1.dbf";
    QTest::newRow("cassette front") << "AudioKassettenhlleFrontteil1"
                                    << "ETIKETT/Audio3.eti"
                                    << "FORMATE/Audio2.vrl"
                                    << "DBANKEN/Audio2.dbf";
    QTest::newRow("planner without table") << "WochenplanerLeerblatt1"
                                           << "ETIKETT/Wochen1.eti"
                                           << "FORMATE/Wochen1.vrl" << QString();
    QTest::newRow("business card") << "VisitenkartenAusfhrungI2"
                                   << "ETIKETT/Visiten2.eti"
                                   << "FORMATE/Visiten1.vrl"
                                   << "DBANKEN/Visiten2.dbf";
}

void TestPreparedDesigns::paths()
{
    QFETCH(QString, component);
    QFETCH(QString, design);
    QFETCH(QString, format);
    QFETCH(QString, database);
    QTemporaryDir temp;
    const ProgramDirectory dir(temp.path());
    const QList<const PreparedDesign *> items = allPreparedDesigns();
    const auto it = std::find_if(items.begin(), items.end(),
        [&](const PreparedDesign *item) { return QLatin1String(item->component) == component; });
    QVERIFY(it != items.end());
    // The files need not exist: the print run reports what is missing.
    const PreparedPaths paths = preparedPaths(**it, dir);
    QCOMPARE(paths.design, dir.path() + design);
    QCOMPARE(paths.format, dir.path() + format);
    QCOMPARE(paths.database, database.isEmpty() ? QString() : dir.path() + database);
}

void TestPreparedDesigns::lettersCaseOfOlderInstallations()
{
    // "Kofferschild" names Disk1.vrl, which is shipped as disk1.vrl; an older
    // installation may have its folders in other letter cases.
    QTemporaryDir temp;
    const QString root = temp.path() + QStringLiteral("/");
    QVERIFY(test::writeBytes(root + QStringLiteral("Formate/disk1.vrl"), "NA,x\r\n"));
    QVERIFY(test::writeBytes(root + QStringLiteral("ETIKETT/KOFFER1.ETI"), "NA,x\r\n"));
    const ProgramDirectory dir(root);
    const PreparedDesign *luggage = nullptr;
    for (const PreparedDesign *item : allPreparedDesigns())
        if (QLatin1String(item->component) == QLatin1String("Kofferschild1"))
            luggage = item;
    QVERIFY(luggage);
    const PreparedPaths paths = preparedPaths(*luggage, dir);
    QCOMPARE(paths.format, root + QStringLiteral("Formate/disk1.vrl"));
    QCOMPARE(paths.design, root + QStringLiteral("ETIKETT/KOFFER1.ETI"));
    QCOMPARE(paths.database, root + QStringLiteral("DBANKEN/Koffer1.dbf"));
}

void TestPreparedDesigns::adrivoTable_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("database");
    QTest::newRow("not linked") << QString() << "qmadrivo.dbf";
    QTest::newRow("with separator") << "/opt/adrivo/"
                                    << "/opt/adrivo/qmadrivo.dbf";
    QTest::newRow("without separator") << "/opt/adrivo"
                                       << "/opt/adrivo/qmadrivo.dbf";
    QTest::newRow("windows folder") << "C:\\ADRIVO\\"
                                    << "C:\\ADRIVO\\qmadrivo.dbf";
}

void TestPreparedDesigns::adrivoTable()
{
    QFETCH(QString, folder);
    QFETCH(QString, database);
    const ProgramDirectory dir(QStringLiteral("/work/quill"));
    QCOMPARE(adrivoDesigns().size(), size_t(3));
    const QStringList designs { "adrivo1.eti", "adrivo2.eti", "adrivo3.eti" };
    for (size_t i = 0; i < adrivoDesigns().size(); ++i) {
        const PreparedPaths paths = adrivoPaths(adrivoDesigns()[i], dir, folder);
        QCOMPARE(paths.database, database);
        QCOMPARE(paths.design, QStringLiteral("/work/quill/ETIKETT/") + designs[int(i)]);
    }
}

void TestPreparedDesigns::shippedFilesExist_data()
{
    QTest::addColumn<int>("index");
    const QList<const PreparedDesign *> items = allPreparedDesigns();
    for (int i = 0; i < items.size(); ++i)
        QTest::newRow(items[i]->component) << i;
}

void TestPreparedDesigns::shippedFilesExist()
{
    QFETCH(int, index);
    const PreparedDesign *item = allPreparedDesigns()[index];
    const ProgramDirectory share(ShareDir);
    const PreparedPaths paths = preparedPaths(*item, share);
    QVERIFY2(QFileInfo(paths.design).isFile(), qPrintable(paths.design));
    QVERIFY2(QFileInfo(paths.format).isFile(), qPrintable(paths.format));
    if (*item->databaseFile && QLatin1String(item->databaseFile) != AdrivoTableFile)
        QVERIFY2(QFileInfo(paths.database).isFile(), qPrintable(paths.database));

    // The design fits every label of its format: GR is in units of 0.4 mm,
    // PO in tenths of a millimetre.
    PrintDesign design;
    QVERIFY(EtikettdateiLesen(paths.design, design, {}));
    SheetFormat format;
    QVERIFY(FormatdateiLesen(paths.format, format));
    QVERIFY(!format.positions.empty());
    QVERIFY2(design.labelWidth > 0 && design.labelHeight > 0, qPrintable(paths.design));
    for (const LabelPosition &p : format.positions) {
        QVERIFY2(design.labelWidth * 4 <= p.width && design.labelHeight * 4 <= p.height,
            qPrintable(QStringLiteral("%1 x %2 on %3 x %4")
                           .arg(design.labelWidth * 4)
                           .arg(design.labelHeight * 4)
                           .arg(p.width)
                           .arg(p.height)));
        QVERIFY(p.x >= 0 && p.y >= 0);
        QVERIFY(p.x + p.width <= format.extentWidth && p.y + p.height <= format.extentHeight);
    }
}

void TestPreparedDesigns::tablesFollowTheirDesign_data()
{
    QTest::addColumn<int>("index");
    const QList<const PreparedDesign *> items = allPreparedDesigns();
    for (int i = 0; i < items.size(); ++i)
        if (*items[i]->databaseFile && QLatin1String(items[i]->databaseFile) != AdrivoTableFile)
            QTest::newRow(items[i]->component) << i;
}

void TestPreparedDesigns::tablesFollowTheirDesign()
{
    QFETCH(int, index);
    const PreparedDesign *item = allPreparedDesigns()[index];
    const PreparedPaths paths = preparedPaths(*item, ProgramDirectory(ShareDir));
    PrintDesign design;
    QVERIFY(EtikettdateiLesen(paths.design, design, {}));
    int records = 0;
    const QByteArray bytes = test::contentOf(paths.database);
    const QList<DbfField> table = dbfFields(bytes, &records);

    // One character field per data field, in design order, named and sized
    // like it.
    QCOMPARE(table.size(), qsizetype(design.fields.size()));
    QVERIFY(!table.isEmpty());
    int recordLength = 1;
    for (qsizetype i = 0; i < table.size(); ++i) {
        const DataField &field = design.fields[size_t(i)];
        QVERIFY2(field.inFieldGrid, qPrintable(field.title));
        QCOMPARE(table[i].name, field.title);
        QCOMPARE(QString::number(table[i].width), field.size);
        QCOMPARE(table[i].type, 'C');
        recordLength += table[i].width;
    }
    // A few example records, and the file as long as its header says.
    QVERIFY(records >= 2);
    const int headerLength = quint8(bytes[8]) | quint8(bytes[9]) << 8;
    QCOMPARE(quint8(bytes[10]) | quint8(bytes[11]) << 8, recordLength);
    QCOMPARE(headerLength, 32 + 32 * int(table.size()) + 1);
    QCOMPARE(bytes.size(), qsizetype(headerLength) + qsizetype(records) * recordLength + 1);
}

void TestPreparedDesigns::seedingKeepsTheUsersFiles()
{
    // A user who changed a prepared design keeps it; what is missing arrives.
    QTemporaryDir temp;
    const QString root = temp.path() + QStringLiteral("/");
    const QByteArray own = "NA,Meine CD\r\nGR,300,300,25\r\n";
    QVERIFY(test::writeBytes(root + QStringLiteral("ETIKETT/CD1.eti"), own));
    QVERIFY(seedProgramDirectory(root, ShareDir) > 41);
    QCOMPARE(test::contentOf(root + QStringLiteral("ETIKETT/CD1.eti")), own);
    const ProgramDirectory dir(root);
    for (const PreparedDesign *item : allPreparedDesigns()) {
        const PreparedPaths paths = preparedPaths(*item, dir);
        QVERIFY2(QFileInfo(paths.design).isFile(), qPrintable(paths.design));
        QVERIFY2(QFileInfo(paths.format).isFile(), qPrintable(paths.format));
        if (!paths.database.isEmpty() && !paths.database.endsWith(AdrivoTableFile))
            QCOMPARE(test::contentOf(paths.database),
                test::contentOf(
                    ShareDir + QStringLiteral("DBANKEN/") + QFileInfo(paths.database).fileName()));
    }
    // A second start copies nothing again.
    QCOMPARE(seedProgramDirectory(root, ShareDir), 0);
}

QTEST_APPLESS_MAIN(TestPreparedDesigns)
#include "TestPreparedDesigns.moc"
