#pragma once

#include "data/databaseexpert.h"
#include "platform/services.h"
#include "platform/stringtable.h"

#include <QDialog>

class QAction;
class QLabel;
class QPushButton;
class QTableView;

namespace qm {

class DbGrid;
class ITableEngine;
class TableModel;
class TDBerstellen;
class TDatenbankDrucken;
class TImportText;

// The database expert ("Datenbank-Experte"): opens or creates a dBASE table,
// edits its records in a grid with a navigator, imports records from text,
// shows the fields of a design beside it and starts the record selection
// for printing.
//
// Openers set the hidden labels first and then call showModal():
// - the main window: all paths empty, Modus "N" (no "&Übernehmen");
// - the creation wizard: setEtikettendateiname(its design), Modus "E";
//   afterwards takenOverDatabase() is the table chosen with "&Übernehmen"
//   (empty when the window was left otherwise);
// - the print run (IDatabaseExpert): design, sheet format and table for
//   printing, or the table alone for editing; showModal() returns the
//   records the record selection handed over.
class TDatenbankExperte : public QDialog, public IDatabaseExpert
{
    Q_OBJECT

public:
    TDatenbankExperte(ITableEngine &table, IMessages &messages, IFileDialogs &fileDialogs, IWaiter &waiter,
        IHelp &help, QString helpFilePath, QWidget *parent = nullptr);
    ~TDatenbankExperte() override;

    // IDatabaseExpert
    void setEtikettendateiname(const QString &path) override { m_designPath = path; }
    void setVorlagendateiname(const QString &path) override { m_formatPath = path; }
    void setDatenbankname(const QString &path) override { m_tablePath = path; }
    std::optional<SelectedRecords> showModal() override;
    QString etikettendateiname() const override { return m_designPath; }
    // Whether the last showing ended with "&Weiter >>>" of the record
    // selection.
    bool recordsHandedOver() const { return m_handedOver; }

    // "N" hides "&Übernehmen"; any other text shows it.
    void setModus(const QString &modus) { m_modus = modus; }
    QString takenOverDatabase() const { return m_takenOver; }
    // The program's folders of designs and tables: where the open dialogs
    // start and where a table typed by a plain name is created.
    void setFolders(const QString &designFolder, const QString &tableFolder);
    QString datenbankname() const { return m_tablePath; }

    void FormShow();
    void done(int result) override;
    void DatenbankNeuClick();
    void DatenbankOeffnenClick();
    void EtikettendateiOeffnenClick();
    void ImportTextClick();
    // "Import von Daten > im CSV-Format ...": appends the records of a CSV
    // file, columns by field name; a bad line leaves the table as it was.
    void ImportCsvClick();
    // "Export im CSV-Format ...": the table as a CSV file for spreadsheets.
    void ExportCsvClick();
    void ButtonDruckenClick();
    void ButtonUeberClick();
    void HilfeClick();
    // The navigator.
    void NavigatorFirst();
    void NavigatorPrior();
    void NavigatorNext();
    void NavigatorLast();
    void NavigatorInsert();
    void NavigatorDelete();
    void NavigatorEdit();
    void NavigatorPost();
    void NavigatorCancel();

    TableModel *tableModel() const { return m_model; }
    QTableView *dbGitter() const;
    const StringTable &fieldList() const { return m_fieldList; }
    QTableView *fieldListView() const { return m_fieldView; }
    QString fieldListCaption() const;
    QString statusText(int panel) const;
    QPushButton *buttonDrucken() const { return m_buttonDrucken; }
    QPushButton *buttonUeber() const { return m_buttonUeber; }
    TDBerstellen *createDialog() const { return m_create; }
    TImportText *importDialog() const { return m_import; }
    TDatenbankDrucken *selectionDialog() const { return m_selection; }

private:
    void buildMenus(QWidget *menuHost);
    void loadDesign();
    void openTable();
    // Reads the open table's record list again into the grid.
    void reloadTable();
    void showTable(bool visible);
    // True with a table open; else says that one must be opened first.
    bool tableOpenOrSay();
    // True with a table open for writing; else says what is missing.
    bool tableWritableOrSay();
    void moveTo(int row);
    void showError(const QString &message);

    ITableEngine &m_table;
    IMessages &m_messages;
    IFileDialogs &m_fileDialogs;
    IWaiter &m_waiter;
    IHelp &m_help;
    QString m_helpPath;

    QString m_designPath;
    QString m_formatPath;
    QString m_tablePath;
    QString m_modus = QStringLiteral("N");
    QString m_takenOver;
    QString m_designFolder;
    QString m_tableFolder;
    bool m_handedOver = false;

    StringTable m_fieldList { 20, 3 };
    QString m_fieldCaption;
    TableModel *m_model = nullptr;
    DbGrid *m_grid = nullptr;
    QTableView *m_fieldView = nullptr;
    class StringTableModel *m_fieldModel = nullptr;
    QLabel *m_caption = nullptr;
    QLabel *m_status[2] = {};
    QPushButton *m_buttonDrucken = nullptr;
    QPushButton *m_buttonUeber = nullptr;
    QWidget *m_fieldArea = nullptr;
    QWidget *m_tableArea = nullptr;

    TDBerstellen *m_create = nullptr;
    TImportText *m_import = nullptr;
    TDatenbankDrucken *m_selection = nullptr;
};

} // namespace qm
