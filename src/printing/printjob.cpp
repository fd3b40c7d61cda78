#include "printjob.h"

#include "designs/barcode.h"
#include "designs/barcodelookahead.h"
#include "designs/drawingnotices.h"
#include "designs/rendering.h"
#include "platform/canvas/canvas.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/services.h"
#include "printing/barcodecheck.h"
#include "printing/labelsource.h"
#include "printing/pdfprinter.h"
#include "printing/recorddigests.h"

#include <QCoreApplication>
#include <QHash>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <deque>
#include <limits>
#include <new>
#include <optional>
#include <vector>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// The records of a job without records: one label without values.
class OneEmptyLabel : public IRecordReader
{
public:
    bool next(QStringList &record) override
    {
        if (m_done)
            return false;
        m_done = true;
        record = QStringList { QStringLiteral("1") };
        return true;
    }
    void rewind() override { m_done = false; }

private:
    bool m_done = false;
};

// Messages nobody is shown.
class UnsaidMessages : public IMessages
{
public:
    MessageButton show(MessageKind, const QString &, MessageButtons, const QString &) override
    {
        return MessageButton::Ok;
    }
};

// Thrown inside the layout when the records read differently the second
// time; caught by the run, which gives the document up.
struct RecordsChanged
{
};

// The symbols of a record's barcodes, in the order the design draws them.
using RecordSymbols = std::vector<std::optional<BarcodeSymbol>>;

// About how much memory a symbol takes.
qint64 symbolBytes(const std::optional<BarcodeSymbol> &symbol)
{
    if (!symbol)
        return qint64(sizeof(symbol));
    qint64 bytes = qint64(sizeof(BarcodeSymbol)) + qint64(symbol->bars.size()) * qint64(sizeof(QRectF));
    for (const BarcodeText &t : symbol->texts)
        bytes += qint64(sizeof(BarcodeText)) + 2 * t.text.size();
    return bytes;
}

} // namespace

QString valueTooLongMessage(qint64 record, const QString &field, const QString &value, int size)
{
    return tr("Datensatz %1, Feld %2: %3 hat %4 Zeichen, das Feld fasst höchstens %5.")
        .arg(record)
        .arg(field, quotedValue(value))
        .arg(value.size())
        .arg(size);
}

struct LabelRun::Impl
{
    PrintJob job;
    OneEmptyLabel noRecords;
    IRecordReader *records = nullptr;
    LayoutRequest request;
    qint64 labels = 0;
    qint64 recordCount = 0;
    RecordDigests digests;
    std::vector<BarcodeColumn> barcodes;
    std::vector<PictureColumn> pictures;
    // The check's pictures named by the records: whether each file can be
    // read (each read once, nothing of it kept), and the lines of those
    // that cannot.
    QHash<QString, bool> readablePictures;
    QStringList missingPictures;
    qint64 moreMissingPictures = 0;
    // By record (from 0), as long as they fit KeptSymbolBytes.
    std::vector<RecordSymbols> symbols;
    QStringList titles; // by data column
    std::vector<int> sizes; // by data column: the most characters, 0 for no limit
    std::optional<LabelDrawing> drawing;

    void check();
    void checkRecords();
    void checkPictures(qint64 record, const QStringList &values);
    void checkBarcodes(
        std::vector<QStringList> &batch, qint64 firstRecord, QThreadPool &pool, bool keep, qint64 &keptBytes);
    PrintOutcome run(IPrinterDevice &device, IPrintProgress &progress, int firstPage, int lastPage);
    QString changedMessage() const;
};

QString LabelRun::Impl::changedMessage() const
{
    if (job.recordsName.isEmpty())
        return tr("Die Datensätze haben sich während des Drucks geändert; der Druck wurde abgebrochen.");
    return tr("Die Datei %1 hat sich während des Drucks geändert; der Druck wurde abgebrochen.")
        .arg(job.recordsName);
}

