#include "mainwindow.h"

#include "app/dialogs/adrivodialog.h"
#include "app/dialogs/areadialog.h"
#include "app/dialogs/creationwizard.h"
#include "app/dialogs/infowindows.h"
#include "app/dialogs/printinformation.h"
#include "app/dialogs/quickselection.h"
#include "app/dialogs/titlewindow.h"
#include "app/modeicons.h"
#include "app/printrun.h"
#include "app/templatemenu.h"
#include "app/workstreemodel.h"
#include "data/widgets/datenbankexperte.h"
#include "data/widgets/eingabeexperte.h"
#include "editor/widgets/etiketteneditor.h"
#include "formats/formatcatalogue.h"
#include "formats/widgets/formatauswaehlen.h"
#include "formats/widgets/formatexperte.h"
#include "platform/errors.h"
#include "platform/services.h"
#include "platform/settings.h"
#include "printing/preview.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <new>

namespace qm {
namespace {

const char *const ModeCaptions[4] = {
    QT_TRANSLATE_NOOP("qm", "Eingeben und Drucken"),
    QT_TRANSLATE_NOOP("qm", "Aus Datenbank drucken"),
    QT_TRANSLATE_NOOP("qm", "Datenbank bearbeiten"),
    QT_TRANSLATE_NOOP("qm", "Editieren"),
};
const char *const ModeHints[4] = {
    QT_TRANSLATE_NOOP("qm", "Programm-Modus : EINGEBEN UND DRUCKEN"),
    QT_TRANSLATE_NOOP("qm", "Programm-Modus : AUS DER DATENBANK DRUCKEN"),
    QT_TRANSLATE_NOOP("qm", "Programm-Modus : DATENBANK BEARBEITEN"),
    QT_TRANSLATE_NOOP("qm", "Programm-Modus : EDITIEREN"),
};
const char *const ModeMenuCaptions[4] = {
    QT_TRANSLATE_NOOP("qm", "Eingeben und Drucken"),
    QT_TRANSLATE_NOOP("qm", "Aus der Datenbank drucken"),
    QT_TRANSLATE_NOOP("qm", "Datenbank bearbeiten"),
    QT_TRANSLATE_NOOP("qm", "Editieren"),
};

bool sameAreas(const QList<WorksArea> &a, const QList<WorksArea> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name)
            return false;
    return true;
}

} // namespace

