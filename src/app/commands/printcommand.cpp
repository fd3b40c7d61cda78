#include "printcommand.h"

#include "app/commands/commandsupport.h"
#include "app/commands/printerscommand.h"
#include "app/commands/tablecommand.h"
#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "formats/sheetformat.h"
#include "platform/numbers.h"
#include "platform/settings.h"
#include "platform/stringtable.h"
#include "data/csvrecords.h"
#include "data/csvtable.h"
#include "printing/printjob.h"
#include "printing/layout.h"
#include "printing/pdfprinter.h"
#include "printing/printeraccess.h"
#include "printing/printercorrection.h"
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

    // The records: those of the table (as the record selection hands them
    // over), one label without values, or the CSV file (or standard input),
    // which is read twice from the disk: once to check and count, once to
    // print.
    std::unique_ptr<CsvRecordStream> csv;
    std::optional<StandardInputFile> input;
    TableFiles tableEngine;
    std::unique_ptr<TableRecordStream> tableRecords;
    PrintJob job;
    if (!table.isEmpty()) {
        QStringList titles;
        for (int c = 1; c <= design.fieldCount; ++c)
            titles << entryGrid.cell(c, 0);
        tableEngine.preferFieldOrder(titles);
        tableRecords = selectedTableRecords(tableEngine, table, where, entryGrid);
        job.records = tableRecords.get();
        job.recordsName = table;
    } else if (!records.isEmpty()) {
        entryGrid.setColCount(design.fieldCount + 1);
        if (records == QLatin1String("-"))
            input.emplace();
        csv = CsvRecordStream::fromFile(
            CsvRecordReader(csvFieldsOf(entryGrid, design.fieldCount)), input ? input->path() : records);
        if (const QStringList ignored = csv->ignoredColumns(); !ignored.isEmpty())
            err << tr("Spalten ohne Datenfeld des Etiketts werden nicht gedruckt: %1")
                       .arg(ignored.join(QStringLiteral(", ")))
                << Qt::endl;
        job.records = csv.get();
        job.recordsName = records;
    }
    job.design = &design;
    job.format = format;
    job.serialInCopies = serialInCopies;
    job.startPosition = startPosition;
    job.offsetX = offsetX;
    job.offsetY = offsetY;
    job.frame = frame;
    // Relative picture paths are taken from the program directory in use.
    job.pictureFolder = call.inUse ? call.inUse->path() : QString();
    job.dateText = shortDateText();
    StreamMessages messages(err);
    job.messages = &messages;

    std::unique_ptr<IPrinterDevice> target;
    IniFileSettings settings(defaultSettingsPath());
    if (printer) {
        PrinterTarget chosen = commandLinePrinter(printers, settings, call.listValues.value(0), err);
        target = std::move(chosen.device);
        job.deviceName = chosen.name;
        job.correctionName = chosen.name;
    } else {
        target = std::make_unique<PdfPrinter>(pdf);
        job.deviceName = pdf;
        job.toFile = true;
        job.correctionName = pdfCorrectionName();
    }
    job.correction = PrinterSettings(settings).correction(job.correctionName);
    if (const QString notice = PrinterSettings(settings).badCorrectionNotice(job.correctionName); !notice.isEmpty())
        err << "quillmark: " << notice << Qt::endl;

    // Every record is read and checked before the printer is asked for.
    std::optional<LabelRun> run;
    try {
        run.emplace(job);
    } catch (const Error &) {
        if (tableRecords && tableRecords->yielded() < 1)
            throw Error(tr("Keine Datensätze ausgewählt: es gibt kein Etikett zu drucken."));
        throw;
    }
    NullPrintProgress progress;
    const PrintOutcome outcome = run->print(*target, progress);
    if (!outcome.printed())
        return fail(err, outcome.message);
    for (const QString &line : outcome.notices)
        err << "quillmark: " << line << Qt::endl;
    out << printedText(int(outcome.labels), outcome.pages) << ' '
        << (printer ? tr("an %1") : tr("in %1")).arg(job.deviceName) << '\n';
    return 0;
}

} // namespace qm
