#pragma once

#include "printing/layout.h"
#include "printing/printjob.h"

#include <QPoint>

#include <QImage>
#include <QList>
#include <QSize>

#include <algorithm>
#include <limits>
#include <memory>

class QPainter;

namespace qm {

class QPainterCanvas;

// A printer whose pages are images: the print preview. Each page is the
// paper the PDF printer would give it (DIN A4 when the sheet fits on it,
// else the sheet's extent), white, at the given resolution, with the
// sheet's corner at the image's corner. The layout and the drawing of the
// labels are the ones of every print, so the preview shows exactly what the
// PDF file or the printer gets.
//
// Fonts are made at the size of the device they are drawn on, so at a
// screen's resolution text would come out a little narrower or wider than
// on paper. The pages are therefore drawn at `oversampling` times the
// resolution and scaled down; a pixel's darkness is raised (squared), so
// that hair lines of one fine dot stay visible.
class ImagePrinter : public IPrinterDevice
{
public:
    explicit ImagePrinter(int dotsPerInch, int oversampling = 3);
    ~ImagePrinter() override;

    bool DruckerOeffnen() override;
    void DruckerSchliessen() override;
    Paper PapierformatHolen() override;
    void PapierformatSetzen(const Paper &paper) override;
    bool DokumentBeginnen(const QString &documentName) override;
    bool DokumentBeenden() override;
    bool MassstabSetzen(int unitsPerCm, double scaleX, double scaleY) override;
    void setOriginOffset(int tenthsX, int tenthsY) override { m_origin = QPoint(tenthsX, tenthsY); }
    void endPage() override;
    void beginPage() override;
    ICanvas *canvas() override;

    // The pages drawn, in order; complete once the document has ended.
    // With keepLastPages(n) only the last n of them.
    const QList<QImage> &pages() const { return m_pages; }
    // Keeps only the last `pages` pages finished (at least 1), so that a
    // device asked for one page of a long document never holds more.
    void keepLastPages(int pages) { m_keep = std::max(1, pages); }
    // Pages finished since the document began, those let go included.
    int pagesFinished() const { return m_finished; }

    // Pages that would be drawn on more than this many pixels (at the
    // oversampled resolution) are not made.
    static constexpr qint64 kMaxPixels = 32 * 1024 * 1024;

private:
    bool startPage();
    void finishPage();

    int m_dpi;
    int m_oversampling;
    QSize m_pageSize; // of the page as shown
    Paper m_paper { 9, 2970, 2100 };
    bool m_open = false;
    QList<QImage> m_pages;
    int m_keep = std::numeric_limits<int>::max();
    int m_finished = 0;
    QImage m_page;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<QPainterCanvas> m_canvas;
    QPoint m_origin; // tenths of a millimetre
};

// The sheets of a run as images at `dotsPerInch`, page by page: the same
// layout (start position, frame, offsets) and drawing as a print. Empty when
// the layout refuses the run (nothing to print) or a page would be too large.
QList<QImage> renderSheets(
    const LayoutRequest &request, const SheetFormat &format, const LabelDrawer &drawLabel, int dotsPerInch);
// The same, the drawing told the size of each sheet label.
QList<QImage> renderSheets(
    const LayoutRequest &request, const SheetFormat &format, const PlacedLabelDrawer &drawLabel, int dotsPerInch);

// Faint dashed outlines of the sheet's labels (where the format puts them,
// without offsets or correction) on a page drawn at `dotsPerInch`, under
// what is printed: a pixel only ever gets darker.
void drawSheetOutlines(QImage &page, const SheetFormat &format, int dotsPerInch);

// The preview of a print job: its sheets as images at `dotsPerInch`, each
// drawn only when it is asked for, through the same check, layout and
// drawing as the print (LabelRun::printPages), with faint outlines of the
// sheet's labels under what is printed. Only the last few pages asked for
// are kept, so a run of any length needs the memory of a few pages.
class PreviewPages
{
public:
    // Checks the job as a print does (Error, German, for what would stop
    // the print). `ownedRecords`, when given, is the job's record reader
    // and is kept as long as the pages are.
    PreviewPages(const PrintJob &job, int dotsPerInch, std::unique_ptr<IRecordReader> ownedRecords = {});
    ~PreviewPages();

    int pageCount() const;
    int dotsPerInch() const;
    // Page `index` (from 0): drawn alone (the labels before it read, not
    // drawn) unless it is held. Throws Error (German) when it cannot be
    // drawn, as the print would end with it: records changed since the
    // check, a page too large to show. A null image outside 0 ..
    // pageCount() - 1.
    QImage page(int index);
    // Pages held in memory now: at most HeldPages, the last asked for.
    int pagesHeld() const;
    static constexpr int HeldPages = 3;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace qm
