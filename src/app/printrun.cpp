#include "printrun.h"

#include "app/dialogs/progresswindow.h"
#include "data/databaseexpert.h"
#include "data/inputexpert.h"
#include "data/recordreader.h"
#include "designs/rendering.h"
#include "editor/designeditor.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/services.h"
#include "printing/barcodecheck.h"
#include "printing/layout.h"
#include "printing/pdfprinter.h"
#include "printing/preview.h"
#include "printing/printeraccess.h"
#include "printing/printercorrection.h"
#include "printing/printjob.h"
#include "programdir/filelookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <new>
#include <optional>

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

PrintRun::PrintRun(ProgramDirectory dir, PrintSession &session, PrintRunServices services)
    : m_dir(std::move(dir))
    , m_session(session)
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
    m_designFile = path;
    StringTable fields(1, 3);
    FieldGrids grids;
    grids.entryGrid = &fields;
    grids.statusText = &m_session.designName;
    // A file that exists but cannot be opened leaves the design as it was;
    // the run goes on with it.
    if (EtikettdateiLesen(path, m_session.design, grids))
        m_fields = fields;
    return true;
}

bool PrintRun::loadFormat(QString &path)
{
    if (!lookUp(path, tr("Formatdatei nicht gefunden. Bearbeitung abgebrochen !")))
        return false;
    FormatdateiLesen(path, m_session.format, &m_session.formatName);
    // A format without a description is named by its file.
    if (m_session.formatName.trimmed().isEmpty())
        m_session.formatName = DateinameHolen(path);
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

namespace {

// The design as the records of a table print with it: the table's fields
// take its data columns by position and name them; a field in the place of
// a serial number is printed as it stands.
PrintDesign designForTable(const PrintDesign &design, const QStringList &fieldNames)
{
    PrintDesign named = design;
    for (DataField &field : named.fields) {
        const qsizetype index = field.column - 1;
        if (index < 0 || index >= fieldNames.size())
            continue;
        if (field.title.startsWith(u"Seriennr."))
            field.size.clear();
        field.title = fieldNames[index];
    }
    return named;
}

// The input expert's check of a typed start label against the run's sheet.
IInputExpert::StartCheck startCheckFor(const SheetFormat &format)
{
    return [&format](int start) {
        const int labels = format.positionCount();
        return labels > 0 && start > labels ? startBeyondSheetMessage(start, labels) : QString();
    };
}

} // namespace

RunOutcome PrintRun::Ausfuehren(QString &designPath, QString &formatPath, int mode, QString &databasePath)
{
    try {
        // Records of an earlier run must not come back.
        m_fromDatabase = false;
        m_selectedRecords.clear();
        if (mode < EnterAndPrint || mode > EditDesign)
            return RunOutcome::Nothing;

        bool ok = true;
        if (mode == EnterAndPrint || mode == PrintFromDatabase || mode == EditDesign)
            ok = loadDesign(designPath);
        if (mode == EnterAndPrint || mode == PrintFromDatabase)
            ok = loadFormat(formatPath) && ok;

        IInputExpert &input = m_services.inputExpert;
        switch (mode) {
        case EnterAndPrint:
            if (!ok)
                return RunOutcome::FileMissing;
            input.setScrollPositions(m_session.offsetPositionX, m_session.offsetPositionY);
            input.setFields(m_fields);
            input.setModus(QStringLiteral("E"));
            input.setStatusText(m_session.designName, m_session.formatName);
            input.setStartCheck(startCheckFor(m_session.format));
            // A value a barcode field cannot print is refused as it is typed.
            input.setValueCheck(
                [columns = barcodeColumns(m_session.design)](int field, const QString &value, int record) {
                    return unprintableValue(columns, record, field, value);
                });
            if (!input.showModal())
                return RunOutcome::Cancelled;
            return print();
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
            input.setScrollPositions(m_session.offsetPositionX, m_session.offsetPositionY);
            expert->setEtikettendateiname(designPath);
            expert->setVorlagendateiname(formatPath);
            expert->setDatenbankname(databasePath);
            std::optional<SelectedRecords> handed = expert->showModal();
            if (!handed)
                return RunOutcome::Cancelled;
            // The records are printed with the design the window showed last.
            if (QString shown = expert->etikettendateiname(); !shown.isEmpty() && shown != designPath) {
                if (!loadDesign(shown))
                    return RunOutcome::FileMissing;
            }
            m_fromDatabase = true;
            m_selectedRecords = std::move(handed->records);
            m_tableDesign = designForTable(m_session.design, handed->fieldNames);
            input.setFields(m_fields);
            input.setModus(QStringLiteral("D"));
            input.setStatusText(m_session.designName, m_session.formatName);
            input.setStartCheck(startCheckFor(m_session.format));
            if (!input.showModal())
                return RunOutcome::Cancelled;
            return print();
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
    } catch (const std::bad_alloc &) {
        m_services.messages.show(MessageKind::Error, outOfMemoryMessage(), MessageButton::Ok);
        return RunOutcome::Failed;
    }
}

QList<QStringList> PrintRun::runRecords() const
{
    return m_fromDatabase ? m_selectedRecords : m_services.inputExpert.records();
}

PrintJob PrintRun::job(IRecordReader *records, int start, bool frame, int scrollX, int scrollY) const
{
    PrintJob job;
    job.design = m_fromDatabase ? &m_tableDesign : &m_session.design;
    job.format = m_session.format;
    job.records = records;
    job.serialInCopies = m_session.serialInCopies;
    job.startPosition = start;
    job.offsetX = scrollX - 250;
    job.offsetY = scrollY - 250;
    job.frame = frame;
    job.pictureFolder = m_dir.path();
    job.dateText = m_dateText();
    job.messages = &m_services.messages;
    return job;
}

namespace {

// The start label as typed: a whole number of 1 or more.
int startLabelOf(const QString &text)
{
    const int start = strToInt(text);
    if (start < 1)
        throw Error(QCoreApplication::translate("qm", "Das Startetikett muss mindestens 1 sein."));
    return start;
}

} // namespace

std::unique_ptr<PreviewPages> PrintRun::preview(
    const QString &startLabelText, bool frame, int scrollX, int scrollY, int dotsPerInch)
{
    const int start = startLabelOf(startLabelText);
    // The preview keeps its own copy of the records: the input expert goes
    // on changing its own.
    auto records = std::make_unique<ListRecords>(runRecords());
    PrintJob previewJob = job(records.get(), start, frame, scrollX, scrollY);
    // On screen the preview says nothing of what the drawing meets.
    previewJob.messages = nullptr;
    return std::make_unique<PreviewPages>(previewJob, dotsPerInch, std::move(records));
}

// A file name for the PDF from the design's name, else its file's name;
// characters that a file name cannot hold on any system become "_".
QString PrintRun::suggestedPdfName() const
{
    QString name = m_session.design.name.trimmed();
    if (name.isEmpty())
        name = QFileInfo(DateinameHolen(m_designFile)).completeBaseName();
    if (name.isEmpty())
        name = tr("Etiketten");
    static const QRegularExpression unfit(QStringLiteral(R"([\\/:*?"<>|\x00-\x1f])"));
    name.replace(unfit, QStringLiteral("_"));
    return name + QStringLiteral(".pdf");
}

RunOutcome PrintRun::print()
{
    IMessages &messages = m_services.messages;
    IInputExpert &input = m_services.inputExpert;
    // The confirmed dialog's offsets are kept for the next run, whatever
    // becomes of this one.
    m_session.offsetPositionX = input.scrollX();
    m_session.offsetPositionY = input.scrollY();
    int start = 0;
    try {
        start = startLabelOf(input.startLabelText());
    } catch (const ConvertError &) {
        throw;
    } catch (const Error &e) {
        messages.show(MessageKind::Warning, e.message(), MessageButton::Ok);
        return RunOutcome::Failed;
    }
    const QList<QStringList> rows = runRecords();
    ListRecords records(rows);
    PrintJob printJob = job(&records, start, input.frameChecked(), input.scrollX(), input.scrollY());

    // Everything that would stop the run (scale, start, offsets, sheet,
    // pictures, copies, serial numbers, every value and barcode) is checked
    // before a printer is asked for.
    std::optional<LabelRun> run;
    const auto makeRun = [&](const PrintJob &checked) {
        try {
            run.emplace(checked);
            return true;
        } catch (const ConvertError &) {
            throw;
        } catch (const Error &e) {
            const bool nothing = e.message() == tr("Es gibt kein Etikett zu drucken.");
            messages.show(nothing ? MessageKind::Information : MessageKind::Warning, e.message(),
                MessageButton::Ok);
            return false;
        }
    };
    if (!makeRun(printJob))
        return RunOutcome::Failed;
    // Barcodes the design leaves out are named once, before anything is printed.
    if (const QStringList notices = run->designNotices(); !notices.isEmpty())
        messages.show(MessageKind::Information, notices.join(u'\n'), MessageButton::Ok);

    std::unique_ptr<IPrinterDevice> device;
    QString printerName;
    PdfPrinter *pdf = nullptr;
    QString pdfPath;
    std::optional<PrinterSettings> printerSettings;
    if (m_services.settings)
        printerSettings.emplace(*m_services.settings);
    PrinterTarget target
        = openPrinterFor(m_services.printers, printerSettings ? printerSettings->chosenPrinter() : QString());
    device = std::move(target.device);
    printerName = target.name;
    if (device && !target.notice.isEmpty())
        messages.show(MessageKind::Information, target.notice, MessageButton::Ok);
    if (!device) {
        const MessageButton answer = messages.show(MessageKind::Warning,
            tr("Es ist kein Standarddrucker eingerichtet.\n"
               "Möchten Sie die Etiketten stattdessen als PDF-Datei speichern?"),
            MessageButton::Yes | MessageButton::No);
        if (answer != MessageButton::Yes)
            return RunOutcome::Cancelled;
        const QString folder = m_session.lastPdfFolder.isEmpty() ? QDir::homePath() : m_session.lastPdfFolder;
        const QString path = m_services.fileDialogs.save(tr("Etiketten als PDF-Datei speichern"),
            tr("PDF-Datei (*.pdf)|*.pdf"), QStringLiteral("pdf"), QDir(folder).filePath(suggestedPdfName()));
        if (path.isEmpty())
            return RunOutcome::Cancelled;
        m_session.lastPdfFolder = QFileInfo(path).absolutePath();
        pdfPath = QFileInfo(path).absoluteFilePath();
        auto pdfDevice = std::make_unique<PdfPrinter>(path);
        pdf = pdfDevice.get();
        device = std::move(pdfDevice);
        printerName = QFileInfo(path).fileName();
    }
    const QString correctionName = pdf ? pdfCorrectionName() : printerName;
    PrinterCorrection correction;
    if (printerSettings) {
        correction = printerSettings->correction(correctionName);
        if (const QString notice = printerSettings->badCorrectionNotice(correctionName); !notice.isEmpty())
            messages.show(MessageKind::Warning, notice, MessageButton::Ok);
    }
    // The printer is known only now. Its correction may move a label of the
    // run off the page.
    if (const QString reason = run->setDevice(printerName, pdf != nullptr, correction, correctionName);
        !reason.isEmpty()) {
        messages.show(MessageKind::Warning, reason, MessageButton::Ok);
        return RunOutcome::Failed;
    }

    // "Ohne Wartezeiten drucken": as fast as the command line, the progress
    // window kept painted by its own progress calls.
    const bool withoutWaits = printerSettings && printerSettings->printWithoutWaits();
    PrintOutcome outcome;
    {
        ShownProgress shown(m_services.progress, printerName);
        m_lastLabels = run->labels();
        m_lastPosition = run->lastPosition();
        if (withoutWaits) {
            outcome = run->print(*device, m_services.progress);
        } else {
            m_services.waiter.wait(1000);
            PacedPrintProgress paced(m_services.progress, m_services.waiter);
            outcome = run->print(*device, paced);
        }
    }
    // Texts cut at a label's edge, named once after the run.
    const auto tellNotices = [&] {
        if (!outcome.noticeMessage.isEmpty())
            messages.show(MessageKind::Information, outcome.noticeMessage, MessageButton::Ok);
    };

    switch (outcome.result) {
    case PrintOutcome::Result::Printed:
        if (pdf)
            messages.show(MessageKind::Information,
                tr("Die Etiketten sind als PDF-Datei gespeichert:\n%1\n\n"
                   "Drucken Sie die Datei in Originalgröße (ohne Anpassen an die Seite), "
                   "dann trifft jedes Etikett seinen Platz auf dem Bogen.")
                    .arg(QDir::toNativeSeparators(pdfPath)),
                MessageButton::Ok);
        tellNotices();
        return RunOutcome::Printed;
    case PrintOutcome::Result::Cancelled:
        // Paper shows what came out; a file must say that it is not whole.
        if (pdf)
            messages.show(MessageKind::Information,
                tr("Der Druck wurde abgebrochen. Die PDF-Datei enthält nur die Etiketten bis zum "
                   "Abbruch:\n%1")
                    .arg(QDir::toNativeSeparators(pdfPath)),
                MessageButton::Ok);
        tellNotices();
        return RunOutcome::PrintCancelled;
    case PrintOutcome::Result::Refused:
    case PrintOutcome::Result::Changed:
        messages.show(MessageKind::Warning, outcome.message, MessageButton::Ok);
        return RunOutcome::Failed;
    case PrintOutcome::Result::DeviceFailed:
    case PrintOutcome::Result::EndFailed:
        break;
    }
    QString text = outcome.message;
    if (!pdf && outcome.result == PrintOutcome::Result::DeviceFailed)
        text += QLatin1Char(' ') + tr("Es wurde nichts gedruckt.");
    messages.show(MessageKind::Warning, text, MessageButton::Ok);
    return RunOutcome::DeviceFailed;
}

} // namespace qm
