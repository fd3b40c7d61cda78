#include "commandline.h"

#include "app/commands/calibratecommand.h"
#include "app/commands/printerscommand.h"
#include "app/tablecommand.h"
#include "data/shapelibtable.h"
#include "designs/design.h"
#include "designs/etifile.h"
#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "formats/formatcatalogue.h"
#include "formats/formatexpertcore.h"
#include "formats/formatimport.h"
#include "formats/sheetformat.h"
#include "formats/sheetgrid.h"
#include "formats/stockindex.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/services.h"
#include "platform/settings.h"
#include "platform/stringtable.h"
#include "platform/textfile.h"
#include "platform/version.h"
#include "printing/barcodecheck.h"
#include "printing/csvrecords.h"
#include "printing/csvtable.h"
#include "printing/expansion.h"
#include "printing/labelsource.h"
#include "printing/layout.h"
#include "printing/pdfprinter.h"
#include "printing/printeraccess.h"
#include "printing/printercorrection.h"
#include "printing/printerdecorator.h"
#include "printing/qt/qtprinteraccess.h"
#include "printing/tablerecords.h"
#include "programdir/filelookup.h"
#include "programdir/programdirectory.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <new>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

int fail(QTextStream &err, const QString &message)
{
    err << "quillmark: " << message << Qt::endl;
    return 1;
}

// A call the command line does not understand: the message, then the usage.
class UsageError : public Error
{
public:
    UsageError(const QString &message, QString usage)
        : Error(message)
        , m_usage(std::move(usage))
    { }
    const QString &usage() const { return m_usage; }

private:
    QString m_usage;
};

QString quoted(const QString &word)
{
    return QStringLiteral("\u201E%1\u201C").arg(word);
}

// What a command gets: its file arguments, its options and the program
// directory given with --dir.
struct Call
{
    QStringList files;
    const QCommandLineParser *options = nullptr;
    std::optional<ProgramDirectory> dir;
    QString dirPath; // as given with --dir
    QString shareDir; // what a new program directory is seeded from
    QStringList listValues; // the values taken after the command's list option
    // Where plain file names are looked for, in this order: the program
    // directory in use (--dir, else the per-user one when it exists), then
    // the program's shipped files. Looking never creates anything.
    std::optional<ProgramDirectory> inUse;
    std::optional<ProgramDirectory> shipped;

    // The folders to look in; shipped files only where they are just read.
    QList<ProgramDirectory> lookupDirs(bool withShipped = true) const
    {
        QList<ProgramDirectory> dirs;
        if (inUse)
            dirs.append(*inUse);
        if (shipped && withShipped)
            dirs.append(*shipped);
        return dirs;
    }

    bool isSet(const char *name) const { return options->isSet(QLatin1String(name)); }
    QString value(const char *name) const { return options->value(QLatin1String(name)); }
};

// The file a command names: a design, format or table that is not there
// under the name given is looked for in ETIKETT, FORMATE or DBANKEN of the
// program directory in use, then among the shipped files, as the program
// does for the entries of its catalogue. Not found, the name stays as given
// for the message.
enum class Use { Read, Write };

QString lookUp(const Call &call, const QString &path, EntryFileKind kind, Use use = Use::Write)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    // A table that may be written to is never one of the shipped files.
    const bool withShipped = kind != EntryFileKind::Database || use == Use::Read;
    for (const ProgramDirectory &dir : call.lookupDirs(withShipped)) {
        if (const std::optional<QString> found = findNamedFile(dir, path, kind))
            return *found;
    }
    return path;
}

// Reads a text file, with the file named in the message of a read error.
QStringList readLinesOf(const QString &path)
{
    try {
        return readTextLines(path);
    } catch (const IoError &e) {
        if (e.message().contains(path))
            throw;
        throw IoError(e.errorNumber(), path + QStringLiteral(": ") + e.message());
    }
}

// The print side of a design, as the print run reads it. A missing file
// gets the print run's message; one that cannot be read says why.
void readDesign(const QString &path, PrintDesign &design, const FieldGrids &grids)
{
    if (!QFileInfo::exists(path))
        throw Error(path + QStringLiteral(": ")
            + tr("Etiketten- bzw. Formulardatei nicht gefunden. Bearbeitung abgebrochen !"));
    readPrintDesignLines(readLinesOf(path), path, design, grids);
}

void readFormat(const QString &path, SheetFormat &format)
{
    if (!QFileInfo::exists(path))
        throw Error(
            path + QStringLiteral(": ") + tr("Formatdatei nicht gefunden. Bearbeitung abgebrochen !"));
    readSheetFormatLines(readLinesOf(path), path, format);
}

