#include "data/inputexpertcore.h"
#include "designs/printdesign.h"
#include "platform/errors.h"
#include "printing/barcodecheck.h"

#include <QTest>

using namespace qm;

namespace {

// The entry grid as the design loader leaves it: (0, 0) the field count,
// row 0 the titles "Feld 1" ..., row 1 the maximum lengths, one empty record.
StringTable gridWithFields(int count, const QString &maxLength = QStringLiteral("20"))
{
    StringTable grid(count + 1, 3);
    grid.setCell(0, 0, QString::number(count));
    for (int c = 1; c <= count; ++c) {
        grid.setCell(c, 0, QStringLiteral("Feld %1").arg(c));
        grid.setCell(c, 1, maxLength);
    }
    return grid;
}

// Types into the shown lines: "<prefix><column>" into each visible line.
void typeRecord(InputExpertCore &core, const QString &prefix, const QString &copies)
{
    for (int k = 0; k < InputExpertCore::LineCount; ++k) {
        if (core.view().lines[k].visible)
            core.view().lines[k].text = prefix + QString::number(core.firstField() + k);
    }
    core.view().copies = copies;
}

QStringList shownTexts(const InputExpertCore &core)
{
    QStringList texts;
    for (const InputLine &line : core.view().lines) {
        if (line.visible)
            texts << line.text;
    }
    return texts;
}

} // namespace

class TestInputExpert : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showingBuildsTheMask_data();
    void showingBuildsTheMask();
    void showingStartsWithOneEmptyRecord();
    void barcodeValueCheckedAsEntered_data();
    void barcodeValueCheckedAsEntered();
    void badMaximumLengthStopsTheShowing();
    void fieldScrollingStoresFirst();
    void previewStoresAndKeepsShowingTheRecord();
    void newTwiceThenScrollingKeepsRecords();
    void removingRecords_data();
    void removingRecords();
    void removedValuesDoNotComeBack();
    void emptyRecordAfterReturnIsNotPrinted_data();
    void emptyRecordAfterReturnIsNotPrinted();
    void returnRecordLeftBehindKeepsTheOthers_data();
    void returnRecordLeftBehindKeepsTheOthers();
    void copiesRule_data();
    void copiesRule();
    void badCopiesLoseNothing_data();
    void badCopiesLoseNothing();
    void printWithoutFields_data();
    void printWithoutFields();
    void badStartLabelKeepsTheDialog_data();
    void badStartLabelKeepsTheDialog();
    void databaseMode();
    void pages();
    void offsets_data();
    void offsets();
};

void TestInputExpert::showingBuildsTheMask_data()
{
    QTest::addColumn<int>("fields");
    QTest::addColumn<bool>("fieldScroll");
    QTest::addColumn<int>("scrollMaximum");
    QTest::addColumn<int>("visibleLines");
    QTest::addColumn<int>("firstField");
    QTest::newRow("no fields") << 0 << false << 1 << 0 << -1;
    QTest::newRow("one field") << 1 << false << 1 << 1 << 1;
    QTest::newRow("six fields") << 6 << false << 1 << 6 << 1;
    QTest::newRow("seven fields") << 7 << true << 2 << 6 << 1;
    QTest::newRow("twelve fields") << 12 << true << 7 << 6 << 1;
}

