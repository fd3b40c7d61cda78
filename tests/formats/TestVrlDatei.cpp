#include "testfiles.h"
#include "testpaths.h"
#include "formats/sheetformat.h"
#include "formats/sheetgrid.h"
#include "platform/errors.h"
#include "platform/textfile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;
using namespace qm::test;

namespace {

const QString FixtureDir = test::fixturesDir() + QStringLiteral("/formats/");

QString fixture(const QString &name)
{
    return FixtureDir + name;
}

// "x,y,width,height" per label, separated by ";".
QString positionsText(const SheetFormat &f)
{
    QStringList parts;
    for (const LabelPosition &p : f.positions)
        parts << QStringLiteral("%1,%2,%3,%4").arg(p.x).arg(p.y).arg(p.width).arg(p.height);
    return parts.join(u';');
}

SheetFormat readFixture(const QString &name, QString *status = nullptr)
{
    SheetFormat f;
    if (!FormatdateiLesen(fixture(name), f, status))
        qFatal("fixture %s not readable", qPrintable(name));
    return f;
}

// A format that no fixture has, to see what a reader keeps.
SheetFormat previousFormat()
{
    SheetFormat f;
    f.description = QStringLiteral("Vorher");
    f.extentWidth = 1111;
    f.extentHeight = 2222;
    f.positions = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}};
    f.lastLabelWidth = 11;
    f.lastLabelHeight = 12;
    return f;
}

GridTexts texts(const char *grx, const char *gry, const char *neben, const char *unter,
                const char *startx, const char *starty, const char *vorX, const char *vorY)
{
    return {grx, gry, neben, unter, startx, starty, vorX, vorY};
}


} // namespace

Q_DECLARE_METATYPE(qm::GridTexts)

class TestVrlDatei : public QObject
{
    Q_OBJECT

private slots:
    void readsWrittenSheet();
    void readsLines_data();
    void readsLines();
    void headerlessFileReadsLikeFullFile();
    void fileWithoutNameAndExtentKeepsPreviousOnes();
    void shorterFileAfterLongerOne();
    void unopenableFileChangesNothing_data();
    void unopenableFileChangesNothing();
    void moreThan200LabelsRefused();
    void exactly200LabelsRead();
    void holePosition_data();
    void holePosition();
    void vorlageSichernWritesFile_data();
    void vorlageSichernWritesFile();
    void deriveAndWriteReproducesFile_data();
    void deriveAndWriteReproducesFile();
    void singleLabelKeepsVerticalGapOnly();
    void derivedTextsOfWorkedExample();
    void refusedSaveLeavesPreviousFile_data();
    void refusedSaveLeavesPreviousFile();
};

void TestVrlDatei::readsWrittenSheet()
{
    QString status = QStringLiteral("alt");
    const SheetFormat f = readFixture(QStringLiteral("a4_3x7_63.5x38_written.vrl"), &status);
    QCOMPARE(f.description, QStringLiteral("Adressetiketten für A4 63.5 x 38 mm"));
    QCOMPARE(status, f.description);
    QCOMPARE(f.extentWidth, 2030);
    QCOMPARE(f.extentHeight, 2810);
    QCOMPARE(f.positionCount(), 21);
    QCOMPARE(f.positions[0], (LabelPosition{75, 150, 635, 380}));
    QCOMPARE(f.positions[1], (LabelPosition{735, 150, 635, 380}));
    QCOMPARE(f.positions[2], (LabelPosition{1395, 150, 635, 380}));
    QCOMPARE(f.positions[3], (LabelPosition{75, 530, 635, 380}));
    QCOMPARE(f.positions[20], (LabelPosition{1395, 2430, 635, 380}));
    QCOMPARE(f.lastLabelWidth, 635);
    QCOMPARE(f.lastLabelHeight, 380);
}