// One line per data column as the print run sees it: column, title, size.
int fieldsCommand(const Call &call, QTextStream &out, QTextStream &)
{
    PrintDesign design;
    StringTable labelList;
    StringTable entryGrid;
    FieldGrids grids;
    grids.labelList = &labelList;
    grids.entryGrid = &entryGrid;
    readDesign(lookUp(call, call.files[0], EntryFileKind::Design), design, grids);
    for (int column = 1; column <= design.fieldCount; ++column)
        out << column << '\t' << labelList.cell(column, 0) << '\t' << entryGrid.cell(column, 1) << '\n';
    return 0;
}

void listSheet(const SheetFormat &format, QTextStream &out)
{
    out << format.description << '\t' << format.extentWidth << '\t' << format.extentHeight << '\n';
    for (int i = 1; i <= format.positionCount(); ++i) {
        int x = 0, y = 0, w = 0, h = 0;
        HolePosition(format, i, 0.0, 0.0, x, y, w, h);
        out << i << '\t' << x << '\t' << y << '\t' << w << '\t' << h << '\n';
    }
}

// sheet --grid W H N M LEFT TOP GAPX GAPY --description TEXT --save OUT.vrl:
// writes the grid as the format expert does and lists the written file.
int sheetGridCommand(const Call &call, QTextStream &out)
{
    const QString usage = usageOf(QStringLiteral("sheet"));
    const QStringList &grid = call.listValues;
    if (!call.files.isEmpty())
        throw UsageError(tr("Überzähliges Argument %1.").arg(quoted(call.files[0])), usage);
    if (grid.size() != 8)
        throw UsageError(tr("--grid braucht acht Zahlen: B H N M LINKS OBEN ABSTANDX ABSTANDY."), usage);
    if (!call.isSet("description") || !call.isSet("save") || call.value("save").isEmpty())
        throw UsageError(tr("--grid braucht --description TEXT und --save AUSGABE.vrl."), usage);
    const QString description = call.value("description");
    const QString output = call.value("save");
    if (description.isEmpty())
        throw Error(tr("Bitte geben Sie eine Beschreibung das Format ein !"));
    if (description.size() > MaxDescriptionLength)
        throw Error(tr("Die Beschreibung ist länger als %1 Zeichen.").arg(MaxDescriptionLength));
    const GridTexts texts { grid[0], grid[1], grid[2], grid[3], grid[4], grid[5], grid[6], grid[7] };
    // Nothing is saved that print would refuse: the counts and lengths as
    // the format expert checks them, then the sheet with print's bounds.
    strToInt(texts.neben);
    strToInt(texts.unter);
    for (const QString *text :
        { &texts.grx, &texts.gry, &texts.startx, &texts.starty, &texts.vorX, &texts.vorY })
        checkLengthText(*text);
    const SheetFormat planned = sheetFormatFromGrid(description, sheetGridFromTexts(texts));
    for (const LabelPosition &p : planned.positions)
        if (p.width <= 0 || p.height <= 0)
            throw Error(tr("Die Etikettengröße %1 x %2 ist keine gültige Größe.").arg(p.width).arg(p.height));
    if (planned.positions.empty())
        throw Error(tr("Das Format enthält kein Etikett."));
    LayoutRequest sheetOnly;
    sheetOnly.lastPosition = 1;
    if (const QString reason = unprintableReason(sheetOnly, planned); !reason.isEmpty())
        throw Error(reason);
    saveCheckedTemplate(output, description, texts);
    SheetFormat format;
    readFormat(output, format);
    listSheet(format, out);
    return 0;
}

int sheetCommand(const Call &call, QTextStream &out, QTextStream &)
{
    if (call.isSet("grid"))
        return sheetGridCommand(call, out);
    if (call.files.size() != 1)
        throw UsageError(call.files.isEmpty() ? tr("Es fehlt ein Dateiname.")
                                              : tr("Überzähliges Argument %1.").arg(quoted(call.files[1])),
            usageOf(QStringLiteral("sheet")));
    SheetFormat format;
    readFormat(lookUp(call, call.files[0], EntryFileKind::Format), format);
    listSheet(format, out);
    return 0;
}

// formats --find TEXT: the sheets of the label-stock index that match, one
// a line: maker, part number, label size and grid, number of labels.
int findStockCommand(const Call &call, QTextStream &out)
{
    const QString text = call.value("find");
    const QList<StockSheet> sheets = shippedStockIndex();
    const QList<qsizetype> found = findStockSheets(sheets, text);
    if (found.isEmpty())
        throw Error(tr("Kein Etikettenbogen passt zu %1.").arg(quoted(text)));
    for (const qsizetype i : found) {
        const StockSheet &s = sheets[i];
        out << s.brand << '\t' << s.part << '\t' << s.sizeText() << '\t' << s.labelCount() << '\n';
    }
    return 0;
}

