// The editor's workspace: the grid, the label outline, the elements in row
// order with the workspace's own pens, corners and text heights, the click
// areas, and what stops the drawing.
#include "designs/design.h"
#include "editor/workspacedrawing.h"
#include "platform/canvas/recordingcanvas.h"
#include "platform/errors.h"

#include <QTest>

using namespace qm;

namespace {

const QString Date = QStringLiteral("24.12.1999");

// An element from its cells separated by "|", kind letter first.
Element element(const QString &row)
{
    Element e;
    const QStringList cells = row.split(u'|');
    for (int i = 0; i < cells.size(); ++i)
        e.setCell(i, cells.at(i));
    return e;
}

Design design(const QStringList &rows, const QString &widthMm = QStringLiteral("40"),
    const QString &heightMm = QStringLiteral("20"))
{
    Design d;
    d.widthMm = widthMm;
    d.heightMm = heightMm;
    for (const QString &row : rows)
        d.elements.push_back(element(row));
    return d;
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

// The workspace of 300 x 200 pixels, by default without grid and click areas.
RecordingCanvas drawWorkspace(
    const Design &d, WorkspaceSettings settings = { false, false }, int scrollX = 0, int scrollY = 0)
{
    RecordingCanvas canvas;
    ArbeitsbereichAnzeigen(canvas, d, settings, scrollX, scrollY, 300, 200, Date);
    return canvas;
}

QStringList workspace(
    const Design &d, WorkspaceSettings settings = { false, false }, int scrollX = 0, int scrollY = 0)
{
    return drawWorkspace(d, settings, scrollX, scrollY).log();
}

} // namespace

class TestWorkspaceDrawing : public QObject
{
    Q_OBJECT

private slots:
    void roundCorners_data();
    void roundCorners();
    void editorPens_data();
    void editorPens();
    void editorColourOutOfRangeKeepsPrevious();
    void editorTexts_data();
    void editorTexts();
    void emptyDesignShowsOnlyOutline_data();
    void emptyDesignShowsOnlyOutline();
    void clickAreas();
    void gridLines();
    void invalidCellStopsDrawing();
    void emptyTextDrawsNothing();
    void ellipses();
    void workspaceShowsBarcodesWithASample_data();
    void workspaceShowsBarcodesWithASample();
    void missingPictureIsAGreyBox();
    void pictureByFieldIsAPlaceholder();
};

void TestWorkspaceDrawing::roundCorners_data()
{
    QTest::addColumn<QList<int>>("edges");

    QTest::newRow("100x40") << QList<int> { 0, 0, 100, 40 };
    QTest::newRow("20x20") << QList<int> { 5, 5, 25, 25 };
    QTest::newRow("corners swapped") << QList<int> { 100, 40, 0, 0 };
    QTest::newRow("large") << QList<int> { 0, 0, 400, 300 };
    QTest::newRow("short side 64") << QList<int> { 10, 20, 110, 83 };
}

// On the workspace every rounded rectangle has corners of 10 x 10 pixels,
// whatever its size (paper: TestRendering).
void TestWorkspaceDrawing::roundCorners()
{
    QFETCH(QList<int>, edges);
    const QString box = QStringLiteral("%1,%2,%3,%4").arg(edges[0]).arg(edges[1]).arg(edges[2]).arg(edges[3]);
    const QString row
        = QStringLiteral("O|%1|%2|%3|%4|0|0").arg(edges[0]).arg(edges[1]).arg(edges[2]).arg(edges[3]);
    RecordingCanvas editor;
    ArbeitsbereichAnzeigen(editor, design({ row }), { false, false }, 0, 0, 300, 200, Date);
    QCOMPARE(callsOf(editor, "roundrect"), QStringList { box + " 10,10" });
}

void TestWorkspaceDrawing::editorPens_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");

    QTest::newRow("thin") << "0" << penText(colour(3), "solid", 1);
    QTest::newRow("thick") << "1" << penText(colour(3), "solid", 3);
    QTest::newRow("dashed is dotted on screen") << "2" << penText(colour(3), "dotted", 1);
    // An unknown code keeps the style and width of the element before (thick).
    QTest::newRow("unknown keeps previous") << "5" << penText(colour(3), "solid", 3);
}

