// Several programs writing one format catalogue, a program killed in the
// middle of an import, and a table the user may only read: run as real
// processes.
#include "formats/formatcatalogue.h"
#include "testpaths.h"
#include "testfiles.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace qm;
using namespace qm::test;

namespace {

// A template file of `templates` parts of one maker, each with `layouts`
// layouts of 2 x 3 labels on an A4 sheet.
QByteArray templateFile(const QString &brand, int templates, int layouts)
{
    QByteArray xml = "<Glabels-templates>\n";
    for (int t = 0; t < templates; ++t) {
        xml += QStringLiteral("<Template brand=\"%1\" part=\"%2\" size=\"A4\">"
                              "<Label-rectangle width=\"50mm\" height=\"30mm\">")
                   .arg(brand)
                   .arg(t + 1)
                   .toUtf8();
        for (int l = 0; l < layouts; ++l)
            xml += "<Layout nx=\"2\" ny=\"3\" x0=\"10mm\" y0=\"10mm\" dx=\"60mm\" dy=\"40mm\"/>";
        xml += "</Label-rectangle></Template>\n";
    }
    return xml + "</Glabels-templates>\n";
}

QProcess *startImport(const QString &dir, const QString &xml, QObject *parent)
{
    auto *p = new QProcess(parent);
    p->start(test::programPath(), { "formats", "--dir", dir, "--import", xml });
    return p;
}

int addedCount(const QString &out)
{
    static const QRegularExpression added(QStringLiteral("(\\d+) Formate aufgenommen"));
    const QRegularExpressionMatch m = added.match(out);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Every file in FORMATE (hidden ones included) that the catalogue does not
// name.
QStringList unnamedFiles(const QString &dir)
{
    QSet<QString> named;
    for (const FormatEntry &entry : readFormatsFile(dir + QStringLiteral("/FORMATE.DAT")))
        named.insert(entry.file);
    QStringList unnamed;
    for (const QString &name :
        QDir(dir + QStringLiteral("/FORMATE")).entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (!named.contains(name))
            unnamed.append(name);
    return unnamed;
}

} // namespace

class TestCatalogueWriters : public QObject
{
    Q_OBJECT

private slots:
    void twoImportsAtOnceKeepBoth();
    void killedImportLeavesNoFileBehind();
    void tableThatMayOnlyBeReadIsListedAndPrinted();
};

void TestCatalogueWriters::twoImportsAtOnceKeepBoth()
{
    QTemporaryDir temp;
    const QString dir = temp.filePath("Quillmark");
    QVERIFY(QDir().mkpath(dir + "/FORMATE"));
    writeFormatsFile(dir + "/FORMATE.DAT", {});
    // Each import holds the catalogue's lock while it writes its format
    // files, and the other waits for it up to CatalogueLockWait: a few
    // hundred formats keep that well inside the wait on a busy machine.
    QVERIFY(writeBytes(temp.filePath("a.xml"), templateFile("Alpha", 2, 100)));
    QVERIFY(writeBytes(temp.filePath("b.xml"), templateFile("Beta", 2, 100)));

    for (int round = 0; round < 2; ++round) {
        QObject owner;
        QProcess *a = startImport(dir, temp.filePath("a.xml"), &owner);
        QProcess *b = startImport(dir, temp.filePath("b.xml"), &owner);
        QVERIFY(a->waitForFinished(60000));
        QVERIFY(b->waitForFinished(60000));
        const QString outA = QString::fromUtf8(a->readAllStandardOutput());
        const QString outB = QString::fromUtf8(b->readAllStandardOutput());
        QCOMPARE(a->exitCode(), 0);
        QCOMPARE(b->exitCode(), 0);
        // The first round adds all of both, the second nothing: every format
        // reported as added is in the catalogue, and no file lies beside it.
        const int expected = round == 0 ? 200 : 0;
        QCOMPARE(addedCount(outA), expected);
        QCOMPARE(addedCount(outB), expected);
        QCOMPARE(readFormatsFile(dir + "/FORMATE.DAT").size(), 400);
        QCOMPARE(unnamedFiles(dir), QStringList());
    }
}

void TestCatalogueWriters::killedImportLeavesNoFileBehind()
{
    QTemporaryDir temp;
    const QString dir = temp.filePath("Quillmark");
    QVERIFY(QDir().mkpath(dir + "/FORMATE"));
    writeFormatsFile(dir + "/FORMATE.DAT", {});
    QVERIFY(writeBytes(temp.filePath("many.xml"), templateFile("Delta", 1, 300)));
    QVERIFY(writeBytes(temp.filePath("one.xml"), templateFile("Delta", 1, 1)));

    // Killed by the system while it writes the catalogue: each VRL file is
    // far below the size limit, the catalogue of 300 entries far above it.
    QProcess killed;
    killed.setChildProcessModifier([] {
        const rlimit limit { 8192, 8192 };
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    killed.start(
        test::programPath(), { "formats", "--dir", dir, "--import", temp.filePath("many.xml") });
    QVERIFY(killed.waitForFinished(60000));
    QCOMPARE(killed.exitStatus(), QProcess::CrashExit);
    QCOMPARE(readFormatsFile(dir + "/FORMATE.DAT").size(), 0);
    // Nothing the catalogue does not name is visible as a format file.
    QCOMPARE(QDir(dir + "/FORMATE").entryList({ "*.vrl" }, QDir::Files), QStringList());

    // The next import cleans up after it and takes the names it left.
    QProcess next;
    next.start(test::programPath(), { "formats", "--dir", dir, "--import", temp.filePath("one.xml") });
    QVERIFY(next.waitForFinished(60000));
    QCOMPARE(next.exitCode(), 0);
    const QList<FormatEntry> entries = readFormatsFile(dir + "/FORMATE.DAT");
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().file, QStringLiteral("delta_1.vrl"));
    QCOMPARE(unnamedFiles(dir), QStringList());
}

void TestCatalogueWriters::tableThatMayOnlyBeReadIsListedAndPrinted()
{
    QTemporaryDir temp;
    const QString table = temp.filePath("adressen.dbf");
    const QString design = test::shareDir() + QStringLiteral("/ETIKETT/adresse.eti");
    const QString format = test::shareDir() + QStringLiteral("/FORMATE/adressen_3x7.vrl");
    QProcess create;
    create.start(test::programPath(),
        { "table", table, "--create", design, "--import",
            test::fixturesDir() + QStringLiteral("/data/three_addresses.txt") });
    QVERIFY(create.waitForFinished(60000));
    QCOMPARE(create.exitCode(), 0);
    const QString out = temp.filePath("out");
    QVERIFY(QDir().mkpath(out));
    QVERIFY(QFile::setPermissions(
        temp.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    QVERIFY(QFile::setPermissions(out, QFile::Permissions(0x7777)));
    QVERIFY(QFile::setPermissions(table, QFile::ReadOwner | QFile::ReadOther));

    const auto asReader = [](QProcess &p) {
        // The superuser may write anything: the reader is somebody else.
        p.setChildProcessModifier([] {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(99);
        });
    };
    QProcess list;
    asReader(list);
    list.start(test::programPath(), { "table", table });
    QVERIFY(list.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(list.readAllStandardError()), QString());
    QCOMPARE(list.exitCode(), 0);
    QVERIFY(QString::fromUtf8(list.readAllStandardOutput()).contains(QStringLiteral("Hans Meier")));

    QProcess print;
    asReader(print);
    print.start(test::programPath(),
        { "print", design, format, "--table", table, "--where", "Ort=Köln", "--pdf", out + "/a.pdf" });
    QVERIFY(print.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(print.readAllStandardError()), QString());
    QCOMPARE(print.exitCode(), 0);
    QVERIFY(QFileInfo(out + "/a.pdf").size() > 0);
    QFile::setPermissions(temp.path(), QFile::Permissions(0x7700));
}

QTEST_GUILESS_MAIN(TestCatalogueWriters)
#include "TestCatalogueWriters.moc"