// formats --add MAKER PART: enters the sheet (each of its layouts) under
// "Individuelle Formate" and prints the name of each VRL file.
int addStockCommand(const Call &call, QTextStream &out)
{
    if (call.listValues.size() != 2)
        throw UsageError(
            tr("Die Option %1 braucht Hersteller und Teilenummer.").arg(quoted(QStringLiteral("--add"))),
            usageOf(QStringLiteral("formats")));
    const QString &maker = call.listValues[0];
    const QString &part = call.listValues[1];
    const QList<StockSheet> sheets = shippedStockIndex();
    const QList<qsizetype> found = stockSheetsOfPart(sheets, maker, part);
    if (found.isEmpty())
        throw Error(tr("Den Etikettenbogen %1 gibt es im Verzeichnis der Etikettenbögen nicht.")
                        .arg(quoted(maker + QLatin1Char(' ') + part)));
    const ProgramDirectory dir = openProgramDirectory(call.dirPath, call.shareDir);
    for (const qsizetype i : found) {
        const StockSheet &s = sheets[i];
        out << addIndividualFormat(dir, s.description, s.fileName, s.format).file << '\n';
    }
    return 0;
}

// formats [--import FILE.xml]: lists the format catalogue of the program
// directory, or adds the formats of a template file to "Individuelle Formate".
int formatsCommand(const Call &call, QTextStream &out, QTextStream &err)
{
    if (int(call.isSet("import")) + int(call.isSet("find")) + int(call.isSet("add")) > 1)
        throw UsageError(
            tr("--import, --find und --add schließen einander aus."), usageOf(QStringLiteral("formats")));
    if (call.isSet("find"))
        return findStockCommand(call, out);
    if (call.isSet("add"))
        return addStockCommand(call, out);
    if (call.isSet("import")) {
        const ProgramDirectory dir = openProgramDirectory(call.dirPath, call.shareDir);
        const ImportResult result = importTemplateFile(dir, call.value("import"));
        for (const FormatEntry &entry : result.added)
            out << entry.area << '\t' << entry.description << '\t' << entry.file << '\n';
        for (const SkippedTemplate &skipped : result.skipped)
            err << tr("ausgelassen: %1: %2").arg(skipped.name, skipped.reason) << '\n';
        out << tr("%1 Formate aufgenommen, %2 ausgelassen")
                   .arg(result.added.size())
                   .arg(result.skipped.size())
            << '\n';
        return 0;
    }
    // Listing only reads: the catalogue of the program directory in use,
    // else the shipped one that a new program directory starts with.
    for (const ProgramDirectory &where : call.lookupDirs()) {
        const QString catalogue = findFileCaseInsensitive(where.path(), ProgramDirectory::FormatsFile);
        if (catalogue.isEmpty())
            continue;
        for (const FormatEntry &entry : readFormatsFile(catalogue))
            out << entry.area << '\t' << entry.description << '\t' << entry.file << '\n';
        return 0;
    }
    return 0;
}

// table FILE.dbf [--create DESIGN] [--import TEXT [--lines N] [--skip-lead-line]]
int tableCommandOf(const Call &call, QTextStream &out, QTextStream &err)
{
    TableCall table;
    // A table to create is made where it is named; one to read is looked up.
    table.path = call.isSet("create") ? call.files[0] : lookUp(call, call.files[0], EntryFileKind::Database);
    if (call.isSet("create"))
        table.design = lookUp(call, call.value("create"), EntryFileKind::Design);
    table.replace = call.isSet("replace");
    if (table.replace && !call.isSet("create"))
        throw UsageError(tr("--replace gilt nur mit --create."), usageOf("table"));
    table.import = call.value("import");
    table.lines = call.value("lines");
    table.skipLeadLine = call.isSet("skip-lead-line");
    table.importCsv = call.value("import-csv");
    table.exportCsv = call.value("export-csv");
    if (table.import.isEmpty() && (call.isSet("lines") || table.skipLeadLine))
        throw UsageError(tr("--lines und --skip-lead-line gelten nur mit --import."), usageOf("table"));
    TableFiles engine;
    return tableCommand(table, out, err, engine);
}