void TestVrlDatei::readsLines_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("extentWidth");
    QTest::addColumn<int>("extentHeight");
    QTest::addColumn<QString>("positions");
    QTest::addColumn<int>("lastWidth");
    QTest::addColumn<int>("lastHeight");

    QTest::newRow("description cut at its comma")
        << "description_with_comma.vrl" << "Adressen" << 2100 << 2960 << "0,0,700,370" << 700
        << 370;
    // POS and POSITION count as PO, NAME as NA, GRÖSSE as GR; po, Po, P, a
    // comment and a key after a blank do not count.
    QTest::newRow("only the first two characters of the key, case-sensitive")
        << "pos_key_and_other_keys.vrl" << "Zweiter Name" << 1100 << 2100
        << "10,20,30,40;50,60,70,80" << 70 << 80;
    QTest::newRow("missing fields repeat the last one present")
        << "missing_fields_repeat.vrl" << "Kurze Zeilen" << 500 << 500
        << "10,20,20,20;30,30,30,30;40,50,60,60" << 60 << 60;
    QTest::newRow("numbers read leniently, empty fields are 0")
        << "lenient_numbers.vrl" << "Zahlen" << 12 << 7 << "-5,0,42,3;0,7,0,0" << 0 << 0;
    QTest::newRow("description cut to 60 characters")
        << "description_longer_than_60.vrl" << QStringLiteral("Etiketten ").repeated(6) << 100
        << 100 << "0,0,100,100" << 100 << 100;
}

void TestVrlDatei::readsLines()
{
    QFETCH(QString, file);
    QFETCH(QString, description);
    QFETCH(int, extentWidth);
    QFETCH(int, extentHeight);
    QFETCH(QString, positions);
    QFETCH(int, lastWidth);
    QFETCH(int, lastHeight);

    SheetFormat f = previousFormat();
    QString status;
    QVERIFY(FormatdateiLesen(fixture(file), f, &status));
    QCOMPARE(f.description, description);
    QCOMPARE(status, description);
    QCOMPARE(f.extentWidth, extentWidth);
    QCOMPARE(f.extentHeight, extentHeight);
    QCOMPARE(positionsText(f), positions);
    QCOMPARE(f.lastLabelWidth, lastWidth);
    QCOMPARE(f.lastLabelHeight, lastHeight);
}

void TestVrlDatei::headerlessFileReadsLikeFullFile()
{
    QString fullStatus;
    QString bareStatus;
    const SheetFormat full = readFixture(QStringLiteral("a4_3x7_63.5x38_written.vrl"), &fullStatus);
    const SheetFormat bare =
        readFixture(QStringLiteral("a4_3x7_63.5x38_without_header.vrl"), &bareStatus);
    QCOMPARE(bare, full);
    QCOMPARE(bareStatus, fullStatus);
}

void TestVrlDatei::fileWithoutNameAndExtentKeepsPreviousOnes()
{
    SheetFormat f = previousFormat();
    QString status = QStringLiteral("alt");
    QVERIFY(FormatdateiLesen(fixture(QStringLiteral("positions_only.vrl")), f, &status));
    QCOMPARE(f.description, QStringLiteral("Vorher"));
    QCOMPARE(f.extentWidth, 1111);
    QCOMPARE(f.extentHeight, 2222);
    QCOMPARE(positionsText(f), QStringLiteral("1,2,3,4;5,6,7,8"));
    QCOMPARE(f.lastLabelWidth, 7);
    QCOMPARE(f.lastLabelHeight, 8);
    QCOMPARE(status, QString()); // no NA line in this file
}

void TestVrlDatei::shorterFileAfterLongerOne()
{
    SheetFormat f;
    QVERIFY(FormatdateiLesen(fixture(QStringLiteral("a4_3x7_63.5x38_written.vrl")), f));
    QCOMPARE(f.positionCount(), 21);
    QVERIFY(FormatdateiLesen(fixture(QStringLiteral("single_label_89x36_gap_y_1.5.vrl")), f));
    QCOMPARE(f.positionCount(), 1);
    QCOMPARE(positionsText(f), QStringLiteral("0,0,890,360"));
    int x = -7, y = -7, w = -7, h = -7;
    QVERIFY(!HolePosition(f, 2, 0, 0, x, y, w, h));
    QCOMPARE(x, -7);
}

void TestVrlDatei::unopenableFileChangesNothing_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("empty path") << QString();
    QTest::newRow("missing file") << fixture(QStringLiteral("no_such_format.vrl"));
    QTest::newRow("a folder") << FixtureDir;
}

void TestVrlDatei::unopenableFileChangesNothing()
{
    QFETCH(QString, path);
    SheetFormat f = previousFormat();
    QString status = QStringLiteral("alt");
    QVERIFY(!FormatdateiLesen(path, f, &status));
    QCOMPARE(f, previousFormat());
    QCOMPARE(status, QStringLiteral("alt"));
}