void LabelRun::Impl::check()
{
    request.startPosition = job.startPosition;
    request.offsetX = job.offsetX;
    request.offsetY = job.offsetY;
    request.frame = job.frame;
    request.correction = job.correction;
    request.correctionName = job.correctionName;
    if (job.startPosition < 1 || job.startPosition > MaxStartPosition)
        throw Error(startPositionMessage(job.startPosition));
    if (job.sheetDrawing) {
        request.unitsPerCm = job.sheetUnitsPerCm;
        request.lastPosition = job.startPosition;
        labels = 1;
        if (const QString reason = unprintableReason(request, job.format); !reason.isEmpty())
            throw Error(reason);
        return;
    }
    if (!job.design)
        throw Error(tr("Es gibt kein Etikett zu drucken."));
    const PrintDesign &design = *job.design;
    request.unitsPerCm = design.printScale;
    // Scale, start, offsets and sheet first: a run no sheet can take reads
    // no record.
    request.lastPosition = job.startPosition;
    if (const QString reason = unprintableReason(request, job.format); !reason.isEmpty())
        throw Error(reason);
    if (const QString missing = firstUnreadablePicture(design, job.pictureFolder); !missing.isEmpty())
        throw Error(missing);

    titles = columnTitles(design);
    sizes.assign(size_t(titles.size()), 0);
    for (const DataField &field : design.fields) {
        if (field.column < 1 || field.column >= titles.size()
            || titles[field.column].startsWith(u"Seriennr."))
            continue;
        bool ok = false;
        const int size = field.size.trimmed().toInt(&ok);
        if (ok && size > 0)
            sizes[size_t(field.column)] = size;
    }
    barcodes = barcodeColumns(design);
    pictures = pictureColumns(design);
    records = job.records ? job.records : &noRecords;
    checkRecords();

    if (labels < 1)
        throw Error(tr("Es gibt kein Etikett zu drucken."));
    request.lastPosition
        = int(qMin<qint64>(qint64(job.startPosition) + labels - 1, std::numeric_limits<int>::max()));
    if (const QString reason = unprintableReason(request, job.format); !reason.isEmpty())
        throw Error(reason);
}

void LabelRun::Impl::checkRecords()
{
    records->rewind();
    // Barcodes are laid out in batches of records, each batch on every core.
    constexpr size_t Batch = 2048;
    QThreadPool pool;
    pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
    std::vector<QStringList> batch;
    qint64 batchStart = 1;
    qint64 keptBytes = 0;
    bool keep = job.keptSymbolBytes > 0;

    QStringList record;
    while (records->next(record)) {
        const qint64 number = ++recordCount;
        const int copies = strToInt(record.value(0));
        if (copies > MaxCopiesPerRecord)
            throw Error(tr("Datensatz %1: %2 Kopien sind zu viele, höchstens %3 sind möglich.")
                            .arg(number)
                            .arg(copies)
                            .arg(MaxCopiesPerRecord));
        if (number == 1) {
            // Serial numbers start at the first record's value.
            for (qsizetype c = 1; c < titles.size(); ++c) {
                if (titles[c].startsWith(u"Seriennr.") && !record.value(c).isEmpty())
                    strToInt(record.value(c));
            }
        }
        for (qsizetype c = 1; c < titles.size() && c < record.size(); ++c) {
            const int size = sizes[size_t(c)];
            if (size > 0 && record[c].size() > size)
                throw Error(valueTooLongMessage(number, titles[c], record[c], size));
        }
        if (copies > 0 && !pictures.empty())
            checkPictures(number, record);
        labels += std::max(copies, 0);
        if (labels > MaxLabelsPerRun)
            throw Error(tooManyLabelsMessage(labels, MaxLabelsPerRun));
        digests.add(RecordDigests::of(record));
        if (!barcodes.empty()) {
            batch.push_back(record);
            if (batch.size() == Batch) {
                checkBarcodes(batch, batchStart, pool, keep, keptBytes);
                keep = keptBytes < job.keptSymbolBytes;
                batchStart += qint64(batch.size());
                batch.clear();
            }
        }
    }
    if (!batch.empty())
        checkBarcodes(batch, batchStart, pool, keep, keptBytes);
    digests.finish();
    readablePictures.clear();
    if (!missingPictures.isEmpty())
        throw Error(missingPicturesMessage(missingPictures, moreMissingPictures));
}