int designCommand(const Call &call, QTextStream &out, QTextStream &err)
{
    const QString input = lookUp(call, call.files[0], EntryFileKind::Design);
    Design design;
    const EtiLoadResult result = loadEtiLines(readLinesOf(input), design);
    if (result.oldBitmapRecord)
        err << oldBitmapMessage() << Qt::endl;
    out << design.description << '\t' << design.widthMm << '\t' << design.heightMm << '\n';
    for (const Element &element : design.elements)
        out << element.row().join(QLatin1Char('\t')) << '\n';
    if (call.isSet("save")) {
        const QString output = call.value("save");
        try {
            Espeichern(output, design);
        } catch (const IoError &e) {
            if (e.message().contains(output))
                throw;
            throw IoError(e.errorNumber(), output + QStringLiteral(": ") + e.message());
        }
    }
    return 0;
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

// The command line waits for nothing: there is no window to repaint.
class NoWait : public IWaiter
{
public:
    void wait(int) override { }
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

    PrintDesign design;
    StringTable labelList, entryGrid;
    FieldGrids grids;
    grids.labelList = &labelList;
    grids.entryGrid = &entryGrid;
    readDesign(lookUp(call, call.files[0], EntryFileKind::Design), design, grids);
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
            csv = CsvRecordStream::fromFile(CsvRecordReader(csvFieldsOf(entryGrid, design.fieldCount)),
                input ? input->path() : records);
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
    WatchedPrinter device(*target);
    NullPrintProgress progress;
    NoWait waiter;
    StreamMessages messages(err);
    const QString date = shortDateText();
    LabelDrawing drawing(design);
    drawing.setPictureFolder(pictureFolder);
    const LayoutResult result = Ausdrucken(request, format, device, progress, waiter,
        [&](ICanvas &canvas, int x, int y, int row, bool withFrame) {
            // A file that now gives other labels than were counted stops
            // the run (an Error), and the document is not ended.
            drawing.draw(canvas, source.label(row), x, y, withFrame, messages, date);
        });
    if (result == LayoutResult::Refused)
        return fail(err, unprintableReason(request, format));
    if (printer) {
        if (result == LayoutResult::DeviceFailed || !device.begun())
            return fail(err, tr("Der Drucker %1 konnte nicht geöffnet werden.").arg(destination));
        if (result != LayoutResult::Printed || !device.ended())
            return fail(
                err, tr("Der Druckauftrag für %1 konnte nicht abgeschlossen werden.").arg(destination));
        out << printedText(labels, device.pageCount()) << ' ' << tr("an %1").arg(destination) << '\n';
        return 0;
    }
    if (result != LayoutResult::Printed || !device.begun() || !device.ended()) {
        const QString why = pdfPrinter->errorMessage();
        return fail(err,
            why.isEmpty() ? tr("Die PDF-Datei %1 konnte nicht geschrieben werden.").arg(pdf)
                          : tr("Die PDF-Datei %1 konnte nicht geschrieben werden: %2").arg(pdf, why));
    }
    out << printedText(labels, device.pageCount()) << ' ' << tr("in %1").arg(pdf) << '\n';
    return 0;
}

} // namespace

