#include "creationwizard.h"

#include "catalogue/workscatalogue.h"
#include "fileselection.h"
#include "platform/errors.h"
#include "platform/services.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace qm {
namespace {

const char *const Later
    = QT_TRANSLATE_NOOP("qm::TErstellungsExperte", "Diese Funktion folgt in einer späteren Version.");

} // namespace

TErstellungsExperte::TErstellungsExperte(bool &dialogConfirmed, WorksCatalogue &catalogue,
    IMessages &messages, IFileDialogs &fileDialogs, IHelp &help, ProgramDirectory dir, QWidget *parent)
    : QDialog(parent)
    , m_confirmed(dialogConfirmed)
    , m_catalogue(catalogue)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_help(help)
    , m_dir(std::move(dir))
    , m_core(m_view, messages)
{
    setObjectName(QStringLiteral("TErstellungsExperte"));
    setWindowTitle(tr("Erstellungs-Experte"));

    m_modus = new QLabel(QStringLiteral("N"), this);
    m_modus->setObjectName(QStringLiteral("Modus"));
    m_modus->hide();

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("Seiten"));

    // Step 1: the name.
    QWidget *page = makePage(0, tr("1.Schritt : Bezeichnung festlegen"),
        tr("Geben Sie dem neuen Etikett bzw. Formular eine Bezeichnung. Unter ihr erscheint es in der "
           "Übersicht \"Eigene Werke\" im ausgewählten Bereich."));
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Ausgewählter Bereich "), page), 0, 0);
    m_bereich = new QLabel(QStringLiteral("---"), page);
    m_bereich->setObjectName(QStringLiteral("Bereich"));
    m_bereich->setStyleSheet(QStringLiteral("font-weight: bold"));
    grid->addWidget(m_bereich, 0, 1);
    m_bezeichnung = makeEdit("Bezeichnung");
    m_bezeichnung->setMaxLength(CreationWizardCore::MaxNameLength);
    auto *nameLabel = new QLabel(tr("Bezeichnung"), page);
    nameLabel->setBuddy(m_bezeichnung);
    grid->addWidget(nameLabel, 1, 0);
    grid->addWidget(m_bezeichnung, 1, 1);
    static_cast<QVBoxLayout *>(page->layout())->addLayout(grid);

    // Step 2: the sheet format.
    page = makePage(1, tr("2.Schritt : Formatgröße bestimmen"),
        tr("Wählen Sie die Formatdatei (*.vrl) des Etikettenbogens, auf den gedruckt wird, oder suchen Sie "
           "ein Format im Format-Experten aus."));
    m_format = makeEdit("FormatDateiname");
    auto *row = new QHBoxLayout;
    row->addWidget(m_format, 1);
    row->addWidget(makeButton(
        tr("&Durchsuchen"), "Button_FrDurchsuchen", &TErstellungsExperte::Button_FrDurchsuchenClick));
    static_cast<QVBoxLayout *>(page->layout())->addLayout(row);
    m_formatExpert = makeButton(tr("&Format-Experte benutzen"), "Button_FormatExperte",
        &TErstellungsExperte::Button_FormatExperteClick);
    page->layout()->addWidget(m_formatExpert);

    // Step 3: the design.
    page = makePage(2, tr("3.Schritt : Design bestimmen"),
        tr("Wählen Sie die Etikettendatei (*.eti) mit dem Design, oder entwerfen Sie ein neues im "
           "Design-Experten in der Größe des gewählten Formats."));
    m_design = makeEdit("EtikettenDateiname");
    row = new QHBoxLayout;
    row->addWidget(m_design, 1);
    row->addWidget(makeButton(tr("&Durchsuchen"), "Button1", &TErstellungsExperte::Button1Click));
    static_cast<QVBoxLayout *>(page->layout())->addLayout(row);
    m_designExpert
        = makeButton(tr("De&sign-Experte benutzen"), "Button2", &TErstellungsExperte::Button2Click);
    page->layout()->addWidget(m_designExpert);

    // Step 4: the table.
    page = makePage(3, tr("4.Schritt : Datenbank wählen"),
        tr("Wenn die Werte aus einer dBASE-Datenbank kommen sollen, wählen Sie sie hier aus oder legen sie "
           "im "
           "Datenbank-Experten an. Ohne Datenbank bleibt das Feld leer."));
    m_database = makeEdit("DatenbankDateiname");
    row = new QHBoxLayout;
    row->addWidget(m_database, 1);
    row->addWidget(makeButton(tr("&Durchsuchen"), "Button3", &TErstellungsExperte::Button3Click));
    static_cast<QVBoxLayout *>(page->layout())->addLayout(row);
    m_databaseExpert
        = makeButton(tr("Daten&bank-Experte benutzen"), "Button4", &TErstellungsExperte::Button4Click);
    page->layout()->addWidget(m_databaseExpert);

    // Step 5: save.
    page = makePage(4, tr("5.Schritt : Speichern"),
        tr("Alle Angaben sind vollständig. \"Eintrag speichern\" übernimmt das Etikett bzw. Formular in die "
           "Übersicht \"Eigene Werke\"."));
    page->layout()->addWidget(makeButton(
        tr("Eintrag speichern"), "Button_EintragSichern", &TErstellungsExperte::Button_EintragSichernClick));

    for (int i = 0; i < m_pages->count(); ++i)
        static_cast<QVBoxLayout *>(m_pages->widget(i)->layout())->addStretch();

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    m_back = makeButton(tr("<< &Zurück"), "Button_Zurueck", &TErstellungsExperte::Button_ZurueckClick);
    m_next = makeButton(tr("&Weiter >>"), "Button_Weiter", &TErstellungsExperte::Button_WeiterClick);
    m_next->setDefault(true);
    QPushButton *cancel
        = makeButton(tr("&Abbrechen"), "Button_Abbrechen", &TErstellungsExperte::Button_AbbrechenClick);
    QPushButton *helpButton
        = makeButton(tr("&Hilfe"), "Button_Hilfe", &TErstellungsExperte::Button_HilfeClick);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(helpButton);
    buttons->addStretch();
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(line);
    layout->addLayout(buttons);
    setMinimumWidth(520);
    enableExperts();
}

