#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/stringtable.h"
#include "platform/textfile.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qm;

class TestPlatformCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void strictNumbers_data();
    void strictNumbers();
    void lenientNumbers_data();
    void lenientNumbers();
    void convertErrorText();
    void valuesAreQuotedShort_data();
    void valuesAreQuotedShort();

    void cp1252RoundTripsEveryByte();
    void cp1252Decodes();
    void cp1252RefusesOtherCharacters();

    void splitLines_data();
    void splitLines();

    void writerWritesCrLfCp1252();
    void writerRefusalKeepsPreviousFile();
    void writerIntoMissingDirectoryFails();
    void readErrors();
    void readRefusesWhatIsNoRegularFile_data();
    void readRefusesWhatIsNoRegularFile();
    void textReadersBoundTheLines_data();
    void textReadersBoundTheLines();
    void replaceWritesThroughLinksAndKeepsMode();
    void replaceRefusesWhatIsNoRegularFile();
    void replaceTakesLongestNames();
    void replaceReportsAFullDisk();
    void staleTemporaryFilesAreRemoved();
    void ioErrorTexts_data();
    void ioErrorTexts();

    void stringTableGrowsAndHides();
    void stringTableClearsHiddenRows();
};

void TestPlatformCore::strictNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "42" << true << 42;
    QTest::newRow("leading blanks") << "   7" << true << 7;
    QTest::newRow("minus") << "-14" << true << -14;
    QTest::newRow("plus") << "+3" << true << 3;
    QTest::newRow("hex") << "$1F" << true << 31;
    QTest::newRow("negative hex") << "-$10" << true << -16;
    QTest::newRow("hex all bits") << "$FFFFFFFF" << true << -1;
    QTest::newRow("max") << "2147483647" << true << 2147483647;
    QTest::newRow("min") << "-2147483648" << true << int(-2147483647 - 1);
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blanks only") << "  " << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("dollar only") << "$" << false << 0;
    QTest::newRow("trailing blank") << "12 " << false << 0;
    QTest::newRow("trailing letter") << "12a" << false << 0;
    QTest::newRow("decimal point") << "1.5" << false << 0;
    QTest::newRow("0x is not hex") << "0x10" << false << 0;
    QTest::newRow("tab is not a blank") << "\t5" << false << 0;
    QTest::newRow("beyond 32 bits") << "2147483648" << false << 0;
    QTest::newRow("far beyond") << "99999999999999999999" << false << 0;
    QTest::newRow("hex beyond 32 bits") << "$100000000" << false << 0;
}

void TestPlatformCore::strictNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const auto parsed = parseStrictInt(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid) {
        QCOMPARE(*parsed, value);
        QCOMPARE(strToInt(text), value);
    } else {
        QVERIFY_THROWS_EXCEPTION(ConvertError, strToInt(text));
    }
}

void TestPlatformCore::lenientNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "120" << 120;
    QTest::newRow("blanks and sign") << "  -35" << -35;
    QTest::newRow("stops at letter") << "12ab" << 12;
    QTest::newRow("stops at blank") << "7 8" << 7;
    QTest::newRow("no digit") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("hex") << "$ff" << 255;
    QTest::newRow("hex stops") << "$1G" << 1;
    QTest::newRow("overflow keeps digits so far") << "21474836479" << 2147483647;
    QTest::newRow("negative overflow") << "-21474836489" << int(-2147483647 - 1);
    QTest::newRow("many digits") << "123456789012345678901234567890" << 1234567890;
}

void TestPlatformCore::lenientNumbers()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(lenientToInt(text), value);
}

void TestPlatformCore::convertErrorText()
{
    try {
        strToInt(u"1x");
        QFAIL("no exception");
    } catch (const ConvertError &e) {
        QCOMPARE(e.message(), QStringLiteral("'1x' ist kein gültiger Integerwert"));
        QCOMPARE(QString::fromUtf8(e.what()), e.message());
    }
    // A long text is not repeated whole.
    try {
        strToInt(QString(5000, u'9') + QLatin1Char('x'));
        QFAIL("no exception");
    } catch (const ConvertError &e) {
        QCOMPARE(e.message(), QStringLiteral("'%1…' ist kein gültiger Integerwert").arg(QString(60, u'9')));
    }
}

