// Several programs writing one format catalogue, a program killed in the
// middle of an import, and a table the user may only read: run as real
// processes.
#include "formats/formatcatalogue.h"
#include "formats/sheetformat.h"
#include "platform/filelock.h"
#include "testpaths.h"
#include "testfiles.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

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

// Whether the process has the file open (a catalogue writer opens the
// catalogue to wait for its lock).
bool hasOpen(qint64 pid, const QString &path)
{
    const QString wanted = QFileInfo(path).canonicalFilePath();
    const QFileInfoList fds = QDir(QStringLiteral("/proc/%1/fd").arg(pid))
                                  .entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    return std::any_of(
        fds.begin(), fds.end(), [&](const QFileInfo &fd) { return fd.symLinkTarget() == wanted; });
}

// Until the process has the catalogue open or has ended; true for the
// first. A process the machine is slow to start is given a minute.
bool waitsForCatalogue(QProcess *p, const QString &catalogue)
{
    if (!p->waitForStarted(60000))
        return false;
    for (int i = 0; i < 12000; ++i) {
        if (p->state() != QProcess::Running)
            return false;
        if (hasOpen(p->processId(), catalogue))
            return true;
        QThread::msleep(5);
    }
    return false;
}

QProcess *startAdd(const QString &dir, const QString &maker, const QString &part, QObject *parent)
{
    auto *p = new QProcess(parent);
    p->start(test::programPath(), { "formats", "--dir", dir, "--add", maker, part });
    return p;
}

} // namespace

class TestCatalogueWriters : public QObject
{
    Q_OBJECT

private slots:
    void twoImportsAtOnceKeepBoth();
    void killedImportLeavesNoFileBehind();
    void killedAddLeavesNoFileBehind();
    void addingAPartEntersEachLayout();
    void tableThatMayOnlyBeReadIsListedAndPrinted();
};