THauptmenue::THauptmenue(AppContext &context, QWidget *parent)
    : QMainWindow(parent)
    , m_context(context)
    , m_catalogue(context.dir)
{
    setObjectName(QStringLiteral("Hauptmenue"));
    setWindowTitle(tr("Quillmark 2.0 - 32-Bit-Anwendung"));

    m_inputExpert = new TEingabeExperte(context.messages, context.help, context.dir.programHelpPath(), this);
    m_formatExpert = new TFormatExperte(context.dialogConfirmed, context.messages, context.help,
        context.dir.programHelpPath(), context.dir.subdirPath(ProgramDirectory::FormatSubdir), this);
    m_formatSelection = new TFormatAuswaehlen(context.dir, context.dialogConfirmed, context.messages,
        context.fileDialogs, context.help, context.dir.programHelpPath(), *m_formatExpert, this);
    m_progress = new TDruckInformation(this);
    m_areaDialog = new TBereichBearbeiten(context.dialogConfirmed, context.messages, this);
    m_quick = new TSchnellauswahlExperte(context.dialogConfirmed, context.messages, context.fileDialogs,
        context.help, context.dir.path(), context.dir.programHelpPath(), this);
    m_adrivo = new TInfoADRIVO(context.settings, context.messages, this);
    m_wizard = new TErstellungsExperte(context.dialogConfirmed, m_catalogue, context.messages,
        context.fileDialogs, context.help, context.dir, this);
    m_title = new TTitel(this);
    m_info = new TPinformation(this);
    m_service = new TServiceangebote(context.dir.path(), context.settingsFile, this);
    m_databaseExpert = new TDatenbankExperte(*context.table, context.messages, context.fileDialogs,
        context.waiter, context.help, context.dir.programHelpPath(), this);
    m_databaseExpert->setFolders(context.dir.subdirPath(ProgramDirectory::DesignSubdir),
        context.dir.subdirPath(ProgramDirectory::DatabaseSubdir));
    PrintRunServices services { context.messages, context.fileDialogs, context.waiter, context.printers,
        *m_inputExpert, *m_progress };
    services.databaseExpert = m_databaseExpert;
    services.settings = &context.settings;
    m_printRun = std::make_unique<PrintRun>(context.dir, context.session, services);
    // The preview: the records of the run so far as the print's own job,
    // checked as the print checks them, each page drawn at screen size when
    // it is shown.
    m_inputExpert->setPreviewSource([this](const QString &startLabel, bool frame, int scrollX, int scrollY) {
        return m_printRun->preview(startLabel, frame, scrollX, scrollY, PreviewDotsPerInch);
    });
    m_editor = new TEtiketteneditor(context.dialogConfirmed, context.messages, context.fileDialogs,
        context.settings, context.help, context.dir.programHelpPath(), this);
    m_editor->core().setDesignDirectory(context.dir.subdirPath(ProgramDirectory::DesignSubdir));
    m_editor->core().setPictureFolder(context.dir.path());
    m_printRun->setDesignEditor(m_editor);
    // The wizard's "De&sign-Experte benutzen": a new design of the format's
    // label size, described by the entry's name; the file it was saved to
    // when taken over.
    CreationWizardExperts experts;
    experts.design = [this](int widthMm, int heightMm, const QString &name) {
        m_editor->setModus(QStringLiteral("E"));
        m_editor->setDateiname(QString());
        m_editor->setLabelSize(QString::number(widthMm), QString::number(heightMm));
        m_editor->core().setNewDescription(name);
        const QString taken = m_editor->showModal();
        // The editor's "&Übernehmen" is not the wizard's.
        m_context.dialogConfirmed = false;
        return taken;
    };
    // "&Format-Experte benutzen": the format selection in mode "E"; the file
    // of the format taken over with "Übernehmen", as the catalogue holds it.
    experts.format = [this] { return m_formatSelection->chooseFormat().value_or(QString()); };
    // "Daten&bank-Experte benutzen": the database expert on the wizard's
    // design without table or sheet; the table taken over with "&Übernehmen".
    experts.database = [this](const QString &designFile) {
        m_databaseExpert->setEtikettendateiname(designFile);
        m_databaseExpert->setVorlagendateiname(QString());
        m_databaseExpert->setDatenbankname(QString());
        m_databaseExpert->setModus(QStringLiteral("E"));
        m_databaseExpert->showModal();
        const QString table = m_databaseExpert->takenOverDatabase();
        // A print run opens the expert without setting the mode: there is
        // nothing to take over there.
        m_databaseExpert->setModus(QStringLiteral("N"));
        return table;
    };
    m_wizard->setExperts(std::move(experts));

    buildMenus();
    buildToolBar();
    buildCentre();
    statusBar();

    // Start-up: the catalogue files are created when missing, then loaded.
    // A folder that takes no new file is named with the file.
    try {
        for (const QString &file :
            { context.dir.areasFile(), context.dir.worksFile(), context.dir.formatsFile() })
            if (!QFileInfo(file).exists() && !QFileInfo(file).isSymLink())
                checkFileCanBeWritten(file);
        m_catalogue.createMissingFiles();
        createFormatsFileIfMissing(context.dir.formatsFile());
        m_catalogue.load();
    } catch (const Error &e) {
        showError(e.message());
    }
    fillTree();

    // WERKE.DAT and BEREICH.DAT are plain text that people also change by
    // hand or with another program: the overview follows such changes.
    m_watcher = new QFileSystemWatcher(this);
    watchCatalogueFiles();
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &THauptmenue::catalogueFilesChanged);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &THauptmenue::catalogueFilesChanged);
}

THauptmenue::~THauptmenue() = default;

void THauptmenue::watchCatalogueFiles()
{
    // A file replaced by renaming drops out of the watch; adding it again
    // is harmless when it is still watched.
    const QStringList files { m_context.dir.areasFile(), m_context.dir.worksFile() };
    for (const QString &file : files)
        if (QFileInfo::exists(file) && !m_watcher->files().contains(file))
            m_watcher->addPath(file);
    if (!m_watcher->directories().contains(m_context.dir.path()))
        m_watcher->addPath(m_context.dir.path());
}

