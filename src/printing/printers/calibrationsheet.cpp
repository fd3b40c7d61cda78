#include "calibrationsheet.h"

#include "platform/canvas/canvas.h"
#include "printing/pdfprinter.h"
#include "printing/printjob.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

constexpr int Mm = 10; // logical units (tenths of a millimetre) per millimetre
constexpr int ScaleReach = 6 * Mm; // the cross-hair's scale reaches 6 mm each way

void line(ICanvas &canvas, int x1, int y1, int x2, int y2)
{
    canvas.moveTo(x1, y1);
    canvas.lineTo(x2, y2);
}

// A cross-hair at p with millimetre ticks on both lines, every fifth longer.
void drawCrossHair(ICanvas &canvas, QPoint p)
{
    line(canvas, p.x() - ScaleReach, p.y(), p.x() + ScaleReach, p.y());
    line(canvas, p.x(), p.y() - ScaleReach, p.x(), p.y() + ScaleReach);
    for (int mm = -ScaleReach / Mm; mm <= ScaleReach / Mm; ++mm) {
        if (mm == 0)
            continue;
        const int tick = mm % 5 == 0 ? 2 * Mm : Mm;
        const int along = mm * Mm;
        // Ticks on one side of each line, so that the other side stays clear
        // to read against the label's edge.
        line(canvas, p.x() + along, p.y(), p.x() + along, p.y() + tick);
        line(canvas, p.x(), p.y() + along, p.x() + tick, p.y() + along);
    }
}

// The 100 mm ruler across (or down) through the centre c: end marks
// reaching both sides, a tick every millimetre on one side, longer every
// ten.
void drawRuler(ICanvas &canvas, QPoint c, bool across)
{
    const int half = CalibrationRulerLength / 2;
    const auto at = [&](int along, int aside) {
        return across ? QPoint(c.x() + along, c.y() + aside) : QPoint(c.x() + aside, c.y() + along);
    };
    const auto segment = [&](QPoint a, QPoint b) { line(canvas, a.x(), a.y(), b.x(), b.y()); };
    segment(at(-half, 0), at(half, 0));
    for (int mm = 0; mm <= CalibrationRulerLength / Mm; ++mm) {
        const int along = mm * Mm - half;
        if (mm == 0 || mm == CalibrationRulerLength / Mm)
            segment(at(along, -5 * Mm), at(along, 5 * Mm));
        else
            segment(at(along, 0), at(along, mm % 10 == 0 ? 3 * Mm : 3 * Mm / 2));
    }
}

} // namespace

QList<CalibrationMark> calibrationMarks(const SheetFormat &format)
{
    const int count = format.positionCount();
    if (count < 1)
        return {};
    // The label nearest each corner of the sheet, by the sum of the
    // distances from the two edges that meet there.
    const auto best = [&](auto score) {
        int found = 1;
        qint64 bestScore = 0;
        for (int i = 1; i <= count; ++i) {
            const LabelPosition &p = format.positions[size_t(i - 1)];
            const qint64 s = score(p);
            if (i == 1 || s > bestScore) {
                found = i;
                bestScore = s;
            }
        }
        return found;
    };
    const auto position = [&](int label) { return format.positions[size_t(label - 1)]; };
    const int topLeft = best([](const LabelPosition &p) { return -(qint64(p.x) + p.y); });
    const int topRight = best([](const LabelPosition &p) { return qint64(p.x) + p.width - p.y; });
    const int bottomLeft = best([](const LabelPosition &p) { return qint64(p.y) + p.height - p.x; });
    const int bottomRight
        = best([](const LabelPosition &p) { return qint64(p.x) + p.width + p.y + p.height; });
    const LabelPosition tl = position(topLeft), tr = position(topRight), bl = position(bottomLeft),
                        br = position(bottomRight);
    return {
        { topLeft, QPoint(tl.x, tl.y) },
        { topRight, QPoint(tr.x + tr.width, tr.y) },
        { bottomLeft, QPoint(bl.x, bl.y + bl.height) },
        { bottomRight, QPoint(br.x + br.width, br.y + br.height) },
    };
}

