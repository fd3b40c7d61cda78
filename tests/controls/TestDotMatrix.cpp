#include "controls/dotmatrix.h"

#include <QTest>

using namespace qm;

// The font of the dot-matrix panel and the scrolling of its text.
class TestDotMatrix : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyGlyphOfTheFont_data();
    void everyGlyphOfTheFont();
    void glyphShapes_data();
    void glyphShapes();
    void smallLettersShowAsCapitals();
    void charactersWithoutGlyphShowBlank_data();
    void charactersWithoutGlyphShowBlank();
    void litExtentOfADot_data();
    void litExtentOfADot();

    void linesAreJoinedWithBlanks();
    void characterStepsWalkThroughTheText();
    void dotStepsAdvanceEverySixthStep_data();
    void dotStepsAdvanceEverySixthStep();
    void textLongerThan255CharactersScrollsToItsEnd();
};

void TestDotMatrix::everyGlyphOfTheFont_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("rows");
    QTest::newRow("32") << 32 << QStringLiteral("00 00 00 00 00 00 00");
    QTest::newRow("33") << 33 << QStringLiteral("04 04 04 04 04 00 04");
    QTest::newRow("34") << 34 << QStringLiteral("0A 00 00 00 00 00 00");
    QTest::newRow("35") << 35 << QStringLiteral("00 0A 1F 0A 1F 0A 00");
    QTest::newRow("36") << 36 << QStringLiteral("04 0F 14 0E 05 1E 04");
    QTest::newRow("37") << 37 << QStringLiteral("00 19 1A 04 0B 13 00");
    QTest::newRow("38") << 38 << QStringLiteral("08 14 14 08 15 12 0D");
    QTest::newRow("39") << 39 << QStringLiteral("04 04 00 00 00 00 00");
    QTest::newRow("40") << 40 << QStringLiteral("02 04 08 08 08 04 02");
    QTest::newRow("41") << 41 << QStringLiteral("08 04 02 02 02 04 08");
    QTest::newRow("42") << 42 << QStringLiteral("00 00 0A 04 0A 00 00");
    QTest::newRow("43") << 43 << QStringLiteral("00 00 04 0E 04 00 00");
    QTest::newRow("44") << 44 << QStringLiteral("00 00 00 00 02 02 04");
    QTest::newRow("45") << 45 << QStringLiteral("00 00 00 0E 00 00 00");
    QTest::newRow("46") << 46 << QStringLiteral("00 00 00 00 00 06 06");
    QTest::newRow("47") << 47 << QStringLiteral("00 01 02 04 08 10 00");
    QTest::newRow("48") << 48 << QStringLiteral("0E 11 13 15 19 11 0E");
    QTest::newRow("49") << 49 << QStringLiteral("04 0C 04 04 04 04 0E");
    QTest::newRow("50") << 50 << QStringLiteral("0E 11 01 02 04 08 1F");
    QTest::newRow("51") << 51 << QStringLiteral("0E 11 01 06 01 11 0E");
    QTest::newRow("52") << 52 << QStringLiteral("02 06 0A 12 1F 02 02");
    QTest::newRow("53") << 53 << QStringLiteral("1F 10 1E 01 01 11 0E");
    QTest::newRow("54") << 54 << QStringLiteral("0E 11 10 1E 11 11 0E");
    QTest::newRow("55") << 55 << QStringLiteral("1F 01 01 02 04 04 04");
    QTest::newRow("56") << 56 << QStringLiteral("0E 11 11 0E 11 11 0E");
    QTest::newRow("57") << 57 << QStringLiteral("0E 11 11 0F 01 11 0E");
    QTest::newRow("58") << 58 << QStringLiteral("00 00 04 00 04 00 00");
    QTest::newRow("59") << 59 << QStringLiteral("00 00 04 00 04 04 08");
    QTest::newRow("60") << 60 << QStringLiteral("02 04 08 10 08 04 02");
    QTest::newRow("61") << 61 << QStringLiteral("00 00 0E 00 0E 00 00");
    QTest::newRow("62") << 62 << QStringLiteral("08 04 02 01 02 04 08");
    QTest::newRow("63") << 63 << QStringLiteral("0E 11 01 02 04 00 04");
    QTest::newRow("64") << 64 << QStringLiteral("0E 11 15 15 12 10 0E");
    QTest::newRow("65") << 65 << QStringLiteral("0E 11 11 1F 11 11 11");
    QTest::newRow("66") << 66 << QStringLiteral("1E 09 09 0E 09 09 1E");
    QTest::newRow("67") << 67 << QStringLiteral("0E 11 10 10 10 11 0E");
    QTest::newRow("68") << 68 << QStringLiteral("1E 09 09 09 09 09 1E");
    QTest::newRow("69") << 69 << QStringLiteral("1F 08 08 0E 08 08 1F");
    QTest::newRow("70") << 70 << QStringLiteral("1F 08 08 0E 08 08 08");
    QTest::newRow("71") << 71 << QStringLiteral("0E 11 10 17 11 11 0E");
    QTest::newRow("72") << 72 << QStringLiteral("11 11 11 1F 11 11 11");
    QTest::newRow("73") << 73 << QStringLiteral("0E 04 04 04 04 04 0E");
    QTest::newRow("74") << 74 << QStringLiteral("01 01 01 01 01 11 0E");
    QTest::newRow("75") << 75 << QStringLiteral("11 12 14 18 14 12 11");
    QTest::newRow("76") << 76 << QStringLiteral("10 10 10 10 10 10 1F");
    QTest::newRow("77") << 77 << QStringLiteral("11 1B 15 11 11 11 11");
    QTest::newRow("78") << 78 << QStringLiteral("11 19 15 13 11 11 11");
    QTest::newRow("79") << 79 << QStringLiteral("0E 11 11 11 11 11 0E");
    QTest::newRow("80") << 80 << QStringLiteral("1E 09 09 0E 08 08 1C");
    QTest::newRow("81") << 81 << QStringLiteral("0E 11 11 11 11 12 0D");
    QTest::newRow("82") << 82 << QStringLiteral("1E 09 09 0E 0C 0A 09");
    QTest::newRow("83") << 83 << QStringLiteral("0E 11 10 0E 01 11 0E");
    QTest::newRow("84") << 84 << QStringLiteral("1F 04 04 04 04 04 04");
    QTest::newRow("85") << 85 << QStringLiteral("11 11 11 11 11 11 0E");
    QTest::newRow("86") << 86 << QStringLiteral("11 11 11 11 11 0A 04");
    QTest::newRow("87") << 87 << QStringLiteral("11 11 11 11 11 15 0A");
    QTest::newRow("88") << 88 << QStringLiteral("11 11 0A 04 0A 11 11");
    QTest::newRow("89") << 89 << QStringLiteral("11 11 0A 04 04 04 04");
    QTest::newRow("90") << 90 << QStringLiteral("1F 11 02 04 08 11 1F");
    QTest::newRow("91") << 91 << QStringLiteral("0E 08 08 08 08 08 0E");
    QTest::newRow("92") << 92 << QStringLiteral("00 10 08 04 02 01 00");
    QTest::newRow("93") << 93 << QStringLiteral("0E 02 02 02 02 02 0E");
    QTest::newRow("94") << 94 << QStringLiteral("04 0A 00 00 00 00 00");
    QTest::newRow("95") << 95 << QStringLiteral("00 00 00 00 00 00 1F");
}