void LabelRun::Impl::checkPictures(qint64 record, const QStringList &values)
{
    // Every file that cannot be read is named once, with the first record
    // that names it.
    constexpr qsizetype ListedPictures = 20;
    for (const PictureColumn &column : pictures) {
        const QString value = values.value(column.column);
        const QString path = fieldPicturePath(value, job.pictureFolder);
        if (path.isEmpty())
            continue;
        if (readablePictures.contains(path))
            continue;
        bool readable = true;
        try {
            readBitmapFile(path);
        } catch (const Error &) {
            readable = false;
        }
        readablePictures.insert(path, readable);
        if (readable)
            continue;
        if (missingPictures.size() < ListedPictures)
            missingPictures << missingPictureLine(record, column.name, value.trimmed());
        else
            ++moreMissingPictures;
    }
}

void LabelRun::Impl::checkBarcodes(
    std::vector<QStringList> &batch, qint64 firstRecord, QThreadPool &pool, bool keep, qint64 &keptBytes)
{
    const size_t perRecord = barcodes.size();
    std::vector<RecordSymbols> laidOut(batch.size(), RecordSymbols(perRecord));
    std::vector<char> bad(batch.size() * perRecord, 0);
    const int slices = std::max(1, pool.maxThreadCount() + 1);
    const auto layOut = [&](int slice) {
        for (size_t i = size_t(slice); i < batch.size(); i += size_t(slices)) {
            for (size_t b = 0; b < perRecord; ++b) {
                const QString value = batch[i].value(barcodes[b].column);
                if (value.isEmpty())
                    continue;
                laidOut[i][b] = encodeBarcode(barcodes[b].kind, value);
                bad[i * perRecord + b] = !laidOut[i][b];
            }
        }
    };
    for (int slice = 1; slice < slices; ++slice)
        pool.start([&layOut, slice] { layOut(slice); });
    layOut(0);
    pool.waitForDone();
    const auto first = std::find(bad.begin(), bad.end(), 1);
    if (first != bad.end()) {
        const size_t at = size_t(first - bad.begin());
        const size_t i = at / perRecord;
        const BarcodeColumn &column = barcodes[at % perRecord];
        throw Error(unprintableBarcodeMessage(
            int(qMin<qint64>(firstRecord + qint64(i), std::numeric_limits<int>::max())), column.name,
            batch[i].value(column.column), column.kind));
    }
    if (!keep)
        return;
    for (RecordSymbols &s : laidOut) {
        for (const auto &symbol : s)
            keptBytes += symbolBytes(symbol);
        symbols.push_back(std::move(s));
    }
}

namespace {

// The records of the second reading, each compared with what the check read.
class ComparedRecords : public IRecordReader
{
public:
    ComparedRecords(IRecordReader &records, RecordDigests &digests)
        : m_records(records)
        , m_digests(digests)
    { }
    bool next(QStringList &record) override
    {
        if (!m_records.next(record)) {
            if (!m_digests.matchesEnd(m_read))
                throw RecordsChanged();
            return false;
        }
        if (!m_digests.matches(m_read++, RecordDigests::of(record)))
            throw RecordsChanged();
        return true;
    }
    void rewind() override
    {
        m_records.rewind();
        m_read = 0;
        m_digests.restart();
    }

private:
    IRecordReader &m_records;
    RecordDigests &m_digests;
    qint64 m_read = 0;
};

// The labels of the second reading one after the other, with a few read
// ahead of the one drawn, so that their barcodes can be laid out early.
class LabelPump
{
public:
    LabelPump(IRecordReader &records, const QStringList &titles, bool serialInCopies)
        : m_source(records, titles, serialInCopies)
    { }

