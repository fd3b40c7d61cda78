#include "designs/design.h"
#include "designs/drawingnotices.h"
#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "platform/canvas/recordingcanvas.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/errors.h"
#include "platform/stringtable.h"

#include "platform/canvas/qpaintercanvas.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <numbers>

using namespace qm;

namespace {

const QString Date = QStringLiteral("24.12.1999");

PrintRecord rec(const QString &key, int a = 0, int b = 0, int c = 0, int d = 0, int e = 0,
    const QString &text = {}, const QString &text2 = {})
{
    return PrintRecord { key, a, b, c, d, e, text, text2 };
}

PrintDesign printDesign(const QList<PrintRecord> &records)
{
    PrintDesign design;
    design.records.assign(records.cbegin(), records.cend());
    return design;
}

// The arguments of every call of one kind, joined by blanks.
QStringList callsOf(const RecordingCanvas &canvas, const QString &op)
{
    QStringList result;
    for (const RecordingCanvas::Call &call : canvas.calls()) {
        if (call.op == op)
            result.append(call.args.join(u' '));
    }
    return result;
}

// The strings drawn by text(), without quotes.
QStringList textsOf(const RecordingCanvas &canvas)
{
    QStringList result;
    for (const RecordingCanvas::Call &call : canvas.calls()) {
        if (call.op == u"text")
            result.append(call.args.at(1).mid(1, call.args.at(1).size() - 2));
    }
    return result;
}

QString penText(const QColor &colour, const QString &style, int width)
{
    return RecordingCanvas::colourText(colour) + u' ' + style + u' ' + QString::number(width);
}

QColor colour(int index)
{
    return QColor::fromRgb(ColourTable[static_cast<size_t>(index)]);
}

struct Printer
{
    RecordingCanvas canvas;
    ScriptedMessages messages;
    StringTable labelList;

    void draw(const PrintDesign &d, int x = 0, int y = 0, int row = 1, bool frame = false,
        const CanvasPen &devicePen = CanvasPen())
    {
        EtikettZeichnen(canvas, d, labelList, x, y, row, frame, messages, Date, devicePen);
    }
};

} // namespace

class TestRendering : public QObject
{
    Q_OBJECT

private slots:
    void preparedDrawingDrawsTheSame_data();
    void preparedDrawingDrawsTheSame();
    void roundCorners_data();
    void roundCorners();
    void printerPens_data();
    void printerPens();
    void printerFonts_data();
    void printerFonts();
    void textNeedsFont_data();
    void textNeedsFont();
    void fieldCounter();
    void longValueIsCut_data();
    void longValueIsCut();
    void lineBreaksPrintAsSpaces_data();
    void lineBreaksPrintAsSpaces();
    void frameOnlyWithFlag();
    void oldBitmapMessageOncePerLabel();
    void labelLeavesCanvasAsFound();
    void labelOriginShiftsRecords();
    void ellipses();
    void sampleBarcodeInItsBox_data();
    void sampleBarcodeInItsBox();
    void missingPictureIsAGreyBoxOnScreen();
    void picturePathFromTheFolder_data();
    void picturePathFromTheFolder();
    void clipStopsAtTheNeighbours_data();
    void clipStopsAtTheNeighbours();
    void textCutAtTheEdgeIsNoted_data();
    void textCutAtTheEdgeIsNoted();
    void noticesOncePerRecordAndField();
    void textBoxes_data();
    void textBoxes();
    void textBoxNoticeOncePerRecord();
    void textBoxOnlyForTheNextText();
    void textBoxWithFieldsInside();
};

void TestRendering::preparedDrawingDrawsTheSame_data()
{
    QTest::addColumn<bool>("frame");
    QTest::newRow("without frame") << false;
    QTest::newRow("with frame") << true;
}

// The prepared drawing, fed from the label list or from a list of values,
// makes the same calls as EtikettZeichnen for every kind of record, and it
// keeps drawing its records when the design changes afterwards.
void TestRendering::preparedDrawingDrawsTheSame()
{
    QFETCH(bool, frame);
    PrintDesign d = printDesign({ rec("NA", 0, 0, 0, 0, 0, "Name"), rec("TE", 1, 1, 0, 0, 0, "vor dem Font"),
        rec("GR", 157, 95, 25), rec("XP", 1, 4), rec("RE", 1, 2, 30, 40), rec("RA", 5, 6, 105, 26),
        rec("LI", -3, 4, 50, 60), rec("SP", 2, 1), rec("EF", 10, 15, 30), rec("SF", 9, 1, 600, 90, 0, "Arial"),
        rec("BC", 1, 2, 3, 4, 5), rec("SE", 10, 40, 1, 0, 0, "Nr. ", "/26"), rec("SE", 80, 15),
        rec("XF", 11, 1, 1, 0, 3, "Times New Roman"), rec("TE", 70, 70, 0, 0, 0, "fest, mit Komma"),
        rec("BM", 0, 0, 0, 0, 0, "alt.bmp"), rec("ZZ", 1, 1, 1, 1), rec("EF", 10, 65, 30),
        rec("XP", 7, 99) });
    Printer full;
    full.labelList.setCell(1, 2, "Anna");
    full.labelList.setCell(2, 2, "Code");
    full.labelList.setCell(3, 2, "42");
    full.labelList.setCell(4, 2, QString(200, u'x'));
    const CanvasPen devicePen { Qt::red, PenStyle::Dotted, 2 };
    full.draw(d, 30, 40, 2, frame, devicePen);

    const LabelDrawing drawing(d);
    d.records.clear();
    RecordingCanvas fromTable;
    ScriptedMessages messages;
    drawing.draw(fromTable, full.labelList, 30, 40, 2, frame, messages, Date, devicePen);
    RecordingCanvas fromValues;
    drawing.draw(
        fromValues, QStringList { "", "Anna", "Code", "42", QString(200, u'x') }, 30, 40, frame, messages, Date,
        devicePen);
    QCOMPARE(fromTable.calls(), full.canvas.calls());
    QCOMPARE(fromValues.calls(), full.canvas.calls());
    QCOMPARE(textsOf(full.canvas),
        (QStringList { "Anna", "Nr. 42/26", Date, "fest, mit Komma", QString(161, u'x') }));
    QCOMPARE(callsOf(full.canvas, "rect").size(), frame ? 2 : 1);
    QCOMPARE(messages.shown().size(), 2);
    QCOMPARE(full.messages.shown().size(), 1);

    // Values missing from the list print as empty, as empty cells do.
    RecordingCanvas shortList;
    RecordingCanvas emptyRow;
    drawing.draw(shortList, QStringList { "", "Anna" }, 0, 0, false, messages, Date);
    drawing.draw(emptyRow, full.labelList, 0, 0, 7, false, messages, Date);
    QVERIFY(textsOf(shortList).contains("Nr. /26"));
    QCOMPARE(textsOf(shortList).mid(1), textsOf(emptyRow).mid(1));
}

