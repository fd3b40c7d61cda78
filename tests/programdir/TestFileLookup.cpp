#include "programdir/filelookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

Q_DECLARE_METATYPE(qm::EntryFileKind)

namespace {

bool makeFile(const QString &path)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("x\r\n") == 3;
}

} // namespace

// Program directory of the lookups (below: P/):
//   P/ETIKETT/x.eti, P/ETIKETT/klein.eti, P/ETIKETT/Gross.ETI
//   P/Formate/b.vrl          (the folder in other letter case)
//   P/x.eti, P/nur.eti
//   P/ordner.eti/            (a folder named like a design)
// and outside it E/extern.eti.
class TestFileLookup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void fileNamePart_data();
    void fileNamePart();
    void entryPaths_data();
    void entryPaths();
    void openPaths_data();
    void openPaths();
    void movedEntryRunsFromProgramDirectory();
    void caseInsensitiveMatchPrefersExactName();

private:
    QString expand(const QString &pattern) const;

    QTemporaryDir m_tmp;
    QString m_prog;
    QString m_extern;
};

void TestFileLookup::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    m_prog = m_tmp.filePath(QStringLiteral("prog")) + QLatin1Char('/');
    m_extern = m_tmp.filePath(QStringLiteral("extern")) + QLatin1Char('/');
    for (const char *name :
        { "ETIKETT/x.eti", "ETIKETT/klein.eti", "ETIKETT/Gross.ETI", "Formate/b.vrl", "x.eti", "nur.eti" })
        QVERIFY(makeFile(m_prog + QLatin1String(name)));
    QVERIFY(QDir().mkpath(m_prog + QStringLiteral("ordner.eti")));
    QVERIFY(QDir().mkpath(m_prog + QStringLiteral("DBANKEN")));
    QVERIFY(makeFile(m_extern + QStringLiteral("extern.eti")));
}

// "P/" stands for the program directory, "E/" for the folder outside it.
QString TestFileLookup::expand(const QString &pattern) const
{
    QString s = pattern;
    if (s.startsWith(QLatin1String("P/")))
        s = m_prog + s.mid(2);
    else if (s.startsWith(QLatin1String("E/")))
        s = m_extern + s.mid(2);
    return s;
}

void TestFileLookup::fileNamePart_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("Windows path") << "C:\\A\\B\\label.eti"
                                  << "label.eti";
    QTest::newRow("bare name") << "label.eti"
                               << "label.eti";
    QTest::newRow("ends in backslash") << "C:\\A\\"
                                       << "";
    QTest::newRow("Linux path") << "a/b/c.eti"
                                << "c.eti";
    QTest::newRow("ends in slash") << "/home/a/"
                                   << "";
    QTest::newRow("mixed, slash last") << "C:\\A/b.eti"
                                       << "b.eti";
    QTest::newRow("mixed, backslash last") << "/home/a\\b.eti"
                                           << "b.eti";
    QTest::newRow("drive colon is no separator") << "C:label.eti"
                                                 << "C:label.eti";
    QTest::newRow("network path") << "\\\\server\\share\\x.vrl"
                                  << "x.vrl";
    QTest::newRow("empty") << ""
                           << "";
}

void TestFileLookup::fileNamePart()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(DateinameHolen(path), name);
}

void TestFileLookup::entryPaths_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<EntryFileKind>("kind");
    QTest::addColumn<QString>("expected");
    QTest::newRow("moved design") << "D:\\old\\ETIKETT\\x.eti" << EntryFileKind::Design << "P/ETIKETT/x.eti";
    QTest::newRow("name in other case")
        << "C:\\ALT\\ETIKETT\\KLEIN.ETI" << EntryFileKind::Design << "P/ETIKETT/klein.eti";
    QTest::newRow("lower-case stored, upper on disk")
        << "c:\\alt\\gross.eti" << EntryFileKind::Design << "P/ETIKETT/Gross.ETI";
    QTest::newRow("missing everywhere: taken untested")
        << "D:\\old\\fehlt.eti" << EntryFileKind::Design << "P/ETIKETT/fehlt.eti";
    QTest::newRow("existing file kept") << "E/extern.eti" << EntryFileKind::Design << "E/extern.eti";
    QTest::newRow("Linux path gone") << "/gone/FORMATE/b.vrl" << EntryFileKind::Format << "P/Formate/b.vrl";
    QTest::newRow("folder in other case, file missing")
        << "C:\\Q\\c.vrl" << EntryFileKind::Format << "P/Formate/c.vrl";
    QTest::newRow("relative to the program directory")
        << "ETIKETT/x.eti" << EntryFileKind::Design << "P/ETIKETT/x.eti";
    QTest::newRow("folder is not a file")
        << "P/ordner.eti" << EntryFileKind::Design << "P/ETIKETT/ordner.eti";
    QTest::newRow("table moved") << "D:\\db\\kunden.dbf" << EntryFileKind::Database << "P/DBANKEN/kunden.dbf";
    QTest::newRow("no table stays empty") << "" << EntryFileKind::Database << "";
    QTest::newRow("empty design path") << "" << EntryFileKind::Design << "P/ETIKETT/";
}