void TestVrlDatei::moreThan200LabelsRefused()
{
    const QString path = fixture(QStringLiteral("labels_201_too_many.vrl"));
    SheetFormat f = previousFormat();
    QString status = QStringLiteral("alt");
    try {
        FormatdateiLesen(path, f, &status);
        QFAIL("a file with 201 labels was read");
    } catch (const Error &e) {
        QCOMPARE(e.message(), QStringLiteral("Die Formatdatei %1 beschreibt mehr als 200 Etiketten "
                                             "auf einem Bogen. Es sind höchstens 200 möglich.")
                                  .arg(path));
    }
    QCOMPARE(f, previousFormat());
    QCOMPARE(status, QStringLiteral("alt"));
}

void TestVrlDatei::exactly200LabelsRead()
{
    const SheetFormat f = readFixture(QStringLiteral("labels_200_full.vrl"));
    QCOMPARE(f.positionCount(), 200);
    QCOMPARE(f.positions[199], (LabelPosition{9 * 210, 19 * 140, 200, 130}));
    int x = 0, y = 0, w = 0, h = 0;
    QVERIFY(HolePosition(f, 200, 0, 0, x, y, w, h));
    QCOMPARE(x, 9 * 210);
}

void TestVrlDatei::holePosition_data()
{
    QTest::addColumn<int>("i");
    QTest::addColumn<double>("offsetX");
    QTest::addColumn<double>("offsetY");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");

    // The caller's values before the call are 111, 222, 333, 444.
    QTest::newRow("first") << 1 << 0.0 << 0.0 << true << 75 << 150 << 635 << 380;
    QTest::newRow("fractions dropped toward zero")
        << 2 << 12.7 << -12.7 << true << 747 << 138 << 635 << 380;
    QTest::newRow("below one tenth adds nothing")
        << 4 << -0.9 << 0.9 << true << 75 << 530 << 635 << 380;
    QTest::newRow("last") << 21 << 250.0 << -250.0 << true << 1645 << 2180 << 635 << 380;
    QTest::newRow("count + 1") << 22 << 0.0 << 0.0 << false << 111 << 222 << 333 << 444;
    QTest::newRow("0") << 0 << 0.0 << 0.0 << false << 111 << 222 << 333 << 444;
    QTest::newRow("negative") << -1 << 0.0 << 0.0 << false << 111 << 222 << 333 << 444;
    QTest::newRow("huge offsets held to 32 bits")
        << 1 << 1e12 << -1e12 << true << 2147483647 << -2147483647 - 1 << 635 << 380;
    QTest::newRow("offset that is not a number")
        << 1 << qQNaN() << 0.0 << true << 75 << 150 << 635 << 380;
}

void TestVrlDatei::holePosition()
{
    QFETCH(int, i);
    QFETCH(double, offsetX);
    QFETCH(double, offsetY);
    QFETCH(bool, found);

    const SheetFormat f = readFixture(QStringLiteral("a4_3x7_63.5x38_written.vrl"));
    int x = 111, y = 222, w = 333, h = 444;
    QCOMPARE(HolePosition(f, i, offsetX, offsetY, x, y, w, h), found);
    QTEST(x, "x");
    QTEST(y, "y");
    QTEST(w, "w");
    QTEST(h, "h");
}

void TestVrlDatei::vorlageSichernWritesFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("description");
    QTest::addColumn<GridTexts>("grid");

    QTest::newRow("3 x 7 on A4")
        << "a4_3x7_63.5x38_written.vrl" << "Adressetiketten für A4 63.5 x 38 mm"
        << texts("63.5", "38.0", "3", "7", "7.5", "15.0", "2.5", "0.0");
    QTest::newRow("single label, vertical gap")
        << "single_label_89x36_gap_y_1.5.vrl" << "Adressetikett 89 x 36"
        << texts("89.0", "36.0", "1", "1", "0", "0", "0", "1.5");
    QTest::newRow("3 across, 1 down")
        << "row_3x1_written.vrl" << "Drei nebeneinander"
        << texts("70.0", "37.0", "3", "1", " 5.0", "10.0", " 2.0", " 1.5");
    QTest::newRow("1 across, 4 down")
        << "column_1x4_written.vrl" << "Vier untereinander"
        << texts("90", "50.05", "1", "4", "3", "4", "2.5", "1");
}