void TestPlatformCore::valuesAreQuotedShort_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("quoted");
    const QString sixty = QString(59, u'a') + QLatin1Char('b');
    QTest::newRow("short") << "12AB" << "„12AB“";
    QTest::newRow("empty") << "" << "„“";
    QTest::newRow("exactly 60") << sixty << "„" + sixty + "“";
    QTest::newRow("61 cut to 60") << sixty + "c" << "„" + sixty + "…“";
    QTest::newRow("a QR value of 7,090 digits")
        << QString(7090, u'7') << "„" + QString(60, u'7') + "…“";
    QTest::newRow("131 kB of search text")
        << QString(131 * 1024, u'x') << "„" + QString(60, u'x') + "…“";
    // A character outside the basic plane is not cut in two.
    QTest::newRow("emoji at the edge") << QString(59, u'a') + QStringLiteral("\U0001F600z")
                                       << "„" + QString(59, u'a') + "…“";
    QTest::newRow("line breaks") << "Zeile 1\r\nZeile\t2" << "„Zeile 1  Zeile 2“";
}

// Every message quotes a value the same way: whole when short, else its
// first 60 characters and "…".
void TestPlatformCore::valuesAreQuotedShort()
{
    QFETCH(QString, value);
    QFETCH(QString, quoted);
    QCOMPARE(quotedValue(value), quoted);
}

void TestPlatformCore::cp1252RoundTripsEveryByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = decodeCp1252(all);
    QCOMPARE(text.size(), 256);
    QByteArray back;
    QVERIFY(encodeCp1252(text, back));
    QCOMPARE(back, all);
}

void TestPlatformCore::cp1252Decodes()
{
    QCOMPARE(decodeCp1252("Gr\xF6\xDF" "e \x80 \x84x\x93"), QStringLiteral("Größe € „x“"));
    QByteArray out;
    QVERIFY(encodeCp1252(u"Größe € „x“", out));
    QCOMPARE(out, QByteArray("Gr\xF6\xDF" "e \x80 \x84x\x93"));
}

void TestPlatformCore::cp1252RefusesOtherCharacters()
{
    QByteArray out;
    qsizetype bad = -1;
    QVERIFY(!encodeCp1252(u"ab\u0142c", out, &bad)); // Polish ł is not in cp1252
    QCOMPARE(bad, qsizetype(2));
}

void TestPlatformCore::splitLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList { "a", "b" };
    QTest::newRow("lone lf") << QByteArray("a\nb\n") << QStringList { "a", "b" };
    QTest::newRow("no last line end") << QByteArray("a\r\nb") << QStringList { "a", "b" };
    QTest::newRow("empty lines") << QByteArray("\r\n\r\nx") << QStringList { "", "", "x" };
    QTest::newRow("lone cr ends a line") << QByteArray("a\rb\r\n") << QStringList { "a", "b" };
    QTest::newRow("cr only file") << QByteArray("NA,Mac\rGR,1,2\r\rPO,3")
                                  << QStringList { "NA,Mac", "GR,1,2", "", "PO,3" };
    QTest::newRow("cr before crlf") << QByteArray("a\r\r\nb") << QStringList { "a", "", "b" };
    QTest::newRow("umlaut") << QByteArray("\xFC\r\n") << QStringList { QStringLiteral("ü") };
}

void TestPlatformCore::splitLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(splitCp1252Lines(bytes), lines);
}

void TestPlatformCore::writerWritesCrLfCp1252()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    TextFileWriter w(path);
    w.writeLine(u"NA,Größe");
    w.writeLine(u"");
    w.commit();
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("NA,Gr\xF6\xDF" "e\r\n\r\n"));
    QCOMPARE(readTextLines(path), (QStringList{QStringLiteral("NA,Größe"), QString()}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.txt"}); // no temporary left
}

void TestPlatformCore::writerRefusalKeepsPreviousFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.txt");
    {
        TextFileWriter w(path);
        w.writeLine(u"old");
        w.commit();
    }
    TextFileWriter w(path);
    w.writeLine(u"new");
    try {
        w.writeLine(u"Łódź");
        QFAIL("no exception");
    } catch (const EncodingError &e) {
        QVERIFY(e.message().contains(QStringLiteral("U+0141")));
        QVERIFY(e.message().contains(QStringLiteral("Zeile 2")));
    }
    QCOMPARE(readTextLines(path), QStringList{"old"});
}

void TestPlatformCore::writerIntoMissingDirectoryFails()
{
    QTemporaryDir dir;
    TextFileWriter w(dir.filePath("nodir/x.txt"));
    w.writeLine(u"x");
    try {
        w.commit();
        QFAIL("no exception");
    } catch (const IoError &e) {
        QCOMPARE(e.message(), QStringLiteral("Datei nicht gefunden"));
    }
}