// Paper: 30 % of the shorter side (|c - a| + 1), at least 10 (the editor's
// 10: TestWorkspaceDrawing).
void TestRendering::roundCorners_data()
{
    QTest::addColumn<QList<int>>("edges");
    QTest::addColumn<int>("paper");

    QTest::newRow("100x40") << QList<int> { 0, 0, 100, 40 } << (3 * 41) / 10;
    QTest::newRow("20x20 at least 10") << QList<int> { 5, 5, 25, 25 } << 10;
    QTest::newRow("corners swapped") << QList<int> { 100, 40, 0, 0 } << (3 * 41) / 10;
    QTest::newRow("large") << QList<int> { 0, 0, 400, 300 } << (3 * 301) / 10;
    // The extent counts both edges: a short side of 64 units, not 63.
    QTest::newRow("short side 64") << QList<int> { 10, 20, 110, 83 } << 19;
}

void TestRendering::roundCorners()
{
    QFETCH(QList<int>, edges);
    QFETCH(int, paper);
    const QString box = QStringLiteral("%1,%2,%3,%4").arg(edges[0]).arg(edges[1]).arg(edges[2]).arg(edges[3]);

    Printer p;
    p.draw(printDesign({ rec("RA", edges[0], edges[1], edges[2], edges[3]) }));
    QCOMPARE(callsOf(p.canvas, "roundrect"), QStringList { box + QStringLiteral(" %1,%1").arg(paper) });
}

void TestRendering::printerPens_data()
{
    QTest::addColumn<PrintRecord>("pen");
    QTest::addColumn<QString>("expected");

    QTest::newRow("XP thin") << rec("XP", 0, 9) << penText(colour(9), "solid", 1);
    QTest::newRow("XP thick") << rec("XP", 1, 4) << penText(colour(4), "solid", 3);
    QTest::newRow("XP dashed") << rec("XP", 2, 2) << penText(colour(2), "dashed", 0);
    QTest::newRow("XP unknown code is thin") << rec("XP", 7, 12) << penText(colour(12), "solid", 1);
    QTest::newRow("XP colour 16 black") << rec("XP", 1, 16) << penText(Qt::black, "solid", 3);
    QTest::newRow("XP colour -1 black") << rec("XP", 0, -1) << penText(Qt::black, "solid", 1);
    QTest::newRow("SP solid") << rec("SP", 4, 0) << penText(Qt::black, "solid", 4);
    QTest::newRow("SP dashed") << rec("SP", 2, 1) << penText(Qt::black, "dashed", 2);
}

// The pen record's pen is current for the line after it.
void TestRendering::printerPens()
{
    QFETCH(PrintRecord, pen);
    QFETCH(QString, expected);

    Printer p;
    p.draw(printDesign({ pen, rec("LI", 1, 2, 3, 4) }));
    const QStringList log = p.canvas.log();
    const qsizetype line = log.indexOf("lineto 3,4");
    QVERIFY(line > 0);
    QCOMPARE(log.at(line - 2), "pen " + expected);
    QCOMPARE(log.at(line - 1), "moveto 1,2");
}

void TestRendering::printerFonts_data()
{
    QTest::addColumn<PrintRecord>("font");
    QTest::addColumn<QString>("expectedFont");
    QTest::addColumn<QColor>("expectedColour");

    // SF: a height, b italic (ignored), c weight, d rotation.
    QTest::newRow("SF") << rec("SF", 11, 1, 700, 90, 5, "Arial") << "face=Arial h=11 esc=900 w=700 i=0"
                        << QColor(Qt::black);
    // XF: c bold only when exactly 1, b italic when not 0, e colour.
    QTest::newRow("XF bold") << rec("XF", 20, 0, 1, 0, 9, "Courier New")
                             << "face=Courier New h=20 esc=0 w=700 i=0" << colour(9);
    QTest::newRow("XF c=2 not bold") << rec("XF", 20, 3, 2, 45, 4, "Arial")
                                     << "face=Arial h=20 esc=450 w=400 i=1" << colour(4);
    QTest::newRow("XF colour 16 black")
        << rec("XF", 14, 0, 0, 0, 16, "Arial") << "face=Arial h=14 esc=0 w=400 i=0" << QColor(Qt::black);
}

void TestRendering::printerFonts()
{
    QFETCH(PrintRecord, font);
    QFETCH(QString, expectedFont);
    QFETCH(QColor, expectedColour);

    Printer p;
    p.draw(printDesign({ font, rec("TE", 3, 4, 0, 0, 0, "Hallo, Welt") }));
    QCOMPARE(callsOf(p.canvas, "text"),
        QStringList { "3,4 \"Hallo, Welt\" " + expectedFont
            + " colour=" + RecordingCanvas::colourText(expectedColour) });
}