void TestInputExpert::showingBuildsTheMask()
{
    QFETCH(int, fields);
    QFETCH(bool, fieldScroll);
    QFETCH(int, scrollMaximum);
    QFETCH(int, visibleLines);
    QFETCH(int, firstField);

    StringTable grid = gridWithFields(fields);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.setModus("E");
    core.formShow();

    const InputExpertView &view = core.view();
    QCOMPARE(core.fieldCount(), fields);
    QCOMPARE(core.firstField(), firstField);
    QCOMPARE(core.recordCount(), 1);
    QCOMPARE(core.currentRow(), 2);
    QCOMPARE(view.fieldScroll.visible, fieldScroll);
    if (fieldScroll) {
        QCOMPARE(view.fieldScroll.maximum, scrollMaximum);
        QCOMPARE(view.fieldScroll.position, 1);
    }
    int visible = 0;
    for (int k = 0; k < InputExpertCore::LineCount; ++k) {
        const InputLine &line = view.lines[k];
        if (!line.visible)
            continue;
        ++visible;
        QCOMPARE(line.caption, QStringLiteral("Feld %1").arg(k + 1));
        QCOMPARE(line.maxLength, 20);
        QVERIFY(line.text.isEmpty());
    }
    QCOMPARE(visible, visibleLines);
    QCOMPARE(view.fieldPanelVisible, fields > 0);
    QCOMPARE(view.entryTextsVisible, fields > 0);
    QCOMPARE(view.newVisible, fields > 0);
    QCOMPARE(view.noFieldsTextsVisible, fields == 0);
    QVERIFY(view.copiesPanelVisible);
    QVERIFY(!view.databaseTextsVisible);
    QVERIFY(!view.recordScroll.visible);
    QVERIFY(!view.removeVisible);
    QCOMPARE(view.copies, QStringLiteral("1"));
    QCOMPARE(view.page, 1);
    QVERIFY(!view.backEnabled);
    QVERIFY(view.nextEnabled);
}

void TestInputExpert::showingStartsWithOneEmptyRecord()
{
    // What an earlier run left behind, beyond the first six columns too.
    StringTable grid = gridWithFields(8);
    grid.setRowCount(5);
    for (int r = 2; r < 5; ++r)
        for (int c = 0; c <= 8; ++c)
            grid.setCell(c, r, QStringLiteral("alt"));
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.formShow();

    QCOMPARE(grid.rowCount(), 3);
    QCOMPARE(grid.cell(0, 2), QStringLiteral("1"));
    for (int c = 1; c <= 8; ++c)
        QCOMPARE(grid.cell(c, 2), QString());
    QCOMPARE(grid.cell(8, 0), QStringLiteral("Feld 8"));

    // The rows cut off still hold the earlier records: a new one starts empty.
    core.addRecord();
    QCOMPARE(shownTexts(core), QStringList(6, QString()));
    for (int c = 1; c <= 8; ++c)
        QCOMPARE(grid.cell(c, 3), QString());
}

void TestInputExpert::badMaximumLengthStopsTheShowing()
{
    StringTable grid = gridWithFields(3);
    grid.setCell(2, 1, "3O");
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    try {
        core.formShow();
        QFAIL("a maximum length that is no number must be reported");
    } catch (const ConvertError &error) {
        QCOMPARE(error.message(), QStringLiteral("'3O' ist kein gültiger Integerwert"));
    }
}

void TestInputExpert::fieldScrollingStoresFirst()
{
    StringTable grid = gridWithFields(8);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.formShow();
    typeRecord(core, "a", "4");

    core.scrollFields(3);
    QCOMPARE(core.firstField(), 3);
    QCOMPARE(core.view().fieldScroll.position, 3);
    for (int c = 1; c <= 6; ++c)
        QCOMPARE(grid.cell(c, 2), QStringLiteral("a%1").arg(c));
    QCOMPARE(grid.cell(0, 2), QStringLiteral("4"));
    QCOMPARE(shownTexts(core), (QStringList { "a3", "a4", "a5", "a6", "", "" }));
    QCOMPARE(core.view().lines[5].caption, QStringLiteral("Feld 8"));

    core.view().lines[5].text = "a8";
    core.scrollFields(1);
    QCOMPARE(grid.cell(8, 2), QStringLiteral("a8"));
    QCOMPARE(shownTexts(core), (QStringList { "a1", "a2", "a3", "a4", "a5", "a6" }));
}

void TestInputExpert::previewStoresAndKeepsShowingTheRecord()
{
    StringTable grid = gridWithFields(8);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.formShow();
    core.scrollFields(3);
    typeRecord(core, "p", "2");
    core.preview();
    QVERIFY(!confirmed);
    QCOMPARE(grid.row(2), (QStringList { "2", "", "", "p3", "p4", "p5", "p6", "p7", "p8" }));
    // The lines still show the record, so a print afterwards stores it again.
    QCOMPARE(shownTexts(core), (QStringList { "p3", "p4", "p5", "p6", "p7", "p8" }));
    QCOMPARE(core.view().lines[0].caption, QStringLiteral("Feld 3"));
    QCOMPARE(core.view().copies, QStringLiteral("2"));
    core.print();
    QVERIFY(confirmed);
    QCOMPARE(grid.row(2), (QStringList { "2", "", "", "p3", "p4", "p5", "p6", "p7", "p8" }));
}

