#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "platform/canvas/recordingcanvas.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/errors.h"
#include "printing/labelsource.h"

#include <QTest>

using namespace qm;

namespace {

// An entry grid from titles and records, each record's cells separated by
// "|", copies first.
StringTable entryGrid(const QStringList &titles, const QStringList &records)
{
    StringTable grid;
    grid.setColCount(int(titles.size()));
    for (qsizetype c = 1; c < titles.size(); ++c)
        grid.setCell(int(c), 0, titles[c]);
    grid.setRowCount(int(records.size()) + 2);
    for (qsizetype r = 0; r < records.size(); ++r) {
        const QStringList cells = records[r].split(u'|');
        for (qsizetype c = 0; c < cells.size(); ++c)
            grid.setCell(int(c), int(r) + 2, cells[c]);
    }
    return grid;
}

QStringList streamed(const StringTable &grid, const QStringList &titles, bool inCopies)
{
    EntryGridRecords records(grid);
    LabelSource source(records, titles, inCopies);
    QStringList result;
    QStringList values;
    while (source.next(values)) {
        [&] { QCOMPARE(values.size(), titles.size()); }();
        result << values.mid(1).join(u'|');
    }
    [&] { QCOMPARE(source.count(), result.size()); }();
    return result;
}

} // namespace

class TestLabelSource : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void givesEveryLabel_data();
    void givesEveryLabel();
    void badNumbersThrow_data();
    void badNumbersThrow();
    void listRecordsAndDesignTitles();
    void drawsWhatTheLabelListDraws();
};

void TestLabelSource::givesEveryLabel_data()
{
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<bool>("inCopies");
    QTest::addColumn<QStringList>("labels"); // every label, values joined by "|"

    const QStringList address { "", "Name", "Ort" };
    const QStringList numbered { "", "Name", "Seriennr.[Nr. ]", "Seriennr.[]" };
    QTest::newRow("one each") << address << QStringList { "1|Anna|Bonn", "1|Bert|Köln" } << true
                              << QStringList { "Anna|Bonn", "Bert|Köln" };
    QTest::newRow("copies, none and negative")
        << address << QStringList { "2|Anna|Bonn", "0|Bert|Köln", "-3|Carl|Ulm", "3|Dora|" } << true
        << QStringList { "Anna|Bonn", "Anna|Bonn", "Dora|", "Dora|", "Dora|" };
    QTest::newRow("short record and no records at all")
        << address << QStringList { "1|Anna" } << true << QStringList { "Anna|" };
    QTest::newRow("nothing") << address << QStringList {} << true << QStringList {};
    QTest::newRow("serial in copies")
        << numbered << QStringList { "2|Anna|10|7", "0|Bert|99|99", "3|Carl|50|50" } << true
        << QStringList { "Anna|10|7", "Anna|11|8", "Carl|12|9", "Carl|13|10", "Carl|14|11" };
    QTest::newRow("serial per record")
        << numbered << QStringList { "2|Anna|10|7", "0|Bert|99|99", "3|Carl|50|50" } << false
        << QStringList { "Anna|10|7", "Anna|10|7", "Carl|12|9", "Carl|12|9", "Carl|12|9" };
    QTest::newRow("empty start counts from 1")
        << numbered << QStringList { "1|Anna||-5", "2|Bert|8|8" } << true
        << QStringList { "Anna|1|-5", "Bert|2|-4", "Bert|3|-3" };
    QTest::newRow("start from a first record without copies")
        << numbered << QStringList { "0|Anna|100|1", "2|Bert|5|5" } << false
        << QStringList { "Bert|101|2", "Bert|101|2" };
    QTest::newRow("serial past the range of int") << numbered << QStringList { "2|Anna|2147483647|0" } << true
                                                  << QStringList { "Anna|2147483647|0", "Anna|2147483648|1" };
    QTest::newRow("title only starting with the word")
        << QStringList { "", "Seriennummer", "Nr. Seriennr." } << QStringList { "2|7|8" } << true
        << QStringList { "7|8", "7|8" };
}

void TestLabelSource::givesEveryLabel()
{
    QFETCH(QStringList, titles);
    QFETCH(QStringList, records);
    QFETCH(bool, inCopies);
    QFETCH(QStringList, labels);
    const StringTable grid = entryGrid(titles, records);
    QCOMPARE(streamed(grid, titles, inCopies), labels);
    EntryGridRecords again(grid);
    QCOMPARE(LabelSource::countLabels(again), labels.size());
}

void TestLabelSource::badNumbersThrow_data()
{
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<int>("labelsBefore"); // labels yielded before the error
    QTest::addColumn<bool>("countThrows"); // the count reads only the copies
    QTest::newRow("copies not a number") << QStringList { "1|Anna|1", "x|Bert|1" } << 1 << true;
    QTest::newRow("copies empty") << QStringList { "|Anna|1" } << 0 << true;
    QTest::newRow("start not a number") << QStringList { "1|Anna|1a" } << 0 << false;
    QTest::newRow("bad start of a record without copies")
        << QStringList { "0|Anna|?", "1|Bert|1" } << 0 << false;
}

