#include "layout.h"

#include "platform/services.h"

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

} // namespace

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
    const int maxLabels = qBound(0, request.maxLabels, MaxStreamedLabelsPerRun);
    if (labels > maxLabels)
        return tooManyLabelsMessage(labels, maxLabels);
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

LayoutResult Ausdrucken(const LayoutRequest &request, const SheetFormat &format, IPrinterDevice &printer,
    IPrintProgress &progress, IWaiter &waiter, const PlacedLabelDrawer &drawLabel)
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
    waiter.wait(200);

    actionText("Neue Seite ...");
    pageText(page);
    const bool begun = printer.DokumentBeginnen(QStringLiteral("Quillmark 32"));
    waiter.wait(200);

    LayoutResult result = opened && begun ? LayoutResult::Printed : LayoutResult::DeviceFailed;
    // Sheets filled (or skipped) but not yet fed: a page is begun only when a
    // label is about to be drawn on it, so a run that fills its last sheet
    // does not make the printer pull an empty one.
    int pendingPages = 0;
    for (int n = 1; n <= last; ++n) {
        if (watched)
            progress.setLabelText(tr("Etikett %1").arg(n));
        actionText("Übergebe Daten an Drucker ...");
        int width = 0;
        int height = 0;
        HolePosition(format, onSheet, request.offsetX, request.offsetY, x, y, width, height);
        const int logicalX = toLogical(x, request.unitsPerCm);
        const int logicalY = toLogical(y, request.unitsPerCm);
        if (n >= request.startPosition) {
            for (; pendingPages > 0; --pendingPages) {
                printer.endPage();
                printer.beginPage();
            }
        }
        // Set on the page the label goes on.
        printer.MassstabSetzen(
            request.unitsPerCm, request.correction.scaleX / 1000.0, request.correction.scaleY / 1000.0);
        waiter.wait(100);
        if (n >= request.startPosition) {
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
            waiter.wait(100);
            ++pendingPages;
            waiter.wait(100);
            onSheet = 0;
        }
        progress.stepProgress();
        ++onSheet;
        if (progress.cancelRequested() && n < last) {
            result = LayoutResult::Cancelled;
            break;
        }
    }

    actionText("Schließe Drucker ...");
    waiter.wait(200);
    const bool ended = printer.DokumentBeenden();
    if (result == LayoutResult::Printed && !ended)
        result = LayoutResult::EndFailed;
    printer.DruckerSchliessen();
    printer.PapierformatSetzen(saved);
    return result;
}

} // namespace qm