    // The next label and the record (from 1) it comes from.
    bool next(QStringList &values, qint64 &record)
    {
        if (!m_ahead.empty()) {
            values = std::move(m_ahead.front().values);
            record = m_ahead.front().record;
            m_ahead.pop_front();
            return true;
        }
        if (!m_source.next(values))
            return false;
        record = m_source.record();
        return true;
    }
    // Reads labels ahead until `count` wait, handing each new one to `read`.
    template <typename Read> void readAhead(size_t count, const Read &read)
    {
        while (m_ahead.size() < count && !m_ended) {
            Label label;
            if (!m_source.next(label.values)) {
                m_ended = true;
                break;
            }
            label.record = m_source.record();
            read(label.values, label.record);
            m_ahead.push_back(std::move(label));
        }
    }

private:
    struct Label
    {
        QStringList values;
        qint64 record = 0;
    };
    LabelSource m_source;
    std::deque<Label> m_ahead;
    bool m_ended = false;
};

// Ends the device's document however the run ends: given up when it did
// not end normally.
PrintOutcome::Result resultOf(LayoutResult result)
{
    switch (result) {
    case LayoutResult::Printed:
        return PrintOutcome::Result::Printed;
    case LayoutResult::Cancelled:
        return PrintOutcome::Result::Cancelled;
    case LayoutResult::Refused:
        return PrintOutcome::Result::Refused;
    case LayoutResult::DeviceFailed:
        return PrintOutcome::Result::DeviceFailed;
    case LayoutResult::EndFailed:
        return PrintOutcome::Result::EndFailed;
    }
    return PrintOutcome::Result::Refused;
}

// Counts the pages the device is given.
class CountedPages : public IPrinterDevice
{
public:
    explicit CountedPages(IPrinterDevice &inner)
        : m_inner(inner)
    { }
    bool DruckerOeffnen() override { return m_inner.DruckerOeffnen(); }
    void DruckerSchliessen() override { m_inner.DruckerSchliessen(); }
    Paper PapierformatHolen() override { return m_inner.PapierformatHolen(); }
    void PapierformatSetzen(const Paper &paper) override { m_inner.PapierformatSetzen(paper); }
    bool DokumentBeginnen(const QString &name) override
    {
        m_begun = m_inner.DokumentBeginnen(name);
        m_pages = m_begun ? 1 : 0;
        return m_begun;
    }
    bool DokumentBeenden() override { return m_inner.DokumentBeenden(); }
    void abortDocument() override { m_inner.abortDocument(); }
    bool MassstabSetzen(int unitsPerCm, double scaleX, double scaleY) override
    {
        return m_inner.MassstabSetzen(unitsPerCm, scaleX, scaleY);
    }
    void setOriginOffset(int x, int y) override { m_inner.setOriginOffset(x, y); }
    void endPage() override { m_inner.endPage(); }
    void beginPage() override
    {
        m_inner.beginPage();
        if (m_begun)
            ++m_pages;
    }
    ICanvas *canvas() override { return m_inner.canvas(); }

    int pages() const { return m_pages; }

private:
    IPrinterDevice &m_inner;
    bool m_begun = false;
    int m_pages = 0;
};

} // namespace

