#include "printerdialog.h"

#include "platform/errors.h"
#include "platform/services.h"
#include "printing/qt/qtprinteraccess.h"
#include "programdir/programdirectory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

QSpinBox *tenthsBox(int minimum, int maximum, int value, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setValue(value);
    box->setSuffix(tr(" mal 0,1 mm"));
    return box;
}

} // namespace

TAusrichtung::TAusrichtung(QWidget *parent)
    : QDialog(parent)
    , m_deviationX(tenthsBox(-MaxCorrectionOffset, MaxCorrectionOffset, 0, this))
    , m_deviationY(tenthsBox(-MaxCorrectionOffset, MaxCorrectionOffset, 0, this))
    , m_rulerX(tenthsBox(MinMeasuredRuler, MaxMeasuredRuler, 1000, this))
    , m_rulerY(tenthsBox(MinMeasuredRuler, MaxMeasuredRuler, 1000, this))
{
    setWindowTitle(tr("Ausrichtung prüfen"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(tr("Legen Sie den Kalibrierbogen auf einen leeren Bogen und halten Sie beide "
                      "gegen das Licht. Tragen Sie ein, wie weit das Fadenkreuz des ersten "
                      "Etiketts dessen Ecke verfehlt (+ nach rechts und unten) und wie lang "
                      "die beiden 100-mm-Linien sind."),
            this));
    layout->itemAt(0)->widget()->setProperty("wordWrap", true);
    auto *form = new QFormLayout;
    form->addRow(tr("Abweichung waagerecht:"), m_deviationX);
    form->addRow(tr("Abweichung senkrecht:"), m_deviationY);
    form->addRow(tr("Linie waagerecht gemessen:"), m_rulerX);
    form->addRow(tr("Linie senkrecht gemessen:"), m_rulerY);
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("&Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

CalibrationReading TAusrichtung::reading() const
{
    return { m_deviationX->value(), m_deviationY->value(), m_rulerX->value(), m_rulerY->value() };
}

void TAusrichtung::setReading(const CalibrationReading &reading)
{
    m_deviationX->setValue(reading.deviationX);
    m_deviationY->setValue(reading.deviationY);
    m_rulerX->setValue(reading.rulerX);
    m_rulerY->setValue(reading.rulerY);
}

TDruckparameter::TDruckparameter(QtPrinterAccess &printers, ISettings &settings, IMessages &messages,
    IFileDialogs &fileDialogs, IWaiter &waiter, QString formatFolder, QWidget *parent)
    : QDialog(parent)
    , m_printers(printers)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_waiter(waiter)
    , m_settings(settings)
    , m_formatFolder(std::move(formatFolder))
    , m_core(printers, settings)
    , m_list(new QTreeWidget(this))
    , m_formatBox(new QComboBox(this))
    , m_withoutWaits(new QCheckBox(tr("Ohne Wartezeiten drucken"), this))
    , m_askReading([](QWidget *owner) -> std::optional<CalibrationReading> {
        TAusrichtung dialog(owner);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.reading();
    })
{
    setWindowTitle(tr("Druckparameter"));
    m_list->setObjectName(QStringLiteral("Druckerliste"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({ tr("Drucker"), tr("Standort"), tr("Zustand"), tr("Korrektur") });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    m_withoutWaits->setObjectName(QStringLiteral("Check_OhneWartezeiten"));
    m_withoutWaits->setChecked(PrinterSettings(m_settings).printWithoutWaits());
    connect(m_withoutWaits, &QCheckBox::clicked, this, &TDruckparameter::OhneWartezeitenClick);
    layout->addWidget(m_withoutWaits);
    auto *row = new QHBoxLayout;
    const auto button = [&](const QString &text, const char *name, void (TDruckparameter::*handler)()) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, handler);
        row->addWidget(b);
        return b;
    };
    button(tr("&Einrichten ..."), "Button_Einrichten", &TDruckparameter::EinrichtenClick);
    button(tr("Ausrichtung prüfen ..."), "Button_Ausrichtung", &TDruckparameter::AusrichtungClick);
    // The catalogue of the program directory whose FORMATE folder is given.
    m_formatChoices = catalogueFormatChoices(
        ProgramDirectory(QFileInfo(QDir::cleanPath(m_formatFolder)).absolutePath()));
    m_formatBox->setObjectName(QStringLiteral("Formatkatalog"));
    m_formatBox->addItem(tr("Formatdatei wählen ..."));
    for (const FormatChoice &choice : std::as_const(m_formatChoices))
        m_formatBox->addItem(choice.caption());
    m_formatBox->setEditable(true);
    m_formatBox->setInsertPolicy(QComboBox::NoInsert);
    m_formatBox->completer()->setFilterMode(Qt::MatchContains);
    m_formatBox->completer()->setCompletionMode(QCompleter::PopupCompletion);
    m_formatBox->setMinimumContentsLength(30);
    row->addWidget(m_formatBox);
    row->addStretch();
    button(tr("&Übernehmen"), "Button_Uebernehmen", &TDruckparameter::UebernehmenClick);
    auto *cancel = new QPushButton(tr("Abbrechen"), this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    row->addWidget(cancel);
    layout->addLayout(row);
    fill();
    resize(640, 320);
}

void TDruckparameter::fill()
{
    const int keep = m_list->topLevelItemCount() > 0 ? selectedRow() : m_core.initialRow();
    m_list->clear();
    for (const PrinterChoiceCore::Row &r : m_core.rows()) {
        QString name = r.isPdf ? tr("PDF-Dateien") : r.name;
        if (r.isDefault)
            name += tr(" (Standard)");
        if (r.chosen)
            name += tr(" (gewählt)");
        m_list->addTopLevelItem(
            new QTreeWidgetItem({ name, r.isPdf ? QString() : r.location, r.state, r.correction }));
    }
    if (QTreeWidgetItem *item = m_list->topLevelItem(keep))
        m_list->setCurrentItem(item);
    m_list->header()->resizeSections(QHeaderView::ResizeToContents);
}

int TDruckparameter::selectedRow() const
{
    return m_list->indexOfTopLevelItem(m_list->currentItem());
}

void TDruckparameter::EinrichtenClick()
{
    const int row = selectedRow();
    if (row < 0 || m_core.rows()[row].isPdf)
        return;
    m_printers.showPrinterSetup(this, m_messages, m_core.rows()[row].name);
}

void TDruckparameter::AusrichtungClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const int choice = m_formatBox->currentIndex() - 1;
    const QString formatPath = choice >= 0 && choice < m_formatChoices.size()
        ? m_formatChoices[choice].path
        : m_fileDialogs.open(tr("Format für den Kalibrierbogen"), tr("Formatdateien (*.vrl)|*.vrl"),
            QStringLiteral("vrl"), m_formatFolder);
    if (formatPath.isEmpty())
        return;
    try {
        SheetFormat format;
        if (!FormatdateiLesen(formatPath, format)) {
            m_messages.show(MessageKind::Plain, tr("Formatdatei nicht gefunden. Bearbeitung abgebrochen !"),
                MessageButton::Ok);
            return;
        }
        QString pdfPath;
        if (m_core.rows()[row].isPdf) {
            pdfPath = m_fileDialogs.save(tr("Kalibrierbogen als PDF-Datei speichern"),
                tr("PDF-Datei (*.pdf)|*.pdf"), QStringLiteral("pdf"),
                QDir::home().filePath(tr("Kalibrierbogen.pdf")));
            if (pdfPath.isEmpty())
                return;
        }
        if (const QString failure = m_core.printCalibration(row, format, pdfPath, m_waiter);
            !failure.isEmpty()) {
            m_messages.show(MessageKind::Warning, failure, MessageButton::Ok);
            return;
        }
        const std::optional<CalibrationReading> reading = m_askReading(this);
        if (!reading)
            return;
        const PrinterCorrection correction = m_core.storeReading(row, *reading, format);
        m_messages.show(MessageKind::Information,
            tr("Für %1 gilt von nun an: %2.").arg(m_core.rows()[row].name, correctionText(correction)),
            MessageButton::Ok);
    } catch (const Error &e) {
        m_messages.show(MessageKind::Error, e.message(), MessageButton::Ok);
    }
    fill();
}

void TDruckparameter::OhneWartezeitenClick()
{
    PrinterSettings stored(m_settings);
    try {
        stored.setPrintWithoutWaits(m_withoutWaits->isChecked());
    } catch (const Error &e) {
        m_messages.show(MessageKind::Error, e.message(), MessageButton::Ok);
    }
    m_withoutWaits->setChecked(stored.printWithoutWaits());
}

void TDruckparameter::UebernehmenClick()
{
    try {
        m_core.choose(selectedRow());
    } catch (const Error &e) {
        m_messages.show(MessageKind::Error, e.message(), MessageButton::Ok);
        return;
    }
    accept();
}

} // namespace qm
