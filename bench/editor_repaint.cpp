// Draws the editor's workspace of a design with 99 elements (lines,
// rectangles, rounded rectangles, texts, fields, serial numbers and a
// bitmap) onto an offscreen image, as the editor does after each change,
// and reports the time per repaint.
//
//   bench_editor_repaint [REPAINTS [ZOOM]]      (default 500 at 400 %)
//
// At 400 % the 800 x 600 image shows the upper left part of the design
// (200 x 150 units); the elements outside are drawn and clipped as the
// editor draws them.

#include "editor/editorcommands.h"
#include "editor/editorcore.h"
#include "platform/canvas/qpaintercanvas.h"
#include "platform/doubles/memorysettings.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

using namespace qm;

namespace {

class NoDialogs : public IPropertyDialogs
{
public:
    bool editText(TextProperties &) override { return false; }
    bool editField(FieldProperties &) override { return false; }
    bool editSerial(SerialProperties &) override { return false; }
    bool editSize(SizeProperties &) override { return false; }
    bool editBarcode(BarcodeProperties &) override { return false; }
};

Element row(const QStringList &cells)
{
    Element e;
    e.setCell(0, cells.value(0));
    for (int c = 1; c < cells.size(); ++c)
        e.setCell(c, cells.at(c));
    return e;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int repaints = argc > 1 ? std::max(1, atoi(argv[1])) : 500;
    const int zoom = argc > 2 ? atoi(argv[2]) : 400;

    QTemporaryDir dir;
    const QString bitmap = dir.filePath(QStringLiteral("logo.bmp"));
    QImage picture(120, 80, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter p(&picture);
        p.fillRect(10, 10, 100, 60, Qt::darkBlue);
    }
    picture.save(bitmap, "BMP");

    ScriptedMessages messages;
    ScriptedFileDialogs files;
    MemorySettings settings;
    NoDialogs dialogs;
    EditorCore core(messages, files, settings, dialogs);
    core.setModus(QStringLiteral("E"));
    core.setLabelSize(QStringLiteral("210"), QStringLiteral("148"));
    core.FormShow();
    core.setClickAreasShown(true);
    core.setZoom(zoom);
    auto &design = const_cast<Design &>(core.design());
    const auto add = [&](const QStringList &cells) {
        core.undoStack().push(new CreateElementCommand(design, row(cells)));
    };
    add({ "B", "300", "200", "420", "280", bitmap });
    for (int i = 0; i < 98; ++i) {
        const QString x = QString::number(10 + (i % 10) * 50), y = QString::number(10 + (i / 10) * 34);
        const QString x2 = QString::number(50 + (i % 10) * 50), y2 = QString::number(30 + (i / 10) * 34);
        const QString colour = QString::number(i % 16);
        switch (i % 6) {
        case 0:
            add({ "L", x, y, x2, y2, QString::number(i % 3), colour });
            break;
        case 1:
            add({ "R", x, y, x2, y2, QString::number(i % 3), colour });
            break;
        case 2:
            add({ "O", x, y, x2, y2, "0", colour });
            break;
        case 3:
            add({ "T", x, y, QString::number((i % 4) * 90), "11", "1", "0", colour, "Arial",
                "Zeile mit Text" });
            break;
        case 4:
            add({ "F", x, y, "0", "13", "0", "1", colour, "Times New Roman", "Name", "30" });
            break;
        default:
            add({ "S", x, y, "0", "11", "0", "0", colour, "Courier New", "1", "Nr. ", "/26" });
            break;
        }
    }

    // The editor's pane, and an image large enough to show every element
    // at the zoom (the design spans 550 x 380 units).
    const QSize sizes[] = { QSize(800, 600),
        QSize(550 * core.zoom() / 100, 380 * core.zoom() / 100).expandedTo(QSize(800, 600)) };
    for (const QSize &size : sizes) {
        QImage image(size, QImage::Format_RGB32);
        const auto repaint = [&] {
            QPainter painter(&image);
            QPainterCanvas canvas(painter);
            core.paintWorkspace(canvas, image.width(), image.height());
        };
        repaint(); // warm-up: fonts and the bitmap
        if (!messages.shown().isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(messages.lastText()));
            return 1;
        }
        // Wall time, and the processor time of this process, which a
        // machine busy with other work does not inflate.
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        for (int i = 0; i < repaints; ++i)
            repaint();
        const double cpuMs
            = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC / repaints;
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6 / repaints;
        std::printf("%d elements at %d %%, %d repaints of %d x %d: %.3f ms per repaint (processor time %.3f "
                    "ms)\n",
            design.count(), core.zoom(), repaints, image.width(), image.height(), ms, cpuMs);
    }
    return 0;
}