void TestVrlDatei::vorlageSichernWritesFile()
{
    QFETCH(QString, file);
    QFETCH(QString, description);
    QFETCH(GridTexts, grid);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("neu.vrl"));
    VorlageSichern(path, description, grid);
    QCOMPARE(contentOf(path), contentOf(fixture(file)));
}

void TestVrlDatei::deriveAndWriteReproducesFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("3 x 7") << "a4_3x7_63.5x38_written.vrl";
    QTest::newRow("single label without horizontal gap") << "single_label_89x36_gap_y_1.5.vrl";
    QTest::newRow("3 x 1") << "row_3x1_written.vrl";
    QTest::newRow("1 x 4") << "column_1x4_written.vrl";
}

void TestVrlDatei::deriveAndWriteReproducesFile()
{
    QFETCH(QString, file);
    QString status;
    const SheetFormat f = readFixture(file, &status);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wieder.vrl"));
    VorlageSichern(path, status, gridTexts(deriveSheetGrid(f)));
    QCOMPARE(contentOf(path), contentOf(fixture(file)));
}

void TestVrlDatei::singleLabelKeepsVerticalGapOnly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("eins.vrl"));
    VorlageSichern(path, QStringLiteral("Ein Etikett"),
                   texts("50.0", "20.0", "1", "1", "5.0", "7.0", "3.0", "1.5"));
    QCOMPARE(readTextLines(path),
             (QStringList{"** Formatdatei erstellt mit QUILLMARK 95 - Version2.04s",
                          "NA,Ein Etikett", "GR,580,285", "PO,50,70,500,200"}));

    SheetFormat f;
    QVERIFY(FormatdateiLesen(path, f));
    const GridTexts shown = gridTexts(deriveSheetGrid(f));
    QCOMPARE(shown, texts("50.0", "20.0", "1", "1", " 5.0", " 7.0", " 0.0", " 1.5"));
}

void TestVrlDatei::derivedTextsOfWorkedExample()
{
    const SheetFormat f = readFixture(QStringLiteral("a4_3x7_63.5x38_written.vrl"));
    QCOMPARE(gridTexts(deriveSheetGrid(f)),
             texts("63.5", "38.0", "3", "7", " 7.5", "15.0", " 2.5", " 0.0"));
}

void TestVrlDatei::refusedSaveLeavesPreviousFile_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<GridTexts>("grid");
    QTest::addColumn<QString>("message");

    QTest::newRow("Neben not a number")
        << "Neu" << texts("63.5", "38.0", "x", "7", "0", "0", "0", "0")
        << "'x' ist kein gültiger Integerwert";
    QTest::newRow("Unter with a trailing blank")
        << "Neu" << texts("63.5", "38.0", "3", "7 ", "0", "0", "0", "0")
        << "'7 ' ist kein gültiger Integerwert";
    QTest::newRow("Neben empty, checked before Unter")
        << "Neu" << texts("63.5", "38.0", "", "y", "0", "0", "0", "0")
        << "'' ist kein gültiger Integerwert";
    QTest::newRow("more than 200 labels")
        << "Neu" << texts("10", "10", "15", "14", "0", "0", "0", "0")
        << "Das Format ergibt 210 Etiketten auf einem Bogen. Es sind höchstens 200 möglich.";
    QTest::newRow("negative count")
        << "Neu" << texts("10", "10", "-2", "3", "0", "0", "0", "0")
        << "Die Anzahl nebeneinander darf nicht kleiner als 0 sein (-2).";
    QTest::newRow("description outside the code page")
        << QStringLiteral("Häkchen \u2713") << texts("10", "10", "1", "1", "0", "0", "0", "0")
        << QString();
}

void TestVrlDatei::refusedSaveLeavesPreviousFile()
{
    QFETCH(QString, description);
    QFETCH(GridTexts, grid);
    QFETCH(QString, message);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("format.vrl"));
    const QByteArray before = contentOf(fixture(QStringLiteral("a4_3x7_63.5x38_written.vrl")));
    writeFileAtomically(path, before);

    try {
        VorlageSichern(path, description, grid);
        QFAIL("the save went through");
    } catch (const Error &e) {
        if (!message.isEmpty())
            QCOMPARE(e.message(), message);
    }
    QCOMPARE(contentOf(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("format.vrl")});
}

QTEST_GUILESS_MAIN(TestVrlDatei)
#include "TestVrlDatei.moc"
