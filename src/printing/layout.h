#pragma once

#include "formats/sheetformat.h"
#include "printing/printercorrection.h"

#include <QSize>
#include <QString>

#include <functional>
#include <limits>

namespace qm {

class ICanvas;
class IWaiter;

// The printer as the sheet layout needs it: one document per run, pages, and
// a mapping of `unitsPerCm` logical units to one centimetre on paper.
class IPrinterDevice
{
public:
    virtual ~IPrinterDevice() = default;

    struct Paper
    {
        int code = 0;
        int length = 0; // tenths of a millimetre
        int width = 0;
    };

    virtual bool DruckerOeffnen() = 0;
    virtual void DruckerSchliessen() = 0;
    virtual Paper PapierformatHolen() = 0;
    virtual void PapierformatSetzen(const Paper &paper) = 0;
    virtual bool DokumentBeginnen(const QString &documentName) = 0;
    virtual bool DokumentBeenden() = 0;
    virtual bool MassstabSetzen(int unitsPerCm, double scaleX, double scaleY) = 0;
    // Where logical (0, 0) lies on paper for the mappings set from now on:
    // this many tenths of a millimetre right of and below the top-left
    // corner of the printable area (0, 0 until set). A device that draws
    // nothing may ignore it.
    virtual void setOriginOffset(int tenthsX, int tenthsY)
    {
        (void)tenthsX;
        (void)tenthsY;
    }
    // Gives the open document up instead of ending it: nothing of it is
    // printed or written (a PDF file stays as it was, a printer's job is
    // withdrawn). A device that cannot take anything back may do nothing.
    virtual void abortDocument() { }
    // Ends the current page and begins the next one.
    virtual void endPage() = 0;
    virtual void beginPage() = 0;
    // The canvas of the open document; nullptr when there is none.
    virtual ICanvas *canvas() = 0;
};

// The steps of a run's layout that a progress may pace (see
// PacedPrintProgress): the printer opened and its paper set, the document
// begun, one sheet position walked, a sheet ended, the document about to be
// closed.
enum class LayoutStep { PrinterOpened, DocumentBegun, Position, SheetEnded, Closing };

// The progress window's panels and bar as the layout fills them.
class IPrintProgress
{
public:
    // The layout has just done `step`. Nothing by default.
    virtual void reached(LayoutStep step) { (void)step; }
    virtual ~IPrintProgress() = default;
    virtual void setLabelText(const QString &text) = 0;
    virtual void setPageText(const QString &text) = 0;
    virtual void setActionText(const QString &text) = 0;
    virtual void setProgressStep(int step) = 0;
    // The number of labels the run goes through, told after the step: a
    // bar that knows it shows the share of labels done instead of adding
    // steps (which are 0 for runs of more than 100 labels).
    virtual void setProgressTotal(int labels) { (void)labels; }
    virtual void stepProgress() = 0;
    // True when the user asked to stop; the run ends after the current label.
    virtual bool cancelRequested() const { return false; }
    // False when nobody sees the texts: the run then leaves the three text
    // setters alone instead of formatting a text per label. The progress
    // steps and the cancel request are used either way.
    virtual bool watched() const { return true; }
};

// Progress that nobody watches (the command line, tests).
class NullPrintProgress : public IPrintProgress
{
public:
    void setLabelText(const QString &) override { }
    void setPageText(const QString &) override { }
    void setActionText(const QString &) override { }
    void setProgressStep(int) override { }
    void stepProgress() override { }
    bool watched() const override { return false; }
};

// A progress that waits fixed times after the layout's steps, as the
// windows' print run does by default (the printers of old needed the pauses;
// "Ohne Wartezeiten drucken" leaves them out): 200 ms after the printer is
// opened, after the document is begun and before it is closed, 100 ms after
// every position and 200 ms after every sheet. Everything else goes to
// `inner`.
class PacedPrintProgress : public IPrintProgress
{
public:
    PacedPrintProgress(IPrintProgress &inner, IWaiter &waiter);
    void reached(LayoutStep step) override;
    void setLabelText(const QString &text) override { m_inner.setLabelText(text); }
    void setPageText(const QString &text) override { m_inner.setPageText(text); }
    void setActionText(const QString &text) override { m_inner.setActionText(text); }
    void setProgressStep(int step) override { m_inner.setProgressStep(step); }
    void setProgressTotal(int labels) override { m_inner.setProgressTotal(labels); }
    void stepProgress() override { m_inner.stepProgress(); }
    bool cancelRequested() const override { return m_inner.cancelRequested(); }
    bool watched() const override { return m_inner.watched(); }

private:
    IPrintProgress &m_inner;
    IWaiter &m_waiter;
};

// Draws one label: canvas, label origin in logical units, label-list row,
// frame flag.
using LabelDrawer = std::function<void(ICanvas &, int x, int y, int row, bool frame)>;

// Where a label is drawn: its origin and the size of the sheet's label
// there, in logical units.
struct LabelPlace
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
// Draws one label as LabelDrawer does, told the sheet's label it goes on.
using PlacedLabelDrawer = std::function<void(ICanvas &, const LabelPlace &place, int row, bool frame)>;

// The paper a run asks the printer for: user-defined (code 256), as long as
// the sheet extent and this much wider (tenths of a millimetre).
constexpr int kSheetPaperCode = 256;
constexpr int kSheetPaperExtraWidth = 250;

// What a run may ask for. A sheet up to DIN A4 (210 x 297 mm, either way
// round) needs no length beyond MaxSheetLength tenths of a millimetre; the
// input expert's offsets lie within MaxOffset; a start position beyond
// MaxStartPosition would only feed blank sheets; MaxCopiesPerRecord keeps a
// typing slip from printing a record without end. Every run makes each label
// only when it draws it and holds no list; MaxLabelsPerRun, the one limit of
// every run, keeps its positions and page numbers (start + labels - 1) well
// inside an int.
inline constexpr int MaxSheetLength = 3000;
inline constexpr int MaxOffset = 250;
inline constexpr int MaxPrintScale = 1000;
inline constexpr int MaxStartPosition = MaxLabelPositions;
inline constexpr int MaxLabelsPerRun = 1000000000;
inline constexpr int MaxCopiesPerRecord = 10000;

struct LayoutRequest
{
    int startPosition = 1; // S
    int lastPosition = 0; // T = S + number of labels - 1
    double offsetX = 0; // tenths of a millimetre
    double offsetY = 0;
    bool frame = false;
    int unitsPerCm = 25; // the design's print scale
    // The calibration of the printer the run goes to: moves logical (0, 0)
    // and scales the mapping, so it moves and scales everything drawn, the
    // offsets above included.
    PrinterCorrection correction;
    // Whose correction it is ("PDF" for PDF files), for the messages.
    QString correctionName;
    // The pages (sheets, from 1) whose labels are drawn: the positions of
    // the others are walked without drawing and without feeding a page (the
    // preview draws the page it shows). All by default.
    int firstPage = 1;
    int lastPage = std::numeric_limits<int>::max();
};

// Why a run cannot be printed: a print scale outside 1 .. MaxPrintScale, a
// start position outside 1 .. MaxStartPosition, more labels than the request
// allows (MaxLabelsPerRun), an offset
// beyond MaxOffset, a printer correction out of range, a sheet extent or a label position outside what a
// sheet up to DIN A4 can use, a correction that would move a label of the run off its page (one that lies
// on the page without it). Empty when the run can be printed (or has nothing to print: that is for the
// caller to say).
QString unprintableReason(const LayoutRequest &request, const SheetFormat &format);

// The page a sheet is printed on, in tenths of a millimetre: DIN A4 portrait
// when the sheet's extent fits on it, else the extent (as the PDF file gets
// it). A label whose corrected rectangle leaves it falls off the page.
QSize sheetPage(const SheetFormat &format);

// The message for a run of more labels than it may print.
QString tooManyLabelsMessage(qint64 labels, qint64 maxLabels);

// The message for a start position outside 1 .. MaxStartPosition.
QString startPositionMessage(qint64 start);
// A start position beyond the sheet's last label: the run would feed an
// empty sheet before its first label.
QString startBeyondSheetMessage(qint64 start, int labelsOnSheet);

enum class LayoutResult {
    Printed,
    Cancelled,
    // Nothing to print (T below 1), or a run that unprintableReason refuses.
    Refused,
    // The printer did not open or did not begin the document: every position
    // was walked and nothing drawn.
    DeviceFailed,
    // Everything was drawn, but the document could not be ended (a PDF file
    // that could not be written): nothing was printed.
    EndFailed,
};

// Walks the label positions of the sheet format sheet by sheet from position
// 1 to T, leaving the positions before S empty, and draws label n - S + 1 at
// position n. After the last position of a sheet the next page begins just
// before the next label is drawn, so a run that fills its last sheet ends
// with that sheet; the progress texts and waits of the page break stay where
// the sheet ends. A format without positions puts every label at (0, 0) on the
// first page. The printer's paper is set to the sheet (as long as its extent,
// 25 mm wider) for the run and restored afterwards; a printer that cannot be
// opened makes the run walk all positions and draw nothing, and the result
// says so, so that the caller can tell the user instead of reporting success.
//
// The progress is told each step of the layout (IPrintProgress::reached);
// the overloads with a waiter pace the run through PacedPrintProgress. A
// drawing that throws gives the document up (abortDocument()), closes the
// printer, restores its paper and passes the exception on.
//
// A run with T below 1, or one that unprintableReason refuses, is refused
// before the printer is touched: there is nothing sensible to print, the
// progress step would divide by zero, or the numbers would not fit a sheet.
// A document that cannot be ended gives EndFailed.
LayoutResult Ausdrucken(const LayoutRequest &request, const SheetFormat &format, IPrinterDevice &printer,
    IPrintProgress &progress, IWaiter &waiter, const LabelDrawer &drawLabel);
// The same, the drawing told the size of each sheet label (a format
// without positions: 0 x 0).
LayoutResult Ausdrucken(const LayoutRequest &request, const SheetFormat &format, IPrinterDevice &printer,
    IPrintProgress &progress, IWaiter &waiter, const PlacedLabelDrawer &drawLabel);
// The same without waits of its own.
LayoutResult Ausdrucken(const LayoutRequest &request, const SheetFormat &format, IPrinterDevice &printer,
    IPrintProgress &progress, const PlacedLabelDrawer &drawLabel);

} // namespace qm