void THauptmenue::catalogueFilesChanged()
{
    watchCatalogueFiles();
    const QList<WorksArea> before = m_catalogue.areas();
    const QList<WorksEntry> entriesBefore = m_catalogue.entries();
    try {
        m_catalogue.load();
    } catch (const Error &) {
        // Half written by another program, or gone for a moment: the next
        // change notice or command reads it again.
        return;
    }
    if (m_catalogue.entries() != entriesBefore || !sameAreas(m_catalogue.areas(), before))
        fillTree();
}

void THauptmenue::buildMenus()
{
    QMenu *options = menuBar()->addMenu(tr("&Optionen"));
    const QKeySequence modeKeys[4]
        = { QKeySequence(Qt::CTRL | Qt::Key_F1), QKeySequence(Qt::CTRL | Qt::Key_F2),
              QKeySequence(Qt::CTRL | Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::Key_F4) };
    for (int i = 0; i < 4; ++i) {
        QAction *action = options->addAction(tr(ModeMenuCaptions[i]));
        action->setObjectName(QStringLiteral("MenueModus%1").arg(i + 1));
        action->setCheckable(true);
        action->setShortcut(modeKeys[i]);
        action->setStatusTip(tr(ModeHints[i]));
        connect(action, &QAction::triggered, this, [this, i] { setWorkingMode(i + 1); });
        m_menuModus[i] = action;
    }
    options->addSeparator();
    m_seKopie = options->addAction(tr("Seriennummern auch in Kopie"));
    m_seKopie->setObjectName(QStringLiteral("SeKopie"));
    m_seKopie->setCheckable(true);
    m_seKopie->setChecked(true);
    connect(m_seKopie, &QAction::triggered, this, &THauptmenue::SeKopieClick);
    options->addSeparator();
    options->addAction(tr("&Druckparameter ..."), this, &THauptmenue::Druckparameter1Click)
        ->setObjectName(QStringLiteral("Druckparameter1"));
    options->addAction(tr("Programm&information ..."), this, &THauptmenue::Programminformation1Click)
        ->setObjectName(QStringLiteral("Programminformation1"));
    options->addSeparator();
    QAction *quit = options->addAction(tr("Be&enden"), this, &QWidget::close);
    quit->setObjectName(QStringLiteral("Beenden1"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

    addPreparedDesignsMenu(menuBar(), [this](const PreparedDesign &item) { VorbereitetesDesignClick(item); });

    QMenu *works = menuBar()->addMenu(tr("Eigene &Werke"));
    QAction *area = works->addAction(tr("Bereich &anlegen ..."), this, &THauptmenue::Button_BereichClick);
    area->setObjectName(QStringLiteral("Bereichanlegen1"));
    area->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    works->addAction(tr("Bereich l&öschen ..."), this, &THauptmenue::Bereichlschen1Click)
        ->setObjectName(QStringLiteral("Bereichlschen1"));
    works->addSeparator();
    QAction *add = works->addAction(
        tr("Eintrag &hinzufügen ... (Etikett erstellen)"), this, &THauptmenue::Button_EWHinzuClick);
    add->setObjectName(QStringLiteral("Eintraghinzufgen1"));
    add->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    works->addAction(tr("Eintrag &bearbeiten ..."), this, &THauptmenue::Button_EWBearbClick)
        ->setObjectName(QStringLiteral("Eintragbearbeiten1"));
    works->addAction(tr("Eintrag &löschen ..."), this, &THauptmenue::Eintraglschen1Click)
        ->setObjectName(QStringLiteral("Eintraglschen1"));
    works->addSeparator();
    works
        ->addAction(
            tr("Alle Bereiche und Einträge löschen"), this, &THauptmenue::AlleBereicheundEintrgelschen1Click)
        ->setObjectName(QStringLiteral("AlleBereicheundEintrgelschen1"));
    works->addSeparator();
    QAction *use = works->addAction(tr("Be&nutzen"), this, &THauptmenue::Button_BenutzenClick);
    use->setObjectName(QStringLiteral("Benutzen1"));
    use->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));

    QMenu *special = menuBar()->addMenu(tr("&Spezial"));
    special->addAction(tr("&Format-Experte ..."), this, &THauptmenue::FormatExperte1Click)
        ->setObjectName(QStringLiteral("FormatExperte1"));
    special->addAction(tr("&Design-Experte ..."), this, &THauptmenue::Etiketteneditor1Click)
        ->setObjectName(QStringLiteral("Etiketteneditor1"));
    special->addAction(tr("Daten&bank-Experte ..."), this, &THauptmenue::DatenbankExpert1Click)
        ->setObjectName(QStringLiteral("DatenbankExpert1"));
    special->addAction(tr("&Schnellauswahl-Experte ..."), this, &THauptmenue::SchnellauswahlExperte1Click)
        ->setObjectName(QStringLiteral("SchnellauswahlExperte1"));
    QAction *barcode = special->addAction(tr("&Barcode-Experte ..."));
    barcode->setObjectName(QStringLiteral("BarcodeExperte1"));
    barcode->setVisible(false);
    special->addSeparator();
    special->addAction(tr("&Verknüpfung mit ADRIVO ..."), this, &THauptmenue::AdressverwaltungADRIVO1Click)
        ->setObjectName(QStringLiteral("AdressverwaltungADRIVO1"));
    addAdrivoMenu(special, [this](const PreparedDesign &item) { AdressenAusADRIVOClick(item); });

    QMenu *help = menuBar()->addMenu(tr("&Hilfe"));
    help->addAction(tr("&Erste Hilfe ..."), this, &THauptmenue::ErsteHilfe1Click)
        ->setObjectName(QStringLiteral("ErsteHilfe1"));
    help->addAction(tr("&Inhaltsverzeichnis ..."), this, &THauptmenue::Inhaltsverzeichnis1Click)
        ->setObjectName(QStringLiteral("Inhaltsverzeichnis1"));
    help->addSeparator();
    help->addAction(tr("Unsere Serviceangebote ..."), this, &THauptmenue::Serviceangebote1Click)
        ->setObjectName(QStringLiteral("Serviceangebote1"));
}

