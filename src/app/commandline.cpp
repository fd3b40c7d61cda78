#include "commandline.h"

#include "app/commands/calibratecommand.h"
#include "app/commands/commandsupport.h"
#include "app/commands/designcommand.h"
#include "app/commands/fieldscommand.h"
#include "app/commands/formatscommand.h"
#include "app/commands/printcommand.h"
#include "app/commands/printerscommand.h"
#include "app/commands/sheetcommand.h"
#include "app/commands/tablecommand.h"
#include "platform/errors.h"
#include "platform/version.h"
#include "printing/qt/qtprinteraccess.h"
#include "programdir/programdirectory.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <new>

#include <unistd.h>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
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
                return printersCommandOf(c, o, p);
            } },
        { "calibrate", 1,
            { valueOption("pdf", "AUSGABE.pdf"), QCommandLineOption(QStringLiteral("printer")) },
            [](const Call &c, QTextStream &o, QTextStream &e, IPrinterAccess &p) {
                return calibrateCommandOf(c, o, e, p);
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

DescriptorOutput::DescriptorOutput(int fd)
    : m_fd(fd)
{
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 DescriptorOutput::writeData(const char *data, qint64 size)
{
    if (m_error != 0)
        return -1;
    qint64 done = 0;
    while (done < size) {
        const ssize_t put = ::write(m_fd, data + done, static_cast<size_t>(size - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            m_error = put < 0 ? errno : ENOSPC;
            return -1;
        }
        done += put;
    }
    return size;
}

namespace {

// Why out could not be written, in German.
QString outputFailure(const QTextStream &out)
{
    const auto *device = dynamic_cast<const DescriptorOutput *>(out.device());
    const int number = device && device->errorNumber() != 0 ? device->errorNumber() : EIO;
    return tr("Die Ausgabe konnte nicht vollständig geschrieben werden: %1").arg(IoError::textFor(number));
}

int runCommand(const QStringList &arguments, QTextStream &out, QTextStream &err, IPrinterAccess &printers,
    const QString &shareDir)
{
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
        call.inUse = programDirectory(call.dirPath);
        call.shareDir = shareDir;
        call.listValues = listValues;
        if (!call.inUse && QFileInfo(defaultProgramDirectoryPath()).isDir())
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

} // namespace

std::optional<int> runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err,
    IPrinterAccess &printers, const QString &shareDir)
{
    if (!isCommandLineCall(arguments))
        return std::nullopt;
    const int code = runCommand(arguments, out, err, printers, shareDir);
    // A listing cut short is no success, whatever the command made of it.
    out.flush();
    if (out.status() == QTextStream::WriteFailed)
        return fail(err, outputFailure(out));
    return code;
}

} // namespace qm
