#include "testfiles.h"
#include "platform/doubles/memorysettings.h"
#include "platform/errors.h"
#include "platform/settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;
using namespace qm::test;

namespace {


void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void noFileGivesDefaults();
    void firstCloseCreatesFile();
    void integers_data();
    void integers();
    void booleans_data();
    void booleans();
    void stringIsCutAt1023();
    void handEditedFileKeepsEverythingElse();
    void newKeyGoesToTheEndOfItsSection();
    void namesIgnoreLetterCase();
    void firstOfDuplicateSectionsCounts();
    void quotesAndBlanksAroundValues();
    void changesByHandAreSeenAtOnce();
    void refusedWriteNamesTheFile();
    void folderInPlaceOfFileIsLeftAlone();
    void unreadableFileIsNotReplaced();
    void lineBreakInValueIsRefused();
    void cp1252FileIsReadAndKeptOnWrite();
    void utf8WithByteOrderMark();
    void symbolicLinkStaysALink();
    void defaultPathFollowsXdgConfigHome();

    void memorySettingsReadLikeTheFile();
    void memorySettingsRefuseWrites();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString iniPath() const { return m_dir->filePath(QStringLiteral("Quillmark.ini")); }
};

void TestSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSettings::noFileGivesDefaults()
{
    const IniFileSettings settings(iniPath());
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1), 1);
    QCOMPARE(settings.readBool(QStringLiteral("Parameter"), QStringLiteral("Seriennummer"), true),
             true);
    QCOMPARE(settings.readBool(QStringLiteral("Parameter"), QStringLiteral("Klickflaechen"), false),
             false);
    QCOMPARE(settings.readString(QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), QString()),
             QString());
    QVERIFY(!QFile::exists(iniPath())); // reading creates nothing
}

void TestSettings::firstCloseCreatesFile()
{
    // The configuration folder itself may be missing on a fresh system.
    const QString path = m_dir->filePath(QStringLiteral("config/Quillmark.ini"));
    IniFileSettings settings(path);
    settings.writeInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1);
    settings.writeBool(QStringLiteral("Parameter"), QStringLiteral("Seriennummer"), true);
    QCOMPARE(contentOf(path), QByteArray("[Programm]\nModus=1\n\n[Parameter]\nSeriennummer=1\n"));
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 4), 1);

    settings.writeBool(QStringLiteral("Parameter"), QStringLiteral("Seriennummer"), false);
    QCOMPARE(contentOf(path), QByteArray("[Programm]\nModus=1\n\n[Parameter]\nSeriennummer=0\n"));
    // No temporary file is left behind.
    QCOMPARE(QDir(m_dir->filePath(QStringLiteral("config"))).entryList(QDir::Files),
             QStringList{QStringLiteral("Quillmark.ini")});
}

void TestSettings::integers_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("decimal") << QByteArray("4") << 4;
    QTest::newRow("0x hexadecimal") << QByteArray("0x3") << 3;
    QTest::newRow("0X hexadecimal") << QByteArray("0X1f") << 31;
    QTest::newRow("dollar hexadecimal") << QByteArray("$10") << 16;
    QTest::newRow("negative") << QByteArray("-2") << -2;
    QTest::newRow("blanks around") << QByteArray("  2  ") << 2;
    QTest::newRow("not a number") << QByteArray("abc") << 1;
    QTest::newRow("empty") << QByteArray("") << 1;
    QTest::newRow("0x alone") << QByteArray("0x") << 1;
    QTest::newRow("bad hex digit") << QByteArray("0x3g") << 1;
    QTest::newRow("trailing letters") << QByteArray("3abc") << 1;
    QTest::newRow("decimal point") << QByteArray("2.5") << 1;
    QTest::newRow("too large") << QByteArray("99999999999") << 1;
}

void TestSettings::integers()
{
    QFETCH(QByteArray, value);
    QFETCH(int, expected);
    writeAll(iniPath(), "[Programm]\r\nModus=" + value + "\r\n");
    const IniFileSettings settings(iniPath());
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1), expected);
}

