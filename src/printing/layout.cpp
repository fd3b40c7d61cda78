#include "layout.h"

#include "platform/services.h"
#include "printing/pdfprinter.h"

#include <QCoreApplication>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// trunc(tenths * 0.01 * U), in integers so that no rounding lands one below.
int toLogical(int tenths, int unitsPerCm)
{
    return static_cast<int>((static_cast<qint64>(tenths) * unitsPerCm) / 100);
}

bool outsideSheet(qint64 length)
{
    return length < 0 || length > MaxSheetLength;
}

// "210" or "215,9" from tenths of a millimetre.
QString millimetres(int tenths)
{
    return tenths % 10 == 0 ? QString::number(tenths / 10)
                            : QStringLiteral("%1,%2").arg(tenths / 10).arg(tenths % 10);
}

// Whether the interval from `from` to `from + length` (tenths of a
// millimetre) lies within 0 .. page once corrected by offset + scale · p.
bool correctedWithin(qint64 from, qint64 length, int offset, int scale, int page)
{
    const qint64 low = qint64(offset) * 1000 + qint64(scale) * from;
    const qint64 high = qint64(offset) * 1000 + qint64(scale) * (from + length);
    return low >= 0 && high <= qint64(page) * 1000;
}

// The first label of the run that the correction moves off the page while
// it lies on the page without it, with the side it leaves by; 0 when none.
struct OffPage
{
    int label = 0;
    bool across = false; // off the left or right edge, else the top or bottom one
};

OffPage labelMovedOffThePage(const LayoutRequest &request, const SheetFormat &format)
{
    const PrinterCorrection &c = request.correction;
    const int perSheet = format.positionCount();
    if (c.isNone() || perSheet < 1 || request.lastPosition < request.startPosition)
        return {};
    const QSize page = sheetPage(format);
    const PrinterCorrection none;
    // The positions the run prints on: all of them once it fills a sheet.
    const qint64 last = qMin<qint64>(request.lastPosition, qint64(request.startPosition) + perSheet - 1);
    for (qint64 n = request.startPosition; n <= last; ++n) {
        const int position = int((n - 1) % perSheet) + 1;
        int x = 0, y = 0, width = 0, height = 0;
        HolePosition(format, position, request.offsetX, request.offsetY, x, y, width, height);
        const bool across = correctedWithin(x, width, none.offsetX, none.scaleX, page.width());
        const bool down = correctedWithin(y, height, none.offsetY, none.scaleY, page.height());
        if (across && !correctedWithin(x, width, c.offsetX, c.scaleX, page.width()))
            return { position, true };
        if (down && !correctedWithin(y, height, c.offsetY, c.scaleY, page.height()))
            return { position, false };
    }
    return {};
}

} // namespace

QSize sheetPage(const SheetFormat &format)
{
    return PdfPrinter::pageFor({ kSheetPaperCode, format.extentHeight, format.extentWidth + kSheetPaperExtraWidth });
}

QString startPositionMessage(qint64 start)
{
    return tr("Die Startposition %1 liegt nicht zwischen 1 und %2.").arg(start).arg(MaxStartPosition);
}

QString startBeyondSheetMessage(qint64 start, int labelsOnSheet)
{
    return tr("Die Startposition %1 liegt hinter dem letzten Etikett des Bogens: das Format hat %2 "
              "Etiketten.")
        .arg(start)
        .arg(labelsOnSheet);
}

QString tooManyLabelsMessage(qint64 labels, qint64 maxLabels)
{
    return tr("Ein Druckauftrag kann höchstens %1 Etiketten enthalten, dieser hätte %2.")
        .arg(maxLabels)
        .arg(labels);
}