void TestWorkspaceDrawing::editorPens()
{
    QFETCH(QString, code);
    QFETCH(QString, expected);

    const QStringList log = workspace(design({ "R|0|0|5|5|1|9", "L|1|2|30|40|" + code + "|3" }));
    const qsizetype line = log.indexOf("lineto 30,40");
    QVERIFY(line > 0);
    QCOMPARE(log.at(line - 2), "pen " + expected);
}

void TestWorkspaceDrawing::editorColourOutOfRangeKeepsPrevious()
{
    const QStringList pens = callsOf(drawWorkspace(design({ "L|0|0|9|9|0|9", "L|0|0|9|9|1|16" })), "pen");
    QCOMPARE(pens.last(), penText(colour(9), "solid", 3));
}

void TestWorkspaceDrawing::editorTexts_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("expected");

    // x, y, rotation, height, bold, italic, colour, font, ...
    QTest::newRow("text") << "T|10|20|90|11|1|0|9|Arial|Hallo, Welt"
                          << "10,20 \"Hallo, Welt\" face=Arial h=-11 esc=900 w=700 i=0 colour="
            + RecordingCanvas::colourText(colour(9));
    QTest::newRow("field") << "F|10|20|0|14|0|1|4|Times New Roman|Name|30"
                           << "10,20 \"Name[30]\" face=Times New Roman h=-14 esc=0 w=400 i=1 "
                              "colour="
            + RecordingCanvas::colourText(colour(4));
    QTest::newRow("serial") << "S|10|20|0|12|1|1|0|Arial|1|Nr.|"
                            << "10,20 \"Nr.######\" face=Arial h=-12 esc=0 w=700 i=1 colour=0,0,0";
    QTest::newRow("date") << "S|10|20|0|12|0|0|0|Arial|0|Nr.|x"
                          << "10,20 \"" + Date + "\" face=Arial h=-12 esc=0 w=400 i=0 colour=0,0,0";
}

void TestWorkspaceDrawing::editorTexts()
{
    QFETCH(QString, row);
    QFETCH(QString, expected);

    RecordingCanvas canvas;
    WorkspaceFont font;
    ArbeitsbereichAnzeigen(canvas, design({ row }), { false, false }, 0, 0, 300, 200, Date, &font);
    QCOMPARE(callsOf(canvas, "text"), QStringList { expected });
    // The element's font stays the canvas's font.
    const Element e = element(row);
    QCOMPARE(font.face, e.cell(Col::Font));
    QCOMPARE(font.height, e.number(Col::Height));
    QCOMPARE(font.bold, e.cell(Col::Bold) == u"1");
    QCOMPARE(font.italic, e.cell(Col::Italic) == u"1");
    QCOMPARE(font.colour, colour(e.number(Col::Colour)));
}

void TestWorkspaceDrawing::emptyDesignShowsOnlyOutline_data()
{
    QTest::addColumn<QString>("widthMm");
    QTest::addColumn<QString>("heightMm");
    QTest::addColumn<int>("scrollX");
    QTest::addColumn<int>("scrollY");

    QTest::newRow("70x33") << "70"
                           << "33" << 0 << 0;
    QTest::newRow("scrolled") << "100"
                              << "51" << 1 << 2;
    QTest::newRow("empty size") << ""
                                << "" << 0 << 0;
}

void TestWorkspaceDrawing::emptyDesignShowsOnlyOutline()
{
    QFETCH(QString, widthMm);
    QFETCH(QString, heightMm);
    QFETCH(int, scrollX);
    QFETCH(int, scrollY);

    const int w = static_cast<int>(mmToUnits(sizeMmValue(widthMm)));
    const int h = static_cast<int>(mmToUnits(sizeMmValue(heightMm)));
    const int dx = UnitsPerCm * scrollX, dy = UnitsPerCm * scrollY;
    QCOMPARE(workspace(design({}, widthMm, heightMm), { false, false }, scrollX, scrollY),
        (QStringList { "fill 0,0,300,200 255,255,255", "brush solid 255,255,255", "pen 0,0,0 solid 1",
            "pen " + penText(colour(9), "dashed", 1), "brush hollow",
            QStringLiteral("rect %1,%2,%3,%4").arg(-dx).arg(-dy).arg(w - dx + 1).arg(h - dy + 1),
            "pen 0,0,0 solid 1" }));
}

