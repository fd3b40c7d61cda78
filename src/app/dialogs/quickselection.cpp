#include "quickselection.h"

#include "app/dialogs/workingmode.h"
#include "fileselection.h"
#include "platform/services.h"
#include "programdir/filelookup.h"
#include "quickselectioncore.h"

#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace qm {

TSchnellauswahlExperte::TSchnellauswahlExperte(bool &dialogConfirmed, IMessages &messages,
    IFileDialogs &fileDialogs, IHelp &help, QString programDir, QString helpFile, QWidget *parent)
    : QDialog(parent)
    , m_confirmed(dialogConfirmed)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_help(help)
    , m_programDir(std::move(programDir))
    , m_helpFile(std::move(helpFile))
    , m_f(new QLineEdit(this))
    , m_e(new QLineEdit(this))
    , m_d(new QLineEdit(this))
    , m_modeText(new QLabel(this))
    , m_formatChoice(new QComboBox(this))
{
    setObjectName(QStringLiteral("TSchnellauswahlExperte"));
    setWindowTitle(tr("Schnellauswahl-Experte"));

    auto *intro = new QLabel(tr("Wählen Sie eine Format- und eine Etikettendatei, bei Bedarf auch "
                                "eine Datenbank. \"Benutzen\" verwendet sie sofort im "
                                "eingestellten Programm-Modus, ohne einen Eintrag in der "
                                "Übersicht \"Eigene Werke\" anzulegen."),
        this);
    intro->setWordWrap(true);
    m_modeText->setObjectName(QStringLiteral("Modus"));
    m_modeText->setWordWrap(true);

    auto *grid = new QGridLayout;
    auto addRow = [&](int row, QLineEdit *edit, const char *editName, const QString &caption,
                      const char *buttonName, void (TSchnellauswahlExperte::*handler)()) {
        edit->setObjectName(QLatin1String(editName));
        edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 50);
        auto *label = new QLabel(caption, this);
        label->setBuddy(edit);
        auto *browseButton = new QPushButton(tr("Durchsuchen"), this);
        browseButton->setObjectName(QLatin1String(buttonName));
        browseButton->setAutoDefault(false);
        connect(browseButton, &QPushButton::clicked, this, handler);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(browseButton, row, 2);
    };
    addRow(0, m_f, "f", tr("Formatdatei"), "Button_DFor", &TSchnellauswahlExperte::Button_DForClick);
    addRow(2, m_e, "e", tr("Etikettendatei"), "Button_DEti", &TSchnellauswahlExperte::Button_DEtiClick);
    addRow(3, m_d, "d", tr("Datenbankdatei"), "Button_DDbf", &TSchnellauswahlExperte::Button_DDbfClick);
    // The catalogue's formats by description; typing finds them by any part.
    m_formatChoice->setObjectName(QStringLiteral("Formatkatalog"));
    m_formatChoice->setEditable(true);
    m_formatChoice->setInsertPolicy(QComboBox::NoInsert);
    m_formatChoice->completer()->setFilterMode(Qt::MatchContains);
    m_formatChoice->completer()->setCompletionMode(QCompleter::PopupCompletion);
    m_formatChoice->lineEdit()->setPlaceholderText(tr("Format aus dem Katalog wählen"));
    auto *choiceLabel = new QLabel(tr("Format wählen"), this);
    choiceLabel->setBuddy(m_formatChoice);
    grid->addWidget(choiceLabel, 1, 0);
    grid->addWidget(m_formatChoice, 1, 1, 1, 2);
    connect(m_formatChoice, &QComboBox::activated, this, &TSchnellauswahlExperte::FormatkatalogChange);

    auto *use = new QPushButton(tr("&Benutzen"), this);
    use->setObjectName(QStringLiteral("Button_Weiter"));
    use->setDefault(true);
    auto *cancel = new QPushButton(tr("&Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("Button_Abbrechen"));
    cancel->setAutoDefault(false);
    auto *helpButton = new QPushButton(tr("&Hilfe"), this);
    helpButton->setObjectName(QStringLiteral("Button_Hilfe"));
    helpButton->setAutoDefault(false);
    connect(use, &QPushButton::clicked, this, &TSchnellauswahlExperte::Button_WeiterClick);
    connect(cancel, &QPushButton::clicked, this, &TSchnellauswahlExperte::Button_AbbrechenClick);
    connect(helpButton, &QPushButton::clicked, this, &TSchnellauswahlExperte::Button_HilfeClick);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(helpButton);
    buttons->addStretch();
    buttons->addWidget(use);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_modeText);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setWorkingMode(EnterAndPrint);
}

