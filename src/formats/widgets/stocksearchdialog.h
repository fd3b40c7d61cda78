#pragma once

#include "formats/stocksearch.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace qm {

class FormatPreviewView;

// The label-stock search "Etikettenbogen suchen" of the format selection:
// a search field that lists the matching sheets of the index as the user
// types (maker, part number, label size, number of labels), the clicked
// sheet in the preview, and "Übernehmen", which closes the window with that
// sheet chosen. The rules live in StockSearchCore.
class StockSearchDialog : public QDialog
{
    Q_OBJECT

public:
    explicit StockSearchDialog(QWidget *parent = nullptr);

    StockSearchCore &core() { return m_core; }
    // The sheet taken over with "Übernehmen" at the last showing.
    const StockSheet *chosen() const { return m_taken ? m_core.chosen(m_view) : nullptr; }

    void SuchtextChange(const QString &text);
    void ListTrefferClick(int row);
    void Button_UebernehmenClick();

    const StockSearchView &view() const { return m_view; }
    QLineEdit *searchField() const { return m_text; }
    QTreeWidget *matchList() const { return m_matches; }
    QLabel *statusLabel() const { return m_status; }
    QPushButton *takeOverButton() const { return m_takeOver; }
    FormatPreviewView *previewView() const { return m_preview; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showMatches();

    StockSearchCore m_core;
    StockSearchView m_view;
    bool m_taken = false;
    bool m_showing = false;

    QLineEdit *m_text = nullptr;
    QTreeWidget *m_matches = nullptr;
    QLabel *m_status = nullptr;
    FormatPreviewView *m_preview = nullptr;
    QPushButton *m_takeOver = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace qm
