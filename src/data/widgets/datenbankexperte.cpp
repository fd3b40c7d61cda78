#include "datenbankexperte.h"

#include "data/shapelibtable.h"
#include "data/stringtablemodel.h"
#include "data/tableengine.h"
#include "data/tablemodel.h"
#include "data/widgets/datenbankdrucken.h"
#include "data/widgets/dbdialogs.h"
#include "designs/printdesign.h"
#include "platform/errors.h"
#include "data/csvtable.h"
#include "data/csvtables.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace qm {

// The table grid; "post" and "cancel" of the navigator end the editing of
// the current cell.
class DbGrid : public QTableView
{
public:
    using QTableView::QTableView;

    // Ends the editing of the current cell, its value stored (`keep`) or
    // dropped. A value the table refuses stays in the cell.
    void finishEditing(bool keep)
    {
        if (state() != QAbstractItemView::EditingState)
            return;
        // The editor has the focus while the window is active; otherwise it
        // is the one editor child of the viewport not yet closed.
        QWidget *editor = QApplication::focusWidget();
        if (!editor || !viewport()->isAncestorOf(editor)) {
            editor = nullptr;
            for (QWidget *child : viewport()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                if (!child->isHidden())
                    editor = child;
            }
        }
        if (!editor)
            return;
        if (keep) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        } else {
            m_refused = nullptr;
            QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }

protected:
    // A value the table refuses (its message is shown while it is being
    // stored) stays in its editor for correcting instead of being thrown
    // away with the editor.
    void commitData(QWidget *editor) override
    {
        // The editor loses the focus to the message: no second commit.
        if (m_committing)
            return;
        m_committing = true;
        QTableView::commitData(editor);
        m_committing = false;
        const auto *table = qobject_cast<const TableModel *>(model());
        m_refused = table && table->lastValueRefused() ? editor : nullptr;
    }

    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override
    {
        if (m_committing)
            return;
        if (editor && editor == m_refused) {
            m_refused = nullptr;
            editor->setFocus();
            return;
        }
        QTableView::closeEditor(editor, hint);
    }

private:
    bool m_committing = false;
    QPointer<QWidget> m_refused;
};