void TestDotMatrix::everyGlyphOfTheFont()
{
    QFETCH(int, code);
    QFETCH(QString, rows);

    const QStringList hex = rows.split(QLatin1Char(' '));
    QCOMPARE(hex.size(), 7);
    const QChar c { char16_t(code) };
    QCOMPARE(dotfont::glyphCode(c), code);
    for (int y = 0; y < dotfont::CellDotsY; ++y) {
        // Rows 1 to 7 hold the glyph; rows 0 and 8 and column 5 stay unlit.
        const int bits = y >= 1 && y <= 7 ? hex.at(y - 1).toInt(nullptr, 16) : 0;
        for (int x = 0; x < dotfont::CellDotsX; ++x) {
            const bool expected = x < 5 && ((bits >> (4 - x)) & 1);
            QVERIFY2(
                dotfont::isLit(c, x, y) == expected, qPrintable(QStringLiteral("dot %1,%2").arg(x).arg(y)));
        }
    }
}

void TestDotMatrix::glyphShapes_data()
{
    // Whole cells drawn out, top row first: the bit order and the rows of
    // the glyphs inside their cells.
    QTest::addColumn<QChar>("character");
    QTest::addColumn<QStringList>("cell");
    QTest::newRow("A") << QChar(u'A')
                       << QStringList { "......", ".###..", "#...#.", "#...#.", "#####.", "#...#.", "#...#.",
                              "#...#.", "......" };
    QTest::newRow("4") << QChar(u'4')
                       << QStringList { "......", "...#..", "..##..", ".#.#..", "#..#..", "#####.", "...#..",
                              "...#..", "......" };
    QTest::newRow("underscore") << QChar(u'_')
                                << QStringList { "......", "......", "......", "......", "......", "......",
                                       "......", "#####.", "......" };
    QTest::newRow("comma") << QChar(u',')
                           << QStringList { "......", "......", "......", "......", "......", "...#..",
                                  "...#..", "..#...", "......" };
}

