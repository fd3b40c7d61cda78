// The recording canvas that tests of the drawing routines compare against.
#include "platform/canvas/recordingcanvas.h"
#include "platform/errors.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace qm;

class TestRecordingCanvas : public QObject
{
    Q_OBJECT

private slots:
    void logsCallsInOrder();
    void missingBitmapThrowsAndLogsNothing();
};

void TestRecordingCanvas::logsCallsInOrder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("logo.bmp"));
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    QVERIFY(image.save(path, "BMP"));

    RecordingCanvas canvas;
    canvas.fillRect(0, 0, 100, 50, Qt::white);
    canvas.setPen(CanvasPen{Qt::black, PenStyle::Solid, 1});
    canvas.setHollowBrush();
    canvas.rectangle(10, 20, 110, 60);
    canvas.save();
    canvas.setPen(CanvasPen{QColor(192, 192, 192), PenStyle::Dotted, 0});
    canvas.roundRect(1, 2, 3, 4, 12, 12);
    canvas.moveTo(5, 5);
    canvas.lineTo(50, 5);
    canvas.setTransparentBackground();
    canvas.setFont(CanvasFont{QStringLiteral("Arial"), -11, 900, 700, false});
    canvas.setTextColour(Qt::red);
    canvas.text(5, 7, QStringLiteral("Hallo"));
    canvas.restore();
    canvas.text(8, 9, QStringLiteral("Welt"));
    canvas.setSolidBrush(Qt::white);
    canvas.stretchBitmap(canvas.loadBitmap(path), 10, 10, 64, 32, BitmapMix::And);

    const QStringList expected{
        QStringLiteral("fill 0,0,100,50 255,255,255"),
        QStringLiteral("pen 0,0,0 solid 1"),
        QStringLiteral("brush hollow"),
        QStringLiteral("rect 10,20,110,60"),
        QStringLiteral("save"),
        QStringLiteral("pen 192,192,192 dotted 0"),
        QStringLiteral("roundrect 1,2,3,4 12,12"),
        QStringLiteral("moveto 5,5"),
        QStringLiteral("lineto 50,5"),
        QStringLiteral("transparent"),
        QStringLiteral("font face=Arial h=-11 esc=900 w=700 i=0"),
        QStringLiteral("textcolour 255,0,0"),
        QStringLiteral("text 5,7 \"Hallo\" face=Arial h=-11 esc=900 w=700 i=0 colour=255,0,0"),
        QStringLiteral("restore"),
        // After restore the font and colour from before the save are back.
        QStringLiteral("text 8,9 \"Welt\" face= h=0 esc=0 w=400 i=0 colour=0,0,0"),
        QStringLiteral("brush solid 255,255,255"),
        QStringLiteral("bitmap %1 4x2").arg(path),
        QStringLiteral("stretch %1 10,10,64,32 and").arg(path),
    };
    QCOMPARE(canvas.log(), expected);
    QCOMPARE(canvas.calls().at(3), (RecordingCanvas::Call{QStringLiteral("rect"),
                                                          {QStringLiteral("10,20,110,60")}}));
}

void TestRecordingCanvas::missingBitmapThrowsAndLogsNothing()
{
    RecordingCanvas canvas;
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("fehlt.bmp"));
    try {
        canvas.loadBitmap(missing);
        QFAIL("no error for a missing file");
    } catch (const Error &error) {
        QCOMPARE(error.message(), QStringLiteral("Kann Datei %1 nicht öffnen").arg(missing));
    }
    QVERIFY(canvas.log().isEmpty());
}

QTEST_MAIN(TestRecordingCanvas)
#include "TestRecordingCanvas.moc"
