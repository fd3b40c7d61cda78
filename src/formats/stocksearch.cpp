#include "stocksearch.h"

#include <QCoreApplication>

namespace qm {
namespace {

// The search text in a message: at most this many characters.
constexpr qsizetype MaxQuotedText = 60;

QString quotedText(const QString &text)
{
    const QString shown = text.size() > MaxQuotedText ? text.left(MaxQuotedText - 1) + QChar(0x2026) : text;
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

} // namespace

void StockSearchCore::setSheets(QList<StockSheet> sheets)
{
    m_sheets = std::move(sheets);
    m_found.clear();
}

void StockSearchCore::SuchtextChange(StockSearchView &view)
{
    m_found = findStockSheets(m_sheets, view.text);
    view.matches.clear();
    for (const qsizetype i : std::as_const(m_found)) {
        const StockSheet &s = m_sheets[i];
        view.matches.append({ s.brand, s.part, s.sizeText(), QString::number(s.labelCount()) });
    }
    view.matchIndex = -1;
    view.preview = {};
    const QString typed = view.text.simplified();
    if (typed.isEmpty())
        view.status.clear();
    else if (m_found.isEmpty())
        view.status = QCoreApplication::translate("qm", "Kein Etikettenbogen passt zu %1.").arg(quotedText(typed));
    else if (m_found.size() == 1)
        view.status = QCoreApplication::translate("qm", "1 Etikettenbogen gefunden.");
    else
        view.status = QCoreApplication::translate("qm", "%1 Etikettenbögen gefunden.").arg(m_found.size());
}

void StockSearchCore::ListTrefferClick(StockSearchView &view, int row)
{
    if (row < 0 || row >= m_found.size())
        return;
    view.matchIndex = row;
    view.preview = sheetPreview(m_sheets[m_found[row]].format);
}

const StockSheet *StockSearchCore::chosen(const StockSearchView &view) const
{
    if (view.matchIndex < 0 || view.matchIndex >= m_found.size())
        return nullptr;
    return &m_sheets[m_found[view.matchIndex]];
}

FormatPreview sheetPreview(const SheetFormat &format)
{
    // Tenths of a millimetre to half pixels per millimetre.
    FormatPreview picture;
    for (const LabelPosition &p : format.positions)
        picture.labels.append(QRect(p.x / 20, p.y / 20, p.width / 20, p.height / 20));
    return picture;
}

} // namespace qm
