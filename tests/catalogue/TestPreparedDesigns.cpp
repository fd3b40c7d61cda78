#include "catalogue/prepareddesigns.h"
#include "designs/printdesign.h"
#include "formats/sheetformat.h"
#include "testfiles.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

const QString ShareDir = QStringLiteral(QM_SHARE_DIR "/");

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
