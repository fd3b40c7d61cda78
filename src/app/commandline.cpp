#include "commandline.h"

#include "designs/design.h"
#include "designs/etifile.h"
#include "designs/printdesign.h"
#include "formats/sheetformat.h"
#include "platform/errors.h"
#include "platform/stringtable.h"
#include "platform/textfile.h"
#include "platform/version.h"

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
        return fail(err, args[0] + QStringLiteral(": ")
                             + tr("Etiketten- bzw. Formulardatei nicht gefunden. Bearbeitung abgebrochen !"));
    for (int column = 1; column <= design.fieldCount; ++column)
        out << column << '\t' << labelList.cell(column, 0) << '\t' << entryGrid.cell(column, 1) << '\n';
    return 0;
}

int sheetCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1)
        return fail(err, tr("Aufruf: quillmark sheet FORMAT.vrl"));
    SheetFormat format;
    if (!fileExists(args[0]) || !FormatdateiLesen(args[0], format))
        return fail(err, args[0] + QStringLiteral(": ")
                             + tr("Formatdatei nicht gefunden. Bearbeitung abgebrochen !"));
    out << format.description << '\t' << format.extentWidth << '\t' << format.extentHeight << '\n';
    for (int i = 1; i <= format.positionCount(); ++i) {
        int x = 0, y = 0, w = 0, h = 0;
        HolePosition(format, i, 0.0, 0.0, x, y, w, h);
        out << i << '\t' << x << '\t' << y << '\t' << w << '\t' << h << '\n';
    }
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

} // namespace

QString usageText()
{
    return tr("Aufruf: quillmark [--dir VERZEICHNIS]\n"
              "       quillmark fields ETIKETT.eti\n"
              "       quillmark sheet FORMAT.vrl\n"
              "       quillmark design EINGABE.eti [--save AUSGABE.eti]\n"
              "       quillmark --help | --version\n"
              "\n"
              "Ohne Befehl startet Quillmark mit seinem Hauptfenster.\n"
              "\n"
              "Befehle:\n"
              "  fields   zeigt die Datenfelder einer Etikettendatei: Spalte, Titel, Größe\n"
              "  sheet    zeigt Beschreibung und Bogengröße einer Formatdatei und darunter\n"
              "           jede Etikettenposition: Nummer, x, y, Breite, Höhe (in 1/10 mm)\n"
              "  design   zeigt Beschreibung, Breite und Höhe (mm) und die Elemente einer\n"
              "           Etikettendatei; mit --save wird sie im aktuellen Format gespeichert\n"
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
    static const QStringList commands = {QStringLiteral("fields"), QStringLiteral("sheet"),
                                         QStringLiteral("design"), QStringLiteral("--help"),
                                         QStringLiteral("-h"), QStringLiteral("--version")};
    return commands.contains(arguments.first());
}

std::optional<int> runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err)
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
            out << tr("Quillmark %1 (Dateiversion %2)").arg(QLatin1String(kProgramVersion), QLatin1String(kFileVersion))
                << '\n';
            return 0;
        }
        if (command == QLatin1String("fields"))
            return fieldsCommand(rest, out, err);
        if (command == QLatin1String("sheet"))
            return sheetCommand(rest, out, err);
        return designCommand(rest, out, err);
    } catch (const Error &e) {
        return fail(err, e.message());
    }
}

} // namespace qm