namespace {

QPushButton *speedButton(QWidget *parent, const QString &text, const char *name)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

TDatenbankExperte::TDatenbankExperte(ITableEngine &table, IMessages &messages, IFileDialogs &fileDialogs,
    IWaiter &waiter, IHelp &help, QString helpFilePath, QWidget *parent)
    : QDialog(parent)
    , m_table(table)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_waiter(waiter)
    , m_help(help)
    , m_helpPath(std::move(helpFilePath))
{
    setObjectName(QStringLiteral("DatenbankExperte"));
    setWindowTitle(tr("Datenbank-Experte"));

    auto *layout = new QVBoxLayout(this);
    auto *menuBar = new QMenuBar(this);
    layout->setMenuBar(menuBar);
    buildMenus(menuBar);

    auto *tools = new QHBoxLayout;
    m_buttonDrucken = speedButton(this, tr("Daten selektieren und &drucken"), "ButtonDrucken");
    connect(m_buttonDrucken, &QPushButton::clicked, this, &TDatenbankExperte::ButtonDruckenClick);
    m_buttonUeber = speedButton(this, tr("&Übernehmen"), "ButtonUeber");
    connect(m_buttonUeber, &QPushButton::clicked, this, &TDatenbankExperte::ButtonUeberClick);
    tools->addWidget(m_buttonDrucken);
    tools->addWidget(m_buttonUeber);
    tools->addStretch();
    layout->addLayout(tools);

    m_tableArea = new QWidget(this);
    auto *tableLayout = new QVBoxLayout(m_tableArea);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    tableLayout->addWidget(new QLabel(tr("Felder und Inhalt der Datenbank"), m_tableArea));
    m_model = new TableModel(m_table, this);
    connect(m_model, &TableModel::tableError, this, &TDatenbankExperte::showError);
    m_grid = new DbGrid(m_tableArea);
    m_grid->setObjectName(QStringLiteral("DBGitter"));
    m_grid->setModel(m_model);
    m_grid->verticalHeader()->setDefaultSectionSize(22);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    tableLayout->addWidget(m_grid, 1);

    auto *navigator = new QHBoxLayout;
    const struct
    {
        const char *text;
        const char *hint;
        void (TDatenbankExperte::*handler)();
    } buttons[] = {
        { "|<", QT_TR_NOOP("Erster Datensatz"), &TDatenbankExperte::NavigatorFirst },
        { "<", QT_TR_NOOP("Vorheriger Datensatz"), &TDatenbankExperte::NavigatorPrior },
        { ">", QT_TR_NOOP("Nächster Datensatz"), &TDatenbankExperte::NavigatorNext },
        { ">|", QT_TR_NOOP("Letzter Datensatz"), &TDatenbankExperte::NavigatorLast },
        { "+", QT_TR_NOOP("Datensatz einfügen"), &TDatenbankExperte::NavigatorInsert },
        { "-", QT_TR_NOOP("Datensatz löschen"), &TDatenbankExperte::NavigatorDelete },
        { "\u270e", QT_TR_NOOP("Datensatz bearbeiten"), &TDatenbankExperte::NavigatorEdit },
        { "\u2713", QT_TR_NOOP("Datensatz speichern"), &TDatenbankExperte::NavigatorPost },
        { "\u2717", QT_TR_NOOP("Bearbeitung abbrechen"), &TDatenbankExperte::NavigatorCancel },
    };
    for (const auto &b : buttons) {
        auto *button = new QToolButton(m_tableArea);
        button->setText(QString::fromUtf8(b.text));
        button->setToolTip(tr(b.hint));
        button->setMinimumWidth(32);
        connect(button, &QToolButton::clicked, this, b.handler);
        navigator->addWidget(button);
    }
    navigator->addStretch();
    tableLayout->addLayout(navigator);
    layout->addWidget(m_tableArea, 3);

    m_fieldArea = new QWidget(this);
    auto *fieldLayout = new QVBoxLayout(m_fieldArea);
    fieldLayout->setContentsMargins(0, 0, 0, 0);
    m_fieldCaption = tr("Felder der Etikettendatei");
    m_caption = new QLabel(m_fieldCaption, m_fieldArea);
    m_caption->setObjectName(QStringLiteral("TitelEtifelder"));
    fieldLayout->addWidget(m_caption);
    m_fieldModel = new StringTableModel(m_fieldList, this);
    m_fieldView = new QTableView(m_fieldArea);
    m_fieldView->setObjectName(QStringLiteral("GridEtikettenFelder"));
    m_fieldView->setModel(m_fieldModel);
    m_fieldView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fieldView->verticalHeader()->hide();
    m_fieldView->setMaximumHeight(90);
    fieldLayout->addWidget(m_fieldView);
    layout->addWidget(m_fieldArea, 1);

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("DEStatus"));
    status->setSizeGripEnabled(false);
    for (QLabel *&panel : m_status) {
        panel = new QLabel(status);
        status->addWidget(panel, 1);
    }
    layout->addWidget(status);

    m_create = new TDBerstellen(m_table, m_fieldList, messages, fileDialogs, this);
    connect(m_create, &TDBerstellen::tableCreated, this, [this](const QString &path) {
        m_tablePath = path;
        m_status[0]->setText(tr("Datenbank : ") + path);
        reloadTable();
        showTable(true);
    });
    m_import = new TImportText(m_table, messages, fileDialogs, help, m_helpPath, this);
    connect(m_import, &TImportText::imported, this, &TDatenbankExperte::reloadTable);
    m_selection
        = new TDatenbankDrucken(m_table, messages, waiter, help, m_helpPath, this);

    resize(760, 560);
}

TDatenbankExperte::~TDatenbankExperte() = default;

