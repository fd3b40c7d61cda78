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

} // namespace

LayoutResult Ausdrucken(const LayoutRequest &request, const SheetFormat &format, IPrinterDevice &printer,
    IPrintProgress &progress, IWaiter &waiter, const LabelDrawer &drawLabel)
{
    const int last = request.lastPosition;
    if (last < 1 || request.unitsPerCm < 1)
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
    int page = 1;
    int onSheet = 1;
    int x = 0;
    int y = 0;
    const int perSheet = format.positionCount();

    actionText("Öffne Drucker ...");
    const bool opened = printer.DruckerOeffnen();
    const IPrinterDevice::Paper saved = printer.PapierformatHolen();
    printer.PapierformatSetzen({ 256, format.extentHeight, format.extentWidth + 250 });
    waiter.wait(200);

    actionText("Neue Seite ...");
    pageText(page);
    const bool begun = printer.DokumentBeginnen(QStringLiteral("Quillmark 32"));
    waiter.wait(200);

    LayoutResult result = opened && begun ? LayoutResult::Printed : LayoutResult::DeviceFailed;
    for (int n = 1; n <= last; ++n) {
        if (watched)
            progress.setLabelText(tr("Etikett %1").arg(n));
        actionText("Übergebe Daten an Drucker ...");
        int width = 0;
        int height = 0;
        HolePosition(format, onSheet, request.offsetX, request.offsetY, x, y, width, height);
        const int logicalX = toLogical(x, request.unitsPerCm);
        const int logicalY = toLogical(y, request.unitsPerCm);
        printer.MassstabSetzen(request.unitsPerCm, 1.0, 1.0);
        waiter.wait(100);
        if (n >= request.startPosition) {
            if (ICanvas *canvas = printer.canvas())
                drawLabel(*canvas, logicalX, logicalY, n - request.startPosition + 1, request.frame);
        }
        if (onSheet == perSheet) {
            ++page;
            actionText("Neue Seite ...");
            pageText(page);
            printer.endPage();
            waiter.wait(100);
            printer.beginPage();
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
    printer.DokumentBeenden();
    printer.DruckerSchliessen();
    printer.PapierformatSetzen(saved);
    return result;
}

} // namespace qm