void TestRendering::textNeedsFont_data()
{
    QTest::addColumn<QList<PrintRecord>>("records");
    QTest::addColumn<QStringList>("texts");

    const PrintRecord te = rec("TE", 1, 1, 0, 0, 0, "Text");
    QTest::newRow("TE alone") << QList<PrintRecord> { te } << QStringList {};
    QTest::newRow("TE before font") << QList<PrintRecord> { te, rec("SF", 10, 0, 400, 0, 0, "Arial") }
                                    << QStringList {};
    QTest::newRow("after SF") << QList<PrintRecord> { rec("SF", 10, 0, 400, 0, 0, "Arial"), te }
                              << QStringList { "Text" };
    QTest::newRow("after XF") << QList<PrintRecord> { rec("XF", 10, 0, 0, 0, 0, "Arial"), te }
                              << QStringList { "Text" };
}

// A text is printed only once a font record has come in this label; the
// next label starts without a font again.
void TestRendering::textNeedsFont()
{
    QFETCH(QList<PrintRecord>, records);
    QFETCH(QStringList, texts);

    Printer p;
    const PrintDesign d = printDesign(records);
    p.draw(d);
    QCOMPARE(textsOf(p.canvas), texts);
    p.canvas.clear();
    p.draw(printDesign({ rec("TE", 1, 1, 0, 0, 0, "Text") }));
    QCOMPARE(textsOf(p.canvas), QStringList {});
}

// Fields and serial numbers take the label list columns 1, 2, 3 ... of the
// label's row; dates take none, BC takes one without drawing.
void TestRendering::fieldCounter()
{
    Printer p;
    for (int col = 1; col <= 5; ++col) {
        for (int row = 0; row <= 2; ++row)
            p.labelList.setCell(col, row, QStringLiteral("c%1r%2").arg(col).arg(row));
    }
    const PrintDesign d = printDesign({
        rec("EF", 1, 1, 10, 0, 0, "Name"),
        rec("SE", 2, 2, 0, 0, 0, "nicht", "gedruckt"),
        rec("SE", 3, 3, 1, 0, 0, "Nr.", ""),
        rec("BC", 0, 0, 0, 0, 0, "Code"),
        rec("SE", 4, 4, 1, 0, 0, "(", ")"),
        rec("EF", 5, 5, 10, 0, 0, "Ort"),
    });
    p.draw(d, 0, 0, 2);
    QCOMPARE(textsOf(p.canvas), (QStringList { "c1r2", Date, "Nr.c2r2", "(c4r2)", "c5r2" }));

    // The next label starts again at column 1.
    p.canvas.clear();
    p.draw(d, 0, 0, 1);
    QCOMPARE(textsOf(p.canvas).first(), "c1r1");
}

void TestRendering::longValueIsCut_data()
{
    QTest::addColumn<PrintRecord>("record");
    QTest::addColumn<QString>("before");

    QTest::newRow("field") << rec("EF", 0, 0, 10, 0, 0, "Name") << QString();
    QTest::newRow("serial") << rec("SE", 0, 0, 1, 0, 0, "Nr.", "!") << QStringLiteral("Nr.");
}

void TestRendering::longValueIsCut()
{
    QFETCH(PrintRecord, record);
    QFETCH(QString, before);

    QString value;
    for (int i = 0; i < 200; ++i)
        value += QChar(u'a' + i % 26);
    Printer p;
    p.labelList.setCell(1, 1, value);
    p.draw(printDesign({ record }));
    const QStringList texts = textsOf(p.canvas);
    QCOMPARE(texts.size(), 1);
    QCOMPARE(texts.first().size(), MaxPrintedTextLength);
    QCOMPARE(texts.first(), (before + value).left(MaxPrintedTextLength));

    // A value that fits is printed whole.
    QCOMPARE(printedText(value.left(MaxPrintedTextLength)), value.left(MaxPrintedTextLength));
    // A cut never splits a surrogate pair.
    const QString wide = QString(MaxPrintedTextLength - 1, u'x') + QStringLiteral("\U0001F600");
    QCOMPARE(printedText(wide), QString(MaxPrintedTextLength - 1, u'x'));
}

// A value with line breaks, as a quoted CSV cell gives it, prints on its one
// line with a space for each break.
void TestRendering::lineBreaksPrintAsSpaces_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("printed");
    QTest::newRow("LF") << "Hauptstr. 1\nHinterhaus" << "Hauptstr. 1 Hinterhaus";
    QTest::newRow("CR LF") << "Hauptstr. 1\r\nHinterhaus" << "Hauptstr. 1 Hinterhaus";
    QTest::newRow("CR") << "a\rb" << "a b";
    QTest::newRow("two lines empty between") << "a\n\nb" << "a  b";
    QTest::newRow("none") << "Köln" << "Köln";
}

void TestRendering::lineBreaksPrintAsSpaces()
{
    QFETCH(QString, value);
    QFETCH(QString, printed);
    Printer p;
    p.labelList.setCell(1, 1, value);
    p.draw(printDesign({ rec("XF", 12, 0, 0, 0, 0, "Arial"), rec("EF", 5, 5, 40) }));
    QCOMPARE(textsOf(p.canvas), QStringList { printed });
}

// GR outlines the label only with the frame flag, then the device's pen
// is current again, not the label's last pen.
void TestRendering::frameOnlyWithFlag()
{
    const PrintDesign d = printDesign({ rec("XP", 1, 9), rec("GR", 100, 50, 25), rec("LI", 0, 0, 10, 0) });
    const CanvasPen device { QColor(1, 2, 3), PenStyle::Solid, 0 };

    Printer off;
    off.draw(d, 30, 40, 1, false, device);
    QCOMPARE(callsOf(off.canvas, "rect"), QStringList {});
    QCOMPARE(callsOf(off.canvas, "pen").last(), penText(colour(9), "solid", 3));

    Printer on;
    on.draw(d, 30, 40, 1, true, device);
    QCOMPARE(callsOf(on.canvas, "rect"), QStringList { "30,40,129,89" });
    const QStringList log = on.canvas.log();
    const qsizetype rect = log.indexOf("rect 30,40,129,89");
    QCOMPARE(log.at(rect - 1), "pen " + penText(Qt::black, "solid", 1));
    QCOMPARE(log.at(rect + 1), "pen " + penText(device.colour, "solid", 0));
    QCOMPARE(log.at(rect + 2), "moveto 30,40");
}