void TestLabelSource::badNumbersThrow()
{
    QFETCH(QStringList, records);
    QFETCH(int, labelsBefore);
    QFETCH(bool, countThrows);
    const QStringList titles { "", "Name", "Seriennr.[]" };
    const StringTable grid = entryGrid(titles, records);
    EntryGridRecords records1(grid);
    LabelSource source(records1, titles, true);
    QStringList values;
    for (int k = 0; k < labelsBefore; ++k)
        QVERIFY(source.next(values));
    QVERIFY_THROWS_EXCEPTION(ConvertError, source.next(values));
    EntryGridRecords records2(grid);
    if (countThrows)
        QVERIFY_THROWS_EXCEPTION(ConvertError, LabelSource::countLabels(records2));
    else
        QCOMPARE(LabelSource::countLabels(records2), 1);
}

void TestLabelSource::listRecordsAndDesignTitles()
{
    PrintDesign design;
    StringTable labelList;
    FieldGrids grids;
    grids.labelList = &labelList;
    readPrintDesignLines({ "EF,10,10,20,Name", "SE,10,30,1,Nr. ,", "SE,10,50,0,,", "BC,1,2,3,4,5,Code" },
        QStringLiteral("t.eti"), design, grids);
    const QStringList titles = columnTitles(design);
    QCOMPARE(titles.size(), 4);
    QCOMPARE(
        titles.mid(1), (QStringList { labelList.cell(1, 0), labelList.cell(2, 0), labelList.cell(3, 0) }));
    QVERIFY(titles[2].startsWith(QLatin1String("Seriennr.")));

    const QList<QStringList> list { { "2", "Anna", "4", "c1" }, { "1", "Bert" } };
    ListRecords records(list);
    LabelSource source(records, titles, false);
    QStringList values;
    QStringList got;
    while (source.next(values))
        got << values.join(u'|');
    QCOMPARE(got, (QStringList { "|Anna|4|c1", "|Anna|4|c1", "|Bert|5|" }));
    QVERIFY(!source.next(values));
}

// Labels drawn from the streamed values are the labels drawn from the label
// list holding the same labels, date and serial numbers included.
void TestLabelSource::drawsWhatTheLabelListDraws()
{
    PrintDesign design;
    StringTable labelList;
    StringTable grid;
    FieldGrids grids;
    grids.labelList = &labelList;
    grids.entryGrid = &grid;
    readPrintDesignLines({ "GR,157,95,25", "XF,11,0,1,0,Arial,0", "EF,10,15,30,Name", "SE,10,40,1,Nr. ,/26",
                             "SE,10,65,0,,", "TE,80,65,fest" },
        QStringLiteral("t.eti"), design, grids);
    const QStringList records { "2|Anna|41", "1|Bert|", "0|Carl|9", "2|Dora|" };
    grid.setColCount(design.fieldCount + 1);
    grid.setRowCount(int(records.size()) + 2);
    for (qsizetype r = 0; r < records.size(); ++r) {
        const QStringList cells = records[r].split(u'|');
        for (qsizetype c = 0; c < cells.size(); ++c)
            grid.setCell(int(c), int(r) + 2, cells[c]);
    }
    const StringTable firstGrid = grid;
    const QString date = QStringLiteral("24.12.1999");
    ScriptedMessages messages;

    // The label list of the same labels.
    int count = 0;
    {
        EntryGridRecords entered(grid);
        LabelSource labels(entered, columnTitles(design), true);
        QStringList values;
        while (labels.next(values)) {
            ++count;
            for (qsizetype c = 1; c < values.size(); ++c)
                labelList.setCell(int(c), count, values[c]);
        }
    }
    QCOMPARE(count, 5);
    RecordingCanvas full;
    for (int row = 1; row <= count; ++row)
        EtikettZeichnen(full, design, labelList, 100 * row, 7, row, true, messages, date);

    const LabelDrawing drawing(design);
    const QStringList titles = columnTitles(design);
    QCOMPARE(titles.mid(1), (QStringList { firstGrid.cell(1, 0), firstGrid.cell(2, 0) }));
    design = PrintDesign(); // the drawing keeps its own records
    RecordingCanvas streamedCanvas;
    EntryGridRecords records2(firstGrid);
    LabelSource stream(records2, titles, true);
    QStringList values;
    int row = 0;
    while (stream.next(values))
        drawing.draw(streamedCanvas, values, 100 * ++row, 7, true, messages, date);
    QCOMPARE(row, count);
    QCOMPARE(streamedCanvas.calls(), full.calls());
    QVERIFY(full.calls().size() > 5 * 4);
    bool sawSerial = false;
    for (const RecordingCanvas::Call &call : full.calls())
        sawSerial = sawSerial || call.toString().contains(QLatin1String("Nr. 45/26"));
    QVERIFY(sawSerial);
}

QTEST_GUILESS_MAIN(TestLabelSource)
#include "TestLabelSource.moc"