void TestInputExpert::newTwiceThenScrollingKeepsRecords()
{
    StringTable grid = gridWithFields(7);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.formShow();

    typeRecord(core, "a", "2");
    core.scrollFields(2); // the new record must start at the first field again
    core.view().lines[5].text = "a7";
    core.addRecord();
    QCOMPARE(core.recordCount(), 2);
    QCOMPARE(core.currentRow(), 3);
    QCOMPARE(core.firstField(), 1);
    QCOMPARE(core.view().fieldScroll.position, 1);
    QCOMPARE(shownTexts(core), QStringList(6, QString()));
    QCOMPARE(core.view().copies, QStringLiteral("1"));
    QVERIFY(core.view().recordScroll.visible);
    QCOMPARE(core.view().recordScroll.maximum, 2);
    QCOMPARE(core.view().recordScroll.position, 2);
    QVERIFY(core.view().removeVisible);
    QCOMPARE(core.view().focus, InputFocus::FirstField);

    typeRecord(core, "b", "3");
    core.addRecord();
    typeRecord(core, "c", "");
    QCOMPARE(grid.rowCount(), 5);

    core.scrollRecords(1);
    QCOMPARE(core.currentRow(), 2);
    QCOMPARE(shownTexts(core), (QStringList { "a1", "a2", "a3", "a4", "a5", "a6" }));
    QCOMPARE(core.view().copies, QStringLiteral("2"));
    core.scrollRecords(3);
    QCOMPARE(shownTexts(core), (QStringList { "c1", "c2", "c3", "c4", "c5", "c6" }));
    QCOMPARE(core.view().copies, QStringLiteral("1"));
    core.scrollRecords(2);
    QCOMPARE(core.view().copies, QStringLiteral("3"));

    const QStringList copies { grid.cell(0, 2), grid.cell(0, 3), grid.cell(0, 4) };
    QCOMPARE(copies, (QStringList { "2", "3", "1" }));
    QCOMPARE(grid.cell(7, 2), QStringLiteral("a7"));
    QCOMPARE(grid.cell(6, 3), QStringLiteral("b6"));
    QCOMPARE(grid.cell(7, 3), QString());
}

void TestInputExpert::removingRecords_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<bool>("removeVisible");
    QTest::newRow("middle: the next one moves up") << 3 << 2 << "r3" << QStringList { "r1", "r3" } << true;
    QTest::newRow("last: the one before shows") << 3 << 3 << "r2" << QStringList { "r1", "r2" } << true;
    QTest::newRow("first") << 3 << 1 << "r2" << QStringList { "r2", "r3" } << true;
    QTest::newRow("down to one") << 2 << 2 << "r1" << QStringList { "r1" } << false;
}

void TestInputExpert::removingRecords()
{
    QFETCH(int, records);
    QFETCH(int, removed);
    QFETCH(QString, shown);
    QFETCH(QStringList, remaining);
    QFETCH(bool, removeVisible);

    StringTable grid = gridWithFields(2);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.formShow();
    for (int r = 1; r <= records; ++r) {
        if (r > 1)
            core.addRecord();
        core.view().lines[0].text = QStringLiteral("r%1").arg(r);
        core.view().copies = QString::number(r);
    }
    core.scrollRecords(removed);
    core.view().lines[0].text = "typed, not stored";
    core.removeRecord();

    QCOMPARE(core.recordCount(), records - 1);
    QCOMPARE(grid.rowCount(), records + 1);
    QCOMPARE(core.view().lines[0].text, shown);
    QCOMPARE(core.view().copies, shown.mid(1));
    QCOMPARE(core.view().recordScroll.maximum, records - 1);
    QCOMPARE(core.view().recordScroll.position, core.currentRow() - 1);
    QCOMPARE(core.view().recordScroll.visible, removeVisible);
    QCOMPARE(core.view().removeVisible, removeVisible);
    QStringList stored;
    for (int r = 2; r < grid.rowCount(); ++r) {
        stored << grid.cell(1, r);
        QCOMPARE(grid.cell(0, r), grid.cell(1, r).mid(1));
    }
    QCOMPARE(stored, remaining);
}

