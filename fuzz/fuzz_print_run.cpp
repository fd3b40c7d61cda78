// A whole print on arbitrary bytes: a design, a sheet format, CSV records and
// a line of options (start, offsets, frame), separated by NUL bytes, go
// through the readers, the expansion (checked against the labels made one by
// one), the checks of a run and the layout to the drawing of every label on
// a recording canvas. Nothing may crash, overrun or overflow; refusals come
// as qm::Error or as a refused run.
#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "formats/sheetformat.h"
#include "platform/canvas/recordingcanvas.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/services.h"
#include "platform/stringtable.h"
#include "platform/textfile.h"
#include "data/csvrecords.h"
#include "printing/expansion.h"
#include "printing/labelsource.h"
#include "printing/layout.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// A printer that draws onto a recording canvas and forgets each page.
class FuzzPrinter : public qm::IPrinterDevice
{
public:
    qm::RecordingCanvas canvas_;
    Paper paper { 9, 2970, 2100 };
    bool DruckerOeffnen() override { return true; }
    void DruckerSchliessen() override { }
    Paper PapierformatHolen() override { return paper; }
    void PapierformatSetzen(const Paper &p) override { paper = p; }
    bool DokumentBeginnen(const QString &) override { return true; }
    bool DokumentBeenden() override { return true; }
    bool MassstabSetzen(int, double, double) override { return true; }
    void endPage() override { canvas_.clear(); }
    void beginPage() override { }
    qm::ICanvas *canvas() override { return &canvas_; }
};

class NoWait : public qm::IWaiter
{
public:
    void wait(int) override { }
};

class NoMessages : public qm::IMessages
{
public:
    qm::MessageButton show(qm::MessageKind, const QString &, qm::MessageButtons, const QString &) override
    {
        return qm::MessageButton::Ok;
    }
};

// The part before the next NUL byte; the rest after it.
QByteArray nextPart(QByteArrayView &rest)
{
    const qsizetype end = rest.indexOf('\0');
    const QByteArray part = (end < 0 ? rest : rest.first(end)).toByteArray();
    rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
    return part;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArrayView rest(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QByteArray designBytes = nextPart(rest);
    const QByteArray formatBytes = nextPart(rest);
    const QByteArray csvBytes = nextPart(rest);
    const QStringList options = QString::fromLatin1(nextPart(rest)).split(QLatin1Char(','));

    qm::PrintDesign design;
    qm::SheetFormat format;
    qm::StringTable labelList, entryGrid;
    qm::FieldGrids grids;
    grids.labelList = &labelList;
    grids.entryGrid = &entryGrid;
    try {
        qm::readPrintDesignLines(
            qm::splitCp1252Lines(designBytes), QStringLiteral("fuzz.eti"), design, grids);
        qm::readSheetFormatLines(qm::splitCp1252Lines(formatBytes), QStringLiteral("fuzz.vrl"), format);
        qm::CsvRecordStream records(
            qm::CsvRecordReader(qm::csvFieldsOf(entryGrid, design.fieldCount)), csvBytes);
        entryGrid.setColCount(design.fieldCount + 1);
        QStringList record;
        for (int k = 0; k < 50 && records.next(record); ++k) {
            for (qsizetype c = 0; c < record.size(); ++c)
                entryGrid.setCell(int(c), k + 2, record[c]);
            entryGrid.setRowCount(k + 3);
        }
        const qm::StringTable entered = entryGrid;
        const int labels = qm::expandEntryGrid(entryGrid, labelList, true);

        // The labels made one by one are those of the label list.
        qm::EntryGridRecords again(entered);
        qm::LabelSource source(again, qm::columnTitles(entered), true);
        QStringList values;
        for (int row = 1; row <= labels; ++row) {
            if (!source.next(values))
                abort();
            for (int c = 1; c < values.size(); ++c) {
                if (values[c] != labelList.cell(c, row))
                    abort();
            }
        }
        if (source.next(values))
            abort();

        qm::LayoutRequest request;
        request.startPosition = qm::lenientToInt(options.value(0));
        request.offsetX = qm::lenientToInt(options.value(1));
        request.offsetY = qm::lenientToInt(options.value(2));
        request.frame = qm::lenientToInt(options.value(3)) != 0;
        request.unitsPerCm = design.printScale;
        // A run is refused as the callers refuse it; the layout must refuse
        // the same run on its own as well.
        const bool printable = qm::unprintableReason(request, format).isEmpty();
        if (printable && labels > 300)
            return 0; // long runs repeat what short ones do
        request.lastPosition
            = printable ? request.startPosition + labels - 1 : qm::lenientToInt(options.value(4));

        FuzzPrinter printer;
        qm::NullPrintProgress progress;
        NoWait waiter;
        NoMessages messages;
        qm::Ausdrucken(request, format, printer, progress, waiter,
            [&](qm::ICanvas &canvas, int x, int y, int row, bool frame) {
                qm::EtikettZeichnen(
                    canvas, design, labelList, x, y, row, frame, messages, QStringLiteral("10.12.26"));
            });
    } catch (const qm::Error &) { }
    return 0;
}