void TestCatalogueWriters::twoImportsAtOnceKeepBoth()
{
    QTemporaryDir temp;
    const QString dir = temp.filePath("Quillmark");
    const QString catalogue = dir + "/FORMATE.DAT";
    QVERIFY(QDir().mkpath(dir + "/FORMATE"));
    writeFormatsFile(catalogue, {});
    QVERIFY(writeBytes(temp.filePath("a.xml"), templateFile("Alpha", 2, 8)));
    QVERIFY(writeBytes(temp.filePath("b.xml"), templateFile("Beta", 2, 8)));

    for (int round = 0; round < 2; ++round) {
        QObject owner;
        QProcess *a = nullptr;
        QProcess *b = nullptr;
        {
            // The test holds the catalogue until both imports wait for it,
            // so that they always run at once, however busy the machine:
            // then one waits for the other, which holds the catalogue for a
            // few small files only, far below CatalogueLockWait.
            const CatalogueLock held(catalogue);
            QVERIFY(held.holds());
            a = startImport(dir, temp.filePath("a.xml"), &owner);
            b = startImport(dir, temp.filePath("b.xml"), &owner);
            QVERIFY2(waitsForCatalogue(a, catalogue), "the first import did not wait for the catalogue");
            QVERIFY2(waitsForCatalogue(b, catalogue), "the second import did not wait for the catalogue");
        }
        QVERIFY(a->waitForFinished(60000));
        QVERIFY(b->waitForFinished(60000));
        const QString outA = QString::fromUtf8(a->readAllStandardOutput());
        const QString outB = QString::fromUtf8(b->readAllStandardOutput());
        // The second round leaves every format out as held already.
        for (QProcess *p : { a, b }) {
            const QStringList err
                = QString::fromUtf8(p->readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QCOMPARE(err.size(), round == 0 ? 0 : 16);
            for (const QString &line : err)
                QVERIFY2(line.endsWith(QStringLiteral(": schon im Katalog")), qPrintable(line));
        }
        QCOMPARE(a->exitCode(), 0);
        QCOMPARE(b->exitCode(), 0);
        // The first round adds all of both, the second nothing: every format
        // reported as added is in the catalogue, and no file lies beside it.
        const int expected = round == 0 ? 16 : 0;
        QCOMPARE(addedCount(outA), expected);
        QCOMPARE(addedCount(outB), expected);
        QCOMPARE(readFormatsFile(catalogue).size(), 32);
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
    // The catalogue is the old one, so no entry lacks its file; the files
    // put under their names before it was to name them are the next
    // writer's to remove.
    QCOMPARE(readFormatsFile(dir + "/FORMATE.DAT").size(), 0);

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

// Killed while it replaces the catalogue, after the format file was
// written: the next add removes that file and takes its name again.
void TestCatalogueWriters::killedAddLeavesNoFileBehind()
{
    QTemporaryDir temp;
    const QString dir = temp.filePath("Quillmark");
    QVERIFY(QDir().mkpath(dir + "/FORMATE"));
    // A catalogue far above the size limit below, the VRL file far under it.
    QList<FormatEntry> entries;
    for (int i = 0; i < 300; ++i)
        entries.append(FormatEntry { "DIN-Größen", QStringLiteral("Bogen %1").arg(i), QStringLiteral("b%1.vrl").arg(i) });
    writeFormatsFile(dir + "/FORMATE.DAT", entries);
    const QByteArray before = contentOf(dir + "/FORMATE.DAT");

    QProcess killed;
    killed.setChildProcessModifier([] {
        const rlimit limit { 8192, 8192 };
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    killed.start(test::programPath(), { "formats", "--dir", dir, "--add", "Herma", "4464" });
    QVERIFY(killed.waitForFinished(60000));
    QCOMPARE(killed.exitStatus(), QProcess::CrashExit);
    QCOMPARE(contentOf(dir + "/FORMATE.DAT"), before);

    QObject owner;
    QProcess *next = startAdd(dir, "Herma", "4464", &owner);
    QVERIFY(next->waitForFinished(60000));
    QCOMPARE(next->exitCode(), 0);
    QCOMPARE(QString::fromUtf8(next->readAllStandardOutput()), QStringLiteral("herma_4464.vrl\n"));
    QCOMPARE(readFormatsFile(dir + "/FORMATE.DAT").size(), 301);
    QCOMPARE(unnamedFiles(dir), QStringList());
}

// Rayfilm CD06 (box) has four layouts: each is entered with a file and a
// description of its own, and a second add enters nothing and names the
// same four files.
void TestCatalogueWriters::addingAPartEntersEachLayout()
{
    QTemporaryDir temp;
    const QString dir = temp.filePath("Quillmark");
    QVERIFY(QDir().mkpath(dir + "/FORMATE"));
    writeFormatsFile(dir + "/FORMATE.DAT", {});
    QObject owner;
    QProcess *add = startAdd(dir, "Rayfilm", "CD06 (box)", &owner);
    QVERIFY(add->waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(add->readAllStandardError()), QString());
    QCOMPARE(add->exitCode(), 0);
    const QString out = QString::fromUtf8(add->readAllStandardOutput());
    QCOMPARE(out,
        QStringLiteral("rayfilm_cd06__box_.vrl\nrayfilm_cd06__box__2.vrl\nrayfilm_cd06__box__3.vrl\n"
                       "rayfilm_cd06__box__4.vrl\n"));
    const QList<FormatEntry> entries = readFormatsFile(dir + "/FORMATE.DAT");
    QCOMPARE(entries.size(), 4);
    const QString base = QStringLiteral("Rayfilm CD06 (box) 7 x 119 mm (3 x 1)");
    QList<std::vector<LabelPosition>> layouts;
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(entries[i].description, i == 0 ? base : base + QStringLiteral(" - %1").arg(i + 1));
        QCOMPARE(entries[i].file, out.split(QLatin1Char('\n')).at(i));
        SheetFormat format;
        QVERIFY(FormatdateiLesen(dir + "/FORMATE/" + entries[i].file, format));
        QCOMPARE(format.positionCount(), 3);
        QVERIFY2(!layouts.contains(format.positions), qPrintable(entries[i].file));
        layouts.append(format.positions);
    }

    const QByteArray before = contentOf(dir + "/FORMATE.DAT");
    QProcess *again = startAdd(dir, "rayfilm", "cd06 (BOX)", &owner);
    QVERIFY(again->waitForFinished(60000));
    QCOMPARE(again->exitCode(), 0);
    QCOMPARE(QString::fromUtf8(again->readAllStandardOutput()), out);
    QCOMPARE(contentOf(dir + "/FORMATE.DAT"), before);
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