PrintOutcome LabelRun::Impl::run(
    IPrinterDevice &device, IPrintProgress &progress, int firstPage, int lastPage)
{
    PrintOutcome outcome;
    outcome.labels = labels;
    CountedPages pages(device);
    LayoutRequest pageRequest = request;
    pageRequest.firstPage = firstPage;
    pageRequest.lastPage = lastPage;
    DrawingNotices notices;
    LayoutResult result = LayoutResult::Refused;
    bool changed = false;
    QString failure;

    if (job.sheetDrawing) {
        result = Ausdrucken(pageRequest, job.format, pages, progress,
            [&](ICanvas &canvas, const LabelPlace &, int, bool) { job.sheetDrawing(canvas); });
    } else {
        if (!drawing) {
            drawing.emplace(*job.design);
            drawing->setPictureFolder(job.pictureFolder);
        }
        drawing->setNotices(&notices);
        ComparedRecords compared(*records, digests);
        compared.rewind();
        LabelPump pump(compared, titles, job.serialInCopies);
        // The barcodes of records whose symbols were not kept are laid out
        // a few labels ahead, on the other cores, while the drawing goes on.
        std::optional<BarcodeLookAhead> lookAhead;
        const qint64 keptRecords = qint64(symbols.size());
        if (!barcodes.empty() && keptRecords < recordCount) {
            lookAhead.emplace();
            drawing->setLookAhead(&*lookAhead);
        }
        QStringList values;
        qint64 made = 0;
        UnsaidMessages unsaid;
        IMessages &messages = job.messages ? *job.messages : unsaid;
        try {
            result = Ausdrucken(pageRequest, job.format, pages, progress,
                [&](ICanvas &canvas, const LabelPlace &place, int row, bool frame) {
                    // Labels before the pages drawn are read, not drawn.
                    qint64 record = 0;
                    while (made < row) {
                        if (!pump.next(values, record))
                            throw RecordsChanged();
                        ++made;
                    }
                    if (lookAhead) {
                        pump.readAhead(BarcodeLookAheadLabels, [&](const QStringList &ahead, qint64 from) {
                            if (from > keptRecords)
                                drawing->prepareBarcodes(ahead);
                        });
                    }
                    notices.setRecord(record);
                    const size_t index = size_t(record - 1);
                    drawing->setRecord(record);
                    drawing->setLabelSymbols(index < symbols.size() ? &symbols[index] : nullptr);
                    drawing->setSheetLabel(QSize(place.width, place.height));
                    drawing->draw(canvas, values, place.x, place.y, frame, messages, job.dateText);
                    if (row == labels && lastPage >= std::numeric_limits<int>::max()) {
                        // The last label: the records must end here too.
                        QStringList more;
                        qint64 from = 0;
                        if (pump.next(more, from))
                            throw RecordsChanged();
                    }
                });
        } catch (const RecordsChanged &) {
            changed = true;
        } catch (const Error &e) {
            failure = e.message();
        }
        drawing->setNotices(nullptr);
        drawing->setLabelSymbols(nullptr);
        drawing->setLookAhead(nullptr);
    }
    outcome.pages = pages.pages();
    outcome.notices = notices.lines();
    outcome.noticeMessage = notices.isEmpty() ? QString() : notices.message();
    if (changed) {
        outcome.result = PrintOutcome::Result::Changed;
        outcome.message = changedMessage();
        return outcome;
    }
    if (!failure.isEmpty()) {
        outcome.result = PrintOutcome::Result::Refused;
        outcome.message = failure;
        return outcome;
    }
    outcome.result = resultOf(result);
    if (result == LayoutResult::Refused)
        outcome.message = unprintableReason(pageRequest, job.format);
    else if (result == LayoutResult::DeviceFailed || result == LayoutResult::EndFailed)
        outcome.message = deviceFailureMessage(
            result, job.deviceName, job.toFile ? dynamic_cast<const PdfPrinter *>(&device) : nullptr);
    return outcome;
}

LabelRun::LabelRun(const PrintJob &job)
    : d(std::make_unique<Impl>())
{
    d->job = job;
    d->check();
}

LabelRun::~LabelRun() = default;

const PrintJob &LabelRun::job() const
{
    return d->job;
}

qint64 LabelRun::labels() const
{
    return d->labels;
}

int LabelRun::lastPosition() const
{
    return d->request.lastPosition;
}

int LabelRun::pageCount() const
{
    const int perSheet = d->job.format.positionCount();
    if (perSheet < 1)
        return 1;
    return int((qint64(d->request.lastPosition) + perSheet - 1) / perSheet);
}

QStringList LabelRun::designNotices() const
{
    return d->job.design ? d->job.design->notices : QStringList();
}

QString LabelRun::setDevice(
    const QString &name, bool toFile, const PrinterCorrection &correction, const QString &correctionName)
{
    d->job.deviceName = name;
    d->job.toFile = toFile;
    d->job.correction = correction;
    d->job.correctionName = correctionName;
    d->request.correction = correction;
    d->request.correctionName = correctionName;
    return unprintableReason(d->request, d->job.format);
}

PrintOutcome LabelRun::print(IPrinterDevice &device, IPrintProgress &progress)
{
    return d->run(device, progress, 1, std::numeric_limits<int>::max());
}

PrintOutcome LabelRun::printPages(
    IPrinterDevice &device, IPrintProgress &progress, int firstPage, int lastPage)
{
    return d->run(device, progress, firstPage, lastPage);
}

PrintOutcome printLabels(const PrintJob &job, IPrinterDevice &device, IPrintProgress &progress)
{
    std::optional<LabelRun> run;
    try {
        run.emplace(job);
    } catch (const Error &e) {
        PrintOutcome refused;
        refused.message = e.message();
        return refused;
    }
    return run->print(device, progress);
}

} // namespace qm