void TestDotMatrix::glyphShapes()
{
    QFETCH(QChar, character);
    QFETCH(QStringList, cell);

    QStringList drawn;
    for (int y = 0; y < dotfont::CellDotsY; ++y) {
        QString row;
        for (int x = 0; x < dotfont::CellDotsX; ++x)
            row += dotfont::isLit(character, x, y) ? QLatin1Char('#') : QLatin1Char('.');
        drawn << row;
    }
    QCOMPARE(drawn, cell);
}

void TestDotMatrix::smallLettersShowAsCapitals()
{
    for (char16_t small = u'a'; small <= u'z'; ++small) {
        const QChar capital(char16_t(small - u'a' + u'A'));
        QCOMPARE(dotfont::glyphCode(QChar(small)), int(capital.unicode()));
        QCOMPARE(dotfont::glyph(dotfont::glyphCode(QChar(small))), dotfont::glyph(capital.unicode()));
    }
}

void TestDotMatrix::charactersWithoutGlyphShowBlank_data()
{
    QTest::addColumn<QChar>("character");
    QTest::newRow("a umlaut (228)") << QChar(char16_t(228));
    QTest::newRow("capital A umlaut (196)") << QChar(char16_t(196));
    QTest::newRow("sharp s") << QChar(char16_t(223));
    QTest::newRow("grave accent (96)") << QChar(u'`');
    QTest::newRow("brace (123)") << QChar(u'{');
    QTest::newRow("tilde (126)") << QChar(u'~');
    QTest::newRow("delete (127)") << QChar(char16_t(127));
    QTest::newRow("tab (9)") << QChar(u'\t');
    QTest::newRow("nul") << QChar(char16_t(0));
    QTest::newRow("euro sign") << QChar(char16_t(0x20AC));
}

void TestDotMatrix::charactersWithoutGlyphShowBlank()
{
    QFETCH(QChar, character);
    QCOMPARE(dotfont::glyphCode(character), 32);
    for (int y = 0; y < dotfont::CellDotsY; ++y)
        for (int x = 0; x < dotfont::CellDotsX; ++x)
            QVERIFY(!dotfont::isLit(character, x, y));
}

void TestDotMatrix::litExtentOfADot_data()
{
    QTest::addColumn<int>("dotSize");
    QTest::addColumn<int>("extent");
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("2") << 2 << 1;
    QTest::newRow("3") << 3 << 2;
    QTest::newRow("4") << 4 << 3;
    QTest::newRow("5") << 5 << 3;
    QTest::newRow("6") << 6 << 4;
    QTest::newRow("20") << 20 << 13;
}

void TestDotMatrix::litExtentOfADot()
{
    QFETCH(int, dotSize);
    QFETCH(int, extent);
    QCOMPARE(dotfont::litExtent(dotSize), extent);
}

