#include "printrun.h"

#include "designs/barcodelookahead.h"
#include "designs/drawingnotices.h"
#include "designs/rendering.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/services.h"
#include "printing/barcodecheck.h"
#include "printing/databaseexpert.h"
#include "printing/designeditor.h"
#include "printing/expansion.h"
#include "printing/inputexpert.h"
#include "printing/labelsource.h"
#include "printing/layout.h"
#include "printing/pdfprinter.h"
#include "printing/preview.h"
#include "printing/printeraccess.h"
#include "printing/printercorrection.h"
#include "printing/progresswindow.h"
#include "programdir/filelookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

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

// The record each label of the label list comes from, as expandEntryGrid()
// makes them from the entry grid: row 2 is record 1, each as often as its
// copies say.
class RecordOfLabel
{
public:
    explicit RecordOfLabel(const StringTable &entryGrid)
    {
        qint64 labels = 0;
        for (int r = 2; r < entryGrid.rowCount(); ++r) {
            labels += std::max(strToInt(entryGrid.cell(0, r)), 0);
            m_lastLabel.push_back(labels);
        }
    }
    // The record (from 1) of label `row` (from 1).
    qint64 operator()(int row) const
    {
        const auto found = std::lower_bound(m_lastLabel.begin(), m_lastLabel.end(), row);
        return found - m_lastLabel.begin() + 1;
    }

private:
    std::vector<qint64> m_lastLabel; // by record: the last label it gives
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
    m_designFile = path;
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
            m_services.inputExpert.setStatusText(m_session.designName, m_session.formatName);
            m_services.inputExpert.setStartCheck(startCheckFor(m_session.format));
            // A value a barcode field cannot print is refused as it is typed.
            m_services.inputExpert.setValueCheck(
                [columns = barcodeColumns(m_session.design)](int field, const QString &value, int record) {
                    return unprintableValue(columns, record, field, value);
                });
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
            m_services.inputExpert.setStatusText(m_session.designName, m_session.formatName);
            m_services.inputExpert.setStartCheck(startCheckFor(m_session.format));
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
    } catch (const std::bad_alloc &) {
        m_services.messages.show(MessageKind::Error, outOfMemoryMessage(), MessageButton::Ok);
        return RunOutcome::Failed;
    }
}

LayoutRequest PrintRun::layoutRequest(int start, int labels, bool frame, int scrollX, int scrollY) const
{
    LayoutRequest request;
    request.startPosition = start;
    // In 64 bits: a start far beyond the sheet is refused, not wrapped round.
    request.lastPosition
        = int(qBound(qint64(0), qint64(start) + labels - 1, qint64(std::numeric_limits<int>::max())));
    request.offsetX = scrollX - 250;
    request.offsetY = scrollY - 250;
    request.frame = frame;
    request.unitsPerCm = m_session.design.printScale;
    return request;
}