QString unprintableReason(const LayoutRequest &request, const SheetFormat &format)
{
    if (request.unitsPerCm < 1 || request.unitsPerCm > MaxPrintScale)
        return tr("Der Druckmaßstab %1 der Etikettendatei liegt nicht zwischen 1 und %2. Es wurde nichts "
                  "gedruckt.")
            .arg(request.unitsPerCm)
            .arg(MaxPrintScale);
    if (request.startPosition < 1 || request.startPosition > MaxStartPosition)
        return startPositionMessage(request.startPosition);
    if (format.positionCount() > 0 && request.startPosition > format.positionCount())
        return startBeyondSheetMessage(request.startPosition, format.positionCount());
    const qint64 labels = qint64(request.lastPosition) - request.startPosition + 1;
    if (labels > MaxLabelsPerRun)
        return tooManyLabelsMessage(labels, MaxLabelsPerRun);
    for (const double offset : { request.offsetX, request.offsetY }) {
        if (!(offset >= -MaxOffset && offset <= MaxOffset))
            return tr("Der Versatz %1 liegt nicht zwischen -%2 und %2 Zehntelmillimetern.")
                .arg(offset)
                .arg(MaxOffset);
    }
    if (const QString problem = correctionProblem(request.correction); !problem.isEmpty())
        return problem;
    if (outsideSheet(format.extentWidth) || outsideSheet(format.extentHeight))
        return tr("Die Bogengröße %1 x %2 der Formatdatei liegt nicht zwischen 0 und %3 "
                  "Zehntelmillimetern.")
            .arg(format.extentWidth)
            .arg(format.extentHeight)
            .arg(MaxSheetLength);
    for (int i = 0; i < format.positionCount(); ++i) {
        const LabelPosition &p = format.positions[static_cast<size_t>(i)];
        if (outsideSheet(p.x) || outsideSheet(p.y) || outsideSheet(p.width) || outsideSheet(p.height))
            return tr("Etikett %1 der Formatdatei (%2, %3, %4 x %5) liegt nicht auf einem Bogen bis "
                      "%6 Zehntelmillimeter.")
                .arg(i + 1)
                .arg(p.x)
                .arg(p.y)
                .arg(p.width)
                .arg(p.height)
                .arg(MaxSheetLength);
    }
    if (const OffPage off = labelMovedOffThePage(request, format); off.label > 0) {
        const QSize page = sheetPage(format);
        const QString whose = request.correctionName.isEmpty()
            ? tr("Mit der Druckerkorrektur")
            : tr("Mit der Korrektur für %1").arg(request.correctionName);
        return tr("%1 (%2) fiele Etikett %3 des Bogens %4 über den Rand der Seite (%5 x %6 mm). Es wurde "
                  "nichts gedruckt. Prüfen Sie die Ausrichtung des Druckers und speichern Sie eine passende "
                  "Korrektur.")
            .arg(whose, correctionText(request.correction), QString::number(off.label),
                off.across ? tr("links oder rechts") : tr("oben oder unten"), millimetres(page.width()),
                millimetres(page.height()));
    }
    return {};
}

LayoutResult Ausdrucken(const LayoutRequest &request, const SheetFormat &format, IPrinterDevice &printer,
    IPrintProgress &progress, IWaiter &waiter, const LabelDrawer &drawLabel)
{
    return Ausdrucken(request, format, printer, progress, waiter,
        PlacedLabelDrawer([&drawLabel](ICanvas &canvas, const LabelPlace &place, int row, bool frame) {
            drawLabel(canvas, place.x, place.y, row, frame);
        }));
}

PacedPrintProgress::PacedPrintProgress(IPrintProgress &inner, IWaiter &waiter)
    : m_inner(inner)
    , m_waiter(waiter)
{ }

void PacedPrintProgress::reached(LayoutStep step)
{
    m_inner.reached(step);
    switch (step) {
    case LayoutStep::PrinterOpened:
    case LayoutStep::DocumentBegun:
    case LayoutStep::Closing:
        m_waiter.wait(200);
        break;
    case LayoutStep::Position:
        m_waiter.wait(100);
        break;
    case LayoutStep::SheetEnded:
        m_waiter.wait(100);
        m_waiter.wait(100);
        break;
    }
}

LayoutResult Ausdrucken(const LayoutRequest &request, const SheetFormat &format, IPrinterDevice &printer,
    IPrintProgress &progress, IWaiter &waiter, const PlacedLabelDrawer &drawLabel)
{
    PacedPrintProgress paced(progress, waiter);
    return Ausdrucken(request, format, printer, paced, drawLabel);
}

