#include "printcommand.h"

#include "app/commands/commandsupport.h"
#include "app/commands/printerscommand.h"
#include "app/commands/tablecommand.h"
#include "designs/barcodelookahead.h"
#include "designs/drawingnotices.h"
#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "formats/sheetformat.h"
#include "platform/numbers.h"
#include "platform/settings.h"
#include "platform/stringtable.h"
#include "printing/barcodecheck.h"
#include "data/csvrecords.h"
#include "data/csvtable.h"
#include "printing/labelsource.h"
#include "printing/layout.h"
#include "printing/pdfprinter.h"
#include "printing/printeraccess.h"
#include "printing/printercorrection.h"
#include "printing/printerdecorator.h"
#include "data/tablerecords.h"

#include <QCoreApplication>

#include <memory>
#include <optional>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// Messages met while drawing go to stderr; the run goes on.
class StreamMessages : public IMessages
{
public:
    explicit StreamMessages(QTextStream &err)
        : m_err(err)
    { }
    MessageButton show(MessageKind, const QString &text, MessageButtons, const QString &) override
    {
        m_err << "quillmark: " << text << Qt::endl;
        return MessageButton::Ok;
    }

private:
    QTextStream &m_err;
};

// The printer of a run as the command line watches it: whether the document
// was begun and ended, and how many pages it got.
class WatchedPrinter : public PrinterDecorator
{
public:
    using PrinterDecorator::PrinterDecorator;

    bool DokumentBeginnen(const QString &documentName) override
    {
        m_begun = PrinterDecorator::DokumentBeginnen(documentName);
        m_pages = m_begun ? 1 : 0;
        return m_begun;
    }
    bool DokumentBeenden() override
    {
        m_ended = PrinterDecorator::DokumentBeenden();
        return m_ended;
    }
    void beginPage() override
    {
        PrinterDecorator::beginPage();
        if (m_begun)
            ++m_pages;
    }

    bool begun() const { return m_begun; }
    bool ended() const { return m_ended; }
    int pageCount() const { return m_pages; }

private:
    bool m_begun = false;
    bool m_ended = false;
    int m_pages = 0;
};

// "1 Etikett auf 1 Seite", "3 Etiketten auf 2 Seiten".
QString printedText(int labels, int pages)
{
    const QString labelText = labels == 1 ? tr("1 Etikett") : tr("%1 Etiketten").arg(labels);
    const QString pageText = pages == 1 ? tr("1 Seite") : tr("%1 Seiten").arg(pages);
    return tr("%1 auf %2").arg(labelText, pageText);
}

int offsetValue(const QString &text)
{
    const int value = strToInt(text);
    if (value < -MaxOffset || value > MaxOffset)
        throw Error(tr("Der Versatz %1 liegt nicht zwischen -250 und 250 Zehntelmillimetern.").arg(value));
    return value;
}

} // namespace