void TDatenbankExperte::buildMenus(QWidget *menuHost)
{
    auto *bar = static_cast<QMenuBar *>(menuHost);
    QMenu *file = bar->addMenu(tr("&Datei"));
    file->addAction(tr("Datenbank &neu ... (*.dbf)"), this, &TDatenbankExperte::DatenbankNeuClick)
        ->setObjectName(QStringLiteral("Datenbankneu1"));
    file->addAction(tr("Datenbank &öffnen ... (*.dbf)"), this, &TDatenbankExperte::DatenbankOeffnenClick)
        ->setObjectName(QStringLiteral("Datenbankoeffnen1"));
    file->addAction(tr("Datenbank sichern &unter ... (*.dbf)"))->setVisible(false);
    file->addSeparator();
    file->addAction(
            tr("&Etikettendatei öffnen ... (*.eti)"), this, &TDatenbankExperte::EtikettendateiOeffnenClick)
        ->setObjectName(QStringLiteral("Etikettendateioeffnen1"));
    file->addSeparator();
    QMenu *import = file->addMenu(tr("&Import von Daten "));
    import->addAction(tr("im &Text - Format ..."), this, &TDatenbankExperte::ImportTextClick)
        ->setObjectName(QStringLiteral("imTextFormat1"));
    import->addAction(tr("im &CSV-Format ..."), this, &TDatenbankExperte::ImportCsvClick)
        ->setObjectName(QStringLiteral("imCsvFormat1"));
    file->addAction(tr("E&xport im CSV-Format ..."), this, &TDatenbankExperte::ExportCsvClick)
        ->setObjectName(QStringLiteral("ExportCsv1"));
    file->addSeparator();
    file->addAction(tr("&Zurück"), this, &QDialog::reject)->setObjectName(QStringLiteral("Zurueck1"));
    QMenu *helpMenu = bar->addMenu(tr("&Hilfe"));
    helpMenu->addAction(tr("Hilfe zum &Datenbank-Experten"), this, &TDatenbankExperte::HilfeClick);
}

QTableView *TDatenbankExperte::dbGitter() const
{
    return m_grid;
}

QString TDatenbankExperte::fieldListCaption() const
{
    return m_caption->text();
}

QString TDatenbankExperte::statusText(int panel) const
{
    return m_status[panel]->text();
}

void TDatenbankExperte::showError(const QString &message)
{
    m_messages.show(MessageKind::Error, message, MessageButton::Ok);
}

std::optional<SelectedRecords> TDatenbankExperte::showModal()
{
    FormShow();
    exec();
    // The table is let go with the window: another program (or a second
    // Quillmark) may use it now.
    m_table.close();
    reloadTable();
    if (!m_handedOver)
        return std::nullopt;
    return SelectedRecords { m_selection->handedFieldNames(), m_selection->handedRecords() };
}

void TDatenbankExperte::done(int result)
{
    NavigatorPost(); // a value still being typed is kept, however the window closes
    QDialog::done(result);
}

void TDatenbankExperte::FormShow()
{
    m_handedOver = false;
    m_takenOver.clear();
    m_buttonUeber->setVisible(m_modus != QLatin1String("N"));

    if (!m_designPath.isEmpty()) {
        loadDesign();
    } else {
        m_fieldArea->hide();
        m_status[1]->clear();
    }

    if (!m_tablePath.isEmpty()) {
        openTable();
    } else {
        showTable(false);
        m_status[0]->clear();
    }

    QPalette palette = m_buttonDrucken->palette();
    palette.setColor(
        QPalette::ButtonText, m_formatPath.isEmpty() ? QColor(128, 128, 128) : QColor(Qt::black));
    m_buttonDrucken->setPalette(palette);
}

void TDatenbankExperte::loadDesign()
{
    // Columns of an earlier design must not stay behind as fields.
    m_fieldList.reset(1, 3);
    m_caption->setText(m_fieldCaption);
    // Only the fields are shown; the print run reads the design itself.
    PrintDesign design;
    FieldGrids grids;
    grids.fieldGrid = &m_fieldList;
    QString caption = m_fieldCaption;
    grids.fieldGridCaption = &caption;
    try {
        EtikettdateiLesen(m_designPath, design, grids);
    } catch (const Error &e) {
        showError(e.message());
    }
    m_caption->setText(caption);
    m_fieldModel->reset();
    m_fieldArea->show();
    m_status[1]->setText(tr("Etikett bzw Formular : ") + m_designPath);
}