void TestInputExpert::emptyRecordAfterReturnIsNotPrinted_data()
{
    QTest::addColumn<bool>("byReturn"); // else by "&Neu"
    QTest::addColumn<QString>("value"); // typed into the new record's first line
    QTest::addColumn<QString>("copies");
    QTest::addColumn<bool>("preview"); // "&Vorschau" before "&Drucken"
    QTest::addColumn<int>("records"); // what "&Drucken" hands to the print run
    QTest::newRow("Return, left empty") << true << "" << "1" << false << 1;
    QTest::newRow("Return, left empty, preview first") << true << "" << "1" << true << 1;
    QTest::newRow("Return, a value typed") << true << "Bert" << "1" << false << 2;
    QTest::newRow("Return, only copies") << true << "" << "3" << false << 2;
    QTest::newRow("Neu, left empty") << false << "" << "1" << false << 2;
}

// Return on the copies line starts the next record, as the cursor's way on;
// left empty, that record is not printed as a blank label. A record the user
// asked for with "&Neu" stays.
void TestInputExpert::emptyRecordAfterReturnIsNotPrinted()
{
    QFETCH(bool, byReturn);
    QFETCH(QString, value);
    QFETCH(QString, copies);
    QFETCH(bool, preview);
    QFETCH(int, records);
    StringTable grid = gridWithFields(2);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.formShow();
    typeRecord(core, "a", "2");
    byReturn ? core.addRecordAfterReturn() : core.addRecord();
    QCOMPARE(core.recordCount(), 2);
    core.view().lines[0].text = value;
    core.view().copies = copies;
    if (preview) {
        core.preview();
        QCOMPARE(core.recordCount(), records);
        QCOMPARE(shownTexts(core), (QStringList { "a1", "a2" })); // the record before
    }
    core.print();
    QVERIFY(confirmed);
    QCOMPARE(core.recordCount(), records);
    QCOMPARE(grid.rowCount(), records + 2);
    QCOMPARE(grid.row(2), (QStringList { "2", "a1", "a2" }));
    if (records == 2)
        QCOMPARE(grid.row(3), (QStringList { copies, value, "" }));
}

void TestInputExpert::returnRecordLeftBehindKeepsTheOthers_data()
{
    QTest::addColumn<int>("typed"); // records typed before Return on the copies
    QTest::addColumn<int>("scrollTo"); // the record on screen when printing
    QTest::addColumn<bool>("preview"); // "&Vorschau" before "&Drucken"
    QTest::addColumn<QStringList>("printed"); // the records handed to the print run
    QTest::newRow("back to record 1") << 1 << 1 << false << QStringList { "2|a1|a2", "1||" };
    QTest::newRow("back to record 1, preview first") << 1 << 1 << true << QStringList { "2|a1|a2", "1||" };
    QTest::newRow("back to record 2 of 3") << 2 << 2 << false
                                           << QStringList { "2|a1|a2", "3|b1|b2", "1||" };
    QTest::newRow("back to record 1 of 3") << 2 << 1 << false
                                           << QStringList { "2|a1|a2", "3|b1|b2", "1||" };
    QTest::newRow("back and on again to the new one") << 2 << 3 << false
                                                      << QStringList { "2|a1|a2", "3|b1|b2" };
}

// Return on the last record's copies starts an empty record; the drop of
// such an untouched record removes that record only while it is on screen.
// Scrolled back to a typed record, printing keeps every typed record as it
// is: removing the record on screen instead would lose the typed one.
void TestInputExpert::returnRecordLeftBehindKeepsTheOthers()
{
    QFETCH(int, typed);
    QFETCH(int, scrollTo);
    QFETCH(bool, preview);
    QFETCH(QStringList, printed);
    StringTable grid = gridWithFields(2);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.formShow();
    typeRecord(core, "a", "2");
    if (typed > 1) {
        core.addRecord();
        typeRecord(core, "b", "3");
    }
    core.addRecordAfterReturn();
    QCOMPARE(core.recordCount(), typed + 1);
    core.scrollRecords(1);
    core.scrollRecords(scrollTo);
    if (preview)
        core.preview();
    core.print();

    QVERIFY(confirmed);
    QCOMPARE(core.recordCount(), int(printed.size()));
    QStringList rows;
    for (int r = 2; r < grid.rowCount(); ++r)
        rows << grid.row(r).join(QLatin1Char('|'));
    QCOMPARE(rows, printed);
}

