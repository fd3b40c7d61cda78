#pragma once

#include "app/appcontext.h"
#include "catalogue/workscatalogue.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class QAction;
class QFileSystemWatcher;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class QModelIndex;
class QTreeView;

namespace qm {

class PrintRun;
struct PreparedDesign;
class TBereichBearbeiten;
class TDruckInformation;
class TErstellungsExperte;
class TDatenbankExperte;
class TEingabeExperte;
class TEtiketteneditor;
class TFormatAuswaehlen;
class TFormatExperte;
class TInfoADRIVO;
class TPinformation;
class TSchnellauswahlExperte;
class TServiceangebote;
class TTitel;
class WorksTreeModel;

// The main window "Quillmark 2.0 - 32-Bit-Anwendung": the overview "Eigene
// Werke", the working modes and the menus that start every other window.
// The handlers are public so that tests can drive the window as a user
// would.
class THauptmenue : public QMainWindow
{
    Q_OBJECT

public:
    // The resolution of the print preview's pages.
    static constexpr int PreviewDotsPerInch = 90;

    explicit THauptmenue(AppContext &context, QWidget *parent = nullptr);
    ~THauptmenue() override;

    // Reads the working mode and the option "Seriennummern auch in Kopie",
    // shows the title window on the first showing, and sets the mode's
    // button and menu item. Runs whenever the window is shown.
    void FormShow();
    // Writes the working mode and the option back to the settings.
    void FormClose();

    void MenueModus1Click() { setWorkingMode(1); }
    void MenueModus2Click() { setWorkingMode(2); }
    void MenueModus3Click() { setWorkingMode(3); }
    void MenueModus4Click() { setWorkingMode(4); }
    void SeKopieClick();
    void Druckparameter1Click();
    void Programminformation1Click();
    void Button_BereichClick();
    void Bereichlschen1Click();
    void Eintraglschen1Click();
    // "&Hinzufügen": the creation wizard makes a new entry in the selected
    // area; "&Bearbeiten": it changes the selected entry.
    void Button_EWHinzuClick();
    void Button_EWBearbClick();
    void AlleBereicheundEintrgelschen1Click();
    void Button_BenutzenClick();
    void AnzeigeWerkeDblClick();
    void FormatExperte1Click();
    void SchnellauswahlExperte1Click();
    // "Daten&bank-Experte ...": the database expert without design, format
    // or table, and without "&Übernehmen".
    void DatenbankExpert1Click();
    // "&Design-Experte ...": the design editor on a new design.
    void Etiketteneditor1Click();
    void AdressverwaltungADRIVO1Click();
    // An item of "Vorbereitete &Designs": uses its design, format and table
    // of the program directory in the current working mode.
    void VorbereitetesDesignClick(const PreparedDesign &item);
    // An item of "Adressen drucken aus &ADRIVO": as above, with the export
    // table of the address program.
    void AdressenAusADRIVOClick(const PreparedDesign &item);
    void ErsteHilfe1Click();
    void Inhaltsverzeichnis1Click();
    void Serviceangebote1Click();

    // A design (.eti) or format (.vrl) given when the program starts, as a
    // file manager does: a design opens in the design editor, a format in
    // the quick selection. Any other file is refused with a message.
    void openFile(const QString &path);

    int workingMode() const { return m_workingMode; }
    bool serialInCopies() const { return m_context.session.serialInCopies; }
    WorksCatalogue &catalogue() { return m_catalogue; }
    PrintRun &printRun() { return *m_printRun; }

    // Reads the catalogue files again after a change made outside the
    // program and shows them when they differ from the tree.
    void catalogueFilesChanged();
    // Builds the tree from the catalogue as loaded.
    void fillTree();
    // Selects the node of an area, or of an entry of an area; false when the
    // tree has no such node.
    bool selectNode(const QString &area, const QString &entry = QString());
    // What the selected node tells a command; nothing when none is selected.
    std::optional<WorksSelection> selection() const;

    QTreeView *tree() const { return m_tree; }
    TEingabeExperte *inputExpert() const { return m_inputExpert; }
    TDatenbankExperte *databaseExpert() const { return m_databaseExpert; }
    TDruckInformation *progressWindow() const { return m_progress; }
    TBereichBearbeiten *areaDialog() const { return m_areaDialog; }
    TFormatExperte *formatExpert() const { return m_formatExpert; }
    TFormatAuswaehlen *formatSelection() const { return m_formatSelection; }
    TSchnellauswahlExperte *quickSelection() const { return m_quick; }
    TErstellungsExperte *creationWizard() const { return m_wizard; }
    TInfoADRIVO *adrivoDialog() const { return m_adrivo; }
    TTitel *titleWindow() const { return m_title; }
    TEtiketteneditor *designEditor() const { return m_editor; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildCentre();
    void setWorkingMode(int mode);
    void showModeMarks();
    // The node of the area, or of the entry in it (of several with that name,
    // the one of the record, else the first); invalid when there is none.
    QModelIndex findNode(const QString &area, const QString &entry, int record = -1) const;
    void restoreSelection(const WorksSelection &before);
    void watchCatalogueFiles();
    // Runs a catalogue command; a file error is shown, and the tree shows
    // the files as they are afterwards.
    template <typename Command> void catalogueCommand(Command &&command);
    void useEntry(bool silent);
    void showError(const QString &message);

    AppContext &m_context;
    WorksCatalogue m_catalogue;
    std::unique_ptr<PrintRun> m_printRun;
    int m_workingMode = 1;
    bool m_firstShowing = true;

    QTreeView *m_tree = nullptr;
    WorksTreeModel *m_worksModel = nullptr;
    QFileSystemWatcher *m_watcher = nullptr;
    QAction *m_menuModus[4] = {};
    QToolButton *m_speedModus[4] = {};
    QAction *m_seKopie = nullptr;

    TEingabeExperte *m_inputExpert = nullptr;
    TFormatExperte *m_formatExpert = nullptr;
    TFormatAuswaehlen *m_formatSelection = nullptr;
    TDatenbankExperte *m_databaseExpert = nullptr;
    TDruckInformation *m_progress = nullptr;
    TBereichBearbeiten *m_areaDialog = nullptr;
    TSchnellauswahlExperte *m_quick = nullptr;
    TInfoADRIVO *m_adrivo = nullptr;
    TErstellungsExperte *m_wizard = nullptr;
    TTitel *m_title = nullptr;
    TEtiketteneditor *m_editor = nullptr;
    TPinformation *m_info = nullptr;
    TServiceangebote *m_service = nullptr;
};

} // namespace qm
