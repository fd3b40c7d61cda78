#include "platform/errors.h"
#include "programdir/programdirectory.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;
using namespace qm::test;

namespace {

// Every file below dir, relative, sorted.
QStringList filesBelow(const QString &dir)
{
    QStringList result;
    const QDir base(dir);
    const QFileInfoList entries
        = base.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &e : entries) {
        if (e.isDir()) {
            const QStringList inner = filesBelow(e.filePath());
            result.append(e.fileName() + QLatin1Char('/'));
            for (const QString &f : inner)
                result.append(e.fileName() + QLatin1Char('/') + f);
        } else {
            result.append(e.fileName());
        }
    }
    return result;
}

// Sets an environment variable for the lifetime of the object.
class EnvironmentOverride
{
public:
    EnvironmentOverride(const char *name, const QString &value)
        : m_name(name)
        , m_saved(qgetenv(name))
        , m_wasSet(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, QFile::encodeName(value));
    }
    ~EnvironmentOverride()
    {
        if (m_wasSet)
            qputenv(m_name, m_saved);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_saved;
    bool m_wasSet;
};

} // namespace

class TestProgramDirectory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void pathIsAbsoluteWithSlash_data();
    void pathIsAbsoluteWithSlash();
    void namesOfItsFiles();
    void helpFileInOtherLetterCase();
    void defaultFollowsXdgDataHome();

    void firstStartCopiesTheShippedFiles();
    void neverReplacesTheUsersFiles();
    void secondStartCopiesNothing();
    void explicitFolderWithContentIsNotSeeded();
    void copiesCanBeChanged();
    void missingShareCopiesNothing();
    void fileInPlaceOfTheFolderIsAnError();
    void staleTemporaryFilesAreRemovedOnOpening();

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_share;
};

void TestProgramDirectory::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tmp->isValid());
    m_share = m_tmp->filePath(QStringLiteral("share"));
    QVERIFY(writeBytes(m_share + QStringLiteral("/ETIKETT/adresse.eti"), "ETI\r\n"));
    QVERIFY(writeBytes(m_share + QStringLiteral("/FORMATE/a4.vrl"), "VRL\r\n"));
    QVERIFY(writeBytes(m_share + QStringLiteral("/DBANKEN/.keep"), ""));
    QVERIFY(writeBytes(m_share + QStringLiteral("/BEREICH.DAT"), "Bereiche\r\n---\r\n"));
    QVERIFY(writeBytes(m_share + QStringLiteral("/QUILLMK.HLP"), "#CONTEXT 0 Inhalt\r\n"));
    // Built into the program: never copied.
    QVERIFY(writeBytes(m_share + QStringLiteral("/BOGENINDEX.TXT"), "Index\r\n"));
}

void TestProgramDirectory::pathIsAbsoluteWithSlash_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("expected"); // "W/" stands for the working directory
    QTest::newRow("absolute") << "/opt/quillmark"
                              << "/opt/quillmark/";
    QTest::newRow("with slash") << "/opt/quillmark/"
                                << "/opt/quillmark/";
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("doubled slashes") << "/opt//quillmark/./daten"
                                     << "/opt/quillmark/daten/";
    QTest::newRow("relative") << "daten"
                              << "W/daten/";
    QTest::newRow("dot") << "."
                         << "W/";
}

void TestProgramDirectory::pathIsAbsoluteWithSlash()
{
    QFETCH(QString, given);
    QFETCH(QString, expected);
    QString cwd = QDir::currentPath();
    if (!cwd.endsWith(QLatin1Char('/')))
        cwd += QLatin1Char('/');
    if (expected.startsWith(QLatin1String("W/")))
        expected = cwd + expected.mid(2);
    QCOMPARE(ProgramDirectory(given).path(), expected);
}