void TestPlatformCore::readErrors()
{
    QTemporaryDir dir;
    QVERIFY_THROWS_EXCEPTION(IoError, readTextLines(dir.filePath("missing.txt")));
    QVERIFY_THROWS_EXCEPTION(IoError, readTextLines(QString()));
    try {
        readTextLines(dir.path()); // a directory is not a text file
        QFAIL("no exception");
    } catch (const IoError &e) {
        QCOMPARE(e.message(), QStringLiteral("%1 ist ein Verzeichnis und keine Datei.").arg(dir.path()));
    }
    QVERIFY(!fileExists(dir.path()));
    QVERIFY(!fileExists(QString()));
}

void TestPlatformCore::textReadersBoundTheLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("read");
    const QByteArray crlf = QByteArray("\r\n").repeated(MaxTextLines);
    QTest::newRow("CR LF up to the bound") << crlf << true;
    QTest::newRow("a last line without its end") << crlf + "x" << false;
    QTest::newRow("one lone CR more") << crlf + "\r" << false;
    QTest::newRow("LF beyond the bound") << QByteArray(MaxTextLines + 1, '\n') << false;
}

void TestPlatformCore::textReadersBoundTheLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, read);
    QTemporaryDir dir;
    const QString path = dir.filePath("lines.txt");
    QVERIFY(test::writeBytes(path, bytes));
    const QString refusal
        = QStringLiteral("Die Datei %1 hat mehr als 2000000 Zeilen und wird nicht gelesen.").arg(path);
    const std::function<qsizetype()> readers[] = {
        [&] { return readTextLines(path).size(); },
        [&] { return readTextLinesIfOpenable(path).value_or(QStringList()).size(); },
        [&] { return splitCp1252Lines(readTextFileBytes(path)).size(); },
    };
    for (const auto &reader : readers) {
        try {
            const qsizetype lines = reader();
            QVERIFY2(read, "read although too long");
            QCOMPARE(lines, MaxTextLines);
        } catch (const IoError &e) {
            QVERIFY2(!read, qPrintable(e.message()));
            QCOMPARE(e.message(), refusal);
        }
    }
}

void TestPlatformCore::readRefusesWhatIsNoRegularFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("pipe") << "fifo"
                          << "keine gewöhnliche Datei";
    QTest::newRow("endless device") << "/dev/zero"
                                    << "/dev/zero ist keine gewöhnliche Datei";
    QTest::newRow("larger than the bound") << "large"
                                           << "größer als";
}

void TestPlatformCore::readRefusesWhatIsNoRegularFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QString path = kind;
    if (kind == QLatin1String("fifo")) {
        path = dir.filePath("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("large")) {
        path = dir.filePath("large.txt");
        QVERIFY(test::writeBytes(path, QByteArray(17, 'x')));
    }
    // Neither waits for a writer nor reads without end.
    try {
        readFileBytes(path, kind == QLatin1String("large") ? 16 : MaxReadBytes);
        QFAIL("no exception");
    } catch (const IoError &e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
    }
    if (kind != QLatin1String("large"))
        QVERIFY(!readTextLinesIfOpenable(path).has_value());
}

void TestPlatformCore::replaceWritesThroughLinksAndKeepsMode()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("ziel.eti");
    const QString link = dir.filePath("verweis.eti");
    QVERIFY(test::writeBytes(target, "alt\r\n"));
    QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QVERIFY(QFile::link(QStringLiteral("ziel.eti"), link)); // relative, as people make them
    writeFileAtomically(link, "neu\r\n");
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(test::contentOf(target), QByteArray("neu\r\n"));
    struct stat st
    {
    };
    QCOMPARE(::stat(QFile::encodeName(target).constData(), &st), 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0640));
    // A link to a file not there yet creates that file.
    const QString dangling = dir.filePath("offen.eti");
    QVERIFY(QFile::link(dir.filePath("neu/../neu.eti"), dangling));
    QVERIFY(QDir(dir.path()).mkdir("neu"));
    writeFileAtomically(dangling, "x");
    QCOMPARE(test::contentOf(dir.filePath("neu.eti")), QByteArray("x"));
    QVERIFY(QFileInfo(dangling).isSymLink());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(".tmp"), QStringList());
}

void TestPlatformCore::replaceRefusesWhatIsNoRegularFile()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.eti");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString &path : { fifo, dir.filePath("."), QStringLiteral("/dev/null") }) {
        try {
            writeFileAtomically(path, "x");
            QFAIL("no exception");
        } catch (const IoError &e) {
            QVERIFY2(e.message().contains(path), qPrintable(e.message()));
        }
    }
    struct stat st
    {
    };
    QCOMPARE(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
    QVERIFY(S_ISFIFO(st.st_mode));
    QVERIFY(QFileInfo(QStringLiteral("/dev/null")).isFile() == false);
    QCOMPARE(
        QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList { "pipe.eti" });
}