QWidget *TErstellungsExperte::makePage(int step, const QString &heading, const QString &explanation)
{
    auto *page = new QWidget(m_pages);
    page->setObjectName(QStringLiteral("Seite%1").arg(step + 1));
    auto *layout = new QVBoxLayout(page);
    auto *title = new QLabel(heading, page);
    title->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 14px; color: navy"));
    auto *text = new QLabel(explanation, page);
    text->setWordWrap(true);
    layout->addWidget(title);
    layout->addWidget(text);
    m_pages->addWidget(page);
    return page;
}

QPushButton *TErstellungsExperte::makeButton(
    const QString &caption, const char *name, void (TErstellungsExperte::*handler)())
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

QLineEdit *TErstellungsExperte::makeEdit(const char *name)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 50);
    return edit;
}

void TErstellungsExperte::setExperts(CreationWizardExperts experts)
{
    m_experts = std::move(experts);
    enableExperts();
}

void TErstellungsExperte::enableExperts()
{
    const std::pair<QPushButton *, bool> buttons[] = { { m_formatExpert, bool(m_experts.format) },
        { m_designExpert, bool(m_experts.design) }, { m_databaseExpert, bool(m_experts.database) } };
    for (const auto &[button, available] : buttons) {
        button->setEnabled(available);
        button->setToolTip(available ? QString() : tr(Later));
    }
}

void TErstellungsExperte::prepare(const QString &modus, const QString &area, const WorksEntry &values)
{
    m_view.modus = modus;
    m_view.bereich = area;
    m_view.bezeichnung = values.name;
    m_view.formatDateiname = values.formatFile;
    m_view.etikettenDateiname = values.designFile;
    m_view.datenbankDateiname = values.databaseFile;
    setWindowTitle(modus == QLatin1String("B") ? tr("Erstellungs-Experte [Bestehenden Eintrag bearbeiten]")
                                               : tr("Erstellungs-Experte [Neuen Eintrag hinzufügen]"));
    showView();
}