void TestProgramDirectory::namesOfItsFiles()
{
    const ProgramDirectory dir(QStringLiteral("/opt/q"));
    QCOMPARE(dir.firstAidHelpPath(), QStringLiteral("/opt/q/ERSTEHILFE.HLP"));
    QCOMPARE(dir.programHelpPath(), QStringLiteral("/opt/q/QUILLMK.HLP"));
    QCOMPARE(dir.areasFile(), QStringLiteral("/opt/q/BEREICH.DAT"));
    QCOMPARE(dir.worksFile(), QStringLiteral("/opt/q/WERKE.DAT"));
    QCOMPARE(dir.scratchFile(), QStringLiteral("/opt/q/TEMP.DAT"));
    QCOMPARE(dir.formatsFile(), QStringLiteral("/opt/q/FORMATE.DAT"));
    QCOMPARE(dir.subdirPath(ProgramDirectory::FormatSubdir), QStringLiteral("/opt/q/FORMATE/"));
    QCOMPARE(dir.filePath(ProgramDirectory::DesignSubdir), QStringLiteral("/opt/q/ETIKETT"));
    QCOMPARE(dir.filePath(ProgramDirectory::DatabaseSubdir), QStringLiteral("/opt/q/DBANKEN"));
}

void TestProgramDirectory::helpFileInOtherLetterCase()
{
    const QString path = m_tmp->filePath(QStringLiteral("alt"));
    QVERIFY(writeBytes(path + QStringLiteral("/quillmk.hlp"), "x"));
    const ProgramDirectory dir(path);
    QCOMPARE(dir.programHelpPath(), path + QStringLiteral("/quillmk.hlp"));
    QCOMPARE(dir.firstAidHelpPath(), path + QStringLiteral("/ERSTEHILFE.HLP"));
}

void TestProgramDirectory::defaultFollowsXdgDataHome()
{
    const EnvironmentOverride env("XDG_DATA_HOME", m_tmp->filePath(QStringLiteral("data")));
    QCOMPARE(defaultProgramDirectoryPath(), m_tmp->filePath(QStringLiteral("data/Quillmark/")));
}

void TestProgramDirectory::firstStartCopiesTheShippedFiles()
{
    const EnvironmentOverride env("XDG_DATA_HOME", m_tmp->filePath(QStringLiteral("data")));
    const ProgramDirectory dir = openProgramDirectory(QString(), m_share);
    QCOMPARE(dir.path(), m_tmp->filePath(QStringLiteral("data/Quillmark/")));
    QCOMPARE(filesBelow(dir.path()),
        (QStringList { "BEREICH.DAT", "DBANKEN/", "ETIKETT/", "ETIKETT/adresse.eti", "FORMATE/",
            "FORMATE/a4.vrl", "QUILLMK.HLP" }));
    QCOMPARE(contentOf(dir.path() + QStringLiteral("ETIKETT/adresse.eti")), QByteArray("ETI\r\n"));
    QCOMPARE(contentOf(dir.areasFile()), QByteArray("Bereiche\r\n---\r\n"));
}

void TestProgramDirectory::neverReplacesTheUsersFiles()
{
    const EnvironmentOverride env("XDG_DATA_HOME", m_tmp->filePath(QStringLiteral("data")));
    const QString target = defaultProgramDirectoryPath();
    QVERIFY(writeBytes(target + QStringLiteral("BEREICH.DAT"), "Meine\r\n"));
    QVERIFY(writeBytes(target + QStringLiteral("ETIKETT/adresse.eti"), "MEINE\r\n"));
    QVERIFY(writeBytes(target + QStringLiteral("FORMATE"), "eine Datei\r\n"));
    const ProgramDirectory dir = openProgramDirectory(QString(), m_share);
    QCOMPARE(contentOf(dir.areasFile()), QByteArray("Meine\r\n"));
    QCOMPARE(contentOf(dir.path() + QStringLiteral("ETIKETT/adresse.eti")), QByteArray("MEINE\r\n"));
    QCOMPARE(contentOf(dir.path() + QStringLiteral("FORMATE")), QByteArray("eine Datei\r\n"));
    // What was missing came.
    QCOMPARE(contentOf(dir.programHelpPath()), QByteArray("#CONTEXT 0 Inhalt\r\n"));
    QVERIFY(QFileInfo(dir.path() + QStringLiteral("DBANKEN")).isDir());
}

void TestProgramDirectory::secondStartCopiesNothing()
{
    const QString target = m_tmp->filePath(QStringLiteral("prog"));
    QCOMPARE(seedProgramDirectory(target, m_share), 4);
    const QStringList first = filesBelow(target);
    QCOMPARE(seedProgramDirectory(target, m_share), 0);
    QCOMPARE(filesBelow(target), first);
    // A shipped file the user removed comes back at the next start.
    QVERIFY(QFile::remove(target + QStringLiteral("/FORMATE/a4.vrl")));
    QCOMPARE(seedProgramDirectory(target, m_share), 1);
    QCOMPARE(filesBelow(target), first);
}