void TestSettings::booleans_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("defaultValue");
    QTest::addColumn<bool>("expected");
    QTest::newRow("1") << QByteArray("Seriennummer=1") << false << true;
    QTest::newRow("2 is on") << QByteArray("Seriennummer=2") << false << true;
    QTest::newRow("-1 is on") << QByteArray("Seriennummer=-1") << false << true;
    QTest::newRow("0 is off") << QByteArray("Seriennummer=0") << true << false;
    QTest::newRow("0x0 is off") << QByteArray("Seriennummer=0x0") << true << false;
    QTest::newRow("text, default on") << QByteArray("Seriennummer=ja") << true << true;
    QTest::newRow("text, default off") << QByteArray("Seriennummer=ja") << false << false;
    QTest::newRow("missing, default on") << QByteArray("Gitter=0") << true << true;
}

void TestSettings::booleans()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, defaultValue);
    QFETCH(bool, expected);
    writeAll(iniPath(), "[Parameter]\n" + line + "\n");
    const IniFileSettings settings(iniPath());
    QCOMPARE(settings.readBool(QStringLiteral("Parameter"), QStringLiteral("Seriennummer"),
                               defaultValue),
             expected);
}

void TestSettings::stringIsCutAt1023()
{
    IniFileSettings settings(iniPath());
    const QString exact(1023, QLatin1Char('a'));
    settings.writeString(QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), exact);
    QCOMPARE(settings.readString(QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), QString()),
             exact);
    const QString longer = QString(1500, QLatin1Char('b')) + QLatin1Char('/');
    settings.writeString(QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), longer);
    QCOMPARE(settings.readString(QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), QString()),
             longer.left(1023));
    // The file keeps the whole value.
    QVERIFY(contentOf(iniPath()).contains(longer.toUtf8()));
}

void TestSettings::handEditedFileKeepsEverythingElse()
{
    writeAll(iniPath(), "; von Hand angelegt\r\n"
                        "[Fenster]\r\n"
                        "Breite=800\r\n"
                        "\r\n"
                        "[Programm]\r\n"
                        "; 1 Eingabe, 4 Entwurf\r\n"
                        "Modus = 2\r\n"
                        "Zeile ohne Gleichheitszeichen\r\n"
                        "Sprache=de\r\n"
                        "\r\n"
                        "[Parameter]\r\n"
                        "Seriennummer=0\r\n");
    IniFileSettings settings(iniPath());
    settings.writeInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 4);
    QCOMPARE(contentOf(iniPath()), QByteArray("; von Hand angelegt\n"
                                            "[Fenster]\n"
                                            "Breite=800\n"
                                            "\n"
                                            "[Programm]\n"
                                            "; 1 Eingabe, 4 Entwurf\n"
                                            "Modus=4\n"
                                            "Zeile ohne Gleichheitszeichen\n"
                                            "Sprache=de\n"
                                            "\n"
                                            "[Parameter]\n"
                                            "Seriennummer=0\n"));
}

void TestSettings::newKeyGoesToTheEndOfItsSection()
{
    writeAll(iniPath(), "[Parameter]\nSeriennummer=1\n\n[Programm]\nModus=3\n");
    IniFileSettings settings(iniPath());
    settings.writeBool(QStringLiteral("Parameter"), QStringLiteral("Gitter"), false);
    settings.writeString(QStringLiteral("Anderes"), QStringLiteral("X"), QStringLiteral("y"));
    QCOMPARE(contentOf(iniPath()), QByteArray("[Parameter]\nSeriennummer=1\nGitter=0\n\n"
                                            "[Programm]\nModus=3\n\n[Anderes]\nX=y\n"));
    // A commented-out key is not the key.
    writeAll(iniPath(), "[Programm]\n;Modus=2\n");
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1), 1);
    settings.writeInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 3);
    QCOMPARE(contentOf(iniPath()), QByteArray("[Programm]\n;Modus=2\nModus=3\n"));
}