void TestRendering::oldBitmapMessageOncePerLabel()
{
    Printer p;
    const PrintDesign d = printDesign({ rec("BM", 5, 5, 0, 0, 0, "C:/alt/logo,1.bmp") });
    p.draw(d);
    p.draw(d, 100, 0);
    QCOMPARE(p.messages.shown().size(), 2);
    QCOMPARE(p.messages.lastText(),
        "C:/alt/logo,1.bmp kann nicht geladen werden ! ETI-Datei befindet sich nicht im "
        "QUILLMARK 2.0-Format ...");
    const QStringList ops = { "text", "rect", "roundrect", "lineto", "bitmap", "stretch" };
    for (const QString &op : ops)
        QVERIFY2(callsOf(p.canvas, op).isEmpty(), qPrintable(op));
}

// Every label begins with the same fresh state inside save()/restore(), even
// when a missing bitmap ends it.
void TestRendering::labelLeavesCanvasAsFound()
{
    Printer p;
    p.draw(printDesign({ rec("SF", 10, 0, 400, 0, 0, "Arial"), rec("NA", 0, 0, 0, 0, 0, "x") }));
    QCOMPARE(p.canvas.log(),
        (QStringList { "save", "pen 0,0,0 solid 1", "brush hollow", "transparent",
            "font face=Arial h=10 esc=0 w=400 i=0", "textcolour 0,0,0", "restore" }));

    p.canvas.clear();
    const PrintDesign missing
        = printDesign({ rec("XB", 0, 0, 10, 10, 0, QStringLiteral("/nicht/da.bmp")), rec("LI", 0, 0, 5, 5) });
    QVERIFY_THROWS_EXCEPTION(Error, p.draw(missing));
    QCOMPARE(p.canvas.log().last(), "restore");
    QVERIFY(callsOf(p.canvas, "lineto").isEmpty());
}

void TestRendering::labelOriginShiftsRecords()
{
    Printer p;
    p.draw(printDesign({ rec("RE", 1, 2, 3, 4), rec("LI", 5, 6, 7, 8), rec("EF", 9, 10, 5, 0, 0, "F") }), 100,
        200);
    QCOMPARE(callsOf(p.canvas, "rect"), QStringList { "101,202,103,204" });
    QCOMPARE(callsOf(p.canvas, "moveto"), QStringList { "105,206" });
    QCOMPARE(callsOf(p.canvas, "lineto"), QStringList { "107,208" });
    QCOMPARE(callsOf(p.canvas, "text").first().section(u' ', 0, 0), "109,210");
}

// An EL record and an ellipse element: the rounded rectangle whose corners
// are the whole box, on paper with the current pen (in the editor:
// TestWorkspaceDrawing).
void TestRendering::ellipses()
{
    Printer p;
    p.draw(printDesign({ rec("XP", 1, 9), rec("EL", 10, 20, 110, 70), rec("EL", 50, 50, 30, 30) }));
    QCOMPARE(callsOf(p.canvas, "roundrect"), (QStringList { "10,20,110,70 100,50", "50,50,30,30 20,20" }));
}

void TestRendering::sampleBarcodeInItsBox_data()
{
    QTest::addColumn<int>("kind");
    for (int kind = 0; kind <= int(Symbology::Itf14); ++kind)
        QTest::newRow(qPrintable(symbologyName(Symbology(kind)))) << kind;
}

// What the workspace shows for a barcode without a value: the sample of
// its kind, drawn inside the box in the given colour; no value, nothing.
void TestRendering::sampleBarcodeInItsBox()
{
    QFETCH(int, kind);
    const QRectF box(QPointF(110, 60), QPointF(10, 10)); // corners in any order
    RecordingCanvas canvas;
    drawBarcode(canvas, Symbology(kind), sampleBarcodeValue(Symbology(kind)), box, Qt::blue);
    const QStringList fills = callsOf(canvas, QStringLiteral("fillf"));
    QVERIFY(fills.size() > 5);
    for (const QString &fill : fills) {
        const QStringList parts = fill.split(u' ');
        QCOMPARE(parts.at(1), RecordingCanvas::colourText(Qt::blue));
        const QStringList edges = parts.at(0).split(u',');
        const QRectF bar(QPointF(edges[0].toDouble(), edges[1].toDouble()),
            QPointF(edges[2].toDouble(), edges[3].toDouble()));
        QVERIFY2(box.normalized().adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(bar), qPrintable(fill));
    }
    const bool linear = kind != int(Symbology::QrCode) && kind != int(Symbology::DataMatrix);
    QCOMPARE(!textsOf(canvas).isEmpty(), linear);

    RecordingCanvas empty;
    drawBarcode(empty, Symbology(kind), QString(), box, Qt::blue);
    QVERIFY(empty.calls().isEmpty());
}

// In the print preview a picture whose file is gone is a grey box with its
// file name, and the elements after it are drawn; on paper the drawing ends.
// (The editor's workspace: TestWorkspaceDrawing.)
void TestRendering::missingPictureIsAGreyBoxOnScreen()
{
    const QString grey = RecordingCanvas::colourText(QColor(192, 192, 192));
    const PrintDesign d = printDesign(
        { rec("XB", 10, 10, 60, 40, 0, QStringLiteral("/nicht/da/logo.png")), rec("LI", 0, 0, 5, 5) });
    LabelDrawing preview(d);
    preview.setShowMissingPictures(true);
    RecordingCanvas page;
    ScriptedMessages messages;
    preview.draw(page, QStringList(), 100, 0, false, messages, Date);
    QVERIFY(callsOf(page, "fill").contains(QStringLiteral("110,10,160,40 ") + grey));
    QVERIFY(textsOf(page).contains(QStringLiteral("logo.png")));
    QCOMPARE(callsOf(page, "lineto").size(), 1);

    RecordingCanvas paper;
    QVERIFY_THROWS_EXCEPTION(Error, LabelDrawing(d).draw(paper, QStringList(), 0, 0, false, messages, Date));
    QVERIFY(callsOf(paper, "fill").isEmpty());
}

