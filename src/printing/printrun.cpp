#include "printrun.h"

#include "catalogue/filelookup.h"
#include "data/databaseexpert.h"
#include "data/inputexpert.h"
#include "designs/rendering.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/services.h"
#include "printing/designeditor.h"
#include "printing/expansion.h"
#include "printing/layout.h"
#include "printing/pdfprinter.h"
#include "printing/printeraccess.h"
#include "printing/progresswindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// The progress window is hidden again however the print ends.
class ShownProgress
{
public:
    ShownProgress(IProgressWindow &window, const QString &printerName)
        : m_window(window)
    {
        m_window.showForRun(printerName);
    }
    ~ShownProgress() { m_window.hideWindow(); }
    ShownProgress(const ShownProgress &) = delete;
    ShownProgress &operator=(const ShownProgress &) = delete;

private:
    IProgressWindow &m_window;
};

} // namespace

PrintRun::PrintRun(
    ProgramDirectory dir, PrintSession &session, bool &dialogConfirmed, PrintRunServices services)
    : m_dir(std::move(dir))
    , m_session(session)
    , m_confirmed(dialogConfirmed)
    , m_services(services)
    , m_dateText([] { return shortDateText(); })
{ }

bool PrintRun::lookUp(QString &path, const QString &missingMessage)
{
    const std::optional<QString> found = resolveOpenPath(m_dir, path);
    if (!found) {
        m_services.messages.show(MessageKind::Plain, missingMessage, MessageButton::Ok);
        return false;
    }
    path = *found;
    return true;
}

bool PrintRun::loadDesign(QString &path)
{
    if (!lookUp(path, tr("Etiketten- bzw. Formulardatei nicht gefunden. Bearbeitung abgebrochen !")))
        return false;
    FieldGrids grids;
    grids.labelList = &m_session.labelList;
    grids.entryGrid = &m_session.entryGrid;
    grids.statusText = &m_session.designName;
    // A file that exists but cannot be opened leaves the design as it was;
    // the run goes on with it.
    EtikettdateiLesen(path, m_session.design, grids);
    return true;
}

bool PrintRun::loadFormat(QString &path)
{
    if (!lookUp(path, tr("Formatdatei nicht gefunden. Bearbeitung abgebrochen !")))
        return false;
    FormatdateiLesen(path, m_session.format);
    return true;
}

bool PrintRun::lookUpDatabase(QString &path)
{
    if (path.isEmpty()) {
        m_services.messages.show(
            MessageKind::Warning, tr("Keine Datenbank zu diesem Etikett bestimmt !"), MessageButton::Cancel);
        return false;
    }
    // The message names the place looked at last.
    const QString tried = m_dir.filePath(DateinameHolen(path));
    return lookUp(path, tr("Datenbank \"%1\" nicht gefunden. Bearbeitung abgebrochen !").arg(tried));
}

RunOutcome PrintRun::Ausfuehren(QString &designPath, QString &formatPath, int mode, QString &databasePath)
{
    try {
        // One empty record; rows of an earlier run must not come back when
        // the input expert adds records again.
        m_session.labelList.clearRowsFrom(1);
        m_session.labelList.setRowCount(2);
        m_session.entryGrid.clearRowsFrom(2);
        m_session.entryGrid.setRowCount(3);
        if (mode < EnterAndPrint || mode > EditDesign)
            return RunOutcome::Nothing;

        bool ok = true;
        if (mode == EnterAndPrint || mode == PrintFromDatabase || mode == EditDesign)
            ok = loadDesign(designPath);
        if (mode == EnterAndPrint || mode == PrintFromDatabase)
            ok = loadFormat(formatPath) && ok;

        switch (mode) {
        case EnterAndPrint:
            if (!ok)
                return RunOutcome::FileMissing;
            m_confirmed = false;
            m_services.inputExpert.setScrollPositions(m_session.offsetPositionX, m_session.offsetPositionY);
            m_services.inputExpert.setModus(QStringLiteral("E"));
            m_services.inputExpert.setStatusText(m_session.designName);
            m_services.inputExpert.showModal();
            if (!m_confirmed)
                return RunOutcome::Cancelled;
            return print(expandEntryGrid(m_session.entryGrid, m_session.labelList, m_session.serialInCopies));
        case PrintFromDatabase:
        case EditDatabase: {
            if ((mode == PrintFromDatabase && !ok) || !lookUpDatabase(databasePath))
                return RunOutcome::FileMissing;
            IDatabaseExpert *expert = m_services.databaseExpert;
            if (!expert) {
                m_services.messages.show(MessageKind::Information,
                    tr("Der Datenbank-Experte steht in dieser Version von Quillmark noch nicht "
                       "zur Verfügung. Bitte wählen Sie den Modus \"Eingeben und Drucken\"."),
                    MessageButton::Ok);
                return RunOutcome::NotAvailable;
            }
            if (mode == EditDatabase) {
                // Design and format are neither looked up nor loaded.
                expert->setEtikettendateiname(QString());
                expert->setVorlagendateiname(QString());
                expert->setDatenbankname(databasePath);
                expert->showModal();
                return RunOutcome::Edited; // nothing is printed in this mode
            }
            m_confirmed = false;
            m_services.inputExpert.setScrollPositions(m_session.offsetPositionX, m_session.offsetPositionY);
            expert->setEtikettendateiname(designPath);
            expert->setVorlagendateiname(formatPath);
            expert->setDatenbankname(databasePath);
            expert->showModal();
            if (!expert->recordsHandedOver())
                return RunOutcome::Cancelled;
            m_services.inputExpert.setModus(QStringLiteral("D"));
            m_services.inputExpert.setStatusText(m_session.designName);
            m_services.inputExpert.showModal();
            if (!m_confirmed)
                return RunOutcome::Cancelled;
            return print(expandEntryGrid(m_session.entryGrid, m_session.labelList, m_session.serialInCopies));
        }
        default:
            if (!ok)
                return RunOutcome::FileMissing;
            if (m_designEditor) {
                m_designEditor->setModus(QStringLiteral("N"));
                m_designEditor->setDateiname(designPath);
                m_designEditor->showModal();
                return RunOutcome::Edited;
            }
            m_services.messages.show(MessageKind::Information,
                tr("Der Design-Experte steht in dieser Version von Quillmark noch nicht zur "
                   "Verfügung. Bitte wählen Sie den Modus \"Eingeben und Drucken\"."),
                MessageButton::Ok);
            return RunOutcome::NotAvailable;
        }
    } catch (const Error &e) {
        m_services.messages.show(MessageKind::Error, e.message(), MessageButton::Ok);
        return RunOutcome::Failed;
    }
}