void THauptmenue::buildToolBar()
{
    QToolBar *bar = addToolBar(tr("Arbeitsmodus"));
    bar->setObjectName(QStringLiteral("IconLeiste"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(32, 32));
    for (int i = 0; i < 4; ++i) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QStringLiteral("SpeedModus%1").arg(i + 1));
        button->setText(tr(ModeCaptions[i]));
        button->setIcon(workingModeIcon(i + 1));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setCheckable(true);
        button->setToolTip(tr(ModeHints[i]));
        button->setStatusTip(tr(ModeHints[i]));
        connect(button, &QToolButton::clicked, this, [this, i] { setWorkingMode(i + 1); });
        bar->addWidget(button);
        m_speedModus[i] = button;
    }
    bar->addSeparator();
    auto *firstAid = new QToolButton(bar);
    firstAid->setObjectName(QStringLiteral("SpeedInd"));
    firstAid->setText(tr("Erste Hilfe"));
    firstAid->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    firstAid->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    firstAid->setToolTip(tr("Erste Hilfe zum QUILLMARK anzeigen."));
    firstAid->setStatusTip(firstAid->toolTip());
    connect(firstAid, &QToolButton::clicked, this, &THauptmenue::ErsteHilfe1Click);
    bar->addWidget(firstAid);
}