void TestRendering::picturePathFromTheFolder_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    QTest::newRow("relative") << "BILDER/logo.png"
                              << "/opt/quill"
                              << "/opt/quill/BILDER/logo.png";
    QTest::newRow("backslashes") << "BILDER\\logo.png"
                                 << "/opt/quill"
                                 << "/opt/quill/BILDER/logo.png";
    QTest::newRow("absolute") << "/home/a/logo.png"
                              << "/opt/quill"
                              << "/home/a/logo.png";
    QTest::newRow("drive") << "C:\\QUILL\\logo.bmp"
                           << "/opt/quill"
                           << "C:\\QUILL\\logo.bmp";
    QTest::newRow("no folder") << "logo.png"
                               << ""
                               << "logo.png";
}

void TestRendering::picturePathFromTheFolder()
{
    QFETCH(QString, stored);
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QCOMPARE(resolvedPicturePath(stored, folder), file);
}

void TestRendering::clipStopsAtTheNeighbours_data()
{
    QTest::addColumn<int>("width"); // of the GR record
    QTest::addColumn<int>("height");
    QTest::addColumn<QSize>("sheetLabel"); // empty: not known
    QTest::addColumn<QRect>("painted"); // the label as clipped, in pixels; null: not clipped
    // A label wider than high, so that its width cannot stand in for its
    // height unseen.
    QTest::newRow("its own size") << 40 << 20 << QSize() << QRect(10, 10, 40, 20);
    QTest::newRow("its own size, sheet label known") << 40 << 20 << QSize(60, 30) << QRect(10, 10, 40, 20);
    QTest::newRow("no size: the sheet's label") << 0 << 0 << QSize(40, 20) << QRect(10, 10, 40, 20);
    QTest::newRow("no height: the sheet's label") << 40 << 0 << QSize(44, 24) << QRect(10, 10, 44, 24);
    QTest::newRow("negative: the sheet's label") << -40 << 20 << QSize(30, 16) << QRect(10, 10, 30, 16);
    QTest::newRow("no size, no sheet label: not clipped") << 0 << 0 << QSize() << QRect();
}

// Drawn at one unit a pixel, a label at (10, 10) whose lines run far beyond
// it on every side paints its own rows and columns up to its edges and not
// one pixel of the labels below and beside it.
void TestRendering::clipStopsAtTheNeighbours()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QSize, sheetLabel);
    QFETCH(QRect, painted);
    QImage page(100, 80, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        QPainterCanvas canvas(painter);
        LabelDrawing drawing(printDesign({ rec("GR", width, height, 25), rec("XP", 0, 0),
            rec("LI", -10, 5, 80, 5), rec("LI", 5, -10, 5, 60), rec("LI", -10, 15, 80, 15),
            rec("LI", 30, -10, 30, 60) }));
        drawing.setSheetLabel(sheetLabel);
        ScriptedMessages messages;
        drawing.draw(canvas, QStringList(), 10, 10, false, messages, Date);
    }
    const auto ink = [&page](int x, int y) { return page.pixelColor(x, y) != QColor(Qt::white); };
    if (painted.isNull()) {
        // As before labels were clipped: the lines run on.
        QVERIFY(ink(15, 60));
        QVERIFY(ink(85, 15));
        QVERIFY(ink(2, 25));
        return;
    }
    // The horizontal line at y 15 (row 25) and the vertical one at x 5
    // (column 15), up to the last row and column of the label.
    QVERIFY(ink(painted.left(), 25));
    QVERIFY(ink(painted.right(), 25));
    QVERIFY(!ink(painted.left() - 1, 25));
    QVERIFY(!ink(painted.right() + 1, 25)); // the neighbour to the right
    QVERIFY(ink(15, painted.top()));
    QVERIFY(ink(15, painted.bottom()));
    QVERIFY(!ink(15, painted.top() - 1));
    QVERIFY(!ink(15, painted.bottom() + 1)); // the neighbour below
    for (int y = painted.bottom() + 1; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x)
            QVERIFY2(!ink(x, y), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }
}

namespace {

// Counts the measures a drawing takes.
class MeasuringCanvas : public RecordingCanvas
{
public:
    QSizeF textSize(const CanvasFont &font, const QString &text) override
    {
        ++measured;
        return RecordingCanvas::textSize(font, text);
    }
    int measured = 0;
};

} // namespace

void TestRendering::textCutAtTheEdgeIsNoted_data()
{
    // A label of 100 x 50 units; a cell of 12 units: characters of about
    // 5.8 units as the recording canvas estimates them.
    QTest::addColumn<QList<PrintRecord>>("records"); // after GR and XF
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("cut");
    QTest::addColumn<bool>("measured");
    const auto field = [](int x, int y) { return QList<PrintRecord> { rec("EF", x, y, 30, 0, 0, "Name") }; };
    // Two characters cannot reach the edge in any font: not measured.
    QTest::newRow("short, far from the edge") << field(10, 5) << "ab" << false << false;
    QTest::newRow("empty") << field(10, 5) << "" << false << false;
    QTest::newRow("long, fits") << field(10, 5) << "Ein langer Wert" << false << true; // 87.6 units to 97.6
    QTest::newRow("past the right edge") << field(10, 5) << "Ein langer Wert!" << true << true; // to 103.4
    QTest::newRow("past the bottom edge") << field(10, 40) << "kurz" << true << true;
    QTest::newRow("left of the label") << field(-3, 5) << "kurz" << true << true;
    QTest::newRow("turned up, past the top")
        << QList<PrintRecord> { rec("XF", 12, 0, 0, 90, 0, "Arial"), rec("EF", 5, 45, 30, 0, 0, "Name") }
        << "Ein langer Wert" << true << true;
    QTest::newRow("turned up, fits")
        << QList<PrintRecord> { rec("XF", 12, 0, 0, 90, 0, "Arial"), rec("EF", 5, 45, 30, 0, 0, "Name") }
        << "kurz" << false << true;
    QTest::newRow("serial number with its texts")
        << QList<PrintRecord> { rec("SE", 60, 5, 1, 0, 0, "Nr. ", " von 1000") } << "12" << true << true;
    QTest::newRow("date: no field") << QList<PrintRecord> { rec("SE", 90, 5, 0) } << "" << false << false;
    QTest::newRow("beyond Latin-1 is always measured") << field(10, 5) << "Łukasz" << false << true;
}

