#include "designs/design.h"
#include "designs/etifile.h"
#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "platform/canvas/recordingcanvas.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

const QString Date = QStringLiteral("24.12.1999");

// A GIF of 4 x 2 red pixels (Qt writes no GIF files).
const unsigned char RedGif[] = { 0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x04, 0x00, 0x02, 0x00, 0xf0, 0x00, 0x00, 0xff,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00,
    0x04, 0x00, 0x02, 0x00, 0x00, 0x02, 0x03, 0x84, 0x6f, 0x05, 0x00, 0x3b };

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A picture file of `size` pixels in `format` ("svg" and "gif" written by
// hand), under `dir`.
QString pictureFile(const QTemporaryDir &dir, const QString &name, QSize size, const QString &format)
{
    const QString path = dir.filePath(name);
    if (format == u"svg") {
        writeBytes(path,
            QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\">"
                           "<rect width=\"%1\" height=\"%2\" fill=\"#ff0000\"/></svg>\n")
                .arg(size.width())
                .arg(size.height())
                .toUtf8());
    } else if (format == u"gif") {
        writeBytes(path, QByteArray(reinterpret_cast<const char *>(RedGif), sizeof RedGif));
    } else {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.save(path, qPrintable(format));
    }
    return path;
}

PrintDesign readDesign(const QStringList &lines)
{
    PrintDesign design;
    readPrintDesignLines(lines, QString(), design, {});
    return design;
}

QStringList callsOf(const RecordingCanvas &canvas, const QString &op)
{
    QStringList result;
    for (const RecordingCanvas::Call &call : canvas.calls()) {
        if (call.op == op)
            result.append(call.args.join(u' '));
    }
    return result;
}

} // namespace

class TestFieldPicture : public QObject
{
    Q_OBJECT

private slots:
    void readsThePictureField();
    void keepsAspectRatioCentred_data();
    void keepsAspectRatioCentred();
    void eachRecordItsOwnPicture();
    void emptyValueDrawsNothing();
    void missingFileOnPaperAndOnScreen();
    void editorKeepsTheLine_data();
    void editorKeepsTheLine();
};

// A BF line is a data field in record order like EF, 200 characters unless
// it gives a size, so the fields after it keep their columns.
void TestFieldPicture::readsThePictureField()
{
    StringTable entryGrid;
    StringTable fieldGrid;
    PrintDesign design;
    readPrintDesignLines({ "EF,10,10,20,Name", "BF,10,30,110,80,Bild", "EF,10,90,5,Nr", "BF,0,0,50,50,Logo,80" },
        QString(), design, FieldGrids { nullptr, &entryGrid, &fieldGrid, nullptr, nullptr });
    QCOMPARE(design.fieldCount, 4);
    const std::vector<DataField> expected { { 1, "Name", "20", true }, { 2, "Bild", "200", true },
        { 3, "Nr", "5", true }, { 4, "Logo", "80", true } };
    QCOMPARE(design.fields, expected);
    QCOMPARE(design.records.at(1), (PrintRecord { "BF", 10, 30, 110, 80, 0, "Bild", {} }));
    QCOMPARE(entryGrid.cell(2, 0), "Bild");
    QCOMPARE(entryGrid.cell(2, 1), "200");
    QCOMPARE(fieldGrid.cell(4, 1), "Logo");
}

void TestFieldPicture::keepsAspectRatioCentred_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<QString>("box"); // the BF line's corners
    QTest::addColumn<QString>("drawn"); // x, y, width, height at the label (100, 200)
    // A box of 100 x 100 units at (10, 20).
    QTest::newRow("wide png") << "png" << QSize(200, 100) << "10,20,110,120" << "110,245,100,50";
    QTest::newRow("wide, corners turned") << "png" << QSize(200, 100) << "110,120,10,20" << "110,245,100,50";
    QTest::newRow("tall png") << "png" << QSize(40, 200) << "10,20,110,120" << "150,220,20,100";
    QTest::newRow("small, enlarged") << "png" << QSize(4, 8) << "10,20,110,120" << "135,220,50,100";
    QTest::newRow("jpeg") << "jpg" << QSize(200, 100) << "10,20,110,120" << "110,245,100,50";
    QTest::newRow("bmp") << "bmp" << QSize(200, 100) << "10,20,110,120" << "110,245,100,50";
    QTest::newRow("gif") << "gif" << QSize(4, 2) << "10,20,110,120" << "110,245,100,50";
    QTest::newRow("svg") << "svg" << QSize(40, 20) << "10,20,110,120" << "110,245,100,50";
    // A flat box: the picture fills its height.
    QTest::newRow("wide in flat box") << "png" << QSize(200, 100) << "10,20,210,60" << "170,220,80,40";
}

// The picture is as large as the box allows without changing its shape,
// centred, ANDed with the page like every printed picture.
void TestFieldPicture::keepsAspectRatioCentred()
{
    QFETCH(QString, format);
    QFETCH(QSize, pixels);
    QFETCH(QString, box);
    QFETCH(QString, drawn);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("BILDER"));
    const QString file = pictureFile(dir, QStringLiteral("BILDER/4711.") + format, pixels, format);
    const PrintDesign design = readDesign({ QStringLiteral("BF,%1,Bild").arg(box) });
    LabelDrawing drawing(design);
    drawing.setPictureFolder(dir.path());
    RecordingCanvas canvas;
    ScriptedMessages messages;
    drawing.draw(canvas, QStringList { "1", QStringLiteral("BILDER/4711.") + format }, 100, 200, false, messages,
        Date);
    QCOMPARE(callsOf(canvas, "stretch"), QStringList { file + u' ' + drawn + QStringLiteral(" and") });
}