LayoutResult Ausdrucken(const LayoutRequest &request, const SheetFormat &format, IPrinterDevice &printer,
    IPrintProgress &progress, const PlacedLabelDrawer &drawLabel)
{
    const int last = request.lastPosition;
    if (last < 1 || !unprintableReason(request, format).isEmpty())
        return LayoutResult::Refused;

    // Texts are formatted only when someone watches them.
    const bool watched = progress.watched();
    const auto actionText = [&](const char *text) {
        if (watched)
            progress.setActionText(tr(text));
    };
    const auto pageText = [&](int page) {
        if (watched)
            progress.setPageText(tr("Seite %1").arg(page));
    };

    progress.setProgressStep(100 / last);
    progress.setProgressTotal(last);
    int page = 1;
    int onSheet = 1;
    int x = 0;
    int y = 0;
    const int perSheet = format.positionCount();

    actionText("Öffne Drucker ...");
    const bool opened = printer.DruckerOeffnen();
    printer.setOriginOffset(request.correction.offsetX, request.correction.offsetY);
    const IPrinterDevice::Paper saved = printer.PapierformatHolen();
    printer.PapierformatSetzen(
        { kSheetPaperCode, format.extentHeight, format.extentWidth + kSheetPaperExtraWidth });
    progress.reached(LayoutStep::PrinterOpened);

    actionText("Neue Seite ...");
    pageText(page);
    const bool begun = printer.DokumentBeginnen(QStringLiteral("Quillmark 32"));
    progress.reached(LayoutStep::DocumentBegun);

    LayoutResult result = opened && begun ? LayoutResult::Printed : LayoutResult::DeviceFailed;
    // Sheets filled (or skipped) but not yet fed: a page is begun only when a
    // label is about to be drawn on it, so a run that fills its last sheet
    // does not make the printer pull an empty one.
    int pendingPages = 0;
    // Pages before the first one drawn are walked, not fed.
    bool fedOne = false;
    try {
        for (int n = 1; n <= last; ++n) {
            if (watched)
                progress.setLabelText(tr("Etikett %1").arg(n));
            actionText("Übergebe Daten an Drucker ...");
            const bool drawn = n >= request.startPosition && page >= request.firstPage && page <= request.lastPage;
            int width = 0;
            int height = 0;
            HolePosition(format, onSheet, request.offsetX, request.offsetY, x, y, width, height);
            const int logicalX = toLogical(x, request.unitsPerCm);
            const int logicalY = toLogical(y, request.unitsPerCm);
            if (drawn) {
                if (!fedOne && request.firstPage > 1)
                    pendingPages = 0;
                fedOne = true;
                for (; pendingPages > 0; --pendingPages) {
                    printer.endPage();
                    printer.beginPage();
                }
                // Set on the page the label goes on.
                printer.MassstabSetzen(
                    request.unitsPerCm, request.correction.scaleX / 1000.0, request.correction.scaleY / 1000.0);
            } else if (n < request.startPosition) {
                printer.MassstabSetzen(
                    request.unitsPerCm, request.correction.scaleX / 1000.0, request.correction.scaleY / 1000.0);
            }
            progress.reached(LayoutStep::Position);
            if (drawn) {
                if (ICanvas *canvas = printer.canvas()) {
                    const LabelPlace place { logicalX, logicalY, toLogical(width, request.unitsPerCm),
                        toLogical(height, request.unitsPerCm) };
                    drawLabel(*canvas, place, n - request.startPosition + 1, request.frame);
                }
            }
            if (onSheet == perSheet) {
                ++page;
                actionText("Neue Seite ...");
                pageText(page);
                ++pendingPages;
                progress.reached(LayoutStep::SheetEnded);
                onSheet = 0;
            }
            progress.stepProgress();
            ++onSheet;
            if (page > request.lastPage)
                break;
            if (progress.cancelRequested() && n < last) {
                result = LayoutResult::Cancelled;
                break;
            }
        }
    } catch (...) {
        printer.abortDocument();
        printer.DruckerSchliessen();
        printer.PapierformatSetzen(saved);
        throw;
    }

    actionText("Schließe Drucker ...");
    progress.reached(LayoutStep::Closing);
    const bool ended = printer.DokumentBeenden();
    if (result == LayoutResult::Printed && !ended)
        result = LayoutResult::EndFailed;
    printer.DruckerSchliessen();
    printer.PapierformatSetzen(saved);
    return result;
}

} // namespace qm