// A field's text that runs past the edge the label is clipped to is noted
// with its record, field and value; one well inside is not, and one that
// cannot reach the edge is not even measured.
void TestRendering::textCutAtTheEdgeIsNoted()
{
    QFETCH(QList<PrintRecord>, records);
    QFETCH(QString, value);
    QFETCH(bool, cut);
    QFETCH(bool, measured);
    QList<PrintRecord> all { rec("GR", 100, 50, 25), rec("XF", 12, 0, 0, 0, 0, "Arial") };
    all += records;
    PrintDesign d = printDesign(all);
    d.fields = { DataField { 1, QStringLiteral("Name"), QStringLiteral("30"), true } };
    LabelDrawing drawing(d);
    DrawingNotices notices;
    drawing.setNotices(&notices);
    notices.setRecord(3);
    MeasuringCanvas canvas;
    ScriptedMessages messages;
    drawing.draw(canvas, QStringList { QString(), value }, 200, 300, false, messages, Date);
    QCOMPARE(notices.count(), cut ? 1 : 0);
    QCOMPARE(canvas.measured > 0, measured);
    if (cut) {
        const DrawingNotices::Notice &n = notices.kept().front();
        QCOMPARE(n.record, 3);
        QCOMPARE(n.field, QStringLiteral("Name"));
        QVERIFY(n.value.contains(value));
    }
}

// Copies of a record are named once per field; the next record again; a
// drawing without notices or without a clip measures nothing.
void TestRendering::noticesOncePerRecordAndField()
{
    PrintDesign d = printDesign({ rec("GR", 100, 50, 25), rec("XF", 12, 0, 0, 0, 0, "Arial"),
        rec("EF", 10, 5, 30, 0, 0, "Name"), rec("EF", 60, 20, 30, 0, 0, "Ort") });
    d.fields = { DataField { 1, QStringLiteral("Name"), QStringLiteral("30"), true },
        DataField { 2, QStringLiteral("Ort"), QStringLiteral("30"), true } };
    LabelDrawing drawing(d);
    DrawingNotices notices;
    drawing.setNotices(&notices);
    MeasuringCanvas canvas;
    ScriptedMessages messages;
    const QString longName = QStringLiteral("Ein sehr langer Name, der über den Rand reicht und noch weiter");
    const auto label = [&](qint64 record, const QString &name, const QString &place) {
        notices.setRecord(record);
        drawing.draw(canvas, QStringList { QString(), name, place }, 0, 0, false, messages, Date);
    };
    label(1, longName, "Bonn");
    label(1, longName, "Bonn"); // a copy
    label(2, "Hans", "Mönchengladbach");
    label(2, "Hans", "Mönchengladbach");
    label(3, longName, "Köln");
    QCOMPARE(notices.count(), 3);
    QCOMPARE(notices.lines(),
        (QStringList { "Datensatz 1, Feld Name: „Ein sehr langer Name, der über den Rand reicht und noch weit…“ "
                       "reicht über den Rand des Etiketts und ist dort abgeschnitten.",
            "Datensatz 2, Feld Ort: „Mönchengladbach“ reicht über den Rand des Etiketts und ist dort "
            "abgeschnitten.",
            "Datensatz 3, Feld Name: „Ein sehr langer Name, der über den Rand reicht und noch weit…“ "
            "reicht über den Rand des Etiketts und ist dort abgeschnitten." }));
    QCOMPARE(notices.message(2).split(u'\n').last(), QStringLiteral("… und 1 weitere."));

    // Without notices, or before a GR record clips the label: nothing measured.
    LabelDrawing quiet(d);
    MeasuringCanvas other;
    quiet.draw(other, QStringList { QString(), longName, longName }, 0, 0, false, messages, Date);
    LabelDrawing unclipped(printDesign({ rec("XF", 12, 0, 0, 0, 0, "Arial"), rec("EF", 10, 5, 30, 0, 0, "Name"),
        rec("GR", 100, 50, 25) }));
    DrawingNotices none;
    none.setRecord(1);
    unclipped.setNotices(&none);
    unclipped.draw(other, QStringList { QString(), longName }, 0, 0, false, messages, Date);
    QCOMPARE(other.measured, 0);
    QVERIFY(none.isEmpty());
}

namespace {

// Remembers every text drawn with the font it was drawn in, and the clips.
class BoxCanvas : public RecordingCanvas
{
public:
    struct Drawn
    {
        int x;
        int y;
        QString text;
        CanvasFont font;
    };
    void text(int x, int y, const QString &text) override
    {
        drawn.push_back({ x, y, text, font() });
        RecordingCanvas::text(x, y, text);
    }
    std::vector<Drawn> drawn;
};

// The corners of a drawn text's cell, as the canvas measures it, turned as
// its font is.
QList<QPointF> cellCorners(ICanvas &canvas, const BoxCanvas::Drawn &d)
{
    const QSizeF size = canvas.textSize(d.font, d.text);
    const double angle = d.font.escapement / 10.0 * std::numbers::pi / 180.0;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    QList<QPointF> corners;
    for (const double u : { 0.0, size.width() })
        for (const double v : { 0.0, size.height() })
            corners << QPointF(d.x + u * c + v * s, d.y - u * s + v * c);
    return corners;
}

} // namespace