QList<QImage> PrintRun::preview(
    const QString &startLabelText, bool frame, int scrollX, int scrollY, int dotsPerInch)
{
    const int start = strToInt(startLabelText);
    if (start < 1)
        throw Error(tr("Das Startetikett muss mindestens 1 sein."));
    // Copies: expanding fills an empty serial start into the grid.
    StringTable entryGrid = m_session.entryGrid;
    StringTable labelList = m_session.labelList;
    labelList.clearRowsFrom(1);
    labelList.setRowCount(2);
    const int labels = expandEntryGrid(entryGrid, labelList, m_session.serialInCopies);
    if (labels < 1)
        throw Error(tr("Es gibt kein Etikett zu drucken."));
    const LayoutRequest request = layoutRequest(start, labels, frame, scrollX, scrollY);
    const QString date = m_dateText();
    // On screen a missing picture is a grey box with its name.
    LabelDrawing drawing(m_session.design);
    drawing.setShowMissingPictures(true);
    drawing.setPictureFolder(m_dir.path());
    BarcodeLookAhead barcodes;
    drawing.setLookAhead(&barcodes);
    QList<QImage> pages = renderSheets(
        request, m_session.format,
        [&](ICanvas &canvas, const LabelPlace &place, int row, bool withFrame) {
            drawing.prepareRowsAhead(labelList, row, labels);
            drawing.setSheetLabel(QSize(place.width, place.height));
            drawing.draw(canvas, labelList, place.x, place.y, row, withFrame, m_services.messages, date);
        },
        dotsPerInch);
    if (pages.isEmpty())
        throw Error(tr("Die Vorschau kann für diesen Bogen nicht gezeigt werden."));

    // The sheet's labels, faintly, under what is printed.
    for (QImage &page : pages) {
        QPainter painter(&page);
        painter.setCompositionMode(QPainter::CompositionMode_Darken);
        painter.setPen(QPen(QColor(200, 210, 230), 0, Qt::DashLine));
        const double dots = dotsPerInch / 254.0;
        for (int i = 1; i <= m_session.format.positionCount(); ++i) {
            int x = 0, y = 0, w = 0, h = 0;
            HolePosition(m_session.format, i, 0.0, 0.0, x, y, w, h);
            painter.drawRect(QRectF(x * dots, y * dots, w * dots, h * dots));
        }
    }
    return pages;
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

RunOutcome PrintRun::print(int labels)
{
    IMessages &messages = m_services.messages;
    // The confirmed dialog's offsets are kept for the next run, whatever
    // becomes of this one.
    m_session.offsetPositionX = m_services.inputExpert.scrollX();
    m_session.offsetPositionY = m_services.inputExpert.scrollY();
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
    // Scale, start, offsets and sheet are checked before a printer is asked
    // for: a run that no sheet up to DIN A4 can take prints nothing.
    LayoutRequest request = layoutRequest(start, labels, m_services.inputExpert.frameChecked(),
        m_services.inputExpert.scrollX(), m_services.inputExpert.scrollY());
    if (const QString reason = unprintableReason(request, m_session.format); !reason.isEmpty()) {
        messages.show(MessageKind::Warning, reason, MessageButton::Ok);
        return RunOutcome::Failed;
    }
    // So is every picture and every value a barcode prints.
    if (const QString missing = firstUnreadablePicture(m_session.design, m_dir.path()); !missing.isEmpty()) {
        messages.show(MessageKind::Warning, missing, MessageButton::Ok);
        return RunOutcome::Failed;
    }
    EntryGridRecords records(m_session.entryGrid);
    if (const QString bad = firstUnprintableBarcode(m_session.design, records); !bad.isEmpty()) {
        messages.show(MessageKind::Warning, bad, MessageButton::Ok);
        return RunOutcome::Failed;
    }
    // Barcodes the design leaves out are named once, before anything is printed.
    if (!m_session.design.notices.isEmpty())
        messages.show(MessageKind::Information, m_session.design.notices.join(u'\n'), MessageButton::Ok);

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
    if (printerSettings) {
        request.correctionName = pdf ? pdfCorrectionName() : printerName;
        request.correction = printerSettings->correction(request.correctionName);
        if (const QString notice = printerSettings->badCorrectionNotice(request.correctionName); !notice.isEmpty())
            messages.show(MessageKind::Warning, notice, MessageButton::Ok);
    }

    LayoutResult result;
    DrawingNotices notices;
    {
        ShownProgress shown(m_services.progress, printerName);
        m_services.waiter.wait(1000);

        request.offsetX = m_session.offsetPositionX - 250;
        request.offsetY = m_session.offsetPositionY - 250;
        m_lastLabels = labels;
        m_lastPosition = request.lastPosition;
        const QString date = m_dateText();
        LabelDrawing drawing(m_session.design);
        drawing.setPictureFolder(m_dir.path());
        BarcodeLookAhead barcodes;
        drawing.setLookAhead(&barcodes);
        drawing.setNotices(&notices);
        const RecordOfLabel recordOf(m_session.entryGrid);
        result = Ausdrucken(request, m_session.format, *device, m_services.progress, m_services.waiter,
            [&](ICanvas &canvas, const LabelPlace &place, int row, bool frame) {
                drawing.prepareRowsAhead(m_session.labelList, row, labels);
                notices.setRecord(recordOf(row));
                drawing.setSheetLabel(QSize(place.width, place.height));
                drawing.draw(canvas, m_session.labelList, place.x, place.y, row, frame, messages, date);
            });
    }
    // Texts cut at a label's edge, named once after the run.
    const auto tellNotices = [&] {
        if (!notices.isEmpty())
            messages.show(MessageKind::Information, notices.message(), MessageButton::Ok);
    };

    switch (result) {
    case LayoutResult::Printed:
        if (pdf)
            messages.show(MessageKind::Information,
                tr("Die Etiketten sind als PDF-Datei gespeichert:\n%1\n\n"
                   "Drucken Sie die Datei in Originalgröße (ohne Anpassen an die Seite), "
                   "dann trifft jedes Etikett seinen Platz auf dem Bogen.")
                    .arg(QDir::toNativeSeparators(pdfPath)),
                MessageButton::Ok);
        tellNotices();
        return RunOutcome::Printed;
    case LayoutResult::Cancelled:
        // Paper shows what came out; a file must say that it is not whole.
        if (pdf)
            messages.show(MessageKind::Information,
                tr("Der Druck wurde abgebrochen. Die PDF-Datei enthält nur die Etiketten bis zum "
                   "Abbruch:\n%1")
                    .arg(QDir::toNativeSeparators(pdfPath)),
                MessageButton::Ok);
        tellNotices();
        return RunOutcome::PrintCancelled;
    case LayoutResult::Refused:
        messages.show(MessageKind::Warning, unprintableReason(request, m_session.format), MessageButton::Ok);
        return RunOutcome::Failed;
    case LayoutResult::DeviceFailed:
    case LayoutResult::EndFailed:
        break;
    }
    QString text = deviceFailureMessage(result, printerName, pdf);
    if (!pdf && result == LayoutResult::DeviceFailed)
        text += QLatin1Char(' ') + tr("Es wurde nichts gedruckt.");
    messages.show(MessageKind::Warning, text, MessageButton::Ok);
    return RunOutcome::DeviceFailed;
}

} // namespace qm