void TestPlatformCore::replaceTakesLongestNames()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString(250, QLatin1Char('n')) + QStringLiteral(".eti"));
    writeFileAtomically(path, "eins");
    writeFileAtomically(path, "zwei"); // replacing needs a temporary name beside it
    QCOMPARE(test::contentOf(path), QByteArray("zwei"));
}

void TestPlatformCore::replaceReportsAFullDisk()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("voll.txt");
    QVERIFY(test::writeBytes(path, "alt"));
    const QByteArray big(200000, 'x');
    try {
        const test::FileSizeLimit limit(100000);
        writeFileAtomically(path, big);
        QFAIL("no exception");
    } catch (const IoError &e) {
        QCOMPARE(e.message(), QStringLiteral("Kapazität der Diskette/Festplatte erschöpft"));
    }
    QCOMPARE(test::contentOf(path), QByteArray("alt"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "voll.txt" });
}

void TestPlatformCore::staleTemporaryFilesAreRemoved()
{
    QTemporaryDir dir;
    const QStringList stale { ".qm-a1B2c3.tmp", "WERKE.DAT.tmp-Xy12Zq" };
    const QStringList kept { "notizen.tmp", "WERKE.DAT", ".qm-kurz.tmp" };
    for (const QString &name : stale + kept)
        QVERIFY(test::writeBytes(dir.filePath(name), "x"));
    // One that another program is writing right now stays.
    const QString busy = dir.filePath(".qm-busy01.tmp");
    QVERIFY(test::writeBytes(busy, "x"));
    const int fd = ::open(QFile::encodeName(busy).constData(), O_RDONLY);
    QVERIFY(fd >= 0);
    QCOMPARE(::flock(fd, LOCK_EX), 0);
    QCOMPARE(removeStaleTemporaryFiles(dir.path()), 2);
    ::close(fd);
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QStringList expected = kept + QStringList { ".qm-busy01.tmp" };
    expected.sort();
    QCOMPARE(left, expected);
}

void TestPlatformCore::ioErrorTexts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("ENOENT") << ENOENT << "Datei nicht gefunden";
    QTest::newRow("ENAMETOOLONG") << ENAMETOOLONG << "Ungültiger Dateiname";
    QTest::newRow("EMFILE") << EMFILE << "Zu viele Dateien geöffnet";
    QTest::newRow("EACCES") << EACCES << "Dateizugriff verweigert";
    QTest::newRow("ENOSPC") << ENOSPC << "Kapazität der Diskette/Festplatte erschöpft";
    QTest::newRow("EIO") << EIO << QStringLiteral("I/O-Fehler %1").arg(EIO);
}

void TestPlatformCore::ioErrorTexts()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(IoError(code).message(), text);
    QCOMPARE(IoError(code).errorNumber(), code);
}

void TestPlatformCore::stringTableGrowsAndHides()
{
    StringTable t(2, 1);
    QCOMPARE(t.cell(5, 5), QString());
    t.setCell(3, 2, "x");
    QCOMPARE(t.colCount(), 4);
    QCOMPARE(t.rowCount(), 3);
    QCOMPARE(t.cell(3, 2), QStringLiteral("x"));
    t.setColCount(2);
    QCOMPARE(t.cell(3, 2), QString());
    t.setColCount(4);
    QCOMPARE(t.cell(3, 2), QStringLiteral("x"));
    QCOMPARE(t.row(2, 1), (QStringList{"", "", "x"}));
    t.setCell(-1, 0, "ignored");
    QCOMPARE(t.colCount(), 4);
    t.reset(1, 1);
    QCOMPARE(t.cell(0, 0), QString());
}

void TestPlatformCore::stringTableClearsHiddenRows()
{
    // Rows hidden by a lower count must not come back with old values when
    // the count grows again after they were cleared.
    StringTable t(2, 5);
    t.setCell(0, 1, "keep");
    t.setCell(1, 2, "a");
    t.setCell(1, 4, "b");
    t.setRowCount(3);
    t.clearRowsFrom(2);
    QCOMPARE(t.rowCount(), 3);
    t.setRowCount(5);
    QCOMPARE(t.cell(1, 2), QString());
    QCOMPARE(t.cell(1, 4), QString());
    QCOMPARE(t.cell(0, 1), QStringLiteral("keep"));
}

QTEST_GUILESS_MAIN(TestPlatformCore)
#include "TestPlatformCore.moc"