int printCommand(const Call &call, QTextStream &out, QTextStream &err, IPrinterAccess &printers)
{
    const bool printer = call.isSet("printer");
    const QString pdf = call.value("pdf");
    if (call.isSet("pdf") == printer)
        throw UsageError(tr("Entweder --pdf AUSGABE.pdf oder --printer angeben."), usageOf("print"));
    if (call.isSet("pdf") && pdf.isEmpty())
        throw Error(tr("Der Name der PDF-Datei fehlt."));
    const QString records = call.value("records");
    const QString table = lookUp(call, call.value("table"), EntryFileKind::Database, Use::Read);
    const QStringList where = call.options->values(QStringLiteral("where"));
    if (!records.isEmpty() && !table.isEmpty())
        throw UsageError(tr("--records und --table schließen einander aus."), usageOf("print"));
    if (table.isEmpty() && !where.isEmpty())
        throw UsageError(tr("--where gilt nur mit --table."), usageOf("print"));
    const int offsetX = call.isSet("offset-x") ? offsetValue(call.value("offset-x")) : 0;
    const int offsetY = call.isSet("offset-y") ? offsetValue(call.value("offset-y")) : 0;
    const bool frame = call.isSet("frame");
    const bool serialInCopies = !call.isSet("serial-per-record");
    const int startPosition = call.isSet("start") ? strToInt(call.value("start")) : 1;
    if (startPosition < 1 || startPosition > MaxStartPosition)
        throw Error(startPositionMessage(startPosition));

    CommandDesign read = readDesign(lookUp(call, call.files[0], EntryFileKind::Design));
    const PrintDesign &design = read.design;
    StringTable &entryGrid = read.entryGrid;
    for (const QString &notice : design.notices)
        err << "quillmark: " << notice << Qt::endl;
    SheetFormat format;
    readFormat(lookUp(call, call.files[1], EntryFileKind::Format), format);

    // Scale, start, offsets and sheet are checked before anything is read.
    // The labels are made one by one as they are drawn, so a run holds no
    // label list and may be as long as the positions of its sheets can count.
    LayoutRequest request;
    request.startPosition = startPosition;
    request.lastPosition = startPosition;
    request.offsetX = offsetX;
    request.offsetY = offsetY;
    request.frame = frame;
    request.unitsPerCm = design.printScale;
    request.maxLabels = MaxStreamedLabelsPerRun;
    if (const QString reason = unprintableReason(request, format); !reason.isEmpty())
        throw Error(reason);

    // The records: those of the table (in the entry grid, as the record
    // selection hands them over), one label without values, or the CSV file,
    // which is read twice from the disk: once to count the labels and find
    // every error before anything is printed, once to print them.
    std::unique_ptr<CsvRecordStream> csv;
    TableFiles tableEngine;
    std::unique_ptr<TableRecordStream> tableRecords;
    if (!table.isEmpty()) {
        QStringList titles;
        for (int c = 1; c <= design.fieldCount; ++c)
            titles << entryGrid.cell(c, 0);
        tableEngine.preferFieldOrder(titles);
        tableRecords = selectedTableRecords(tableEngine, table, where, entryGrid);
    } else {
        entryGrid.setColCount(design.fieldCount + 1);
        entryGrid.setRowCount(2);
        if (records.isEmpty()) {
            entryGrid.setRowCount(3);
            entryGrid.setCell(0, 2, QStringLiteral("1"));
        } else {
            // Standard input is read twice, as a file is.
            std::optional<StandardInputFile> input;
            if (records == QLatin1String("-"))
                input.emplace();
            csv = CsvRecordStream::fromFile(
                CsvRecordReader(csvFieldsOf(entryGrid, design.fieldCount)), input ? input->path() : records);
            if (const QStringList ignored = csv->ignoredColumns(); !ignored.isEmpty())
                err << tr("Spalten ohne Datenfeld des Etiketts werden nicht gedruckt: %1")
                           .arg(ignored.join(QStringLiteral(", ")))
                    << Qt::endl;
        }
    }
    std::unique_ptr<IRecordReader> gridRecords;
    auto readRecords = [&]() -> IRecordReader & {
        if (csv) {
            csv->rewind();
            return *csv;
        }
        if (tableRecords) {
            tableRecords->rewind();
            return *tableRecords;
        }
        gridRecords = std::make_unique<EntryGridRecords>(entryGrid);
        return *gridRecords;
    };
    const qint64 labelCount = LabelSource::countLabels(readRecords());
    if (tableRecords && tableRecords->yielded() < 1)
        throw Error(tr("Keine Datensätze ausgewählt: es gibt kein Etikett zu drucken."));
    if (labelCount < 1)
        throw Error(tr("Es gibt kein Etikett zu drucken."));
    if (labelCount > MaxStreamedLabelsPerRun)
        throw Error(tooManyLabelsMessage(labelCount, MaxStreamedLabelsPerRun));
    const int labels = int(labelCount);
    request.lastPosition = startPosition + labels - 1;
    // A missing picture or a value a barcode cannot print stops the run
    // before anything is printed.
    // Relative picture paths are taken from the program directory in use.
    const QString pictureFolder = call.inUse ? call.inUse->path() : QString();
    if (const QString missing = firstUnreadablePicture(design, pictureFolder); !missing.isEmpty())
        throw Error(missing);
    if (const QString bad = firstUnprintableBarcode(design, readRecords()); !bad.isEmpty())
        throw Error(bad);

    // The first label is made before the printer is asked for: serial
    // numbers that do not start at a number stop the run here.
    CountedLabels source(readRecords(), columnTitles(entryGrid), serialInCopies, labels,
        tr("Die Datei %1 hat sich während des Drucks geändert; der Druck wurde abgebrochen.")
            .arg(tableRecords ? table : records));

    std::unique_ptr<IPrinterDevice> target;
    PdfPrinter *pdfPrinter = nullptr;
    QString destination = pdf;
    IniFileSettings settings(defaultSettingsPath());
    if (printer) {
        PrinterTarget chosen = commandLinePrinter(printers, settings, call.listValues.value(0), err);
        target = std::move(chosen.device);
        destination = chosen.name;
        request.correction = PrinterSettings(settings).correction(destination);
    } else {
        request.correction = PrinterSettings(settings).correction(pdfCorrectionName());
        auto pdfDevice = std::make_unique<PdfPrinter>(pdf);
        pdfPrinter = pdfDevice.get();
        target = std::move(pdfDevice);
    }
    request.correctionName = printer ? destination : pdfCorrectionName();
    if (const QString notice = PrinterSettings(settings).badCorrectionNotice(request.correctionName);
        !notice.isEmpty())
        err << "quillmark: " << notice << Qt::endl;
    WatchedPrinter device(*target);
    NullPrintProgress progress;
    NoWait waiter;
    StreamMessages messages(err);
    const QString date = shortDateText();
    LabelDrawing drawing(design);
    drawing.setPictureFolder(pictureFolder);
    BarcodeLookAhead barcodes;
    drawing.setLookAhead(&barcodes);
    // Texts cut at a label's edge are named after the run.
    DrawingNotices notices;
    drawing.setNotices(&notices);
    const LayoutResult result = Ausdrucken(request, format, device, progress, waiter,
        [&](ICanvas &canvas, const LabelPlace &place, int row, bool withFrame) {
            // A file that now gives other labels than were counted stops
            // the run (an Error), and the document is not ended.
            source.makeAhead(
                row + BarcodeLookAheadLabels, [&](const QStringList &values) { drawing.prepareBarcodes(values); });
            const QStringList &values = source.label(row);
            notices.setRecord(source.record());
            drawing.setSheetLabel(QSize(place.width, place.height));
            drawing.draw(canvas, values, place.x, place.y, withFrame, messages, date);
        });
    const auto tellNotices = [&] {
        for (const QString &line : notices.lines())
            err << "quillmark: " << line << Qt::endl;
    };
    if (result == LayoutResult::Refused)
        return fail(err, unprintableReason(request, format));
    if (printer) {
        if (result == LayoutResult::DeviceFailed || !device.begun())
            return fail(err, tr("Der Drucker %1 konnte nicht geöffnet werden.").arg(destination));
        if (result != LayoutResult::Printed || !device.ended())
            return fail(
                err, tr("Der Druckauftrag für %1 konnte nicht abgeschlossen werden.").arg(destination));
        tellNotices();
        out << printedText(labels, device.pageCount()) << ' ' << tr("an %1").arg(destination) << '\n';
        return 0;
    }
    if (result != LayoutResult::Printed || !device.begun() || !device.ended()) {
        const QString why = pdfPrinter->errorMessage();
        return fail(err,
            why.isEmpty() ? tr("Die PDF-Datei %1 konnte nicht geschrieben werden.").arg(pdf)
                          : tr("Die PDF-Datei %1 konnte nicht geschrieben werden: %2").arg(pdf, why));
    }
    tellNotices();
    out << printedText(labels, device.pageCount()) << ' ' << tr("in %1").arg(pdf) << '\n';
    return 0;
}

} // namespace qm
