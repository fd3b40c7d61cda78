#include "commandline.h"

#include "app/tablecommand.h"
#include "data/shapelibtable.h"
#include "designs/design.h"
#include "designs/etifile.h"
#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "catalogue/programdirectory.h"
#include "formats/formatcatalogue.h"
#include "formats/formatexpertcore.h"
#include "formats/formatimport.h"
#include "formats/sheetformat.h"
#include "formats/sheetgrid.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/services.h"
#include "platform/stringtable.h"
#include "platform/textfile.h"
#include "platform/version.h"
#include "printing/expansion.h"
#include "printing/layout.h"
#include "printing/pdfprinter.h"
#include "printing/printeraccess.h"
#include "printing/printerdecorator.h"
#include "printing/qt/qtprinteraccess.h"

#include <QCoreApplication>

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

// One line per data column as the print run sees it: column, title, size.
int fieldsCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1)
        return fail(err, tr("Aufruf: quillmark fields ETIKETT.eti"));
    PrintDesign design;
    StringTable labelList;
    StringTable entryGrid;
    FieldGrids grids;
    grids.labelList = &labelList;
    grids.entryGrid = &entryGrid;
    if (!fileExists(args[0]) || !EtikettdateiLesen(args[0], design, grids))
        return fail(err,
            args[0] + QStringLiteral(": ")
                + tr("Etiketten- bzw. Formulardatei nicht gefunden. Bearbeitung abgebrochen !"));
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
int sheetGridCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString usage = tr("Aufruf: quillmark sheet --grid B H N M LINKS OBEN ABSTANDX ABSTANDY "
                             "--description TEXT --save AUSGABE.vrl");
    QStringList grid;
    QString description, output;
    bool descriptionGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == QLatin1String("--grid") && i + 8 < args.size() && grid.isEmpty()) {
            grid = args.mid(i + 1, 8);
            i += 8;
        } else if (args[i] == QLatin1String("--description") && hasValue) {
            description = args[++i];
            descriptionGiven = true;
        } else if (args[i] == QLatin1String("--save") && hasValue) {
            output = args[++i];
        } else {
            return fail(err, usage);
        }
    }
    if (grid.size() != 8 || !descriptionGiven || output.isEmpty())
        return fail(err, usage);
    if (description.isEmpty())
        return fail(err, tr("Bitte geben Sie eine Beschreibung das Format ein !"));
    if (description.size() > MaxDescriptionLength)
        return fail(err, tr("Die Beschreibung ist länger als %1 Zeichen.").arg(MaxDescriptionLength));
    const GridTexts texts { grid[0], grid[1], grid[2], grid[3], grid[4], grid[5], grid[6], grid[7] };
    saveCheckedTemplate(output, description, texts);
    SheetFormat format;
    if (!FormatdateiLesen(output, format))
        return fail(err, output + QStringLiteral(": ") + tr("Formatdatei nicht gefunden !"));
    listSheet(format, out);
    return 0;
}

int sheetCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.contains(QLatin1String("--grid")))
        return sheetGridCommand(args, out, err);
    if (args.size() != 1)
        return fail(err, tr("Aufruf: quillmark sheet FORMAT.vrl"));
    SheetFormat format;
    if (!fileExists(args[0]) || !FormatdateiLesen(args[0], format))
        return fail(err,
            args[0] + QStringLiteral(": ") + tr("Formatdatei nicht gefunden. Bearbeitung abgebrochen !"));
    listSheet(format, out);
    return 0;
}

// formats [--dir DIR] [--import FILE.xml]: lists the format catalogue, or
// adds the formats of a template file to "Individuelle Formate".
int formatsCommand(const QStringList &args, QTextStream &out, QTextStream &err, const QString &shareDir)
{
    const QString usage = tr("Aufruf: quillmark formats [--dir VERZEICHNIS] [--import VORLAGEN.xml]");
    QString dirPath, importPath;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == QLatin1String("--dir") && hasValue)
            dirPath = args[++i];
        else if (args[i].startsWith(QLatin1String("--dir=")))
            dirPath = args[i].mid(6);
        else if (args[i] == QLatin1String("--import") && hasValue && importPath.isEmpty())
            importPath = args[++i];
        else
            return fail(err, usage);
    }
    const ProgramDirectory dir = openProgramDirectory(dirPath, shareDir);
    if (!importPath.isEmpty()) {
        const ImportResult result = importTemplateFile(dir, importPath);
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
    createFormatsFileIfMissing(dir.formatsFile());
    for (const FormatEntry &entry : readFormatsFile(dir.formatsFile()))
        out << entry.area << '\t' << entry.description << '\t' << entry.file << '\n';
    return 0;
}

int designCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString input;
    QString output;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--save") && i + 1 < args.size()) {
            output = args[++i];
        } else if (input.isEmpty() && !args[i].startsWith(QLatin1String("--"))) {
            input = args[i];
        } else {
            return fail(err, tr("Aufruf: quillmark design EINGABE.eti [--save AUSGABE.eti]"));
        }
    }
    if (input.isEmpty())
        return fail(err, tr("Aufruf: quillmark design EINGABE.eti [--save AUSGABE.eti]"));
    Design design;
    const EtiLoadResult result = Eladen(input, design);
    if (result.oldBitmapRecord)
        err << oldBitmapMessage() << Qt::endl;
    out << design.description << '\t' << design.widthMm << '\t' << design.heightMm << '\n';
    for (const Element &element : design.elements)
        out << element.row().join(QLatin1Char('\t')) << '\n';
    if (!output.isEmpty())
        Espeichern(output, design);
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

int offsetValue(const QString &text)
{
    const int value = strToInt(text);
    if (value < -250 || value > 250)
        throw Error(tr("Der Versatz %1 liegt nicht zwischen -250 und 250 Zehntelmillimetern.").arg(value));
    return value;
}

int printCommand(const QStringList &args, QTextStream &out, QTextStream &err, IPrinterAccess &printers)
{
    const QString usage
        = tr("Aufruf: quillmark print ETIKETT.eti FORMAT.vrl [--records DATEI.csv | --table DATENBANK.dbf "
             "[--where FELD=WERT ...]] [--start N] "
             "[--frame] [--offset-x T] [--offset-y T] [--serial-per-record] "
             "(--pdf AUSGABE.pdf | --printer)");
    QStringList files;
    QString records, pdf, table;
    QStringList where;
    QString start = QStringLiteral("1");
    int offsetX = 0, offsetY = 0;
    bool frame = false, serialInCopies = true, printer = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--records") && hasValue)
            records = args[++i];
        else if (a == QLatin1String("--table") && hasValue)
            table = args[++i];
        else if (a == QLatin1String("--where") && hasValue)
            where << args[++i];
        else if (a == QLatin1String("--pdf") && hasValue)
            pdf = args[++i];
        else if (a == QLatin1String("--start") && hasValue)
            start = args[++i];
        else if (a == QLatin1String("--offset-x") && hasValue)
            offsetX = offsetValue(args[++i]);
        else if (a == QLatin1String("--offset-y") && hasValue)
            offsetY = offsetValue(args[++i]);
        else if (a == QLatin1String("--frame"))
            frame = true;
        else if (a == QLatin1String("--serial-per-record"))
            serialInCopies = false;
        else if (a == QLatin1String("--printer"))
            printer = true;
        else if (!a.startsWith(QLatin1String("--")))
            files.append(a);
        else
            return fail(err, usage);
    }
    if (files.size() != 2 || (pdf.isEmpty() == !printer) || (!records.isEmpty() && !table.isEmpty())
        || (table.isEmpty() && !where.isEmpty()))
        return fail(err, usage);

    PrintDesign design;
    StringTable labelList, entryGrid;
    FieldGrids grids;
    grids.labelList = &labelList;
    grids.entryGrid = &entryGrid;
    if (!fileExists(files[0]) || !EtikettdateiLesen(files[0], design, grids))
        return fail(err,
            files[0] + QStringLiteral(": ")
                + tr("Etiketten- bzw. Formulardatei nicht gefunden. Bearbeitung abgebrochen !"));
    SheetFormat format;
    if (!fileExists(files[1]) || !FormatdateiLesen(files[1], format))
        return fail(err,
            files[1] + QStringLiteral(": ") + tr("Formatdatei nicht gefunden. Bearbeitung abgebrochen !"));
    const int startPosition = strToInt(start);
    if (startPosition < 1)
        throw Error(tr("Die Startposition muss mindestens 1 sein."));

    QList<QStringList> rows;
    if (!table.isEmpty()) {
        ShapelibTable tableEngine;
        if (entryGridFromTable(tableEngine, table, where, entryGrid) < 1)
            throw Error(tr("Keine Datensätze ausgewählt: es gibt kein Etikett zu drucken."));
    } else if (records.isEmpty())
        rows.append(QStringList { QStringLiteral("1") });
    else
        rows = readCsvRecords(readFileBytes(records), design.fieldCount);
    if (table.isEmpty())
        entryGrid.setColCount(design.fieldCount + 1);
    for (qsizetype k = 0; k < rows.size(); ++k) {
        for (qsizetype c = 0; c < rows[k].size(); ++c)
            entryGrid.setCell(int(c), int(k) + 2, rows[k][c]);
        entryGrid.setRowCount(int(k) + 3);
    }
    const int labels = expandEntryGrid(entryGrid, labelList, serialInCopies);
    if (labels < 1)
        throw Error(tr("Es gibt kein Etikett zu drucken."));

    std::unique_ptr<IPrinterDevice> target;
    QString destination = pdf;
    if (printer) {
        const std::optional<PrinterName> name = printers.DruckerbezeichnungHolen();
        if (name)
            target = printers.openDefaultPrinter();
        if (!target)
            return fail(err,
                tr("Es ist kein Standarddrucker eingerichtet. Bitte einen Drucker als "
                   "Standarddrucker festlegen oder mit --pdf in eine PDF-Datei drucken."));
        destination = name->device;
    } else {
        target = std::make_unique<PdfPrinter>(pdf);
    }
    WatchedPrinter device(*target);
    NullPrintProgress progress;
    NoWait waiter;
    StreamMessages messages(err);
    LayoutRequest request;
    request.startPosition = startPosition;
    request.lastPosition = startPosition + labels - 1;
    request.offsetX = offsetX;
    request.offsetY = offsetY;
    request.frame = frame;
    request.unitsPerCm = design.printScale;
    const QString date = shortDateText();
    const LabelDrawing drawing(design);
    const LayoutResult result = Ausdrucken(request, format, device, progress, waiter,
        [&](ICanvas &canvas, int x, int y, int row, bool withFrame) {
            drawing.draw(canvas, labelList, x, y, row, withFrame, messages, date);
        });
    if (printer) {
        if (result != LayoutResult::Printed || !device.begun())
            return fail(err, tr("Der Drucker %1 konnte nicht geöffnet werden.").arg(destination));
        if (!device.ended())
            return fail(
                err, tr("Der Druckauftrag für %1 konnte nicht abgeschlossen werden.").arg(destination));
        out << tr("%1 Etiketten auf %2 Seiten an %3").arg(labels).arg(device.pageCount()).arg(destination)
            << '\n';
        return 0;
    }
    if (result != LayoutResult::Printed || !device.begun() || !device.ended())
        return fail(err, tr("Die PDF-Datei %1 konnte nicht geschrieben werden.").arg(pdf));
    out << tr("%1 Etiketten auf %2 Seiten in %3").arg(labels).arg(device.pageCount()).arg(pdf) << '\n';
    return 0;
}

} // namespace