QString usageText()
{
    return tr("Aufruf: quillmark [--dir VERZEICHNIS]\n"
              "       quillmark fields ETIKETT.eti [--dir VERZEICHNIS]\n"
              "       quillmark sheet FORMAT.vrl [--dir VERZEICHNIS]\n"
              "       quillmark sheet --grid B H N M LINKS OBEN ABSTANDX ABSTANDY\n"
              "                 --description TEXT --save AUSGABE.vrl\n"
              "       quillmark formats [--dir VERZEICHNIS] [--import VORLAGEN.xml | --find TEXT\n"
              "                 | --add HERSTELLER TEIL]\n"
              "       quillmark design EINGABE.eti [--save AUSGABE.eti] [--dir VERZEICHNIS]\n"
              "       quillmark print ETIKETT.eti FORMAT.vrl [--records DATEI.csv] [--start N]\n"
              "                 [--frame] [--offset-x T] [--offset-y T] [--serial-per-record]\n"
              "                 (--pdf AUSGABE.pdf | --printer [NAME]) [--dir VERZEICHNIS]\n"
              "       quillmark print ETIKETT.eti FORMAT.vrl --table DATENBANK.dbf [--where FELD=WERT ...]\n"
              "                 [--start N] [--frame] (--pdf AUSGABE.pdf | --printer [NAME])\n"
              "       quillmark printers [--calibrate NAME [--offset-x T] [--offset-y T]\n"
              "                 [--scale-x P] [--scale-y P]]\n"
              "       quillmark calibrate FORMAT.vrl (--pdf AUSGABE.pdf | --printer [NAME])\n"
              "       quillmark table DATENBANK.dbf [--create ETIKETT.eti [--replace]]\n"
              "                 [--import TEXTDATEI [--lines N] [--skip-lead-line]]\n"
              "                 [--import-csv DATEI.csv|-] [--export-csv DATEI.csv|-]\n"
              "       quillmark --help | --version\n"
              "\n"
              "Ohne Befehl startet Quillmark mit seinem Hauptfenster.\n"
              "Jeder Befehl sucht eine Etiketten-, Format- oder Datenbankdatei, die es unter dem\n"
              "angegebenen Namen nicht gibt, in ETIKETT, FORMATE bzw. DBANKEN des\n"
              "Programmverzeichnisses (--dir, sonst des eigenen), Etiketten und Formate danach\n"
              "unter den mitgelieferten Dateien.\n"
              "\n"
              "Befehle:\n"
              "  fields   zeigt die Datenfelder einer Etikettendatei: Spalte, Titel, Größe\n"
              "  sheet    zeigt Beschreibung und Bogengröße einer Formatdatei und darunter\n"
              "           jede Etikettenposition: Nummer, x, y, Breite, Höhe (in 1/10 mm);\n"
              "           mit --grid wird ein Format aus Etikettengröße, Anzahl nebeneinander\n"
              "           und untereinander, Rändern und Abständen (in mm) gespeichert\n"
              "  formats  zeigt den Formatkatalog: Bereich, Beschreibung, Datei; mit --import\n"
              "           werden die Formate einer Vorlagendatei (XML im Format der\n"
              "           gLabels-Vorlagen) unter \"Individuelle Formate\" aufgenommen; --find\n"
              "           sucht Etikettenbögen nach Hersteller, Teilenummer oder Etikettengröße\n"
              "           (Hersteller, Teil, Größe, Anzahl), --add nimmt einen davon unter\n"
              "           \"Individuelle Formate\" auf und zeigt den Namen seiner Formatdatei\n"
              "  design   zeigt Beschreibung, Breite und Höhe (mm) und die Elemente einer\n"
              "           Etikettendatei; mit --save wird sie im aktuellen Format gespeichert\n"
              "  print    druckt Etiketten auf Bögen des Formats, ab Position N (Standard 1),\n"
              "           mit --pdf in eine PDF-Datei, mit --printer auf den Drucker NAME, sonst\n"
              "           den in den Druckparametern gewählten oder den Standarddrucker;\n"
              "           DATEI.csv (- für die Standardeingabe): Kopfzeile, dann ein\n"
              "           Datensatz je Zeile, getrennt durch\n"
              "           ; , oder Tabulator; Spalten nach den Feldtiteln (wie fields sie\n"
              "           zeigt), sonst der Reihe nach; eine Spalte \"Anzahl\" gibt die Kopien\n"
              "           (ohne sie je 1); Versatz T in 1/10 mm (-250 bis 250); Startposition\n"
              "           1 bis 200, höchstens 999 Kopien je Zeile und 1000000000 Etiketten\n"
              "           je Auftrag; mit --table (dBASE- oder CSV-Datei) je ausgewähltem\n"
              "           Datensatz ein Etikett, Feld\n"
              "           n der Datenbank für Datenfeld n (--where FELD=WERT: bis zu drei\n"
              "           Kriterien, verknüpft durch ODER)\n"
              "  printers zeigt die Drucker (Name, Standort, Zustand, Wahl, Korrektur); mit\n"
              "           --calibrate speichert es die Korrektur eines Druckers (PDF: für\n"
              "           PDF-Dateien): Versatz in Zehntelmillimetern, Maßstab in Promille\n"
              "  calibrate druckt den Kalibrierbogen eines Formats ohne Korrektur\n"
              "  table    zeigt die Feldnamen und die Datensätze einer dBASE-Datenbank\n"
              "           (durch Tabulatoren getrennt); --create legt sie aus den Feldern einer\n"
              "           Etikettendatei an (eine Datenbank mit Datensätzen ersetzt sie nur mit\n"
              "           --replace), --import hängt Datensätze aus einer Textdatei an\n"
              "           (N Zeilen je Datensatz, Standard: die Anzahl der Felder), --import-csv\n"
              "           aus einer CSV-Datei (Spalten nach den Feldnamen, - für die\n"
              "           Standardeingabe); --export-csv schreibt sie als CSV-Datei (UTF-8, ;)\n"
              "\n"
              "Optionen:\n"
              "  --dir VERZEICHNIS  Programmverzeichnis (sonst ~/.local/share/Quillmark)\n"
              "  --help             diese Übersicht\n"
              "  --version          Programmversion\n");
}