void TestRendering::textBoxes_data()
{
    // A label at (200, 300); a font of 40 units (a cell of 40, characters of
    // about 19.5 units as the recording canvas estimates them); the box of
    // 200 x 60 units at the field's position (20, 30). The smallest size of
    // 8 points is 7 units at 25 units per cm.
    QTest::addColumn<int>("fit");
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("maxLines");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("size"); // "full", "smaller" or "smallest"
    QTest::addColumn<QStringList>("lines"); // as drawn; empty: not compared
    QTest::addColumn<bool>("noted");
    const QString veryLong = QString(QStringLiteral("WWWWWWWWWW ")).repeated(14).trimmed();
    QTest::newRow("short keeps its size") << 1 << 0 << 0 << 0 << "Hans" << "full" << QStringList { "Hans" } << false;
    QTest::newRow("long shrinks") << 1 << 0 << 0 << 0 << "Ein ziemlich langer Firmenname GmbH" << "smaller"
                                  << QStringList { "Ein ziemlich langer Firmenname GmbH" } << false;
    QTest::newRow("very long is cut at the smallest size")
        << 1 << 0 << 0 << 0 << veryLong << "smallest" << QStringList { veryLong } << true;
    QTest::newRow("one line: cut at the box") << 0 << 0 << 0 << 0 << "Ein ziemlich langer Firmenname GmbH"
                                              << "full" << QStringList { "Ein ziemlich langer Firmenname GmbH" }
                                              << true;
    QTest::newRow("wrapped: one long word") << 2 << 0 << 0 << 0 << "Donaudampfschifffahrtsgesellschaftskapitän"
                                            << "smaller"
                                            << QStringList { "Donaudampfschifffahrtsgesellschaftskapitän" }
                                            << false;
    QTest::newRow("wrapped: umlauts") << 2 << 0 << 0 << 0 << "Müller & Söhne Großhandel für Bürobedarf in Köln"
                                      << "smaller" << QStringList() << false;
    QTest::newRow("wrapped: centred") << 2 << 1 << 0 << 0 << "Erste Zeile zweite Zeile dritte Zeile"
                                      << "smaller" << QStringList() << false;
    QTest::newRow("wrapped: right") << 2 << 2 << 0 << 0 << "Erste Zeile zweite Zeile dritte Zeile" << "smaller"
                                    << QStringList() << false;
    QTest::newRow("wrapped: line breaks kept") << 2 << 0 << 0 << 0 << "Zeile eins\r\nZeile zwei\nDrei"
                                               << "smaller" << QStringList { "Zeile eins", "Zeile zwei", "Drei" }
                                               << false;
    QTest::newRow("shrunk: line breaks are blanks") << 1 << 0 << 0 << 0 << "Zeile eins\r\nzwei" << "smaller"
                                                    << QStringList { "Zeile eins zwei" } << false;
    QTest::newRow("wrapped: line limit") << 2 << 0 << 1 << 0 << "Erste Zeile zweite Zeile dritte Zeile"
                                         << "smaller" << QStringList { "Erste Zeile zweite Zeile dritte Zeile" }
                                         << false;
    QTest::newRow("wrapped: very long at the line limit")
        << 2 << 0 << 2 << 0 << veryLong << "smallest" << QStringList() << true;
    QTest::newRow("turned 90: wrapped along the height")
        << 2 << 0 << 0 << 90 << "Ein ziemlich langer Firmenname GmbH" << "smaller" << QStringList() << false;
    QTest::newRow("turned 270: short") << 2 << 2 << 0 << 270 << "Kurz" << "smaller" << QStringList { "Kurz" }
                                       << false;
    QTest::newRow("turned 180: centred") << 1 << 1 << 0 << 180 << "Hans" << "full" << QStringList { "Hans" }
                                         << false;
}

// A text in a box keeps its size when it fits, shrinks or wraps as the box
// asks, never reaches outside the box and is noted once when it cannot fit.
void TestRendering::textBoxes()
{
    QFETCH(int, fit);
    QFETCH(int, align);
    QFETCH(int, maxLines);
    QFETCH(int, rotation);
    QFETCH(QString, value);
    QFETCH(QString, size);
    QFETCH(QStringList, lines);
    QFETCH(bool, noted);
    PrintRecord box = rec("XT", 200, 60, fit, align, 8);
    box.f = maxLines;
    PrintDesign d = printDesign({ rec("GR", 400, 200, 25), rec("XF", 40, 0, 0, rotation, 0, "Arial"), box,
        rec("EF", 20, 30, 60, 0, 0, "Name") });
    d.fields = { DataField { 1, QStringLiteral("Name"), QStringLiteral("60"), true } };
    LabelDrawing drawing(d);
    DrawingNotices notices;
    notices.setRecord(4);
    drawing.setNotices(&notices);
    BoxCanvas canvas;
    ScriptedMessages messages;
    drawing.draw(canvas, QStringList { QString(), value }, 200, 300, false, messages, Date);

    // Clipped to the box only where the text does not fit (what fits lies
    // inside as measured), the clip given up again afterwards.
    QCOMPARE(callsOf(canvas, "clip").contains("220,330,420,390"), noted);
    QCOMPARE(callsOf(canvas, "save").size(), callsOf(canvas, "restore").size());

    QVERIFY(!canvas.drawn.empty());
    QStringList drawnLines;
    for (const BoxCanvas::Drawn &t : canvas.drawn) {
        drawnLines << t.text;
        QCOMPARE(t.font.escapement, rotation * 10);
        if (size == u"full")
            QCOMPARE(t.font.height, 40);
        else if (size == u"smaller")
            QVERIFY2(t.font.height > 7 && t.font.height < 40, qPrintable(QString::number(t.font.height)));
        else
            QCOMPARE(t.font.height, 7);
        QCOMPARE(t.font.height, canvas.drawn.front().font.height);
        if (!noted) {
            // Every corner of every line inside the box (positions in whole
            // units: one unit of slack).
            for (const QPointF &p : cellCorners(canvas, t)) {
                QVERIFY2(p.x() >= 219 && p.x() <= 421 && p.y() >= 329 && p.y() <= 391,
                    qPrintable(QStringLiteral("%1 at %2,%3").arg(t.text).arg(p.x()).arg(p.y())));
            }
        }
    }
    if (!lines.isEmpty())
        QCOMPARE(drawnLines, lines);
    if (maxLines > 0)
        QVERIFY(drawnLines.size() <= maxLines);
    if (fit == 2 && !noted) {
        // Wrapped at blanks and line breaks only: the words come out as
        // they went in.
        QCOMPARE(drawnLines.join(u' '),
            QString(value).replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' '));
    }
    if (rotation == 0 && (align == 1 || align == 2) && fit == 2) {
        for (const BoxCanvas::Drawn &t : canvas.drawn) {
            const double width = canvas.textSize(t.font, t.text).width();
            const double left = t.x - 220;
            const double right = 420 - (t.x + width);
            if (align == 1)
                QVERIFY(std::abs(left - right) < 2.0); // placed on whole units
            else
                QVERIFY(std::abs(right) <= 1.0);
        }
        QVERIFY(canvas.drawn.size() >= 2);
    }
    QCOMPARE(notices.count(), noted ? 1 : 0);
    if (noted) {
        const DrawingNotices::Notice &n = notices.kept().front();
        QCOMPARE(n.kind, DrawingNotices::Kind::DoesNotFit);
        QCOMPARE(n.record, 4);
        QCOMPARE(n.field, QStringLiteral("Name"));
        QCOMPARE(n.value, QString(value).replace(u'\n', u' '));
    }
}