QString usageText()
{
    return tr("Aufruf: quillmark [--dir VERZEICHNIS]\n"
              "       quillmark fields ETIKETT.eti\n"
              "       quillmark sheet FORMAT.vrl\n"
              "       quillmark sheet --grid B H N M LINKS OBEN ABSTANDX ABSTANDY\n"
              "                 --description TEXT --save AUSGABE.vrl\n"
              "       quillmark formats [--dir VERZEICHNIS] [--import VORLAGEN.xml]\n"
              "       quillmark design EINGABE.eti [--save AUSGABE.eti]\n"
              "       quillmark print ETIKETT.eti FORMAT.vrl [--records DATEI.csv] [--start N]\n"
              "                 [--frame] [--offset-x T] [--offset-y T] [--serial-per-record]\n"
              "                 (--pdf AUSGABE.pdf | --printer)\n"
              "       quillmark print ETIKETT.eti FORMAT.vrl --table DATENBANK.dbf [--where FELD=WERT ...]\n"
              "                 [--start N] [--frame] (--pdf AUSGABE.pdf | --printer)\n"
              "       quillmark table DATENBANK.dbf [--create ETIKETT.eti]\n"
              "                 [--import TEXTDATEI [--lines N] [--skip-lead-line]]\n"
              "       quillmark --help | --version\n"
              "\n"
              "Ohne Befehl startet Quillmark mit seinem Hauptfenster.\n"
              "\n"
              "Befehle:\n"
              "  fields   zeigt die Datenfelder einer Etikettendatei: Spalte, Titel, Größe\n"
              "  sheet    zeigt Beschreibung und Bogengröße einer Formatdatei und darunter\n"
              "           jede Etikettenposition: Nummer, x, y, Breite, Höhe (in 1/10 mm);\n"
              "           mit --grid wird ein Format aus Etikettengröße, Anzahl nebeneinander\n"
              "           und untereinander, Rändern und Abständen (in mm) gespeichert\n"
              "  formats  zeigt den Formatkatalog: Bereich, Beschreibung, Datei; mit --import\n"
              "           werden die Formate einer Vorlagendatei (XML im Format der\n"
              "           gLabels-Vorlagen) unter \"Individuelle Formate\" aufgenommen\n"
              "  design   zeigt Beschreibung, Breite und Höhe (mm) und die Elemente einer\n"
              "           Etikettendatei; mit --save wird sie im aktuellen Format gespeichert\n"
              "  print    druckt Etiketten auf Bögen des Formats, ab Position N (Standard 1),\n"
              "           mit --pdf in eine PDF-Datei, mit --printer auf den Standarddrucker;\n"
              "           DATEI.csv: Kopfzeile, dann je Datensatz Anzahl und die Werte der\n"
              "           Datenfelder; Versatz T in 1/10 mm (-250 bis 250); mit --table je\n"
              "           ausgewähltem Datensatz ein Etikett, Feld n der Datenbank für Datenfeld n\n"
              "           (--where FELD=WERT: bis zu drei Kriterien, verknüpft durch ODER)\n"
              "  table    zeigt die Feldnamen und die Datensätze einer dBASE-Datenbank\n"
              "           (durch Tabulatoren getrennt); --create legt sie aus den Feldern einer\n"
              "           Etikettendatei an, --import hängt Datensätze aus einer Textdatei an\n"
              "           (N Zeilen je Datensatz, Standard: die Anzahl der Felder)\n"
              "\n"
              "Optionen:\n"
              "  --dir VERZEICHNIS  Programmverzeichnis (sonst ~/.local/share/Quillmark)\n"
              "  --help             diese Übersicht\n"
              "  --version          Programmversion\n");
}

