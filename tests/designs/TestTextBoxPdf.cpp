// Texts fitted into their boxes, drawn through the printer's canvas into a
// PDF file and measured back with pdftotext -bbox, word by word.
#include "designs/drawingnotices.h"
#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "platform/canvas/qpaintercanvas.h"
#include "platform/doubles/scriptedmessages.h"

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace qm;

namespace {

constexpr int Dpi = 300;
// Design units of 0.4 mm (25 a centimetre), in PDF points.
constexpr double PointsPerUnit = 72 * 0.4 / 25.4;

// An A4 page of a PDF file at Dpi, drawn on in design units; the file is
// written when the page goes.
struct PdfPage
{
    explicit PdfPage(const QString &path)
        : writer(path)
    {
        writer.setResolution(Dpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        painter.begin(&writer);
        painter.scale(Dpi * 0.4 / 25.4, Dpi * 0.4 / 25.4);
        canvas.emplace(painter);
    }

    QPdfWriter writer;
    QPainter painter;
    std::optional<QPainterCanvas> canvas;
    ScriptedMessages messages;
};

struct Word
{
    QString text;
    QRectF box; // in design units
};

// The words pdftotext finds in the file, with their boxes.
std::vector<Word> wordsOf(const QString &pdf)
{
    QProcess bbox;
    bbox.start(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") });
    bbox.waitForFinished(60000);
    const QString html = QString::fromUtf8(bbox.readAllStandardOutput());
    static const QRegularExpression word(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" "
                                                        "xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    std::vector<Word> words;
    for (const QRegularExpressionMatch &m : word.globalMatch(html)) {
        const QRectF box(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) / PointsPerUnit,
            QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()) / PointsPerUnit);
        words.push_back({ m.captured(5).replace(QLatin1String("&amp;"), QLatin1String("&")), box });
    }
    return words;
}

} // namespace

class TestTextBoxPdf : public QObject
{
    Q_OBJECT

private slots:
    void wordsInsideTheirBox_data();
    void wordsInsideTheirBox();
};

void TestTextBoxPdf::wordsInsideTheirBox_data()
{
    // A font of 40 units (16 mm cells) in a box of 300 x 80 units from
    // (20, 10); the smallest size 6 points.
    QTest::addColumn<int>("fit");
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("size"); // "full", "smaller"
    QTest::addColumn<int>("lines"); // fit 2: at least
    QTest::addColumn<bool>("fits");
    QTest::newRow("short") << 1 << 0 << 0 << "Hans" << "full" << 1 << true;
    QTest::newRow("long shrinks") << 1 << 0 << 0 << "Deutsche Versicherungsgesellschaft für Handel und Gewerbe"
                                  << "smaller" << 1 << true;
    QTest::newRow("long wraps") << 2 << 0 << 0 << "Deutsche Versicherungsgesellschaft für Handel und Gewerbe"
                                << "smaller" << 2 << true;
    QTest::newRow("one long word") << 2 << 1 << 0 << "Donaudampfschifffahrtsgesellschaftskapitän" << "smaller"
                                   << 1 << true;
    QTest::newRow("umlauts, right") << 2 << 2 << 0 << "Müller & Söhne Großhandel Köln Düsseldorf Öhringen"
                                    << "smaller" << 2 << true;
    QTest::newRow("turned 90, full size") << 2 << 0 << 90 << "Müller & Söhne Großhandel Köln" << "full" << 2
                               << true;
    QTest::newRow("turned 90, smaller") << 2 << 0 << 90 << "Müller & Söhne Großhandel Köln Düsseldorf"
                                        << "smaller" << 2 << true;
    QTest::newRow("very long") << 1 << 0 << 0 << QString(QStringLiteral("Wolkenkratzer ")).repeated(11).trimmed()
                               << "smaller" << 1 << false;
}

// Every word of a text that fits lies inside its box, a short one at its
// full size; one that cannot fit is named.
void TestTextBoxPdf::wordsInsideTheirBox()
{
    QFETCH(int, fit);
    QFETCH(int, align);
    QFETCH(int, rotation);
    QFETCH(QString, value);
    QFETCH(QString, size);
    QFETCH(int, lines);
    QFETCH(bool, fits);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is needed");

    // The 90-degree box stands: 80 wide, 300 high.
    const QRect box = rotation == 90 ? QRect(20, 10, 80, 300) : QRect(20, 10, 300, 80);
    PrintDesign design;
    readPrintDesignLines({ QStringLiteral("GR,500,400,25"), QStringLiteral("XF,40,0,0,%1,Arial,0").arg(rotation),
                             QStringLiteral("XT,%1,%2,%3,%4,6,0")
                                 .arg(box.width())
                                 .arg(box.height())
                                 .arg(fit)
                                 .arg(align),
                             QStringLiteral("EF,20,10,60,Name") },
        QString(), design, {});
    QVERIFY(design.notices.isEmpty());
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("rahmen.pdf"));
    DrawingNotices notices;
    notices.setRecord(1);
    {
        PdfPage page(pdf);
        LabelDrawing drawing(design);
        drawing.setNotices(&notices);
        drawing.draw(*page.canvas, QStringList { QString(), value }, 0, 0, false, page.messages, QString());
    }
    if (!fits) {
        QCOMPARE(notices.count(), 1);
        QVERIFY(notices.lines().front().contains(value.left(40)));
        return;
    }
    QVERIFY(notices.isEmpty());

    const std::vector<Word> words = wordsOf(pdf);
    QStringList texts;
    QList<double> tops;
    for (const Word &w : words) {
        texts << w.text;
        // A quarter unit (0.1 mm) for the rounding of positions.
        QVERIFY2(QRectF(box).adjusted(-0.25, -0.25, 0.25, 0.25).contains(w.box),
            qPrintable(QStringLiteral("%1 at %2,%3 .. %4,%5")
                           .arg(w.text)
                           .arg(w.box.left())
                           .arg(w.box.top())
                           .arg(w.box.right())
                           .arg(w.box.bottom())));
        const double across = rotation == 90 ? w.box.width() : w.box.height();
        // pdftotext's box is about the cell of the font's size.
        if (size == u"full")
            QVERIFY2(across > 0.9 * 40, qPrintable(QString::number(across)));
        else
            QVERIFY2(across < 0.9 * 40, qPrintable(QString::number(across)));
        const double lineStart = rotation == 90 ? w.box.left() : w.box.top();
        if (!tops.contains(std::round(lineStart)))
            tops << std::round(lineStart);
    }
    QCOMPARE(texts.join(u' '), value);
    if (fit == 2)
        QVERIFY2(tops.size() >= lines, qPrintable(QString::number(tops.size())));
    else
        QCOMPARE(tops.size(), lines);
}

QTEST_MAIN(TestTextBoxPdf)
#include "TestTextBoxPdf.moc"
