#pragma once

#include "data/recordselection.h"
#include "platform/services.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTableView;

namespace qm {

class ITableEngine;
class StringTableModel;
class TKVBiBtn;

// The wait window of table operations ("Datenbank"), with a bar that shows
// how far a long read has come.
class TDatenbankWarten : public QDialog
{
    Q_OBJECT

public:
    explicit TDatenbankWarten(QWidget *parent = nullptr);

    // Shows `done` of `total` records read; a total of 0 shows no bar.
    void setProgress(qint64 done, qint64 total);
    QProgressBar *progressBar() const { return m_bar; }

private:
    QProgressBar *m_bar = nullptr;
};

// A read through a table in the windows, for as long as the object lives.
// From LargeTableRecords records on, progress() shows the wait window with
// its bar and waits 0 ms with message processing at every step, so the
// windows stay painted; keys, clicks and the like given meanwhile are
// dropped, also those still queued when the read ends, so that a key pressed
// while waiting does nothing afterwards (Escape would close the window).
class TableReadWait : public QObject
{
    Q_OBJECT

public:
    static constexpr int LargeTableRecords = 20000;

    TableReadWait(TDatenbankWarten &window, IWaiter &waiter);
    ~TableReadWait() override;

    // The progress to hand to the table's reader.
    ReadProgress progress();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void step(qint64 done, qint64 total);

    TDatenbankWarten &m_window;
    IWaiter &m_waiter;
    bool m_shown = false;
    bool m_wasVisible = false;
};

// The record selection ("Daten selektieren und drucken"): the records of the
// open table with their number of prints, narrowed by up to three criteria
// joined by OR; "&Weiter >>>" hands the listed records over for printing.
// The rules live in RecordSelection; this window copies the criteria in,
// runs one operation and shows the list again.
class TDatenbankDrucken : public QDialog
{
    Q_OBJECT

public:
    TDatenbankDrucken(ITableEngine &table, IMessages &messages, IWaiter &waiter, IHelp &help,
        QString helpFilePath, QWidget *parent = nullptr);
    ~TDatenbankDrucken() override;

    // Shows the dialog modally; true when the records were handed over.
    bool showModal();
    bool handedOver() const { return m_handedOver; }
    // The records handed over by the last "&Weiter >>>": each with its
    // number of prints first, then the values of the table's fields.
    const QList<QStringList> &handedRecords() const { return m_handed; }
    // The names of the table's fields, in the table's order.
    const QStringList &handedFieldNames() const { return m_handedFields; }

    // FormShow: criteria off, bounds empty, all records loaded (with the
    // wait window). False when the table could not be read (message shown).
    bool FormShow();
    void KnopfClick(int index); // Knopf1Click .. Knopf3Click, index 0 .. 2
    // "Kriterien auf gesamten Datenbestand &anwenden"; a criterion filled in
    // but "inaktiv" is named afterwards, as it narrowed nothing.
    void Button_gesamtClick();
    // "&Weiter >>>": with a criterion filled in but "inaktiv" the user is
    // asked first whether the whole list is meant; "Nein" keeps the window.
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
    // The line below the criteria that names criteria filled in while they
    // are "inaktiv"; hidden when there are none.
    QLabel *hinweis() const { return m_hint; }
    TDatenbankWarten *waitWindow() const { return m_wait; }

private:
    SelectionCriteria shownCriteria() const;
    void takeCriteria();
    void showCriteria();
    void showHint();
    // Runs a table operation with the wait window; false after an error.
    bool withWait(const std::function<void()> &operation);

    RecordSelection m_selection;
    IMessages &m_messages;
    IWaiter &m_waiter;
    IHelp &m_help;
    QString m_helpPath;
    bool m_handedOver = false;
    QList<QStringList> m_handed;
    QStringList m_handedFields;

    std::array<TKVBiBtn *, RecordSelection::CriterionCount> m_knopf {};
    std::array<QComboBox *, RecordSelection::CriterionCount> m_comb {};
    std::array<QLineEdit *, RecordSelection::CriterionCount> m_an {};
    std::array<QLineEdit *, RecordSelection::CriterionCount> m_en {};
    QTableView *m_grid = nullptr;
    QLabel *m_hint = nullptr;
    StringTableModel *m_model = nullptr;
    TDatenbankWarten *m_wait = nullptr;
};

} // namespace qm
