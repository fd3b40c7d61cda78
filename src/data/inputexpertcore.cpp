#include "inputexpertcore.h"

#include "platform/errors.h"
#include "platform/numbers.h"

#include <QCoreApplication>

#include <algorithm>

namespace qm {

InputExpertCore::InputExpertCore(StringTable &entryGrid, bool &dialogConfirmed)
    : m_grid(entryGrid)
    , m_confirmed(dialogConfirmed)
{
    m_grid.setRowCount(3);
    m_view.copies = QStringLiteral("1");
    m_view.startLabel = QStringLiteral("1");
    m_view.frame = false;
    m_view.scrollX = OffsetCentre;
    m_view.scrollY = OffsetCentre;
    m_view.statusDesign = QCoreApplication::translate("qm", "Etikett");
    m_view.statusFormat = QCoreApplication::translate("qm", "Format");
}

int InputExpertCore::shownLines() const
{
    return std::clamp(m_fieldCount, 0, LineCount);
}

std::array<int, InputExpertCore::LineCount> InputExpertCore::maxLengthsFrom(int first) const
{
    std::array<int, LineCount> lengths {};
    for (int k = 0; k < shownLines(); ++k)
        lengths[k] = std::max(0, strToInt(m_grid.cell(first + k, 1)));
    return lengths;
}

void InputExpertCore::showPage(int page)
{
    m_view.page = std::clamp(page, 1, 3);
    m_view.backEnabled = m_view.page > 1;
    m_view.nextEnabled = m_view.page < 3;
}

void InputExpertCore::clearRow(int row)
{
    for (int c = 0; c < m_grid.colCount(); ++c)
        m_grid.setCell(c, row, QString());
}

QString InputExpertCore::checkedCopies()
{
    const QString text = m_view.copies;
    if (text.isEmpty())
        return QStringLiteral("1");
    int copies = 0;
    try {
        copies = strToInt(text);
    } catch (const ConvertError &) {
        showPage(1);
        m_view.focus = InputFocus::Copies;
        throw;
    }
    return copies < 1 ? QStringLiteral("1") : text;
}

void InputExpertCore::checkStartLabel()
{
    int start = 0;
    try {
        start = strToInt(m_view.startLabel);
    } catch (const ConvertError &) {
        showPage(2);
        m_view.focus = InputFocus::StartLabel;
        throw;
    }
    if (start < 1) {
        // Position 1 would get the second label and the first would be lost.
        showPage(2);
        m_view.focus = InputFocus::StartLabel;
        throw Error(
            QCoreApplication::translate("qm", "Bitte geben Sie als Startetikett eine Zahl ab 1 ein."));
    }
    if (m_startCheck) {
        if (const QString reason = m_startCheck(start); !reason.isEmpty()) {
            showPage(2);
            m_view.focus = InputFocus::StartLabel;
            throw Error(reason);
        }
    }
}

void InputExpertCore::checkLine(int line)
{
    if (!m_valueCheck || line < 0 || line >= shownLines())
        return;
    const int record = m_currentRow - 1;
    if (const QString reason = m_valueCheck(m_firstField + line, m_view.lines[line].text, record);
        !reason.isEmpty()) {
        showPage(1);
        m_view.focus = InputFocus::Line;
        m_view.focusLine = line;
        throw Error(reason);
    }
}

void InputExpertCore::checkShownLines()
{
    for (int k = 0; k < shownLines(); ++k)
        checkLine(k);
}

void InputExpertCore::formShow()
{
    showPage(1);
    m_view.focus = InputFocus::None;

    if (isDatabaseMode()) {
        m_view.fieldPanelVisible = false;
        m_view.copiesPanelVisible = false;
        m_view.removeVisible = false;
        m_view.newVisible = false;
        m_view.recordScroll.visible = false;
        m_view.fieldScroll.visible = false;
        m_view.entryTextsVisible = false;
        m_view.noFieldsTextsVisible = false;
        m_view.databaseTextsVisible = true;
        m_view.focus = InputFocus::StartLabel;
        return;
    }

    // Read and check the numbers before anything changes.
    const int count = std::max(0, strToInt(m_grid.cell(0, 0)));
    const int previousCount = m_fieldCount;
    m_fieldCount = count;
    try {
        maxLengthsFrom(1);
    } catch (const ConvertError &) {
        m_fieldCount = previousCount;
        throw;
    }

    m_view.fieldPanelVisible = true;
    m_view.copiesPanelVisible = true;
    m_view.entryTextsVisible = true;
    m_view.noFieldsTextsVisible = true;
    m_view.newVisible = true;
    m_view.databaseTextsVisible = false;

    // One empty record: nothing of an earlier run shows up again.
    m_grid.setRowCount(3);
    clearRow(2);

    m_view.copies = QStringLiteral("1");
    m_firstField = 1;
    m_recordCount = 1;
    m_returnRow = 0;
    m_currentRow = 2;
    m_saveOnScroll = true;
    for (InputLine &line : m_view.lines) {
        line.caption.clear();
        line.text.clear();
        line.maxLength = 0;
        line.visible = true;
    }
    m_view.recordScroll = InputScrollBar {};
    m_view.removeVisible = false;

    if (m_fieldCount > LineCount) {
        m_view.fieldScroll.visible = true;
        m_view.fieldScroll.maximum = m_fieldCount - (LineCount - 1);
        m_view.fieldScroll.position = 1;
    } else {
        m_view.fieldScroll = InputScrollBar {};
        for (int k = m_fieldCount; k < LineCount; ++k)
            m_view.lines[k].visible = false;
    }

    if (m_fieldCount >= 1) {
        felderAnzeigen(1, true);
        m_view.noFieldsTextsVisible = false;
        m_view.focus = InputFocus::FirstField;
    } else {
        m_view.fieldPanelVisible = false;
        m_view.entryTextsVisible = false;
        m_view.newVisible = false;
        m_firstField = -1;
        m_view.focus = InputFocus::Copies;
    }
}

void InputExpertCore::storeLines()
{
    for (int k = 0; k < shownLines(); ++k)
        m_grid.setCell(m_firstField + k, m_currentRow, m_view.lines[k].text);
}

void InputExpertCore::datenSichern()
{
    if (!isDatabaseMode())
        checkShownLines();
    const QString copies = checkedCopies();
    storeLines();
    m_view.copies = copies;
    m_grid.setCell(0, m_currentRow, copies);
    for (InputLine &line : m_view.lines) {
        line.caption.clear();
        line.text.clear();
    }
}

void InputExpertCore::felderAnzeigen(int first, bool storeFirst)
{
    const std::array<int, LineCount> lengths = maxLengthsFrom(first);
    if (storeFirst)
        datenSichern();
    for (int k = 0; k < shownLines(); ++k) {
        InputLine &line = m_view.lines[k];
        line.maxLength = lengths[k];
        line.text = m_grid.cell(first + k, m_currentRow);
        line.caption = m_grid.cell(first + k, 0);
    }
    m_view.copies = m_grid.cell(0, m_currentRow);
    m_firstField = first;
}

void InputExpertCore::scrollFields(int position)
{
    if (m_fieldCount <= LineCount)
        return;
    position = std::clamp(position, 1, m_fieldCount - (LineCount - 1));
    felderAnzeigen(position, m_saveOnScroll);
    m_view.fieldScroll.position = position;
}

int InputExpertCore::lineAfterReturn(int line)
{
    const int column = m_firstField + line; // entry-grid column of that line
    checkLine(line);
    if (line < 0 || column >= m_fieldCount)
        return LineCount;
    if (line + 1 < shownLines())
        return line + 1;
    // The next field lies below the shown lines: bring it into the last one.
    scrollFields(m_firstField + 1);
    return line;
}

void InputExpertCore::scrollRecords(int position)
{
    position = std::clamp(position, 1, m_recordCount);
    felderAnzeigen(m_firstField, true);
    m_currentRow = position + 1;
    felderAnzeigen(m_firstField, false);
    m_view.recordScroll.position = position;
}

void InputExpertCore::addRecordAfterReturn()
{
    addRecord();
    if (!isDatabaseMode() && m_fieldCount >= 1)
        m_returnRow = m_currentRow;
}

void InputExpertCore::addRecord()
{
    if (isDatabaseMode() || m_fieldCount < 1)
        return;
    m_returnRow = 0;
    maxLengthsFrom(1);
    datenSichern();

    ++m_recordCount;
    m_grid.setRowCount(m_recordCount + 2);
    m_currentRow = m_recordCount + 1;
    // A row given up by "Entfernen" may still hold the removed values.
    clearRow(m_currentRow);

    if (m_fieldCount > LineCount) {
        m_saveOnScroll = false;
        scrollFields(1);
        m_saveOnScroll = true;
    }
    felderAnzeigen(1, true);

    m_view.recordScroll.visible = true;
    m_view.recordScroll.maximum = m_recordCount;
    m_view.recordScroll.position = m_recordCount;
    m_view.removeVisible = true;

    m_view.copies = QStringLiteral("1");
    m_grid.setCell(0, m_currentRow, m_view.copies);
    m_view.focus = InputFocus::FirstField;
}

void InputExpertCore::removeRecord()
{
    if (isDatabaseMode() || m_recordCount < 2)
        return;
    m_returnRow = 0;
    const int lastRow = m_recordCount + 1;
    for (int r = m_currentRow; r < lastRow; ++r) {
        for (int c = 0; c < m_grid.colCount(); ++c)
            m_grid.setCell(c, r, m_grid.cell(c, r + 1));
    }
    clearRow(lastRow);

    --m_recordCount;
    m_grid.setRowCount(m_recordCount + 2);
    if (m_recordCount < 2) {
        m_view.removeVisible = false;
        m_view.recordScroll.visible = false;
    }
    m_view.recordScroll.maximum = m_recordCount;
    m_currentRow = std::min(m_currentRow, m_recordCount + 1);
    m_view.recordScroll.position = m_currentRow - 1;
    felderAnzeigen(m_firstField, false);
    m_view.focus = InputFocus::FirstField;
}

void InputExpertCore::nextPage()
{
    showPage(m_view.page + 1);
}

void InputExpertCore::previousPage()
{
    showPage(m_view.page - 1);
}

void InputExpertCore::setScrollX(int position)
{
    m_view.scrollX = std::clamp(position, 0, OffsetMaximum);
}

void InputExpertCore::setScrollY(int position)
{
    m_view.scrollY = std::clamp(position, 0, OffsetMaximum);
}

QString InputExpertCore::offsetText(int position)
{
    return QCoreApplication::translate("qm", "%1 mal 0,1 mm").arg(position - OffsetCentre);
}

void InputExpertCore::print()
{
    storeForPrint();
    m_confirmed = true;
}

void InputExpertCore::preview()
{
    storeForPrint();
    // Storing empties the lines; the window stays open and shows them on.
    if (!isDatabaseMode() && m_fieldCount >= 1)
        felderAnzeigen(m_firstField, false);
}

void InputExpertCore::storeForPrint()
{
    if (!isDatabaseMode()) {
        const QString copies = checkedCopies();
        checkStartLabel();
        if (m_fieldCount >= 1) {
            datenSichern();
            dropUntouchedReturnRecord();
        } else {
            m_view.copies = copies;
            m_grid.setCell(0, 2, copies);
        }
    } else {
        checkStartLabel();
    }
}

void InputExpertCore::dropUntouchedReturnRecord()
{
    const int row = m_returnRow;
    if (row == 0 || row != m_currentRow || row != m_recordCount + 1 || m_recordCount < 2)
        return;
    if (m_grid.cell(0, row) != u"1")
        return;
    for (int c = 1; c <= m_fieldCount; ++c) {
        if (!m_grid.cell(c, row).isEmpty())
            return;
    }
    removeRecord();
}

QList<QStringList> InputExpertCore::records() const
{
    QList<QStringList> rows;
    if (isDatabaseMode())
        return rows;
    for (int r = 2; r < m_grid.rowCount(); ++r)
        rows.append(m_grid.row(r));
    return rows;
}

void InputExpertCore::cancel()
{
    m_confirmed = false;
}

} // namespace qm