void THauptmenue::buildCentre()
{
    auto *centre = new QWidget(this);
    auto *layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *heading = new QLabel(tr("Übersicht \"Eigene Werke\""), centre);
    heading->setObjectName(QStringLiteral("Panel1"));
    heading->setAlignment(Qt::AlignCenter);
    heading->setMargin(6);
    heading->setStyleSheet(QStringLiteral(
        "QLabel { background-color: navy; color: white; font-weight: bold; font-size: 14px; }"));
    layout->addWidget(heading);

    auto *buttons = new QWidget(centre);
    buttons->setObjectName(QStringLiteral("Panel2"));
    auto *row = new QHBoxLayout(buttons);
    struct ButtonSpec
    {
        const char *name;
        const char *caption;
        const char *hint;
        void (THauptmenue::*handler)();
    };
    const ButtonSpec specs[] = {
        { "Button_Bereich", QT_TRANSLATE_NOOP("qm", "Bereich &anlegen"),
            QT_TRANSLATE_NOOP("qm", "Neuen Bereich in die Übersicht \"Eigene Werke\" einfügen."),
            &THauptmenue::Button_BereichClick },
        { "Button_EWHinzu", QT_TRANSLATE_NOOP("qm", "&Hinzufügen"),
            QT_TRANSLATE_NOOP("qm", "Neues Etikett bzw Formular erstellen und Eintrag hinzufügen."),
            &THauptmenue::Button_EWHinzuClick },
        { "Button_EWBearb", QT_TRANSLATE_NOOP("qm", "&Bearbeiten"),
            QT_TRANSLATE_NOOP("qm", "Eintrag bearbeiten."), &THauptmenue::Button_EWBearbClick },
        { "Button_EWLoesch", QT_TRANSLATE_NOOP("qm", "&Löschen"), QT_TRANSLATE_NOOP("qm", "Eintrag löschen."),
            &THauptmenue::Eintraglschen1Click },
        { "Button_Benutzen", QT_TRANSLATE_NOOP("qm", "Be&nutzen"),
            QT_TRANSLATE_NOOP("qm", "Selbsterstellte Etiketten bzw. Formulare benutzen."),
            &THauptmenue::Button_BenutzenClick },
    };
    for (const ButtonSpec &spec : specs) {
        auto *button = new QPushButton(tr(spec.caption), buttons);
        button->setObjectName(QString::fromLatin1(spec.name));
        button->setToolTip(tr(spec.hint));
        button->setStatusTip(tr(spec.hint));
        connect(button, &QPushButton::clicked, this, spec.handler);
        row->addWidget(button);
    }
    row->addStretch();
    layout->addWidget(buttons);

    // Every node of a kind shows the same picture; the view reads the nodes
    // from the model as it draws them.
    m_worksModel = new WorksTreeModel(
        style()->standardIcon(QStyle::SP_DirIcon), style()->standardIcon(QStyle::SP_FileIcon), this);
    m_tree = new QTreeView(centre);
    m_tree->setObjectName(QStringLiteral("AnzeigeWerke"));
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setModel(m_worksModel);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    m_tree->setFont(font);
    connect(m_tree, &QTreeView::doubleClicked, this, [this](const QModelIndex &index) {
        // A double click on an area only opens or closes it.
        if (index.data(WorksTreeModel::KindRole).toInt() == int(WorksNodeKind::Entry))
            AnzeigeWerkeDblClick();
    });
    layout->addWidget(m_tree, 1);
    setCentralWidget(centre);
}

void THauptmenue::fillTree()
{
    // The node selected before stays selected when it is still there.
    const std::optional<WorksSelection> before = selection();
    m_worksModel->setAreas(m_catalogue.treeAreas());
    for (int i = 0; i < m_worksModel->rowCount(); ++i)
        m_tree->setExpanded(m_worksModel->areaIndex(i), true);
    if (before)
        restoreSelection(*before);
}

QModelIndex THauptmenue::findNode(const QString &area, const QString &entry, int record) const
{
    const QList<WorksArea> &areas = m_worksModel->areas();
    for (int i = 0; i < areas.size(); ++i) {
        if (areas[i].name != area)
            continue;
        if (entry.isEmpty())
            return m_worksModel->areaIndex(i);
        // Of entries with the same name, the one of the record counts.
        int found = -1;
        const QList<WorksTreeEntry> &entries = areas[i].entries;
        for (int k = 0; k < entries.size(); ++k) {
            if (entries[k].entry.name != entry)
                continue;
            if (entries[k].record == record)
                return m_worksModel->entryIndex(i, k);
            if (found < 0)
                found = k;
        }
        return found < 0 ? QModelIndex() : m_worksModel->entryIndex(i, found);
    }
    return {};
}

void THauptmenue::restoreSelection(const WorksSelection &before)
{
    const QString entry = before.kind == WorksNodeKind::Entry ? before.text : QString();
    if (const QModelIndex node = findNode(before.area, entry, before.record); node.isValid())
        m_tree->setCurrentIndex(node);
}

bool THauptmenue::selectNode(const QString &area, const QString &entry)
{
    const QModelIndex node = findNode(area, entry);
    if (node.isValid())
        m_tree->setCurrentIndex(node);
    return node.isValid();
}

std::optional<WorksSelection> THauptmenue::selection() const
{
    const QModelIndexList selected = m_tree->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return std::nullopt;
    return m_worksModel->selectionAt(selected.first());
}