namespace {

QCommandLineOption valueOption(const char *name, const char *valueName)
{
    return QCommandLineOption(QLatin1String(name), QString(), QLatin1String(valueName));
}

QList<QCommandLineOption> commonOptions()
{
    return { valueOption("dir", "VERZEICHNIS"),
        QCommandLineOption(QStringList { QStringLiteral("h"), QStringLiteral("help") }) };
}

using CommandHandler = int (*)(const Call &, QTextStream &, QTextStream &, IPrinterAccess &);

// A command whose handler checks the number of its arguments itself.
constexpr int AnyFiles = -1;

// An option followed by a fixed number of values, any of which may begin
// with "-" (a negative number): the values are taken from the arguments
// before the parser could read "-8" as an option.
struct ListOption
{
    const char *name = nullptr;
    int values = 0;
};

// The commands of the command line: name, number of file arguments, options,
// and the list option if the command has one.
struct Command
{
    const char *name;
    int files;
    QList<QCommandLineOption> options;
    CommandHandler run;
    ListOption list = {};
};

const QList<Command> &commands()
{
    static const QList<Command> table = {
        { "fields", 1, {},
            [](const Call &c, QTextStream &o, QTextStream &e, IPrinterAccess &) {
                return fieldsCommand(c, o, e);
            } },
        { "sheet", AnyFiles,
            { QCommandLineOption(QStringLiteral("grid")), valueOption("description", "TEXT"),
                valueOption("save", "AUSGABE.vrl") },
            [](const Call &c, QTextStream &o, QTextStream &e, IPrinterAccess &) {
                return sheetCommand(c, o, e);
            },
            { "grid", 8 } },
        { "formats", 0,
            { valueOption("import", "VORLAGEN.xml"), valueOption("find", "TEXT"),
                QCommandLineOption(QStringLiteral("add")) },
            [](const Call &c, QTextStream &o, QTextStream &e, IPrinterAccess &) {
                return formatsCommand(c, o, e);
            },
            { "add", 2 } },
        { "table", 1,
            { valueOption("create", "ETIKETT.eti"), QCommandLineOption(QStringLiteral("replace")),
                valueOption("import", "TEXTDATEI"), valueOption("import-csv", "DATEI.csv"),
                valueOption("export-csv", "DATEI.csv"), valueOption("lines", "N"),
                QCommandLineOption(QStringLiteral("skip-lead-line")) },
            [](const Call &c, QTextStream &o, QTextStream &e, IPrinterAccess &) {
                return tableCommandOf(c, o, e);
            } },
        { "design", 1, { valueOption("save", "AUSGABE.eti") },
            [](const Call &c, QTextStream &o, QTextStream &e, IPrinterAccess &) {
                return designCommand(c, o, e);
            } },
        { "print", 2,
            { valueOption("records", "DATEI.csv"), valueOption("start", "N"),
                QCommandLineOption(QStringLiteral("frame")), valueOption("offset-x", "T"),
                valueOption("offset-y", "T"), QCommandLineOption(QStringLiteral("serial-per-record")),
                valueOption("pdf", "AUSGABE.pdf"), QCommandLineOption(QStringLiteral("printer")),
                valueOption("table", "DATENBANK.dbf"), valueOption("where", "FELD=WERT") },
            [](const Call &c, QTextStream &o, QTextStream &e, IPrinterAccess &p) {
                return printCommand(c, o, e, p);
            },
            { "printer", 1 } },
        { "printers", 0,
            { valueOption("calibrate", "NAME"), valueOption("offset-x", "T"), valueOption("offset-y", "T"),
                valueOption("scale-x", "P"), valueOption("scale-y", "P") },
            [](const Call &c, QTextStream &o, QTextStream &, IPrinterAccess &p) {
                PrintersCall printersCall;
                if (c.isSet("calibrate"))
                    printersCall.calibrate = c.value("calibrate");
                else if (c.isSet("offset-x") || c.isSet("offset-y") || c.isSet("scale-x")
                    || c.isSet("scale-y"))
                    throw UsageError(tr("--offset-x, --offset-y, --scale-x und --scale-y gelten nur mit "
                                        "--calibrate."),
                        usageOf(QStringLiteral("printers")));
                printersCall.offsetX = c.value("offset-x");
                printersCall.offsetY = c.value("offset-y");
                printersCall.scaleX = c.value("scale-x");
                printersCall.scaleY = c.value("scale-y");
                IniFileSettings settings(defaultSettingsPath());
                return printersCommand(printersCall, o, p, settings);
            } },
        { "calibrate", 1,
            { valueOption("pdf", "AUSGABE.pdf"), QCommandLineOption(QStringLiteral("printer")) },
            [](const Call &c, QTextStream &o, QTextStream &e, IPrinterAccess &p) {
                CalibrateCall calibrateCall;
                calibrateCall.pdf = c.value("pdf");
                calibrateCall.printer = c.isSet("printer");
                calibrateCall.printerName = c.listValues.value(0);
                if (c.isSet("pdf") == calibrateCall.printer)
                    throw UsageError(tr("Entweder --pdf AUSGABE.pdf oder --printer angeben."),
                        usageOf(QStringLiteral("calibrate")));
                if (c.isSet("pdf") && calibrateCall.pdf.isEmpty())
                    throw Error(tr("Der Name der PDF-Datei fehlt."));
                readFormat(lookUp(c, c.files[0], EntryFileKind::Format), calibrateCall.format);
                IniFileSettings settings(defaultSettingsPath());
                NoWait waiter;
                return calibrateCommand(calibrateCall, o, e, p, settings, waiter);
            },
            { "printer", 1 } },
    };
    return table;
}

// Takes the values of the list option out of `args`: up to its number of
// values after the option's first mention, ending early at a word that
// begins with "--". The option itself stays for the parser to see.
QStringList takeListValues(const ListOption &list, QStringList &args)
{
    if (!list.name)
        return {};
    const qsizetype at = args.indexOf(QLatin1String("--") + QLatin1String(list.name));
    if (at < 0)
        return {};
    qsizetype end = at + 1;
    while (end < args.size() && end <= at + list.values && !args[end].startsWith(QLatin1String("--")))
        ++end;
    const QStringList values = args.mid(at + 1, end - at - 1);
    args.remove(at + 1, end - at - 1);
    return values;
}

// The argument the user typed for an option the parser did not know (it
// reports "x" for "-x", "--x" and "--x=1" alike).
QString typedOption(const QStringList &args, const QString &name)
{
    for (const QString &a : args) {
        if (a == QLatin1String("--"))
            break;
        const QString bare = a.section(QLatin1Char('='), 0, 0);
        if (bare == QLatin1String("--") + name || bare == QLatin1Char('-') + name)
            return bare;
    }
    for (const QString &a : args) {
        if (a.startsWith(QLatin1Char('-')) && !a.startsWith(QLatin1String("--")) && a.contains(name))
            return a; // a group of single-letter options such as "-xh"
    }
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// Parses args (without the program name); a call it cannot understand
// throws UsageError naming the word, with the given usage.
void parseOrThrow(QCommandLineParser &parser, const QStringList &args, const QString &usage)
{
    if (parser.parse(QStringList { QStringLiteral("quillmark") } + args))
        return;
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        throw UsageError(tr("Unbekannte Option %1.").arg(quoted(typedOption(args, unknown.first()))), usage);
    // The parser names the option in quotes: "Missing value after '--pdf'."
    const QString text = parser.errorText();
    const qsizetype open = text.indexOf(QLatin1Char('\''));
    const qsizetype close = text.lastIndexOf(QLatin1Char('\''));
    const QString option = open >= 0 && close > open ? text.mid(open + 1, close - open - 1) : text;
    if (text.startsWith(QLatin1String("Missing value")))
        throw UsageError(tr("Der Option %1 fehlt ihr Wert.").arg(quoted(option)), usage);
    if (text.startsWith(QLatin1String("Unexpected value")))
        throw UsageError(tr("Die Option %1 nimmt keinen Wert.").arg(quoted(option)), usage);
    throw UsageError(text, usage);
}

// The call without its command: --dir, --help and --version before the
// first word that is not an option; that word and everything after it are
// positional.
struct GlobalCall
{
    QString dir;
    bool help = false;
    bool version = false;
    QStringList rest;
};

GlobalCall parseGlobal(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addOptions(commonOptions());
    parser.addOption(QCommandLineOption(QStringLiteral("version")));
    parseOrThrow(parser, args, usageText());
    return { parser.value(QStringLiteral("dir")), parser.isSet(QStringLiteral("help")),
        parser.isSet(QStringLiteral("version")), parser.positionalArguments() };
}

std::optional<ProgramDirectory> programDirectory(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    if (const QString problem = programDirectoryProblem(path); !problem.isEmpty())
        throw Error(problem);
    return ProgramDirectory(path);
}

} // namespace

QString usageOf(const QString &command)
{
    if (command == QLatin1String("fields"))
        return tr("Aufruf: quillmark fields ETIKETT.eti [--dir VERZEICHNIS]");
    if (command == QLatin1String("sheet"))
        return tr("Aufruf: quillmark sheet --grid B H N M LINKS OBEN ABSTANDX ABSTANDY "
                  "--description TEXT --save AUSGABE.vrl\n"
                  "       quillmark sheet FORMAT.vrl [--dir VERZEICHNIS]");
    if (command == QLatin1String("formats"))
        return tr("Aufruf: quillmark formats [--dir VERZEICHNIS] [--import VORLAGEN.xml | --find TEXT "
                  "| --add HERSTELLER TEIL]");
    if (command == QLatin1String("table"))
        return tr("Aufruf: quillmark table DATENBANK.dbf [--create ETIKETT.eti [--replace]] "
                  "[--import TEXTDATEI [--lines N] [--skip-lead-line]] [--import-csv DATEI.csv|-] "
                  "[--export-csv DATEI.csv|-] [--dir VERZEICHNIS]");
    if (command == QLatin1String("printers"))
        return tr("Aufruf: quillmark printers [--calibrate NAME [--offset-x T] [--offset-y T] [--scale-x P] "
                  "[--scale-y P]]");
    if (command == QLatin1String("calibrate"))
        return tr("Aufruf: quillmark calibrate FORMAT.vrl (--pdf AUSGABE.pdf | --printer [NAME]) "
                  "[--dir VERZEICHNIS]");
    if (command == QLatin1String("design"))
        return tr("Aufruf: quillmark design EINGABE.eti [--save AUSGABE.eti] [--dir VERZEICHNIS]");
    return tr("Aufruf: quillmark print ETIKETT.eti FORMAT.vrl [--records DATEI.csv | --table DATENBANK.dbf "
              "[--where FELD=WERT ...]] [--start N] "
              "[--frame] [--offset-x T] [--offset-y T] [--serial-per-record] "
              "(--pdf AUSGABE.pdf | --printer [NAME]) [--dir VERZEICHNIS]");
}

bool isCommandLineCall(const QStringList &arguments)
{
    try {
        const GlobalCall call = parseGlobal(arguments);
        if (call.help || call.version)
            return true;
        // A design or format file alone (a file manager's double click)
        // opens it in the windows.
        if (call.rest.size() == 1) {
            const QString suffix = QFileInfo(call.rest.first()).suffix().toLower();
            if (suffix == QLatin1String("eti") || suffix == QLatin1String("vrl"))
                return false;
        }
        return !call.rest.isEmpty();
    } catch (const Error &) {
        return true; // the command line says what is wrong
    }
}

std::optional<int> runCommandLine(
    const QStringList &arguments, QTextStream &out, QTextStream &err, const QString &shareDir)
{
    QtPrinterAccess printers;
    return runCommandLine(arguments, out, err, printers, shareDir);
}

std::optional<int> runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err,
    IPrinterAccess &printers, const QString &shareDir)
{
    if (!isCommandLineCall(arguments))
        return std::nullopt;
    try {
        const GlobalCall global = parseGlobal(arguments);
        if ((global.help || global.version) && !global.rest.isEmpty())
            throw UsageError(tr("Überzähliges Argument %1.").arg(quoted(global.rest.first())), usageText());
        if (global.help) {
            out << usageText();
            return 0;
        }
        if (global.version) {
            out << tr("Quillmark %1 (Dateiversion %2)")
                       .arg(QLatin1String(kProgramVersion), QLatin1String(kFileVersion))
                << '\n';
            return 0;
        }
        const QString name = global.rest.first();
        const auto command = std::find_if(commands().cbegin(), commands().cend(),
            [&](const Command &c) { return name == QLatin1String(c.name); });
        if (command == commands().cend())
            throw UsageError(tr("Unbekannter Befehl %1.").arg(quoted(name)), usageText());
        const QString usage = usageOf(name);
        QStringList args = global.rest.mid(1);
        const QStringList listValues = takeListValues(command->list, args);
        QCommandLineParser parser;
        parser.addOptions(commonOptions());
        parser.addOptions(command->options);
        parseOrThrow(parser, args, usage);
        if (parser.isSet(QStringLiteral("help"))) {
            out << usage << '\n';
            return 0;
        }
        Call call;
        call.files = parser.positionalArguments();
        call.options = &parser;
        if (command->files != AnyFiles && call.files.size() > command->files)
            throw UsageError(tr("Überzähliges Argument %1.").arg(quoted(call.files[command->files])), usage);
        if (command->files != AnyFiles && call.files.size() < command->files)
            throw UsageError(tr("Es fehlt ein Dateiname."), usage);
        call.dirPath = parser.isSet(QStringLiteral("dir")) ? parser.value(QStringLiteral("dir")) : global.dir;
        call.dir = programDirectory(call.dirPath);
        call.shareDir = shareDir;
        call.listValues = listValues;
        if (call.dir)
            call.inUse = call.dir;
        else if (QFileInfo(defaultProgramDirectoryPath()).isDir())
            call.inUse = ProgramDirectory(defaultProgramDirectoryPath());
        if (!shareDir.isEmpty() && QFileInfo(shareDir).isDir())
            call.shipped = ProgramDirectory(shareDir);
        return command->run(call, out, err, printers);
    } catch (const UsageError &e) {
        fail(err, e.message());
        err << e.usage() << Qt::endl;
        return 1;
    } catch (const Error &e) {
        return fail(err, e.message());
    } catch (const std::bad_alloc &) {
        return fail(err, outOfMemoryMessage());
    }
}

} // namespace qm