// One grip square per text, two per line or area; none for deleted rows.
void TestWorkspaceDrawing::clickAreas()
{
    RecordingCanvas canvas;
    const Design d = design(
        { "L|30|40|80|90|0|0", "#", "T|50|60|0|11|0|0|0|Arial|x", "B|100|110|120|130|/nicht/da.bmp" });
    // The bitmap cannot be read: draw the click areas of what comes before.
    Design drawable = d;
    drawable.elements.pop_back();
    ArbeitsbereichAnzeigen(canvas, drawable, { false, true }, 1, 0, 300, 200, Date);
    const QStringList log = canvas.log();
    const qsizetype teal = log.lastIndexOf("pen " + penText(colour(6), "dotted", 1));
    QVERIFY(teal > 0);
    QCOMPARE(
        log.mid(teal + 1), (QStringList { "rect -7,28,17,52", "rect 43,78,67,102", "rect 13,48,37,72" }));

    RecordingCanvas failing;
    QVERIFY_THROWS_EXCEPTION(
        Error, ArbeitsbereichAnzeigen(failing, d, { false, true }, 0, 0, 300, 200, Date));
    QVERIFY(callsOf(failing, "rect").contains("99,109,121,131")); // red dotted outline first
}

// The grid is one line per centimetre over the whole paint area, not scrolled.
void TestWorkspaceDrawing::gridLines()
{
    RecordingCanvas canvas;
    ArbeitsbereichAnzeigen(canvas, design({}), { true, false }, 3, 4, 60, 30, Date);
    QCOMPARE(callsOf(canvas, "pen").at(1), penText(colour(8), "dotted", 1));
    QCOMPARE(
        callsOf(canvas, "moveto"), (QStringList { "0,0", "0,25", "0,50", "0,0", "25,0", "50,0", "75,0" }));
    QCOMPARE(callsOf(canvas, "lineto"),
        (QStringList { "60,0", "60,25", "60,50", "0,30", "25,30", "50,30", "75,30" }));
}

void TestWorkspaceDrawing::invalidCellStopsDrawing()
{
    const QStringList rows = { "L|1|2|3|4|0|0", "R|1|x|3|4|0|0", "L|5|6|7|8|0|0" };
    RecordingCanvas canvas;
    QVERIFY_THROWS_EXCEPTION(
        ConvertError, ArbeitsbereichAnzeigen(canvas, design(rows), { false, false }, 0, 0, 300, 200, Date));
    QCOMPARE(callsOf(canvas, "lineto"), QStringList { "3,4" });

    QVERIFY_THROWS_EXCEPTION(ConvertError, workspace(design({}, QStringLiteral("7a"), QStringLiteral("10"))));
}

void TestWorkspaceDrawing::emptyTextDrawsNothing()
{
    RecordingCanvas canvas;
    DC_TEXTOUT(canvas, WorkspaceFont(), 1, 2, QString(), -11, 0);
    QVERIFY(canvas.log().isEmpty());
    // Neither does a text element with an empty text.
    QVERIFY(callsOf(drawWorkspace(design({ "T|1|1|0|11|0|0|0|Arial|" })), "text").isEmpty());
}

void TestWorkspaceDrawing::workspaceShowsBarcodesWithASample_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<bool>("sample");
    QTest::newRow("QR code") << "C|10|10|110|90|2|Inventar|80" << true;
    QTest::newRow("EAN-13, drawn backwards") << "C|150|60|20|10|0|Artikel|" << true;
    QTest::newRow("too small to print") << "C|1|2|3|4|5|Artikel|" << false;
    QTest::newRow("unknown kind") << "C|10|10|110|90|9|Artikel|" << false;
    QTest::newRow("kind no number") << "C|10|10|110|90|x|Artikel|" << false;
    QTest::newRow("size 0") << "C|10|10|110|90|2|Inventar|0" << false;
    QTest::newRow("size abc") << "C|10|10|110|90|2|Inventar|abc" << false;
    QTest::newRow("size 500") << "C|10|10|110|90|2|Inventar|500" << true;
}