void THauptmenue::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void THauptmenue::closeEvent(QCloseEvent *event)
{
    FormClose();
    QMainWindow::closeEvent(event);
}

void THauptmenue::FormShow()
{
    m_workingMode = m_context.settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1);
    m_context.session.serialInCopies
        = m_context.settings.readBool(QStringLiteral("Parameter"), QStringLiteral("Seriennummer"), true);
    // The menu says what the next print will do.
    m_seKopie->setChecked(m_context.session.serialInCopies);
    if (m_firstShowing) {
        m_firstShowing = false;
        m_title->showCentered();
        m_context.waiter.wait(2500);
        m_title->hide();
    }
    showModeMarks();
}

void THauptmenue::FormClose()
{
    try {
        m_context.settings.writeInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), m_workingMode);
        m_context.settings.writeBool(
            QStringLiteral("Parameter"), QStringLiteral("Seriennummer"), m_context.session.serialInCopies);
    } catch (const Error &e) {
        showError(e.message());
    }
}

void THauptmenue::setWorkingMode(int mode)
{
    m_workingMode = mode;
    showModeMarks();
}

void THauptmenue::showModeMarks()
{
    // A mode outside 1 .. 4 (from a hand-edited settings file) marks none.
    for (int i = 0; i < 4; ++i) {
        m_menuModus[i]->setChecked(m_workingMode == i + 1);
        m_speedModus[i]->setChecked(m_workingMode == i + 1);
    }
}

void THauptmenue::SeKopieClick()
{
    m_context.session.serialInCopies = m_seKopie->isChecked();
}

void THauptmenue::Druckparameter1Click()
{
    if (m_context.printerSetup)
        m_context.printerSetup(this);
}

void THauptmenue::Programminformation1Click()
{
    m_info->exec();
}

void THauptmenue::Serviceangebote1Click()
{
    m_service->exec();
}

template <typename Command> void THauptmenue::catalogueCommand(Command &&command)
{
    try {
        command();
    } catch (const Error &e) {
        showError(e.message());
    } catch (const std::bad_alloc &) {
        showError(outOfMemoryMessage());
    }
    fillTree();
}

void THauptmenue::Button_BereichClick()
{
    m_context.dialogConfirmed = false;
    m_areaDialog->setWindowTitle(tr("Bereich anlegen"));
    m_areaDialog->exec();
    if (!m_context.dialogConfirmed)
        return;
    const QString name = m_areaDialog->areaName();
    catalogueCommand([&] { m_catalogue.createArea(name, m_context.messages); });
    selectNode(name);
}

void THauptmenue::Bereichlschen1Click()
{
    const std::optional<WorksSelection> selected = selection();
    catalogueCommand([&] { m_catalogue.deleteArea(selected, m_context.messages); });
}

void THauptmenue::Eintraglschen1Click()
{
    const std::optional<WorksSelection> selected = selection();
    catalogueCommand([&] { m_catalogue.deleteEntry(selected, m_context.messages); });
    if (selected && selected->kind == WorksNodeKind::Entry)
        selectNode(selected->area);
}

void THauptmenue::AlleBereicheundEintrgelschen1Click()
{
    catalogueCommand([&] { m_catalogue.deleteAll(m_context.messages); });
}

void THauptmenue::Button_EWHinzuClick()
{
    const std::optional<WorksSelection> selected = selection();
    const std::optional<QString> area = m_catalogue.areaForNewEntry(selected, m_context.messages);
    if (!area)
        return;
    m_wizard->prepare(QStringLiteral("N"), *area);
    m_context.dialogConfirmed = false;
    m_wizard->exec();
    if (!m_context.dialogConfirmed)
        return;
    const QString name = m_wizard->values().name;
    catalogueCommand([&] { m_catalogue.load(); });
    selectNode(*area, name);
}

void THauptmenue::Button_EWBearbClick()
{
    const std::optional<WorksSelection> selected = selection();
    std::optional<WorksEntry> entry;
    try {
        entry = m_catalogue.entryToChange(selected, m_context.messages);
    } catch (const Error &e) {
        showError(e.message());
        return;
    }
    if (!entry) {
        fillTree();
        return;
    }
    m_wizard->prepare(QStringLiteral("B"), entry->area, *entry);
    m_context.dialogConfirmed = false;
    m_wizard->exec();
    if (!m_context.dialogConfirmed)
        return;
    const WorksEntry values = m_wizard->values();
    catalogueCommand([&] { m_catalogue.changeEntry(*selected, values); });
    selectNode(entry->area, values.name);
}