void TestInputExpert::removedValuesDoNotComeBack()
{
    StringTable grid = gridWithFields(2);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.formShow();
    typeRecord(core, "a", "1");
    core.addRecord();
    typeRecord(core, "b", "5");
    core.scrollRecords(1); // stores b
    core.scrollRecords(2);
    core.removeRecord();
    core.addRecord();

    QCOMPARE(shownTexts(core), (QStringList { "", "" }));
    QCOMPARE(core.view().copies, QStringLiteral("1"));
    core.print();
    QCOMPARE(grid.cell(1, 3), QString());
    QCOMPARE(grid.cell(0, 3), QStringLiteral("1"));
}

void TestInputExpert::copiesRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty") << ""
                           << "1";
    QTest::newRow("zero") << "0"
                          << "1";
    QTest::newRow("negative") << "-5"
                              << "1";
    QTest::newRow("one") << "1"
                         << "1";
    QTest::newRow("many") << "120"
                          << "120";
}

void TestInputExpert::copiesRule()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    StringTable grid = gridWithFields(1);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.formShow();
    core.view().copies = typed;
    core.addRecord();
    QCOMPARE(grid.cell(0, 2), stored);
    core.scrollRecords(1);
    QCOMPARE(core.view().copies, stored);
}

void TestInputExpert::badCopiesLoseNothing_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("new") << "new";
    QTest::newRow("record scroll") << "records";
    QTest::newRow("field scroll") << "fields";
    QTest::newRow("print") << "print";
}

void TestInputExpert::badCopiesLoseNothing()
{
    QFETCH(QString, operation);
    StringTable grid = gridWithFields(7);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.formShow();
    typeRecord(core, "a", "1");
    core.addRecord();
    typeRecord(core, "b", "zwei");
    core.nextPage();
    const StringTable before = grid;

    try {
        if (operation == "new")
            core.addRecord();
        else if (operation == "records")
            core.scrollRecords(1);
        else if (operation == "fields")
            core.scrollFields(2);
        else
            core.print();
        QFAIL("copies that are no number must be reported");
    } catch (const ConvertError &error) {
        QCOMPARE(error.message(), QStringLiteral("'zwei' ist kein gültiger Integerwert"));
    }

    QVERIFY(!confirmed);
    QCOMPARE(core.recordCount(), 2);
    QCOMPARE(core.currentRow(), 3);
    QCOMPARE(core.firstField(), 1);
    QCOMPARE(core.view().recordScroll.position, 2);
    QCOMPARE(core.view().fieldScroll.position, 1);
    QCOMPARE(shownTexts(core), (QStringList { "b1", "b2", "b3", "b4", "b5", "b6" }));
    QCOMPARE(core.view().copies, QStringLiteral("zwei"));
    QCOMPARE(core.view().page, 1); // where the copies are
    QCOMPARE(core.view().focus, InputFocus::Copies);
    QCOMPARE(grid.rowCount(), before.rowCount());
    for (int r = 0; r < grid.rowCount(); ++r)
        QCOMPARE(grid.row(r), before.row(r));
}

void TestInputExpert::printWithoutFields_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("three") << "3"
                           << "3";
    QTest::newRow("empty") << ""
                           << "1";
    QTest::newRow("zero") << "0"
                          << "1";
}

void TestInputExpert::printWithoutFields()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    StringTable grid = gridWithFields(0);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.formShow();
    core.addRecord(); // not offered without fields
    QCOMPARE(core.recordCount(), 1);
    core.view().copies = typed;
    core.print();
    QVERIFY(confirmed);
    QCOMPARE(grid.cell(0, 2), stored);
    QCOMPARE(grid.rowCount(), 3);
}