void TestSettings::namesIgnoreLetterCase()
{
    writeAll(iniPath(), "[PROGRAMM]\nmodus=2\n");
    IniFileSettings settings(iniPath());
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1), 2);
    settings.writeInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 3);
    QCOMPARE(contentOf(iniPath()), QByteArray("[PROGRAMM]\nmodus=3\n"));
}

void TestSettings::firstOfDuplicateSectionsCounts()
{
    writeAll(iniPath(), "[Programm]\nModus=2\n[Programm]\nModus=4\nNeu=1\n");
    IniFileSettings settings(iniPath());
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1), 2);
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Neu"), 0), 0);
    settings.writeInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 3);
    QCOMPARE(contentOf(iniPath()), QByteArray("[Programm]\nModus=3\n[Programm]\nModus=4\nNeu=1\n"));
}

void TestSettings::quotesAndBlanksAroundValues()
{
    writeAll(iniPath(), "[Parameter]\n  ADRIVO  =  \"/home/anna/Adressen mit Blank/\"  \n"
                        "Leer=\nIst=a=b\nZitat=\"\"\nEinfach=''\nEinzeln=\"\n");
    const IniFileSettings settings(iniPath());
    QCOMPARE(settings.readString(QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), QString()),
             QStringLiteral("/home/anna/Adressen mit Blank/"));
    QCOMPARE(settings.readString(QStringLiteral("Parameter"), QStringLiteral("Leer"),
                                 QStringLiteral("x")),
             QString());
    QCOMPARE(settings.readString(QStringLiteral("Parameter"), QStringLiteral("Ist"), QString()),
             QStringLiteral("a=b"));
    // Two quotes are an empty value; one alone is the value itself.
    QCOMPARE(settings.readString(QStringLiteral("Parameter"), QStringLiteral("Zitat"),
                                 QStringLiteral("x")),
             QString());
    QCOMPARE(settings.readString(QStringLiteral("Parameter"), QStringLiteral("Einfach"),
                                 QStringLiteral("x")),
             QString());
    QCOMPARE(settings.readString(QStringLiteral("Parameter"), QStringLiteral("Einzeln"), QString()),
             QStringLiteral("\""));
}

void TestSettings::changesByHandAreSeenAtOnce()
{
    IniFileSettings settings(iniPath());
    settings.writeInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 2);
    writeAll(iniPath(), "[Programm]\nModus=3\n");
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1), 3);
    QVERIFY(QFile::remove(iniPath()));
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1), 1);
}

void TestSettings::refusedWriteNamesTheFile()
{
    // A folder that cannot be created: its parent is a file. (Permissions
    // would not stop a test run as root.)
    writeAll(m_dir->filePath(QStringLiteral("datei")), "x");
    const QString path = m_dir->filePath(QStringLiteral("datei/Quillmark.ini"));
    IniFileSettings settings(path);
    try {
        settings.writeInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 2);
        QFAIL("the write was not refused");
    } catch (const Error &e) {
        QCOMPARE(e.message(), QStringLiteral("Kann nicht nach %1 schreiben").arg(path));
    }
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1), 1);
}

void TestSettings::folderInPlaceOfFileIsLeftAlone()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Quillmark.ini")));
    IniFileSettings settings(iniPath());
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1), 1);
    QVERIFY_THROWS_EXCEPTION(Error, settings.writeInteger(QStringLiteral("Programm"),
                                                          QStringLiteral("Modus"), 2));
    QVERIFY(QFileInfo(iniPath()).isDir());
}

void TestSettings::unreadableFileIsNotReplaced()
{
    // A link to itself cannot be read (and file permissions would not stop
    // a test run as root): writing must not put a new file with one key in
    // its place.
    QVERIFY(QFile::link(iniPath(), iniPath()));
    IniFileSettings settings(iniPath());
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1), 1);
    QVERIFY_THROWS_EXCEPTION(Error, settings.writeInteger(QStringLiteral("Programm"),
                                                          QStringLiteral("Modus"), 2));
    QVERIFY(QFileInfo(iniPath()).isSymLink());
}