void THauptmenue::useEntry(bool silent)
{
    const std::optional<WorksSelection> selected = selection();
    std::optional<WorksEntry> entry;
    try {
        entry = m_catalogue.findEntry(selected, m_context.messages, silent);
    } catch (const Error &e) {
        showError(e.message());
        return;
    }
    if (!entry)
        return;
    m_printRun->Ausfuehren(entry->designFile, entry->formatFile, m_workingMode, entry->databaseFile);
}

void THauptmenue::Button_BenutzenClick()
{
    useEntry(false);
}

void THauptmenue::AnzeigeWerkeDblClick()
{
    useEntry(true);
}

void THauptmenue::FormatExperte1Click()
{
    m_formatSelection->manageFormats();
}

void THauptmenue::DatenbankExpert1Click()
{
    m_databaseExpert->setEtikettendateiname(QString());
    m_databaseExpert->setVorlagendateiname(QString());
    m_databaseExpert->setDatenbankname(QString());
    m_databaseExpert->setModus(QStringLiteral("N"));
    m_databaseExpert->showModal();
}

void THauptmenue::SchnellauswahlExperte1Click()
{
    m_context.dialogConfirmed = false;
    m_quick->setWorkingMode(m_workingMode);
    m_quick->exec();
    if (!m_context.dialogConfirmed)
        return;
    QString design = m_quick->designFile();
    QString format = m_quick->formatFile();
    QString database = m_quick->databaseFile();
    m_printRun->Ausfuehren(design, format, m_workingMode, database);
}

void THauptmenue::openFile(const QString &path)
{
    const QFileInfo file(path);
    const QString suffix = file.suffix().toLower();
    if (suffix == QLatin1String("eti")) {
        // The design opens in the design editor, as "Benutzen" does in the
        // working mode "Editieren".
        QString design = file.absoluteFilePath();
        QString format;
        QString database;
        m_printRun->Ausfuehren(design, format, EditDesign, database);
        return;
    }
    if (suffix == QLatin1String("vrl")) {
        m_quick->setFormatFile(file.absoluteFilePath());
    } else {
        showError(tr("Die Datei %1 ist weder eine Etiketten- noch eine Formatdatei.").arg(path));
        return;
    }
    SchnellauswahlExperte1Click();
}

void THauptmenue::VorbereitetesDesignClick(const PreparedDesign &item)
{
    PreparedPaths paths = preparedPaths(item, m_context.dir);
    m_printRun->Ausfuehren(paths.design, paths.format, m_workingMode, paths.database);
}

void THauptmenue::AdressenAusADRIVOClick(const PreparedDesign &item)
{
    // The address program's folder is read each time: it may have been
    // linked a moment ago.
    const QString folder
        = m_context.settings.readString(QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), QString());
    PreparedPaths paths = adrivoPaths(item, m_context.dir, folder);
    m_printRun->Ausfuehren(paths.design, paths.format, m_workingMode, paths.database);
}

void THauptmenue::AdressverwaltungADRIVO1Click()
{
    m_adrivo->exec();
}

void THauptmenue::ErsteHilfe1Click()
{
    m_context.help.show(m_context.dir.firstAidHelpPath(), 0);
}

void THauptmenue::Inhaltsverzeichnis1Click()
{
    m_context.help.show(m_context.dir.programHelpPath(), 0);
}

void THauptmenue::showError(const QString &message)
{
    m_context.messages.show(MessageKind::Error, message, MessageButton::Ok);
}

void THauptmenue::Etiketteneditor1Click()
{
    // A new design gets the label size of the sheet format used last.
    const SheetFormat &format = m_context.session.format;
    if (format.positionCount() > 0 && format.positions[0].width > 0 && format.positions[0].height > 0)
        m_editor->core().setNewDesignSize(QString::number(qRound(format.positions[0].width / 10.0)),
            QString::number(qRound(format.positions[0].height / 10.0)));
    m_editor->setModus(QStringLiteral("N"));
    m_editor->setDateiname(QString());
    m_editor->showModal();
}

} // namespace qm