void TestProgramDirectory::explicitFolderWithContentIsNotSeeded()
{
    const QString given = m_tmp->filePath(QStringLiteral("alt"));
    QVERIFY(writeBytes(given + QStringLiteral("/WERKE.DAT"), "x"));
    const ProgramDirectory dir = openProgramDirectory(given, m_share);
    QCOMPARE(dir.path(), given + QLatin1Char('/'));
    QCOMPARE(filesBelow(given), QStringList { QStringLiteral("WERKE.DAT") });

    // An empty or missing one is seeded.
    const QString fresh = m_tmp->filePath(QStringLiteral("neu/tief"));
    const ProgramDirectory created = openProgramDirectory(fresh, m_share);
    QCOMPARE(created.path(), fresh + QLatin1Char('/'));
    QVERIFY(QFile::exists(fresh + QStringLiteral("/ETIKETT/adresse.eti")));
    QCOMPARE(created.programHelpPath(), fresh + QStringLiteral("/QUILLMK.HLP"));
}

void TestProgramDirectory::copiesCanBeChanged()
{
    // An installed share folder is read-only; the user's copies must not be.
    const QString shipped = m_share + QStringLiteral("/BEREICH.DAT");
    QVERIFY(QFile::setPermissions(shipped, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QString target = m_tmp->filePath(QStringLiteral("prog"));
    seedProgramDirectory(target, m_share);
    QVERIFY(QFileInfo(target + QStringLiteral("/BEREICH.DAT")).permissions() & QFile::WriteOwner);
}

void TestProgramDirectory::missingShareCopiesNothing()
{
    const QString given = m_tmp->filePath(QStringLiteral("leer"));
    const ProgramDirectory dir = openProgramDirectory(given, m_tmp->filePath(QStringLiteral("nix")));
    QVERIFY(QFileInfo(dir.path()).isDir());
    QCOMPARE(filesBelow(given), QStringList());
}

void TestProgramDirectory::fileInPlaceOfTheFolderIsAnError()
{
    const QString given = m_tmp->filePath(QStringLiteral("datei"));
    QVERIFY(writeBytes(given, "x"));
    try {
        openProgramDirectory(given, m_share);
        QFAIL("no error");
    } catch (const Error &e) {
        QCOMPARE(e.message(),
            QStringLiteral("Das Programmverzeichnis %1/ kann nicht angelegt werden.").arg(given));
    }
    QCOMPARE(contentOf(given), QByteArray("x"));
}

void TestProgramDirectory::staleTemporaryFilesAreRemovedOnOpening()
{
    const QString given = m_tmp->filePath(QStringLiteral("alt"));
    // Left by rewrites that were killed: ours, and those of earlier versions.
    const QStringList stale { QStringLiteral("/WERKE.DAT.tmp-a8Kx2Q"), QStringLiteral("/.qm-Zz9y8X.tmp"),
        QStringLiteral("/ETIKETT/adresse.eti.tmp-q1w2e3"), QStringLiteral("/formate/.qm-000000.tmp") };
    const QStringList kept { QStringLiteral("/WERKE.DAT"), QStringLiteral("/ETIKETT/adresse.eti"),
        QStringLiteral("/formate/a4.vrl"), QStringLiteral("/DBANKEN/TEMP.DAT.tmp") };
    for (const QString &name : stale + kept)
        QVERIFY(writeBytes(given + name, "x"));
    openProgramDirectory(given, m_share);
    for (const QString &name : stale)
        QVERIFY2(!QFileInfo::exists(given + name), qPrintable(name));
    for (const QString &name : kept)
        QVERIFY2(QFileInfo::exists(given + name), qPrintable(name));

    // A folder that held nothing but such leftovers is empty, so it is seeded.
    const QString leftovers = m_tmp->filePath(QStringLiteral("reste"));
    QVERIFY(writeBytes(leftovers + QStringLiteral("/BEREICH.DAT.tmp-0a1b2c"), "x"));
    openProgramDirectory(leftovers, m_share);
    QVERIFY(QFile::exists(leftovers + QStringLiteral("/ETIKETT/adresse.eti")));
    QVERIFY(!QFileInfo::exists(leftovers + QStringLiteral("/BEREICH.DAT.tmp-0a1b2c")));
}

QTEST_GUILESS_MAIN(TestProgramDirectory)
#include "TestProgramDirectory.moc"