// A value that does not fit is named once per record however many copies
// are printed, in its own words.
void TestRendering::textBoxNoticeOncePerRecord()
{
    PrintDesign d = printDesign({ rec("GR", 400, 200, 25), rec("XF", 40, 0, 0, 0, 0, "Arial"),
        rec("XT", 100, 20, 1, 0, 10), rec("EF", 0, 0, 60, 0, 0, "Firma") });
    d.fields = { DataField { 1, QStringLiteral("Firma"), QStringLiteral("60"), true } };
    LabelDrawing drawing(d);
    DrawingNotices notices;
    drawing.setNotices(&notices);
    BoxCanvas canvas;
    ScriptedMessages messages;
    const QString name = QStringLiteral("Eine Firma mit einem sehr langen Namen");
    notices.setRecord(1);
    for (int copy = 0; copy < 3; ++copy)
        drawing.draw(canvas, QStringList { QString(), name }, 0, 0, false, messages, Date);
    notices.setRecord(2);
    drawing.draw(canvas, QStringList { QString(), QStringLiteral("Kurz") }, 0, 0, false, messages, Date);
    QCOMPARE(notices.lines(),
        QStringList { "Datensatz 1, Feld Firma: „Eine Firma mit einem sehr langen Namen“ passt auch in der "
                      "kleinsten Schrift nicht in seinen Textrahmen und ist an dessen Rand abgeschnitten." });
}

// The box belongs to the next text, field or serial number only; the one
// after it prints as before, and a design without boxes draws exactly what
// it drew without them.
void TestRendering::textBoxOnlyForTheNextText()
{
    const QList<PrintRecord> plain { rec("XF", 40, 0, 0, 0, 0, "Arial"), rec("TE", 5, 5, 0, 0, 0, "Ein langer fester Text"),
        rec("EF", 20, 30, 60, 0, 0, "Name") };
    QList<PrintRecord> boxed = plain;
    boxed.insert(1, rec("XT", 50, 30, 1, 0, 8));
    // An XT line that was not read (all zeros) gives no box.
    boxed.insert(3, rec("XT"));
    BoxCanvas withBox;
    BoxCanvas without;
    ScriptedMessages messages;
    LabelDrawing(printDesign(boxed)).draw(withBox, QStringList { QString(), "Ein langer Wert" }, 0, 0, false, messages, Date);
    LabelDrawing(printDesign(plain)).draw(without, QStringList { QString(), "Ein langer Wert" }, 0, 0, false, messages, Date);
    QCOMPARE(withBox.drawn.size(), 2u);
    QVERIFY(withBox.drawn[0].font.height < 40);
    // Too long even at 8 points: cut at its box.
    QCOMPARE(callsOf(withBox, "clip"), QStringList { "5,5,55,35" });
    QCOMPARE(callsOf(withBox, "text").last(), callsOf(without, "text").last());
    QCOMPARE(callsOf(without, "text").size(), 2);
}

// A text with fields inside takes the box too: a line break in a value
// starts a new line in a box that wraps.
void TestRendering::textBoxWithFieldsInside()
{
    PrintDesign d;
    readPrintDesignLines({ QStringLiteral("GR,400,200,25"), QStringLiteral("XF,20,0,0,0,Arial,0"),
                             QStringLiteral("XT,300,100,2,0,6,0"), QStringLiteral("TE,10,10,${Firma} in ${Ort}") },
        QString(), d, {});
    QCOMPARE(d.fields.size(), 2u);
    BoxCanvas canvas;
    ScriptedMessages messages;
    LabelDrawing(d).draw(canvas, QStringList { QString(), "Müller\nSöhne", "Köln" }, 0, 0, false, messages, Date);
    QStringList lines;
    for (const BoxCanvas::Drawn &t : canvas.drawn)
        lines << t.text;
    QCOMPARE(lines, (QStringList { "Müller", "Söhne in Köln" }));
    QCOMPARE(canvas.drawn.back().y - canvas.drawn.front().y, 20);
}

QTEST_GUILESS_MAIN(TestRendering)
#include "TestRendering.moc"