WorksEntry TErstellungsExperte::values() const
{
    WorksEntry entry;
    entry.area = m_bereich->text();
    entry.name = m_bezeichnung->text();
    entry.formatFile = m_format->text();
    entry.designFile = m_design->text();
    entry.databaseFile = m_database->text();
    return entry;
}

void TErstellungsExperte::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TErstellungsExperte::FormShow()
{
    takeTypedTexts();
    m_core.show();
    showView();
}

void TErstellungsExperte::takeTypedTexts()
{
    m_view.bezeichnung = m_bezeichnung->text();
    m_view.formatDateiname = m_format->text();
    m_view.etikettenDateiname = m_design->text();
    m_view.datenbankDateiname = m_database->text();
}

void TErstellungsExperte::showView()
{
    m_modus->setText(m_view.modus);
    m_bereich->setText(m_view.bereich);
    m_bezeichnung->setText(m_view.bezeichnung);
    m_format->setText(m_view.formatDateiname);
    m_design->setText(m_view.etikettenDateiname);
    m_database->setText(m_view.datenbankDateiname);
    m_pages->setCurrentIndex(m_view.step);
    m_back->setEnabled(m_view.backEnabled);
    m_next->setEnabled(m_view.nextEnabled);
    QLineEdit *focus = nullptr;
    switch (m_view.focus) {
    case CreationWizardView::Focus::Name:
        focus = m_bezeichnung;
        break;
    case CreationWizardView::Focus::Format:
        focus = m_format;
        break;
    case CreationWizardView::Focus::Design:
        focus = m_design;
        break;
    case CreationWizardView::Focus::None:
        break;
    }
    if (focus)
        focus->setFocus();
}

void TErstellungsExperte::Button_WeiterClick()
{
    takeTypedTexts();
    m_core.next();
    showView();
}

void TErstellungsExperte::Button_ZurueckClick()
{
    takeTypedTexts();
    m_core.back();
    showView();
}

void TErstellungsExperte::browse(QLineEdit *edit, const FileOpenSpec &spec)
{
    const QString chosen = chooseFile(m_fileDialogs, spec, m_dir.path());
    if (!chosen.isEmpty())
        edit->setText(chosen);
}

void TErstellungsExperte::Button_FrDurchsuchenClick()
{
    browse(m_format, openFormatSpec());
}

void TErstellungsExperte::Button1Click()
{
    browse(m_design, openEtikettSpec());
}

void TErstellungsExperte::Button3Click()
{
    browse(m_database, openDatenbankSpec());
}

void TErstellungsExperte::Button_FormatExperteClick()
{
    if (!m_experts.format)
        return;
    const QString chosen = m_experts.format();
    if (!chosen.isEmpty())
        m_format->setText(chosen);
}

void TErstellungsExperte::Button2Click()
{
    if (!m_experts.design)
        return;
    takeTypedTexts();
    const std::optional<std::pair<int, int>> size = m_core.labelSizeForDesign(m_dir);
    showView();
    if (!size)
        return;
    const QString saved = m_experts.design(size->first, size->second, m_bezeichnung->text());
    if (!saved.isEmpty())
        m_design->setText(saved);
}

void TErstellungsExperte::Button4Click()
{
    if (!m_experts.database)
        return;
    const QString table = m_experts.database(m_design->text());
    if (!table.isEmpty())
        m_database->setText(table);
}

void TErstellungsExperte::Button_EintragSichernClick()
{
    takeTypedTexts();
    try {
        if (!m_core.save(m_catalogue))
            return;
    } catch (const Error &e) {
        // The wizard stays open, the flag as it was.
        m_messages.show(MessageKind::Error, e.message(), MessageButton::Ok);
        return;
    }
    m_confirmed = true;
    accept();
}

void TErstellungsExperte::Button_AbbrechenClick()
{
    reject();
}

void TErstellungsExperte::reject()
{
    m_confirmed = false;
    QDialog::reject();
}

void TErstellungsExperte::Button_HilfeClick()
{
    m_help.show(m_dir.programHelpPath(), HelpContext);
}

} // namespace qm
