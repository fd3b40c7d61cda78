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
#include "printing/layout.h"
#include "printing/printjob.h"

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
    qm::StringTable entryGrid;
    qm::FieldGrids grids;
    grids.entryGrid = &entryGrid;
    try {
        qm::readPrintDesignLines(
            qm::splitCp1252Lines(designBytes), QStringLiteral("fuzz.eti"), design, grids);
        qm::readSheetFormatLines(qm::splitCp1252Lines(formatBytes), QStringLiteral("fuzz.vrl"), format);
        qm::CsvRecordStream records(
            qm::CsvRecordReader(qm::csvFieldsOf(entryGrid, design.fieldCount)), csvBytes);

        NoMessages messages;
        qm::PrintJob job;
        job.design = &design;
        job.format = format;
        job.records = &records;
        job.startPosition = qm::lenientToInt(options.value(0));
        job.offsetX = qm::lenientToInt(options.value(1));
        job.offsetY = qm::lenientToInt(options.value(2));
        job.frame = qm::lenientToInt(options.value(3)) != 0;
        job.serialInCopies = qm::lenientToInt(options.value(4)) == 0;
        job.dateText = QStringLiteral("10.12.26");
        job.messages = &messages;
        // The check throws what stops the run; a run it lets through is
        // printed as checked.
        qm::LabelRun run(job);
        if (run.labels() > 300)
            return 0; // long runs repeat what short ones do
        FuzzPrinter printer;
        qm::NullPrintProgress progress;
        const qm::PrintOutcome outcome = run.print(printer, progress);
        // The records did not change, the printer takes everything.
        if (!outcome.printed() || outcome.labels != run.labels())
            abort();
        // A page range draws as much as it is given.
        if (run.pageCount() > 1) {
            FuzzPrinter page;
            if (!run.printPages(page, progress, 2, 2).printed())
                abort();
        }
    } catch (const qm::Error &) { }
    return 0;
}