QString TSchnellauswahlExperte::formatFile() const
{
    return m_f->text();
}

QString TSchnellauswahlExperte::designFile() const
{
    return m_e->text();
}

QString TSchnellauswahlExperte::databaseFile() const
{
    return m_d->text();
}

void TSchnellauswahlExperte::setFormatFile(const QString &path)
{
    m_f->setText(path);
}

void TSchnellauswahlExperte::setDesignFile(const QString &path)
{
    m_e->setText(path);
}

void TSchnellauswahlExperte::setWorkingMode(int mode)
{
    m_mode = mode;
    switch (mode) {
    case EnterAndPrint:
        m_modeText->setText(tr("Im Programm-Modus \"Eingeben und Drucken\" werden die Format- und die "
                               "Etikettendatei gelesen, keine Datenbank."));
        break;
    case PrintFromDatabase:
        m_modeText->setText(tr("Im Programm-Modus \"Aus der Datenbank drucken\" werden alle drei "
                               "Dateien gelesen."));
        break;
    case EditDatabase:
        m_modeText->setText(
            tr("Im Programm-Modus \"Datenbank bearbeiten\" wird nur die Datenbankdatei gelesen."));
        break;
    case EditDesign:
        m_modeText->setText(tr("Im Programm-Modus \"Editieren\" wird nur die Etikettendatei gelesen."));
        break;
    default:
        m_modeText->clear();
        break;
    }
}

void TSchnellauswahlExperte::fillFormatChoices()
{
    m_formatChoices = catalogueFormatChoices(ProgramDirectory(m_programDir));
    const QSignalBlocker quiet(m_formatChoice);
    m_formatChoice->clear();
    for (const FormatChoice &choice : std::as_const(m_formatChoices))
        m_formatChoice->addItem(choice.caption());
    m_formatChoice->setCurrentIndex(formatChoiceIndex(m_formatChoices, m_f->text()));
}

void TSchnellauswahlExperte::FormatkatalogChange(int index)
{
    if (index >= 0 && index < m_formatChoices.size())
        m_f->setText(m_formatChoices[index].path);
}

void TSchnellauswahlExperte::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        fillFormatChoices();
}

void TSchnellauswahlExperte::Button_DForClick()
{
    browse(m_f, openFormatSpec());
}

void TSchnellauswahlExperte::Button_DEtiClick()
{
    browse(m_e, openEtikettSpec());
}

void TSchnellauswahlExperte::Button_DDbfClick()
{
    browse(m_d, openDatenbankSpec());
}

void TSchnellauswahlExperte::Button_WeiterClick()
{
    QuickSelectionFiles files { m_f->text(), m_e->text(), m_d->text() };
    const QuickSelectionCheck check(ProgramDirectory(m_programDir), m_mode);
    if (const std::optional<QuickSelectionProblem> problem = check.check(files)) {
        m_messages.show(problem->missing ? MessageKind::Warning : MessageKind::Plain, problem->message,
            MessageButton::Ok);
        QLineEdit *edit = problem->file == EntryFileKind::Format ? m_f
            : problem->file == EntryFileKind::Design             ? m_e
                                                                 : m_d;
        edit->setFocus();
        edit->selectAll();
        return;
    }
    // Names typed without a folder become the files found in the program's
    // folders; the names the mode does not read stay as they were.
    m_f->setText(files.format);
    m_e->setText(files.design);
    m_d->setText(files.database);
    m_confirmed = true;
    accept();
}

void TSchnellauswahlExperte::Button_AbbrechenClick()
{
    m_confirmed = false;
    reject();
}

void TSchnellauswahlExperte::Button_HilfeClick()
{
    m_help.show(m_helpFile, HelpContext);
}

void TSchnellauswahlExperte::browse(QLineEdit *edit, const FileOpenSpec &spec)
{
    const QString chosen = chooseFile(m_fileDialogs, spec, m_programDir);
    if (!chosen.isEmpty())
        edit->setText(chosen);
}

} // namespace qm