void TDatenbankExperte::openTable()
{
    bool readOnly = false;
    m_status[0]->setText(tr("Datenbank : ") + m_tablePath);
    // A CSV file's columns follow the design's fields where titles match.
    QStringList titles;
    for (int c = 1; c < m_fieldList.colCount(); ++c)
        titles << m_fieldList.cell(c, 1);
    try {
        m_table.close();
        m_table.preferFieldOrder(titles);
        try {
            m_table.open(m_tablePath);
        } catch (const TableWriteDenied &) {
            // Listing, selecting and printing need no more than reading.
            m_table.open(m_tablePath, TableAccess::ReadOnly);
            readOnly = true;
        }
    } catch (const Error &e) {
        reloadTable();
        showTable(false);
        showError(e.message());
        return;
    }
    reloadTable();
    showTable(true);
    // The columns of a CSV file that a design's field names are printed,
    // the others not: said once, with the fields no column fills.
    if (!m_designPath.isEmpty() && TableFiles::isCsvFile(m_tablePath)) {
        const QString note
            = csvtables::printedColumnsNote(csvtables::matchColumns(fieldNames(m_table), titles));
        if (!note.isEmpty())
            m_messages.show(MessageKind::Information, note, MessageButton::Ok);
    }
    if (readOnly)
        m_messages.show(MessageKind::Information,
            tr("Die Datenbank \"%1\" darf nur gelesen werden und ist schreibgeschützt geöffnet: Ihre "
               "Datensätze können angesehen, ausgewählt und gedruckt, aber nicht geändert werden.")
                .arg(m_tablePath),
            MessageButton::Ok);
}

void TDatenbankExperte::reloadTable()
{
    // A large table is read with the wait window, and keys pressed meanwhile
    // do nothing afterwards.
    TableReadWait reading(*m_selection->waitWindow(), m_waiter);
    m_model->setProgress(reading.progress());
    const auto done = qScopeGuard([this] { m_model->setProgress({}); });
    m_model->reload();
}

void TDatenbankExperte::showTable(bool visible)
{
    m_tableArea->setVisible(visible);
    if (!visible)
        return;
    // Columns as wide as their fields, within reason.
    const int charWidth = m_grid->fontMetrics().averageCharWidth();
    for (int c = 0; c < m_model->columnCount(); ++c)
        m_grid->setColumnWidth(c, std::clamp(m_model->widthOf(c), 6, 30) * charWidth + 12);
}

void TDatenbankExperte::setFolders(const QString &designFolder, const QString &tableFolder)
{
    m_designFolder = designFolder;
    m_tableFolder = tableFolder;
    m_create->setTableFolder(tableFolder);
}

void TDatenbankExperte::DatenbankOeffnenClick()
{
    const QString path = m_fileDialogs.open(tr("dBase-Datenbank öffnen"),
        tr("dBase-Datenbank (*.dbf)|*.dbf|CSV-Datei, nur lesen (*.csv)|*.csv|Alle Dateien (*.*)|*.*"),
        QStringLiteral(".dbf"), m_tableFolder);
    if (path.isEmpty())
        return;
    m_tablePath = path;
    openTable();
}

void TDatenbankExperte::EtikettendateiOeffnenClick()
{
    const QString path = m_fileDialogs.open(tr("Etikett bzw. Formular öffnen"),
        tr("Etiketten- bzw. Formulardatei (*.eti)|*.eti|Alle Dateien (*.*)|*.*"), QStringLiteral(".eti"),
        m_designFolder);
    if (path.isEmpty())
        return;
    m_designPath = path;
    loadDesign();
}

void TDatenbankExperte::DatenbankNeuClick()
{
    if (m_designPath.isEmpty()) {
        m_messages.show(
            MessageKind::Warning, tr("Bitte zuerst eine Etikettendatei öffnen !"), MessageButton::Cancel);
        return;
    }
    m_create->showModal();
}

bool TDatenbankExperte::tableOpenOrSay()
{
    if (m_table.isOpen())
        return true;
    m_messages.show(
        MessageKind::Information, tr("Bitte öffnen Sie zunächst eine Datenbank ..."), MessageButton::Ok);
    return false;
}

bool TDatenbankExperte::tableWritableOrSay()
{
    if (!tableOpenOrSay())
        return false;
    if (!m_table.isReadOnly())
        return true;
    m_messages.show(MessageKind::Information,
        tr("Die Datenbank \"%1\" ist nur zum Lesen geöffnet.").arg(m_table.path()), MessageButton::Ok);
    return false;
}

void TDatenbankExperte::ImportTextClick()
{
    if (!tableWritableOrSay())
        return;
    NavigatorPost();
    m_import->showModal();
}

