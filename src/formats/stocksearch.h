#pragma once

#include "formatexpertcore.h"
#include "stockindex.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace qm {

// What the label-stock search shows.
struct StockSearchView
{
    QString text; // the search field
    // The matches, best first, each as its columns: maker, part number,
    // label size and grid, number of labels.
    QList<QStringList> matches;
    int matchIndex = -1; // the match clicked, -1 for none
    FormatPreview preview; // the clicked sheet, as the format expert shows it
    // What the search found: nothing before a word is typed, else the
    // number of sheets or that none fits the text.
    QString status;
};

// The rules of the label-stock search "Etikettenbogen suchen", without a
// window: finding sheets of the index as the user types, and the sheet
// clicked.
class StockSearchCore
{
public:
    void setSheets(QList<StockSheet> sheets);
    bool hasSheets() const { return !m_sheets.isEmpty(); }

    // The search field changed: the matches of view.text and the status,
    // none clicked.
    void SuchtextChange(StockSearchView &view);
    // A match clicked: its sheet in the preview.
    void ListTrefferClick(StockSearchView &view, int row);
    // The sheet of the clicked match; nothing when none is clicked.
    const StockSheet *chosen(const StockSearchView &view) const;

private:
    QList<StockSheet> m_sheets;
    QList<qsizetype> m_found;
};

// A sheet format as the preview of the format expert draws it: half a pixel
// per millimetre.
FormatPreview sheetPreview(const SheetFormat &format);

} // namespace qm