// The workspace shows a barcode as it will print, with a sample value of
// its kind inside its dashed box; a line the printing leaves out shows the
// box alone, without an error.
void TestWorkspaceDrawing::workspaceShowsBarcodesWithASample()
{
    QFETCH(QString, row);
    QFETCH(bool, sample);
    RecordingCanvas canvas;
    ArbeitsbereichAnzeigen(canvas, design({ row }), { false, false }, 0, 0, 300, 200, Date);
    const QStringList cells = row.split(u'|');
    const QRectF box = QRectF(QPointF(cells[1].toInt(), cells[2].toInt()), QPointF(cells[3].toInt(), cells[4].toInt()))
                           .normalized()
                           .adjusted(-1e-6, -1e-6, 1e-6, 1e-6);
    QVERIFY(callsOf(canvas, "rect").contains(QStringLiteral("%1,%2,%3,%4").arg(cells[1], cells[2], cells[3], cells[4])));
    const QStringList fills = callsOf(canvas, QStringLiteral("fillf"));
    QCOMPARE(fills.size() > 5, sample);
    for (const QString &fill : fills) {
        const QStringList edges = fill.split(u' ').at(0).split(u',');
        const QRectF bar(QPointF(edges[0].toDouble(), edges[1].toDouble()),
            QPointF(edges[2].toDouble(), edges[3].toDouble()));
        QVERIFY2(box.contains(bar), qPrintable(fill));
    }
}

// An ellipse element: the rounded rectangle whose corners are the whole box,
// as on paper.
void TestWorkspaceDrawing::ellipses()
{
    RecordingCanvas editor;
    ArbeitsbereichAnzeigen(editor, design({ "E|10|20|110|70|1|9" }), { false, true }, 0, 0, 300, 200, Date);
    QCOMPARE(callsOf(editor, "roundrect"), QStringList { "10,20,110,70 100,50" });
    // Both corners of its box are grips (click areas).
    const QStringList log = editor.log();
    QCOMPARE(log.mid(log.size() - 2), (QStringList { "rect -2,8,22,32", "rect 98,58,122,82" }));
}

// A picture whose file is gone is a grey box with its file name, and the
// elements after it are drawn; the error is passed on afterwards.
void TestWorkspaceDrawing::missingPictureIsAGreyBox()
{
    const QString grey = RecordingCanvas::colourText(QColor(192, 192, 192));
    RecordingCanvas screen;
    QVERIFY_THROWS_EXCEPTION(Error,
        ArbeitsbereichAnzeigen(screen, design({ "B|10|10|60|40|C:\\Bilder\\logo.png", "R|70|10|90|30|0|0" }),
            { false, false }, 0, 0, 300, 200, Date));
    QVERIFY(callsOf(screen, "fill").contains(QStringLiteral("10,10,60,40 ") + grey));
    QVERIFY(textsOf(screen).contains(QStringLiteral("logo.png")));
    QCOMPARE(callsOf(screen, "rect").size(), 3); // label, the picture's frame, the rectangle
}

// A picture the record names has no file yet: a grey box with the field's
// name, and nothing to report.
void TestWorkspaceDrawing::pictureByFieldIsAPlaceholder()
{
    const QString grey = RecordingCanvas::colourText(QColor(192, 192, 192));
    RecordingCanvas screen;
    ArbeitsbereichAnzeigen(screen, design({ "B|10|10|60|40||Bild|", "R|70|10|90|30|0|0" }), { false, false }, 0, 0,
        300, 200, Date);
    QVERIFY(callsOf(screen, "fill").contains(QStringLiteral("10,10,60,40 ") + grey));
    QVERIFY(textsOf(screen).contains(QStringLiteral("[Bild]")));
    QVERIFY(callsOf(screen, "bitmap").isEmpty());
    QCOMPARE(callsOf(screen, "rect").size(), 3);
}

QTEST_GUILESS_MAIN(TestWorkspaceDrawing)
#include "TestWorkspaceDrawing.moc"