void TDatenbankExperte::ImportCsvClick()
{
    if (!tableWritableOrSay())
        return;
    NavigatorPost();
    const QString path = m_fileDialogs.open(tr("CSV-Datei für Datenimport öffnen"),
        tr("CSV-Datei (*.csv)|*.csv|Textdatei (*.txt)|*.txt|Alle Dateien (*.*)|*.*"), QStringLiteral(".csv"),
        m_tableFolder);
    if (path.isEmpty())
        return;
    try {
        const ImportResult result = csvtables::importCsvFile(m_table, path);
        reloadTable();
        m_messages.show(MessageKind::Information,
            tr("%1 Datensätze aus %2 übernommen.").arg(result.records).arg(path) + QLatin1Char('\n')
                + textimport::completionMessage(result),
            MessageButton::Ok);
    } catch (const Error &e) {
        reloadTable();
        showError(e.message());
    }
}

void TDatenbankExperte::ExportCsvClick()
{
    if (!tableOpenOrSay())
        return;
    NavigatorPost();
    const QString suggested = QFileInfo(m_table.path()).completeBaseName() + QStringLiteral(".csv");
    const QString path = m_fileDialogs.save(tr("Datenbank im CSV-Format speichern"),
        tr("CSV-Datei (*.csv)|*.csv|Alle Dateien (*.*)|*.*"), QStringLiteral("csv"),
        QDir(QFileInfo(m_table.path()).absolutePath()).filePath(suggested));
    if (path.isEmpty())
        return;
    try {
        csvtables::exportCsvFile(m_table, path);
        m_messages.show(MessageKind::Information,
            tr("Die Datenbank ist als CSV-Datei gespeichert:\n%1").arg(QDir::toNativeSeparators(path)),
            MessageButton::Ok);
    } catch (const Error &e) {
        showError(e.message());
    }
}

void TDatenbankExperte::ButtonDruckenClick()
{
    if (m_formatPath.isEmpty()) {
        m_messages.show(MessageKind::Warning, tr("Drucken in diesem Programm-Modus nicht möglich !"),
            MessageButton::Cancel);
        return;
    }
    if (!tableOpenOrSay())
        return;
    NavigatorPost();
    if (m_selection->showModal()) {
        m_handedOver = true;
        accept();
    }
}

void TDatenbankExperte::ButtonUeberClick()
{
    if (m_tablePath.isEmpty() || !m_table.isOpen()) {
        m_messages.show(MessageKind::Information, tr("Es wurde noch keine Datenbank erstellt oder geladen !"),
            MessageButton::Ok);
        return;
    }
    NavigatorPost();
    m_takenOver = m_tablePath;
    accept();
}

void TDatenbankExperte::HilfeClick()
{
    m_help.show(m_helpPath, 4);
}

void TDatenbankExperte::moveTo(int row)
{
    const int rows = m_model->rowCount();
    if (rows == 0)
        return;
    const int column = std::max(0, m_grid->currentIndex().column());
    m_grid->setCurrentIndex(m_model->index(std::clamp(row, 0, rows - 1), column));
}

void TDatenbankExperte::NavigatorFirst()
{
    moveTo(0);
}

void TDatenbankExperte::NavigatorPrior()
{
    moveTo(m_grid->currentIndex().row() - 1);
}

void TDatenbankExperte::NavigatorNext()
{
    moveTo(m_grid->currentIndex().row() + 1);
}

void TDatenbankExperte::NavigatorLast()
{
    moveTo(m_model->rowCount() - 1);
}

void TDatenbankExperte::NavigatorInsert()
{
    if (!m_table.isOpen() || !tableWritableOrSay())
        return;
    NavigatorPost();
    const int row = m_model->insertRow();
    m_grid->setCurrentIndex(m_model->index(row, 0));
    m_grid->edit(m_grid->currentIndex());
}

void TDatenbankExperte::NavigatorDelete()
{
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid() || !tableWritableOrSay())
        return;
    NavigatorCancel();
    if (m_messages.show(
            MessageKind::Confirmation, tr("Datensatz löschen?"), MessageButton::Ok | MessageButton::Cancel)
        != MessageButton::Ok)
        return;
    m_model->deleteRow(current.row());
}

void TDatenbankExperte::NavigatorEdit()
{
    if (m_grid->currentIndex().isValid())
        m_grid->edit(m_grid->currentIndex());
}

void TDatenbankExperte::NavigatorPost()
{
    m_grid->finishEditing(true);
}

void TDatenbankExperte::NavigatorCancel()
{
    m_grid->finishEditing(false);
    m_model->cancelRow();
}

} // namespace qm