void TestFileLookup::entryPaths()
{
    QFETCH(QString, stored);
    QFETCH(EntryFileKind, kind);
    QFETCH(QString, expected);
    const ProgramDirectory dir(m_prog);
    QCOMPARE(resolveEntryPath(dir, expand(stored), kind), expand(expected));
}

void TestFileLookup::openPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected"); // "-" = missing
    QTest::newRow("existing") << "E/extern.eti"
                              << "E/extern.eti";
    QTest::newRow("only in the program directory") << "D:\\old\\nur.eti"
                                                   << "P/nur.eti";
    QTest::newRow("other case") << "D:\\OLD\\NUR.ETI"
                                << "P/nur.eti";
    QTest::newRow("Linux path gone") << "/weg/x.eti"
                                     << "P/x.eti";
    QTest::newRow("subfolders are not searched") << "D:\\old\\klein.eti"
                                                 << "-";
    QTest::newRow("folder named like the file") << "D:\\old\\ordner.eti"
                                                << "-";
    QTest::newRow("path ending in separator") << "D:\\old\\"
                                              << "-";
    QTest::newRow("empty") << ""
                           << "-";
}

void TestFileLookup::openPaths()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    const ProgramDirectory dir(m_prog);
    const std::optional<QString> found = resolveOpenPath(dir, expand(path));
    if (expected == QLatin1String("-"))
        QCOMPARE(found, std::nullopt);
    else
        QCOMPARE(found, std::optional<QString>(expand(expected)));
}

void TestFileLookup::movedEntryRunsFromProgramDirectory()
{
    // A design stored as D:\old\ETIKETT\y.eti: first from P/ETIKETT/y.eti,
    // and from P/y.eti when only that one exists.
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const ProgramDirectory dir(tmp.path());
    const QString stored = QStringLiteral("D:\\old\\ETIKETT\\y.eti");
    QVERIFY(makeFile(dir.filePath(QStringLiteral("y.eti"))));
    const QString entry = resolveEntryPath(dir, stored, EntryFileKind::Design);
    QCOMPARE(entry, dir.path() + QStringLiteral("ETIKETT/y.eti"));
    QCOMPARE(resolveOpenPath(dir, entry), std::optional<QString>(dir.path() + "y.eti"));

    QVERIFY(makeFile(dir.filePath(QStringLiteral("ETIKETT/y.eti"))));
    QCOMPARE(resolveOpenPath(dir, resolveEntryPath(dir, stored, EntryFileKind::Design)),
        std::optional<QString>(dir.path() + "ETIKETT/y.eti"));
}

void TestFileLookup::caseInsensitiveMatchPrefersExactName()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString d = tmp.path();
    QVERIFY(makeFile(d + QStringLiteral("/a.eti")));
    QVERIFY(makeFile(d + QStringLiteral("/A.ETI")));
    QCOMPARE(findFileCaseInsensitive(d, QStringLiteral("a.eti")), d + QStringLiteral("/a.eti"));
    QCOMPARE(findFileCaseInsensitive(d, QStringLiteral("A.ETI")), d + QStringLiteral("/A.ETI"));
    QCOMPARE(findFileCaseInsensitive(d, QStringLiteral("a.Eti")), d + QStringLiteral("/A.ETI"));
    QCOMPARE(findFileCaseInsensitive(d + QStringLiteral("/"), QStringLiteral("Ä.eti")), QString());
    QCOMPARE(findFileCaseInsensitive(d, QString()), QString());
    QCOMPARE(findFileCaseInsensitive(d + QStringLiteral("/fehlt"), QStringLiteral("a.eti")), QString());
}

QTEST_GUILESS_MAIN(TestFileLookup)
#include "TestFileLookup.moc"