void TestSettings::lineBreakInValueIsRefused()
{
    writeAll(iniPath(), "[Parameter]\nADRIVO=/alt/\n");
    IniFileSettings settings(iniPath());
    QVERIFY_THROWS_EXCEPTION(Error, settings.writeString(QStringLiteral("Parameter"),
                                                         QStringLiteral("ADRIVO"),
                                                         QStringLiteral("/neu/\n[Programm]")));
    QCOMPARE(contentOf(iniPath()), QByteArray("[Parameter]\nADRIVO=/alt/\n"));
}

void TestSettings::cp1252FileIsReadAndKeptOnWrite()
{
    // Written by an editor in the Windows code page: "ß" is the single byte DF.
    writeAll(iniPath(), "[Parameter]\r\nADRIVO=/home/J\xf6rg/Adre\xdf/\r\n");
    IniFileSettings settings(iniPath());
    QCOMPARE(settings.readString(QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), QString()),
             QStringLiteral("/home/Jörg/Adreß/"));
    settings.writeBool(QStringLiteral("Parameter"), QStringLiteral("Gitter"), true);
    QCOMPARE(contentOf(iniPath()),
             QByteArray("[Parameter]\nADRIVO=/home/J\xc3\xb6rg/Adre\xc3\x9f/\nGitter=1\n"));
    QCOMPARE(settings.readString(QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), QString()),
             QStringLiteral("/home/Jörg/Adreß/"));
}

void TestSettings::utf8WithByteOrderMark()
{
    writeAll(iniPath(), "\xef\xbb\xbf[Parameter]\nADRIVO=/home/j\xc3\xb6rg/\n");
    const IniFileSettings settings(iniPath());
    QCOMPARE(settings.readString(QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), QString()),
             QStringLiteral("/home/jörg/"));
}

void TestSettings::symbolicLinkStaysALink()
{
    const QString real = m_dir->filePath(QStringLiteral("echt.ini"));
    writeAll(real, "[Programm]\nModus=2\n");
    QVERIFY(QFile::link(real, iniPath()));
    IniFileSettings settings(iniPath());
    settings.writeInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 3);
    QVERIFY(QFileInfo(iniPath()).isSymLink());
    QCOMPARE(contentOf(real), QByteArray("[Programm]\nModus=3\n"));
}

void TestSettings::defaultPathFollowsXdgConfigHome()
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->path()));
    const QString path = defaultSettingsPath();
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
    QCOMPARE(path, m_dir->path() + QStringLiteral("/Quillmark.ini"));
}

void TestSettings::memorySettingsReadLikeTheFile()
{
    MemorySettings settings;
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1), 1);
    settings.setValue(QStringLiteral("Programm"), QStringLiteral("Modus"), QStringLiteral("0x3"));
    QCOMPARE(settings.readInteger(QStringLiteral("programm"), QStringLiteral("MODUS"), 1), 3);
    settings.setValue(QStringLiteral("Programm"), QStringLiteral("Modus"), QStringLiteral("abc"));
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1), 1);
    settings.writeBool(QStringLiteral("Parameter"), QStringLiteral("Seriennummer"), false);
    QCOMPARE(settings.value(QStringLiteral("Parameter"), QStringLiteral("Seriennummer")),
             std::optional<QString>(QStringLiteral("0")));
    settings.setValue(QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), QString(2000, 'x'));
    QCOMPARE(settings.readString(QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), QString())
                 .size(),
             1023);
    QCOMPARE(settings.writeCount(), 1);
}

void TestSettings::memorySettingsRefuseWrites()
{
    MemorySettings settings;
    settings.writeInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 2);
    settings.setRefuseWrites(true);
    try {
        settings.writeInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 4);
        QFAIL("the write was not refused");
    } catch (const Error &e) {
        QCOMPARE(e.message(), QStringLiteral("Kann nicht nach Quillmark.ini schreiben"));
    }
    QCOMPARE(settings.readInteger(QStringLiteral("Programm"), QStringLiteral("Modus"), 1), 2);
    QCOMPARE(settings.writeCount(), 1);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "TestSettings.moc"
