#pragma once

#include "platform/stringtable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace qm {

// Where the input expert wants the keyboard focus after an operation.
enum class InputFocus {
    None,
    FirstField, // F1
    Copies, // EtikettenAnzahl
    StartLabel, // Startetikett
    Line, // the edit line InputExpertView::focusLine
};

// One of the six edit lines of the field mask with its caption.
struct InputLine
{
    QString caption; // FName1 .. FName6
    QString text; // F1 .. F6
    int maxLength = 0; // 0: no limit
    bool visible = true;
};

// A scroll bar whose minimum is 1.
struct InputScrollBar
{
    bool visible = false;
    int maximum = 1;
    int position = 1;
};

// What the input expert shows. The window copies the texts typed by the user
// into it before each operation and shows it again afterwards.
struct InputExpertView
{
    std::array<InputLine, 6> lines;
    QString copies; // EtikettenAnzahl
    QString startLabel; // Startetikett
    bool frame = false; // Etikettenrahmen1 checked (else Etikettenrahmen2)
    int scrollX = 250; // Scroll_X, 0 .. 500
    int scrollY = 250; // Scroll_Y, 0 .. 500
    InputScrollBar fieldScroll; // Scroll_Feld
    InputScrollBar recordScroll; // Scroll_Etiketten

    bool fieldPanelVisible = false; // Panel_Feld
    bool copiesPanelVisible = false; // Panel1
    bool entryTextsVisible = false; // t1, t2
    bool noFieldsTextsVisible = false; // Label23, Label2, Label3
    bool databaseTextsVisible = false; // d1, d2
    bool newVisible = false; // "&Neu"
    bool removeVisible = false; // "&Entfernen"

    int page = 1; // 1 Eingabe, 2 StartRahmen, 3 Ausrichtung
    bool backEnabled = false;
    bool nextEnabled = true;

    QString statusDesign; // first panel of the status line
    QString statusFormat; // second panel

    InputFocus focus = InputFocus::None;
    int focusLine = 0; // 0 .. 5, for InputFocus::Line
};

// The input expert ("Eingabe-Experte") without its window: the records typed
// into the field mask live in the shared entry grid (cells (column, row):
// (0, 0) the field count, row 0 the field titles, row 1 their maximum
// lengths, record k in row k + 1 with its copies in column 0).
//
// Numbers are read strictly; a bad one throws ConvertError before anything
// is stored or changed, so the window can show the message and the user can
// correct the text.
class InputExpertCore
{
public:
    static constexpr int LineCount = 6;
    static constexpr int OffsetCentre = 250;
    static constexpr int OffsetMaximum = 500;

    // FormCreate: the grid gets 3 rows, copies and start label "1", no
    // frame, both offsets 250.
    InputExpertCore(StringTable &entryGrid, bool &dialogConfirmed);

    // "D" is the database mode, any other text entering and printing.
    void setModus(const QString &modus) { m_modus = modus; }
    const QString &modus() const { return m_modus; }
    bool isDatabaseMode() const { return m_modus == QLatin1String("D"); }

    void setStartCheck(std::function<QString(int)> check) { m_startCheck = std::move(check); }
    // The check of a typed value (IInputExpert::ValueCheck): (entry-grid
    // column, value, record number from 1) to the reason it cannot be
    // printed, or "".
    void setValueCheck(std::function<QString(int, const QString &, int)> check)
    {
        m_valueCheck = std::move(check);
    }
    void setStatusText(const QString &designName, const QString &formatName)
    {
        m_view.statusDesign = designName;
        m_view.statusFormat = formatName;
    }

    InputExpertView &view() { return m_view; }
    const InputExpertView &view() const { return m_view; }
    const StringTable &entryGrid() const { return m_grid; }
    // The records of the entry grid (rows 2 and below), each with its copies
    // first, then the value of every data column; none in database mode,
    // whose records the record selection holds.
    QList<QStringList> records() const;

    int fieldCount() const { return m_fieldCount; }
    int firstField() const { return m_firstField; }
    int recordCount() const { return m_recordCount; }
    int currentRow() const { return m_currentRow; }
    bool saveOnScroll() const { return m_saveOnScroll; }
    int pageNumber() const { return m_view.page; }

    // FormShow. In entry mode the grid is cut to one empty record first.
    // Throws ConvertError for a field count or maximum length that is not a
    // number.
    void formShow();

    // DatenSichern: the shown lines and the copies into the current row
    // (copies empty or below 1 become "1"), then captions and lines emptied.
    void datenSichern();
    // FelderAnzeigen: shows the fields from entry-grid column `first` on of
    // the current record, storing the shown ones first when asked.
    void felderAnzeigen(int first, bool storeFirst);

    // Return in edit line `line` (0 .. 5): the line that takes the cursor
    // next; a value the check refuses throws Error with the reason and the
    // cursor stays (InputFocus::Line). That is the line of the design's next field, the field list
    // scrolled on by one when that field is below the six shown lines;
    // after the last field it is LineCount, the copies line.
    int lineAfterReturn(int line);

    void scrollFields(int position); // Scroll_FeldChange
    void scrollRecords(int position); // Scroll_EtikettenChange
    void addRecord(); // "&Neu"
    // Return on the copies line: the record is taken and the next one
    // started, as "&Neu" does. A record started so and left empty (no
    // value, one copy) is dropped when "&Drucken" or "&Vorschau" takes the
    // records while it is on screen: it was only the cursor's way on, and
    // printed it would give a blank label.
    void addRecordAfterReturn();
    void removeRecord(); // "&Entfernen"
    void nextPage(); // "&Weiter >>"
    void previousPage(); // "<< &Zurück"
    void setScrollX(int position); // Scroll_XChange
    void setScrollY(int position); // Scroll_YChange

    // "-30 mal 0,1 mm" for the position 220.
    static QString offsetText(int position);
    // The offsets in tenths of a millimetre.
    int offsetX() const { return m_view.scrollX - OffsetCentre; }
    int offsetY() const { return m_view.scrollY - OffsetCentre; }

    // "&Drucken": checks the copies and the start label, stores the record
    // on screen (entry mode) and sets the confirmation flag. Throws Error
    // when a number is not usable; then nothing is stored and the flag is
    // left as it was.
    void print();
    // "&Vorschau": checks and stores as "&Drucken" does, without closing;
    // the lines go on showing the record.
    void preview();
    // "&Abbrechen": clears the confirmation flag.
    void cancel();

private:
    void storeForPrint();
    void dropUntouchedReturnRecord();
    std::array<int, LineCount> maxLengthsFrom(int first) const;
    QString checkedCopies();
    void checkStartLabel();
    void checkLine(int line);
    void checkShownLines();
    void storeLines();
    void showPage(int page);
    void clearRow(int row);
    int shownLines() const;

    StringTable &m_grid;
    bool &m_confirmed;
    QString m_modus = QStringLiteral("E");
    InputExpertView m_view;

    int m_fieldCount = 0;
    int m_firstField = 1;
    int m_recordCount = 1;
    int m_returnRow = 0; // the row addRecordAfterReturn() started; 0: none
    int m_currentRow = 2;
    bool m_saveOnScroll = true;
    std::function<QString(int)> m_startCheck;
    std::function<QString(int, const QString &, int)> m_valueCheck;
};

} // namespace qm
