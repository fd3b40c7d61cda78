#include "dbdialogs.h"

#include "data/tablecreation.h"
#include "data/tableengine.h"
#include "data/textimport.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/textfile.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {
namespace {

// The file view shows at most this many lines; the import reads them all.
constexpr int ShownLines = 5000;

QPushButton *button(QWidget *parent, const QString &text, const char *name)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

TDBerstellen::TDBerstellen(ITableEngine &table, const StringTable &fieldList, IMessages &messages,
    IFileDialogs &fileDialogs, QWidget *parent)
    : QDialog(parent)
    , m_table(table)
    , m_fieldList(fieldList)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
{
    setObjectName(QStringLiteral("DBerstellen"));
    setWindowTitle(tr("Neue Datenbank erstellen"));
    m_dbname = new QLineEdit(this);
    m_dbname->setObjectName(QStringLiteral("Dbname"));
    QPushButton *browse = button(this, tr("&Durchsuchen"), "Button_Durchsuchen");
    connect(browse, &QPushButton::clicked, this, &TDBerstellen::Button_DurchsuchenClick);
    QPushButton *create = button(this, tr("Datenbank &anlegen"), "Button_Weiter");
    create->setDefault(true);
    connect(create, &QPushButton::clicked, this, &TDBerstellen::Button_WeiterClick);
    QPushButton *cancel = button(this, tr("&Abbrechen"), "Button_Abbrechen");
    connect(cancel, &QPushButton::clicked, this, &TDBerstellen::Button_AbbrechenClick);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Name der neuen Datenbank:"), this));
    auto *name = new QHBoxLayout;
    name->addWidget(m_dbname, 1);
    name->addWidget(browse);
    layout->addLayout(name);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(create);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    resize(460, 120);
}

void TDBerstellen::showModal()
{
    FormShow();
    exec();
}

void TDBerstellen::FormShow()
{
    m_dbname->clear();
}

void TDBerstellen::Button_DurchsuchenClick()
{
    const QString path = m_fileDialogs.save(tr("Name der neuen Datenbank festlegen."),
        tr("dBase-Datenbank (*.dbf)|*.dbf|Alle Dateien (*.*)|*.*"), QStringLiteral(".dbf"), m_tableFolder);
    if (!path.isEmpty())
        m_dbname->setText(path);
}

void TDBerstellen::Button_WeiterClick()
{
    const QString path = tablecreation::newTablePath(m_dbname->text(), m_tableFolder);
    if (const std::optional<QString> warning = tablecreation::warning(path, m_fieldList)) {
        m_messages.show(MessageKind::Warning, *warning, MessageButton::Cancel);
        return;
    }
    try {
        const QList<TableField> fields = tablecreation::fieldsFromList(m_fieldList);
        // A typed name may name a table that holds records: replacing it
        // would lose them without a word.
        if (fileExists(path)
            && m_messages.show(MessageKind::Confirmation,
                   tr("Die Datei \"%1\" gibt es schon. Soll sie durch eine neue, leere Datenbank ersetzt "
                      "werden?")
                       .arg(path),
                   MessageButton::Yes | MessageButton::No)
                != MessageButton::Yes)
            return;
        m_table.create(path, fields);
    } catch (const Error &e) {
        m_messages.show(MessageKind::Error, e.message(), MessageButton::Ok);
        return;
    }
    Q_EMIT tableCreated(path);
    m_messages.show(MessageKind::Information, tablecreation::createdMessage(path), MessageButton::Ok);
    accept();
}

void TDBerstellen::Button_AbbrechenClick()
{
    reject();
}

TImportText::TImportText(ITableEngine &table, IMessages &messages, IFileDialogs &fileDialogs, IHelp &help,
    QString helpFilePath, QWidget *parent)
    : QDialog(parent)
    , m_table(table)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_help(help)
    , m_helpPath(std::move(helpFilePath))
{
    setObjectName(QStringLiteral("ImportText"));
    setWindowTitle(tr("Import von Daten im Text-Format"));
    m_dateiname = new QLineEdit(this);
    m_dateiname->setObjectName(QStringLiteral("Dateiname"));
    m_dateiname->installEventFilter(this);
    QPushButton *browse = button(this, tr("Durchsuchen"), "Button_Durchsuchen");
    connect(browse, &QPushButton::clicked, this, &TImportText::Button_DurchsuchenClick);
    m_browse = browse;
    m_inhalt = new QPlainTextEdit(this);
    m_inhalt->setObjectName(QStringLiteral("Dateiinhalt"));
    m_inhalt->setReadOnly(true);
    m_inhalt->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_anzahl = new QLineEdit(this);
    m_anzahl->setObjectName(QStringLiteral("Anzahl"));
    m_anzahl->setMaxLength(3);
    m_anzahl->installEventFilter(this);
    connect(m_anzahl, &QLineEdit::textEdited, this, &TImportText::AnzahlChange);
    m_datensatz = new QPlainTextEdit(this);
    m_datensatz->setObjectName(QStringLiteral("Datensatz"));
    m_datensatz->setReadOnly(true);
    m_lew16 = new QCheckBox(tr("Quillmark 16-Bit-Datei"), this);
    m_lew16->setObjectName(QStringLiteral("LEW16"));
    connect(m_lew16, &QCheckBox::clicked, this, &TImportText::LEW16Click);
    QPushButton *import = button(this, tr("&Importieren"), "Button_Weiter");
    connect(import, &QPushButton::clicked, this, &TImportText::Button_WeiterClick);
    QPushButton *cancel = button(this, tr("&Abbrechen"), "Button_Abbrechen");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    QPushButton *helpButton = button(this, tr("&Hilfe"), "Button_Hilfe");
    connect(helpButton, &QPushButton::clicked, this, &TImportText::Button_HilfeClick);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Textdatei:"), this), 0, 0);
    grid->addWidget(m_dateiname, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(new QLabel(tr("Inhalt der Datei"), this), 1, 0, 1, 3);
    grid->addWidget(m_inhalt, 2, 0, 1, 3);
    grid->addWidget(new QLabel(tr("Anzahl der Zeilen pro Datensatz"), this), 3, 0);
    grid->addWidget(m_anzahl, 3, 1);
    grid->addWidget(m_lew16, 4, 0, 1, 3);
    grid->addWidget(new QLabel(tr("Erster Datensatz"), this), 5, 0, 1, 3);
    grid->addWidget(m_datensatz, 6, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(import);
    buttons->addWidget(cancel);
    buttons->addWidget(helpButton);
    grid->addLayout(buttons, 7, 0, 1, 3);
    resize(520, 520);
}

void TImportText::showModal()
{
    FormShow();
    exec();
}

void TImportText::FormShow()
{
    m_inhalt->clear();
    m_datensatz->clear();
    m_lines.clear();
    m_fieldNames = fieldNames(m_table);
    m_anzahl->setText(QStringLiteral("1"));
    m_lew16->setChecked(false);
    m_browse->setFocus();
}

void TImportText::loadFile()
{
    m_lines.clear();
    m_inhalt->clear();
    try {
        m_lines = textimport::readImportLines(m_dateiname->text());
    } catch (const Error &e) {
        m_messages.show(MessageKind::Error, e.message(), MessageButton::Ok);
        return;
    }
    QStringList shown = m_lines.mid(0, ShownLines);
    if (m_lines.size() > ShownLines)
        shown << tr("... (%1 weitere Zeilen)").arg(m_lines.size() - ShownLines);
    m_inhalt->setPlainText(shown.join(QLatin1Char('\n')));
}

void TImportText::showPreview(bool fromLineZero)
{
    if (m_anzahl->text().isEmpty())
        m_anzahl->setText(QStringLiteral("1"));
    const int n = parseStrictInt(m_anzahl->text()).value_or(0);
    const bool skip = !fromLineZero && m_lew16->isChecked();
    m_datensatz->setPlainText(textimport::previewLines(m_lines, n, skip).join(QLatin1Char('\n')));
}

void TImportText::Button_DurchsuchenClick()
{
    const QString path = m_fileDialogs.open(tr("Datei für Datenimport öffnen"),
        tr("Textdatei (*.txt)|*.txt|Quillmark 16-BIT (*.dbk)|*.dbk|ASCII-Datei (*.asc)|*.asc|Alle Dateien "
           "(*.*)|*.*"),
        QStringLiteral(".txt"));
    if (path.isEmpty())
        return;
    m_dateiname->setText(path);
    if (fileExists(path)) {
        loadFile();
        showPreview(false);
    } else {
        m_lines.clear();
        m_inhalt->clear();
    }
}

void TImportText::DateinameExit()
{
    if (!fileExists(m_dateiname->text())) {
        m_messages.show(MessageKind::Warning, tr("ACHTUNG ! Datei existiert nicht ..."), MessageButton::Ok);
        m_lines.clear();
        m_inhalt->clear();
        m_datensatz->clear();
        return;
    }
    loadFile();
    showPreview(true);
}

bool TImportText::checkAnzahl()
{
    QString text = m_anzahl->text();
    try {
        const std::optional<QString> message
            = textimport::checkLinesPerRecord(text, int(m_fieldNames.size()));
        if (message) {
            m_anzahl->setText(text);
            m_messages.show(MessageKind::Warning, *message, MessageButton::Ok);
        }
    } catch (const Error &e) {
        m_messages.show(MessageKind::Error, e.message(), MessageButton::Ok);
        return false;
    }
    return true;
}

void TImportText::AnzahlChange()
{
    if (m_anzahl->text().isEmpty())
        return;
    const std::optional<int> n = parseStrictInt(m_anzahl->text());
    if (n && *n > m_fieldNames.size()) {
        m_anzahl->setText(QString::number(m_fieldNames.size()));
        m_messages.show(MessageKind::Warning, tr("Datenbank hat maximal %1 Felder.").arg(m_fieldNames.size()),
            MessageButton::Ok);
    }
}

void TImportText::AnzahlExit()
{
    if (!checkAnzahl())
        return;
    const QString text
        = m_anzahl->text().isEmpty() ? QStringLiteral("1") : QString::number(strToInt(m_anzahl->text()));
    m_anzahl->setText(text);
    showPreview(false);
}

void TImportText::LEW16Click()
{
    if (!m_lines.isEmpty())
        showPreview(false);
}

void TImportText::Button_WeiterClick()
{
    if (m_anzahl->text().isEmpty())
        m_anzahl->setText(QStringLiteral("1"));
    if (!checkAnzahl())
        return;
    if (!fileExists(m_dateiname->text()))
        return;
    try {
        const int n = strToInt(m_anzahl->text());
        const QStringList lines = textimport::readImportLines(m_dateiname->text());
        const ImportResult result = textimport::importLines(m_table, lines, n, m_lew16->isChecked());
        Q_EMIT imported();
        m_messages.show(MessageKind::Information, textimport::completionMessage(result), MessageButton::Ok);
    } catch (const Error &e) {
        Q_EMIT imported();
        m_messages.show(MessageKind::Error, e.message(), MessageButton::Ok);
    }
}

void TImportText::Button_HilfeClick()
{
    m_help.show(m_helpPath, 8);
}

bool TImportText::eventFilter(QObject *watched, QEvent *event)
{
    // Focus lost to a message box or a popup is no leaving of the line.
    const auto reason = event->type() == QEvent::FocusOut ? static_cast<QFocusEvent *>(event)->reason()
                                                          : Qt::OtherFocusReason;
    if (event->type() == QEvent::FocusOut && reason != Qt::ActiveWindowFocusReason
        && reason != Qt::PopupFocusReason) {
        if (watched == m_dateiname)
            DateinameExit(); // an empty name is no file either
        else if (watched == m_anzahl)
            AnzahlExit();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace qm