void TestDotMatrix::linesAreJoinedWithBlanks()
{
    QCOMPARE(DotScroller::joinedText({ QStringLiteral("Eins"), QStringLiteral("Zwei") }),
        QStringLiteral("Eins Zwei "));
    QCOMPARE(DotScroller::joinedText({}), QString());

    // The text of two lines runs through as one: "A B " after three blanks.
    DotScroller scroller;
    const QStringList lines { QStringLiteral("A"), QStringLiteral("B") };
    scroller.restart(lines, 3);
    for (int i = 0; i < 3; ++i)
        scroller.step(lines, 3, 1, true);
    QCOMPARE(scroller.display(), QStringLiteral("A B    "));
}

void TestDotMatrix::characterStepsWalkThroughTheText()
{
    // Three columns and the text "AB ": the text enters at the right edge,
    // leaves completely at the left, and starts again at position 1 after
    // position 6 (text length + columns).
    const QStringList lines { QStringLiteral("AB") };
    DotScroller scroller;
    scroller.restart(lines, 3);
    QCOMPARE(scroller.offset(), 0);
    QCOMPARE(scroller.position(), 1);
    // Cell 3 lies beyond the right edge until the row moves left.
    QCOMPARE(scroller.display(), QStringLiteral("   A   "));

    const QList<QPair<int, QString>> expected {
        { 2, QStringLiteral("  AB   ") },
        { 3, QStringLiteral(" AB    ") },
        { 4, QStringLiteral("AB    ") },
        { 5, QStringLiteral("B    ") },
        { 6, QStringLiteral("    ") },
        { 1, QStringLiteral("   A   ") },
        { 2, QStringLiteral("  AB   ") },
    };
    for (const auto &[position, display] : expected) {
        QVERIFY(scroller.step(lines, 3, 2, true));
        QCOMPARE(scroller.offset(), 0);
        QCOMPARE(scroller.position(), position);
        QCOMPARE(scroller.display(), display);
    }
}

void TestDotMatrix::dotStepsAdvanceEverySixthStep_data()
{
    QTest::addColumn<int>("dotSize");
    QTest::newRow("dot size 1") << 1;
    QTest::newRow("dot size 3") << 3;
    QTest::newRow("dot size 20") << 20;
}

void TestDotMatrix::dotStepsAdvanceEverySixthStep()
{
    QFETCH(int, dotSize);
    const QStringList lines { QStringLiteral("XY") };
    DotScroller scroller;
    scroller.restart(lines, 4);
    for (int round = 1; round <= 2; ++round) {
        for (int i = 1; i <= 5; ++i) {
            QVERIFY(!scroller.step(lines, 4, dotSize, false));
            QCOMPARE(scroller.offset(), -i * dotSize);
            QCOMPARE(scroller.position(), round);
        }
        QVERIFY(scroller.step(lines, 4, dotSize, false));
        QCOMPARE(scroller.offset(), 0);
        QCOMPARE(scroller.position(), round + 1);
    }
    QCOMPARE(scroller.display(), QStringLiteral("  XY     "));
}

void TestDotMatrix::textLongerThan255CharactersScrollsToItsEnd()
{
    // The position is not held in eight bits: a long text is shown to its
    // last character before it starts again.
    const QString text = QString(299, QLatin1Char('-')) + QLatin1Char('Z');
    const QStringList lines { text };
    DotScroller scroller;
    scroller.restart(lines, 10);
    for (int i = 0; i < 309; ++i)
        scroller.step(lines, 10, 1, true);
    QCOMPARE(scroller.position(), 310);
    QCOMPARE(scroller.display(), QStringLiteral("Z ") + QString(10, QLatin1Char(' ')));
    scroller.step(lines, 10, 1, true);
    QCOMPARE(scroller.position(), 311);
    scroller.step(lines, 10, 1, true);
    QCOMPARE(scroller.position(), 1);
}

QTEST_APPLESS_MAIN(TestDotMatrix)
#include "TestDotMatrix.moc"