// Every label draws the picture its record names, each file read once while
// it is among the last few used; a field after the picture keeps its column.
void TestFieldPicture::eachRecordItsOwnPicture()
{
    QTemporaryDir dir;
    const QString a = pictureFile(dir, "a.png", QSize(10, 10), "png");
    const QString b = pictureFile(dir, "b.png", QSize(10, 10), "png");
    const PrintDesign design = readDesign({ "XF,14,0,0,0,Arial,0", "BF,0,0,50,50,Bild", "EF,0,60,10,Name" });
    LabelDrawing drawing(design);
    RecordingCanvas canvas;
    ScriptedMessages messages;
    for (const QString &file : { a, b, a, a })
        drawing.draw(canvas, QStringList { "1", file, QStringLiteral("N") }, 0, 0, false, messages, Date);
    QStringList stretched;
    for (const QString &call : callsOf(canvas, "stretch"))
        stretched << call.section(u' ', 0, 0);
    QCOMPARE(stretched, (QStringList { a, b, a, a }));
    QCOMPARE(callsOf(canvas, "bitmap").size(), 2);
    QCOMPARE(callsOf(canvas, "text").size(), 4);
    QVERIFY(callsOf(canvas, "text").first().contains("\"N\""));
}

void TestFieldPicture::emptyValueDrawsNothing()
{
    const PrintDesign design = readDesign({ "BF,0,0,50,50,Bild", "LI,0,0,5,5" });
    for (const QString &value : { QString(), QStringLiteral("  ") }) {
        RecordingCanvas canvas;
        ScriptedMessages messages;
        LabelDrawing(design).draw(canvas, QStringList { "1", value }, 0, 0, false, messages, Date);
        QVERIFY(callsOf(canvas, "bitmap").isEmpty());
        QVERIFY(callsOf(canvas, "stretch").isEmpty());
        QVERIFY(callsOf(canvas, "fill").isEmpty());
        QCOMPARE(callsOf(canvas, "lineto").size(), 1);
    }
}

// A file gone after the check ends the drawing on paper; the preview shows
// a grey box with the file's name and goes on.
void TestFieldPicture::missingFileOnPaperAndOnScreen()
{
    const PrintDesign design = readDesign({ "BF,10,10,60,40,Bild", "LI,0,0,5,5" });
    const QStringList values { "1", "/nicht/da/4711.png" };
    ScriptedMessages messages;
    RecordingCanvas paper;
    QVERIFY_THROWS_EXCEPTION(Error, LabelDrawing(design).draw(paper, values, 0, 0, false, messages, Date));
    QVERIFY(callsOf(paper, "lineto").isEmpty());

    LabelDrawing preview(design);
    preview.setShowMissingPictures(true);
    RecordingCanvas screen;
    preview.draw(screen, values, 0, 0, false, messages, Date);
    QCOMPARE(callsOf(screen, "fill").size(), 1);
    QVERIFY(callsOf(screen, "text").first().contains("\"4711.png\""));
    QCOMPARE(callsOf(screen, "lineto").size(), 1);
}

void TestFieldPicture::editorKeepsTheLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("without size") << "BF,10,30,110,80,Bild";
    QTest::newRow("with size") << "BF,10,30,110,80,Bild,80";
    QTest::newRow("blanks and more") << "BF, 10,30,110,80,Bild, 80,x";
    QTest::newRow("short") << "BF,10,30";
    QTest::newRow("no field") << "BF,10,30,110,80,";
}

// The editor reads a BF line as a picture element named by its field and
// writes it back as it stood; changed, it is written anew.
void TestFieldPicture::editorKeepsTheLine()
{
    QFETCH(QString, line);
    const QStringList file { QStringLiteral("** QUILLMARK für WINDOWS 95"),
        QStringLiteral("** ETI-Datei für ein Etikett bzw. Formular"),
        QStringLiteral("** Erstellt am 24.12.1999 mit Version 2.04s"), QStringLiteral("NA,Bild"),
        QStringLiteral("GR,175,90,25"), line, QStringLiteral("XB,1,2,3,4,logo.png") };
    Design design;
    loadEtiLines(file, design);
    QCOMPARE(design.count(), 2);
    QCOMPARE(design.element(1).kind, ElementKind::Bitmap);
    const QStringList written = etiFileLines(design, Date);
    QCOMPARE(written.mid(3), file.mid(3));

    if (line == u"BF,10,30,110,80,Bild") {
        QCOMPARE(design.element(1).cell(Col::PictureField), "Bild");
        QVERIFY(design.element(1).cell(Col::Path).isEmpty());
        QVERIFY(picturesByField(design.element(1)));
        design.element(1).setCell(Col::X1, "20");
        QCOMPARE(etiFileLines(design, Date).at(5), "BF,20,30,110,80,Bild");
        design.element(1).setCell(Col::PictureSize, "90");
        QCOMPARE(etiFileLines(design, Date).at(5), "BF,20,30,110,80,Bild,90");
    }
}

QTEST_MAIN(TestFieldPicture)
#include "TestFieldPicture.moc"
