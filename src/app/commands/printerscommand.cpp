#include "printerscommand.h"

#include "app/commands/commandsupport.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/settings.h"
#include "printing/printeraccess.h"
#include "printing/printercorrection.h"
#include "printing/printers/printerchoice.h"

#include <QCoreApplication>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// A number of the correction as typed, strictly converted.
int correctionValue(const QString &text, int empty)
{
    return text.isEmpty() ? empty : strToInt(text);
}

Error unknownPrinter(const QString &name)
{
    return Error(tr("Den Drucker %1 gibt es nicht; \"quillmark printers\" zeigt die Drucker.").arg(name));
}

} // namespace

PrinterTarget commandLinePrinter(
    IPrinterAccess &printers, ISettings &settings, const QString &wanted, QTextStream &err)
{
    if (!wanted.isEmpty() && !isAvailablePrinter(printers, wanted))
        throw unknownPrinter(wanted);
    PrinterTarget target
        = openPrinterFor(printers, wanted.isEmpty() ? PrinterSettings(settings).chosenPrinter() : wanted);
    if (!target.device)
        throw Error(tr("Es ist kein Standarddrucker eingerichtet. Bitte einen Drucker als "
                       "Standarddrucker festlegen oder mit --pdf in eine PDF-Datei drucken."));
    if (!target.notice.isEmpty())
        err << target.notice << Qt::endl;
    return target;
}

int printersCommand(const PrintersCall &call, QTextStream &out, IPrinterAccess &printers, ISettings &settings)
{
    PrinterSettings stored(settings);
    if (call.calibrate) {
        const QString &name = *call.calibrate;
        if (name != pdfCorrectionName() && !isAvailablePrinter(printers, name))
            throw unknownPrinter(name);
        const PrinterCorrection correction { correctionValue(call.offsetX, 0),
            correctionValue(call.offsetY, 0), correctionValue(call.scaleX, 1000),
            correctionValue(call.scaleY, 1000) };
        stored.setCorrection(name, correction);
        out << name << '\t' << correctionText(correction) << '\n';
        return 0;
    }
    // The rows of "&Druckparameter ...", the PDF files' entry last.
    const PrinterChoiceCore choice(printers, settings);
    for (const PrinterChoiceCore::Row &row : choice.rows()) {
        QStringList marks;
        if (row.isDefault)
            marks << tr("Standard");
        if (row.chosen)
            marks << tr("gewählt");
        if (row.isPdf)
            marks << row.location;
        out << row.name << '\t' << (row.isPdf ? QString() : row.location) << '\t' << row.state << '\t'
            << marks.join(QStringLiteral(", ")) << '\t' << row.correction << '\n';
    }
    return 0;
}

int printersCommandOf(const Call &call, QTextStream &out, IPrinterAccess &printers)
{
    PrintersCall printersCall;
    if (call.isSet("calibrate"))
        printersCall.calibrate = call.value("calibrate");
    else if (call.isSet("offset-x") || call.isSet("offset-y") || call.isSet("scale-x")
        || call.isSet("scale-y"))
        throw UsageError(tr("--offset-x, --offset-y, --scale-x und --scale-y gelten nur mit "
                            "--calibrate."),
            usageOf(QStringLiteral("printers")));
    printersCall.offsetX = call.value("offset-x");
    printersCall.offsetY = call.value("offset-y");
    printersCall.scaleX = call.value("scale-x");
    printersCall.scaleY = call.value("scale-y");
    IniFileSettings settings(defaultSettingsPath());
    return printersCommand(printersCall, out, printers, settings);
}

} // namespace qm