QPoint calibrationCentre(const SheetFormat &format)
{
    return QPoint(format.extentWidth / 2, format.extentHeight / 2);
}

void drawCalibrationSheet(ICanvas &canvas, const SheetFormat &format)
{
    canvas.setPen(CanvasPen { Qt::black, PenStyle::Solid, 2 });
    for (const CalibrationMark &mark : calibrationMarks(format))
        drawCrossHair(canvas, mark.corner);
    const QPoint centre = calibrationCentre(format);
    drawRuler(canvas, centre, true);
    drawRuler(canvas, centre, false);

    canvas.setTransparentBackground();
    canvas.setTextColour(Qt::black);
    canvas.setFont(CanvasFont { QStringLiteral("Arial"), -30, 0, 400, false });
    const QStringList lines {
        tr("Ausrichtung prüfen: Legen Sie diesen Ausdruck auf einen leeren"),
        tr("Bogen und halten Sie beide gegen das Licht. Lesen Sie am"),
        tr("Fadenkreuz des ersten Etiketts ab, wie weit es die Ecke des"),
        tr("Etiketts verfehlt (+ nach rechts und unten), und messen Sie die"),
        tr("Länge der beiden 100-mm-Linien in der Mitte."),
    };
    // Above the upright ruler, beginning where the ruler across begins.
    const int top = centre.y() - CalibrationRulerLength / 2 - 10 * Mm - int(lines.size()) * 5 * Mm;
    for (qsizetype i = 0; i < lines.size(); ++i)
        canvas.text(centre.x() - CalibrationRulerLength / 2, top + int(i) * 5 * Mm, lines[i]);
    canvas.text(centre.x() + CalibrationRulerLength / 2 + 2 * Mm, centre.y() - 2 * Mm, tr("100 mm"));
}

QString calibrationProblem(const SheetFormat &format)
{
    if (format.positionCount() < 1)
        return tr("Das Format hat keine Etiketten; es gibt keine Ecken auszurichten.");
    LayoutRequest request;
    request.lastPosition = 1;
    request.unitsPerCm = CalibrationUnitsPerCm;
    return unprintableReason(request, format);
}

namespace {

// The sheet as a print job: one page, drawn from the sheet's corner at one
// logical unit to the tenth of a millimetre, without correction.
PrintOutcome printSheet(const SheetFormat &format, IPrinterDevice &printer, IPrintProgress &progress,
    IWaiter &waiter, const QString &name)
{
    PrintJob job;
    job.format = format;
    job.sheetUnitsPerCm = CalibrationUnitsPerCm;
    job.sheetDrawing = [&format](ICanvas &canvas) { drawCalibrationSheet(canvas, format); };
    job.deviceName = name;
    job.toFile = dynamic_cast<const PdfPrinter *>(&printer) != nullptr;
    PacedPrintProgress paced(progress, waiter);
    return printLabels(job, printer, paced);
}

} // namespace

LayoutResult printCalibrationSheet(
    const SheetFormat &format, IPrinterDevice &printer, IPrintProgress &progress, IWaiter &waiter)
{
    if (!calibrationProblem(format).isEmpty())
        return LayoutResult::Refused;
    switch (printSheet(format, printer, progress, waiter, QString()).result) {
    case PrintOutcome::Result::Printed:
        return LayoutResult::Printed;
    case PrintOutcome::Result::Cancelled:
        return LayoutResult::Cancelled;
    case PrintOutcome::Result::DeviceFailed:
        return LayoutResult::DeviceFailed;
    case PrintOutcome::Result::EndFailed:
        return LayoutResult::EndFailed;
    case PrintOutcome::Result::Refused:
    case PrintOutcome::Result::Changed:
        break;
    }
    return LayoutResult::Refused;
}

QString printCalibrationSheetOn(
    const SheetFormat &format, IPrinterDevice &printer, const QString &name, IWaiter &waiter)
{
    if (const QString problem = calibrationProblem(format); !problem.isEmpty())
        return problem;
    NullPrintProgress progress;
    const PrintOutcome outcome = printSheet(format, printer, progress, waiter, name);
    return outcome.printed() ? QString() : outcome.message;
}

} // namespace qm