void TestInputExpert::badStartLabelKeepsTheDialog_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("message");
    QTest::newRow("letters") << "x1"
                             << "'x1' ist kein gültiger Integerwert";
    QTest::newRow("empty") << ""
                           << "'' ist kein gültiger Integerwert";
    QTest::newRow("zero") << "0"
                          << "Bitte geben Sie als Startetikett eine Zahl ab 1 ein.";
}

void TestInputExpert::badStartLabelKeepsTheDialog()
{
    QFETCH(QString, start);
    QFETCH(QString, message);
    StringTable grid = gridWithFields(2);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.formShow();
    typeRecord(core, "a", "2");
    core.view().startLabel = start;
    try {
        core.print();
        QFAIL("an unusable start label must be reported");
    } catch (const Error &error) {
        QCOMPARE(error.message(), message);
    }
    QVERIFY(!confirmed);
    QCOMPARE(core.view().page, 2);
    QCOMPARE(core.view().focus, InputFocus::StartLabel);
    QCOMPARE(shownTexts(core), (QStringList { "a1", "a2" }));
    QCOMPARE(grid.cell(1, 2), QString());

    core.view().startLabel = "5";
    core.print();
    QVERIFY(confirmed);
    QCOMPARE(grid.row(2), (QStringList { "2", "a1", "a2" }));
}

void TestInputExpert::databaseMode()
{
    StringTable grid;
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    // The record selection has put two table records into the grid.
    grid.reset(3, 4);
    grid.setCell(1, 0, "NAME");
    grid.setCell(2, 0, "ORT");
    grid.setCell(0, 2, "1");
    grid.setCell(1, 2, "Anna");
    grid.setCell(0, 3, "0");
    grid.setCell(1, 3, "Bert");
    const StringTable before = grid;
    core.setModus("D");
    QVERIFY(core.isDatabaseMode());
    core.formShow();

    const InputExpertView &view = core.view();
    QVERIFY(view.databaseTextsVisible);
    QVERIFY(!view.fieldPanelVisible);
    QVERIFY(!view.copiesPanelVisible);
    QVERIFY(!view.entryTextsVisible);
    QVERIFY(!view.noFieldsTextsVisible);
    QVERIFY(!view.newVisible);
    QVERIFY(!view.removeVisible);
    QVERIFY(!view.fieldScroll.visible);
    QVERIFY(!view.recordScroll.visible);

    core.view().copies = "kaputt"; // not used in this mode
    core.print();
    QVERIFY(confirmed);
    QCOMPARE(grid.rowCount(), before.rowCount());
    for (int r = 0; r < grid.rowCount(); ++r)
        QCOMPARE(grid.row(r), before.row(r));

    core.cancel();
    QVERIFY(!confirmed);
}

void TestInputExpert::pages()
{
    StringTable grid = gridWithFields(1);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.formShow();
    const auto state = [&core] {
        return QList<int> { core.pageNumber(), core.view().backEnabled, core.view().nextEnabled };
    };
    core.nextPage();
    QCOMPARE(state(), (QList<int> { 2, 1, 1 }));
    core.nextPage();
    QCOMPARE(state(), (QList<int> { 3, 1, 0 }));
    core.nextPage();
    QCOMPARE(state(), (QList<int> { 3, 1, 0 }));
    core.previousPage();
    core.previousPage();
    QCOMPARE(state(), (QList<int> { 1, 0, 1 }));
    core.nextPage();
    core.formShow();
    QCOMPARE(state(), (QList<int> { 1, 0, 1 }));
}

void TestInputExpert::offsets_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("kept");
    QTest::addColumn<QString>("text");
    QTest::newRow("no shift") << 250 << 250 << "0 mal 0,1 mm";
    QTest::newRow("left") << 220 << 220 << "-30 mal 0,1 mm";
    QTest::newRow("far left") << 0 << 0 << "-250 mal 0,1 mm";
    QTest::newRow("far right") << 500 << 500 << "250 mal 0,1 mm";
    QTest::newRow("beyond") << 640 << 500 << "250 mal 0,1 mm";
    QTest::newRow("below") << -3 << 0 << "-250 mal 0,1 mm";
}