bool isCommandLineCall(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return false;
    static const QStringList commands = { QStringLiteral("fields"), QStringLiteral("sheet"),
        QStringLiteral("design"), QStringLiteral("print"), QStringLiteral("formats"), QStringLiteral("table"),
        QStringLiteral("--help"), QStringLiteral("-h"), QStringLiteral("--version") };
    return commands.contains(arguments.first());
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
    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    try {
        if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
            out << usageText();
            return 0;
        }
        if (command == QLatin1String("--version")) {
            out << tr("Quillmark %1 (Dateiversion %2)")
                       .arg(QLatin1String(kProgramVersion), QLatin1String(kFileVersion))
                << '\n';
            return 0;
        }
        if (command == QLatin1String("fields"))
            return fieldsCommand(rest, out, err);
        if (command == QLatin1String("sheet"))
            return sheetCommand(rest, out, err);
        if (command == QLatin1String("formats"))
            return formatsCommand(rest, out, err, shareDir);
        if (command == QLatin1String("print"))
            return printCommand(rest, out, err, printers);
        if (command == QLatin1String("table")) {
            ShapelibTable table;
            return tableCommand(rest, out, err, table);
        }
        return designCommand(rest, out, err);
    } catch (const Error &e) {
        return fail(err, e.message());
    }
}

} // namespace qm