RunOutcome PrintRun::print(int labels)
{
    IMessages &messages = m_services.messages;
    const int start = strToInt(m_services.inputExpert.startLabelText());
    if (start < 1) {
        messages.show(
            MessageKind::Warning, tr("Das Startetikett muss mindestens 1 sein."), MessageButton::Ok);
        return RunOutcome::Failed;
    }
    if (labels < 1) {
        messages.show(MessageKind::Information, tr("Es gibt kein Etikett zu drucken."), MessageButton::Ok);
        return RunOutcome::Failed;
    }

    std::unique_ptr<IPrinterDevice> device;
    QString printerName;
    PdfPrinter *pdf = nullptr;
    if (const std::optional<PrinterName> name = m_services.printers.DruckerbezeichnungHolen()) {
        device = m_services.printers.openDefaultPrinter();
        printerName = name->device;
    }
    if (!device) {
        const MessageButton answer = messages.show(MessageKind::Warning,
            tr("Es ist kein Standarddrucker eingerichtet.\n"
               "Möchten Sie die Etiketten stattdessen als PDF-Datei speichern?"),
            MessageButton::Yes | MessageButton::No);
        if (answer != MessageButton::Yes)
            return RunOutcome::Cancelled;
        const QString path = m_services.fileDialogs.save(tr("Etiketten als PDF-Datei speichern"),
            tr("PDF-Datei (*.pdf)|*.pdf"), QStringLiteral("pdf"), QDir::homePath());
        if (path.isEmpty())
            return RunOutcome::Cancelled;
        auto pdfDevice = std::make_unique<PdfPrinter>(path);
        pdf = pdfDevice.get();
        device = std::move(pdfDevice);
        printerName = QFileInfo(path).fileName();
    }

    LayoutResult result;
    {
        ShownProgress shown(m_services.progress, printerName);
        m_services.waiter.wait(1000);
        m_session.offsetPositionX = m_services.inputExpert.scrollX();
        m_session.offsetPositionY = m_services.inputExpert.scrollY();

        LayoutRequest request;
        request.startPosition = start;
        request.lastPosition = start + labels - 1;
        request.offsetX = m_session.offsetPositionX - 250;
        request.offsetY = m_session.offsetPositionY - 250;
        request.frame = m_services.inputExpert.frameChecked();
        request.unitsPerCm = m_session.design.printScale;
        m_lastLabels = labels;
        m_lastPosition = request.lastPosition;
        const QString date = m_dateText();
        const LabelDrawing drawing(m_session.design);
        result = Ausdrucken(request, m_session.format, *device, m_services.progress, m_services.waiter,
            [&](ICanvas &canvas, int x, int y, int row, bool frame) {
                drawing.draw(canvas, m_session.labelList, x, y, row, frame, messages, date);
            });
    }

    switch (result) {
    case LayoutResult::Printed:
        return RunOutcome::Printed;
    case LayoutResult::Cancelled:
        return RunOutcome::PrintCancelled;
    case LayoutResult::Refused:
        messages.show(MessageKind::Warning,
            tr("Der Druckmaßstab der Etikettendatei ist ungültig. Es wurde nichts gedruckt."),
            MessageButton::Ok);
        return RunOutcome::Failed;
    case LayoutResult::DeviceFailed:
        break;
    }
    messages.show(MessageKind::Warning,
        pdf ? tr("Die PDF-Datei %1 konnte nicht geschrieben werden.").arg(printerName)
            : tr("Der Drucker %1 konnte nicht geöffnet werden. Es wurde nichts gedruckt.").arg(printerName),
        MessageButton::Ok);
    return RunOutcome::DeviceFailed;
}

} // namespace qm