void TestInputExpert::offsets()
{
    QFETCH(int, position);
    QFETCH(int, kept);
    QFETCH(QString, text);
    StringTable grid = gridWithFields(1);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    QCOMPARE(core.view().scrollX, 250);
    QCOMPARE(core.view().scrollY, 250);
    core.setScrollX(position);
    core.setScrollY(500 - position);
    QCOMPARE(core.view().scrollX, kept);
    QCOMPARE(core.offsetX(), kept - 250);
    QCOMPARE(InputExpertCore::offsetText(core.view().scrollX), text);
    QCOMPARE(core.view().scrollY, std::clamp(500 - position, 0, 500));
    core.formShow(); // offsets stay as they are
    QCOMPARE(core.view().scrollX, kept);
}

void TestInputExpert::barcodeValueCheckedAsEntered_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    const QString bad
        = QStringLiteral("Datensatz %1, Feld Artikel: „%2“ kann nicht als EAN-13 gedruckt werden.");
    QTest::newRow("Return, letters") << "return" << 1 << "12AB" << bad.arg(1).arg("12AB");
    QTest::newRow("Return, wrong check digit")
        << "return" << 1 << "4006381333932"
        << QStringLiteral("Datensatz 1, Feld Artikel: „4006381333932“ kann nicht als EAN-13 gedruckt werden, "
                          "die Prüfziffer müsste 1 sein.");
    QTest::newRow("Return, printable") << "return" << 1 << "400638133393"
                                       << "";
    QTest::newRow("Return, empty") << "return" << 1 << ""
                                   << "";
    QTest::newRow("Neu, second record") << "new" << 2 << "12AB" << bad.arg(2).arg("12AB");
    QTest::newRow("Drucken") << "print" << 1 << "12AB" << bad.arg(1).arg("12AB");
    QTest::newRow("Drucken, printable") << "print" << 1 << "4006381333931"
                                        << "";
    QTest::newRow("Vorschau, third record") << "preview" << 3 << "1" << bad.arg(3).arg("1");
}

// The input expert refuses a value its barcode field cannot print where it
// is typed, with the check the print run makes of every record: the value
// stays in its line, the cursor too, and nothing is stored.
void TestInputExpert::barcodeValueCheckedAsEntered()
{
    QFETCH(QString, operation);
    QFETCH(int, record);
    QFETCH(QString, value);
    QFETCH(QString, message);

    PrintDesign design;
    readPrintDesignLines({ QStringLiteral("EF,1,1,20,Name"), QStringLiteral("BC,10,10,110,70,0,Artikel") },
        QString(), design, {});
    StringTable grid = gridWithFields(2);
    bool confirmed = false;
    InputExpertCore core(grid, confirmed);
    core.setValueCheck([columns = barcodeColumns(design)](int field, const QString &v, int number) {
        return unprintableValue(columns, number, field, v);
    });
    core.formShow();
    for (int r = 1; r < record; ++r) {
        core.view().lines[1].text = QStringLiteral("400638133393");
        core.addRecord();
    }
    core.view().lines[0].text = QStringLiteral("Schraube");
    core.view().lines[1].text = value;

    QString error;
    try {
        if (operation == u"return")
            QCOMPARE(core.lineAfterReturn(1), int(InputExpertCore::LineCount));
        else if (operation == u"new")
            core.addRecord();
        else if (operation == u"print")
            core.print();
        else
            core.preview();
    } catch (const Error &e) {
        error = e.message();
    }
    QCOMPARE(error, message);
    if (message.isEmpty()) {
        QCOMPARE(confirmed, operation == u"print");
        if (operation != u"return")
            QCOMPARE(grid.cell(2, record + 1), value);
        return;
    }
    QCOMPARE(core.view().lines[1].text, value);
    QCOMPARE(core.view().lines[0].text, QStringLiteral("Schraube"));
    QCOMPARE(core.view().focus, InputFocus::Line);
    QCOMPARE(core.view().focusLine, 1);
    QCOMPARE(grid.cell(1, record + 1), QString());
    QCOMPARE(grid.cell(2, record + 1), QString());
    QVERIFY(!confirmed);
}

QTEST_GUILESS_MAIN(TestInputExpert)
#include "TestInputExpert.moc"
