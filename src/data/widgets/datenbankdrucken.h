#pragma once

#include "data/recordselection.h"
#include "platform/services.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLineEdit;
class QTableView;

namespace qm {

class ITableEngine;
class StringTableModel;
class TKVBiBtn;

// The wait window of table operations ("Datenbank").
class TDatenbankWarten : public QDialog
{
    Q_OBJECT

public:
    explicit TDatenbankWarten(QWidget *parent = nullptr);
};

// The record selection ("Daten selektieren und drucken"): the records of the
// open table with their number of prints, narrowed by up to three criteria
// joined by OR; "&Weiter >>>" hands the list to the entry grid for printing.
// The rules live in RecordSelection; this window copies the criteria in,
// runs one operation and shows the list again.
class TDatenbankDrucken : public QDialog
{
    Q_OBJECT

public:
    TDatenbankDrucken(ITableEngine &table, StringTable &entryGrid, IMessages &messages, IWaiter &waiter,
        IHelp &help, QString helpFilePath, QWidget *parent = nullptr);
    ~TDatenbankDrucken() override;

    // Shows the dialog modally; true when the records were handed over.
    bool showModal();
    bool handedOver() const { return m_handedOver; }

    // FormShow: criteria off, bounds empty, all records loaded (with the
    // wait window). False when the table could not be read (message shown).
    bool FormShow();
    void KnopfClick(int index); // Knopf1Click .. Knopf3Click, index 0 .. 2
    void Button_gesamtClick();
    void Button_WeiterClick();
    void Button_AbbrechenClick();
    void Button_HilfeClick();

    const RecordSelection &selection() const { return m_selection; }
    RecordSelection &selection() { return m_selection; }
    TKVBiBtn *knopf(int index) const { return m_knopf[index]; }
    QComboBox *comb(int index) const { return m_comb[index]; }
    QLineEdit *an(int index) const { return m_an[index]; }
    QLineEdit *en(int index) const { return m_en[index]; }
    QTableView *datengitter() const { return m_grid; }
    TDatenbankWarten *waitWindow() const { return m_wait; }

private:
    void takeCriteria();
    void showCriteria();
    // Runs a table operation with the wait window; false after an error.
    bool withWait(const std::function<void()> &operation);

    RecordSelection m_selection;
    StringTable &m_entryGrid;
    IMessages &m_messages;
    IWaiter &m_waiter;
    IHelp &m_help;
    QString m_helpPath;
    bool m_handedOver = false;

    std::array<TKVBiBtn *, RecordSelection::CriterionCount> m_knopf {};
    std::array<QComboBox *, RecordSelection::CriterionCount> m_comb {};
    std::array<QLineEdit *, RecordSelection::CriterionCount> m_an {};
    std::array<QLineEdit *, RecordSelection::CriterionCount> m_en {};
    QTableView *m_grid = nullptr;
    StringTableModel *m_model = nullptr;
    TDatenbankWarten *m_wait = nullptr;
};

} // namespace qm
