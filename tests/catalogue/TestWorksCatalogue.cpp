#include "testfiles.h"
#include "testpaths.h"
#include "catalogue/workscatalogue.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace qm;
using namespace qm::test;

namespace {

const QString FixtureDir = test::fixturesDir() + QStringLiteral("/catalogue/");



// The CR LF lines of a file, as bytes.
QList<QByteArray> linesOf(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

QByteArray joined(const QList<QByteArray> &lines)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// The lines of a WERKE.DAT without the given records (indices counted from
// the first record, in descending order).
QList<QByteArray> withoutRecords(QList<QByteArray> lines, const QList<int> &descending)
{
    for (int record : descending)
        lines.remove(2 + 5 * record, 5);
    return lines;
}

const QByteArray StandardAreasFile =
    "BEREICH.DAT - Quillmark 32-Bit-Version\r\n" + QByteArray(41, '=') + "\r\n";
const QByteArray StandardWorksFile =
    "WERKE.DAT - Quillmark 32-Bit-Version\r\n" + QByteArray(41, '=') + "\r\n";

// "area:NAME" selects an area node, "entry:N" the node of record N,
// "" nothing.
std::optional<WorksSelection> selectionFor(const WorksCatalogue &catalogue, const QString &node)
{
    if (node.startsWith(QLatin1String("area:")))
        return WorksSelection::forArea(node.mid(5));
    if (node.startsWith(QLatin1String("entry:"))) {
        const int record = node.mid(6).toInt();
        const WorksEntry &e = catalogue.entries().at(record);
        return WorksSelection::forEntry(e.area, WorksTreeEntry{record, e});
    }
    return std::nullopt;
}

QStringList namesOf(const QList<WorksArea> &areas)
{
    QStringList names;
    for (const WorksArea &a : areas)
        names.append(a.name);
    return names;
}

QList<int> recordsOf(const WorksArea &area)
{
    QList<int> records;
    for (const WorksTreeEntry &e : area.entries)
        records.append(e.record);
    return records;
}

// A shown message without the answer, for comparing.
struct Message
{
    MessageKind kind;
    QString text;
    MessageButtons buttons;
    bool operator==(const Message &) const = default;
};

QList<Message> messagesOf(const ScriptedMessages &messages)
{
    QList<Message> result;
    for (const ScriptedMessages::Shown &shown : messages.shown())
        result.append(Message{shown.kind, shown.text, shown.buttons});
    return result;
}

const MessageButtons CancelOnly(MessageButton::Cancel);
const MessageButtons YesNo(MessageButton::Yes | MessageButton::No);

} // namespace

class TestWorksCatalogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void createMissingFiles_data();
    void createMissingFiles();
    void createMissingFilesLeavesAFolderForLoadToReport();

    void loadPutsEntriesUnderTheirAreas();
    void loadShowsRepeatedAndEmptyAreaNames();
    void filesSavedInUtf8AreReadAsUtf8_data();
    void filesSavedInUtf8AreReadAsUtf8();
    void shortFilesAreReadAndRewrittenWhole_data();
    void shortFilesAreReadAndRewrittenWhole();
    void treeOrderIsAlphabetical();
    void rewriteMendsHeaderAndLineEnds_data();
    void rewriteMendsHeaderAndLineEnds();

    void createArea();
    void createAreaRefusesEmptyName();
    void createAreaWithUnwritableNameChangesNothing();

    void deleteArea_data();
    void deleteArea();
    void deleteEntry_data();
    void deleteEntry();
    void deleteAll_data();
    void deleteAll();

    void areaForNewEntry_data();
    void areaForNewEntry();
    void appendEntry();
    void changeEntry();
    void entryToChangeNeedsAnEntry_data();
    void entryToChangeNeedsAnEntry();
    void vanishedEntryChangesNothing();

    void findEntryResolvesPaths();
    void findEntryNeedsAnEntry_data();
    void findEntryNeedsAnEntry();

    void failedRewriteKeepsOldFile();
    void failedSecondRewriteOfDeleteAreaLosesNoEntry();
    void unreadableCatalogueStopsCommand();
    void largeCatalogueLoadsEveryEntry();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString areasPath() const { return path(QStringLiteral("BEREICH.DAT")); }
    QString worksPath() const { return path(QStringLiteral("WERKE.DAT")); }
    // Copies the fixtures in as BEREICH.DAT and WERKE.DAT and loads them.
    void install(const QString &areasFixture, const QString &worksFixture);
    QStringList dirEntries() const
    {
        return QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                             QDir::Name);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WorksCatalogue> m_catalogue;
    ScriptedMessages m_messages;
    QByteArray m_areasBefore;
    QByteArray m_worksBefore;
};

void TestWorksCatalogue::init()
{
    m_catalogue.reset();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_catalogue = std::make_unique<WorksCatalogue>(ProgramDirectory(m_dir->path()));
    m_messages = ScriptedMessages();
}

void TestWorksCatalogue::install(const QString &areasFixture, const QString &worksFixture)
{
    QVERIFY(QFile::copy(FixtureDir + areasFixture, areasPath()));
    QVERIFY(QFile::copy(FixtureDir + worksFixture, worksPath()));
    QFile::setPermissions(areasPath(), QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(worksPath(), QFile::ReadOwner | QFile::WriteOwner);
    m_areasBefore = contentOf(areasPath());
    m_worksBefore = contentOf(worksPath());
    m_catalogue->load();
}

void TestWorksCatalogue::createMissingFiles_data()
{
    QTest::addColumn<bool>("areasThere");
    QTest::addColumn<bool>("worksThere");
    QTest::newRow("both missing") << false << false;
    QTest::newRow("areas missing") << false << true;
    QTest::newRow("entries missing") << true << false;
    QTest::newRow("none missing") << true << true;
}

void TestWorksCatalogue::createMissingFiles()
{
    QFETCH(bool, areasThere);
    QFETCH(bool, worksThere);
    const QByteArray own = "own\r\nlines\r\nArea\r\n";
    if (areasThere)
        QVERIFY(writeBytes(areasPath(), own));
    if (worksThere)
        QVERIFY(writeBytes(worksPath(), own));

    QCOMPARE(m_catalogue->createMissingFiles(), int(!areasThere) + int(!worksThere));

    QCOMPARE(contentOf(areasPath()), areasThere ? own : StandardAreasFile);
    QCOMPARE(contentOf(worksPath()), worksThere ? own : StandardWorksFile);
    m_catalogue->load();
    QCOMPARE(m_catalogue->areas().size(), areasThere ? 1 : 0);
}

void TestWorksCatalogue::createMissingFilesLeavesAFolderForLoadToReport()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("WERKE.DAT")));
    QCOMPARE(m_catalogue->createMissingFiles(), 1);
    QVERIFY(QFileInfo(worksPath()).isDir());
    QVERIFY_THROWS_EXCEPTION(IoError, m_catalogue->load());
}

void TestWorksCatalogue::loadPutsEntriesUnderTheirAreas()
{
    install(QStringLiteral("works_areas_basic.dat"), QStringLiteral("works_entries_basic.dat"));

    const QList<WorksArea> &areas = m_catalogue->areas();
    QCOMPARE(namesOf(areas), (QStringList{QStringLiteral("Medien"), QStringLiteral("Büro"),
                                          QStringLiteral("medien"), QStringLiteral("Versand")}));
    // Exact area names: "medien" gets only its own entry; "Privat" is no
    // area, so its entry is not shown but still loaded.
    QCOMPARE(recordsOf(areas.at(0)), (QList<int>{0, 4}));
    QCOMPARE(recordsOf(areas.at(1)), (QList<int>{1}));
    QCOMPARE(recordsOf(areas.at(2)), (QList<int>{3}));
    QCOMPARE(recordsOf(areas.at(3)), QList<int>{});
    QCOMPARE(m_catalogue->entries().size(), 5);
    QCOMPARE(m_catalogue->entries().at(2).area, QStringLiteral("Privat"));

    const WorksEntry office{QStringLiteral("Büro"), QStringLiteral("Ordner, breit"),
                            QStringLiteral("C:\\Quill\\FORMATE\\Akten1.vrl"),
                            QStringLiteral("C:\\Quill\\ETIKETT\\Akten1.eti"), QString()};
    QCOMPARE(areas.at(1).entries.at(0).entry, office);
}

void TestWorksCatalogue::loadShowsRepeatedAndEmptyAreaNames()
{
    install(QStringLiteral("works_areas_twice_and_empty.dat"),
            QStringLiteral("works_entries_for_twice_and_empty.dat"));

    const QList<WorksArea> &areas = m_catalogue->areas();
    QCOMPARE(namesOf(areas), (QStringList{QStringLiteral("Medien"), QString(),
                                          QStringLiteral("Medien")}));
    QCOMPARE(recordsOf(areas.at(0)), (QList<int>{0}));
    QCOMPARE(recordsOf(areas.at(1)), (QList<int>{1}));
    QCOMPARE(recordsOf(areas.at(2)), (QList<int>{0}));
}

void TestWorksCatalogue::filesSavedInUtf8AreReadAsUtf8_data()
{
    QTest::addColumn<QByteArray>("areas");
    QTest::addColumn<QByteArray>("works");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("description");
    // As a Linux editor saves them: UTF-8, line feeds only.
    QTest::newRow("UTF-8") << QByteArray("T\n=\nGr\xC3\xBC\xC3\x9F"
                                         "e\n")
                           << QByteArray("T\n=\nGr\xC3\xBC\xC3\x9F"
                                         "e\nSch\xC3\xB6n\nf.vrl\ne.eti\n\n")
                           << QStringLiteral("Grüße") << QStringLiteral("Schön");
    QTest::newRow("cp1252 stays cp1252") << QByteArray("T\r\n=\r\nGr\xFC\xDF"
                                                       "e\r\n")
                                         << QByteArray("T\r\n=\r\nGr\xFC\xDF"
                                                       "e\r\nSch\xF6n\r\nf.vrl\r\ne.eti\r\n\r\n")
                                         << QStringLiteral("Grüße") << QStringLiteral("Schön");
    // Bytes that are no valid UTF-8 are Windows-1252.
    QTest::newRow("cp1252 that is no UTF-8")
        << QByteArray("T\r\n=\r\n\xC4rger\r\n") << QByteArray("T\r\n=\r\n\xC4rger\r\n\xC3\r\nf.vrl\r\ne.eti\r\n\r\n")
        << QStringLiteral("Ärger") << QStringLiteral("Ã");
}

void TestWorksCatalogue::filesSavedInUtf8AreReadAsUtf8()
{
    QFETCH(QByteArray, areas);
    QFETCH(QByteArray, works);
    QFETCH(QString, area);
    QFETCH(QString, description);
    QVERIFY(writeBytes(areasPath(), areas));
    QVERIFY(writeBytes(worksPath(), works));
    m_catalogue->load();
    QCOMPARE(namesOf(m_catalogue->areas()), QStringList{area});
    QCOMPARE(m_catalogue->entries().size(), 1);
    QCOMPARE(m_catalogue->entries().at(0).area, area);
    QCOMPARE(m_catalogue->entries().at(0).name, description);
    QCOMPARE(m_catalogue->entries().at(0).designFile, QStringLiteral("e.eti"));

    // What the program writes is Windows-1252 with CR LF.
    m_catalogue->createArea(QStringLiteral("Neu"), m_messages);
    const QByteArray written = contentOf(areasPath());
    QVERIFY2(written.contains(area.toLatin1() + "\r\nNeu\r\n"), written.constData());
}

void TestWorksCatalogue::shortFilesAreReadAndRewrittenWhole_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QList<WorksEntry>>("expected");
    QTest::addColumn<QByteArray>("rewrittenBody");

    const WorksEntry dia{QStringLiteral("Medien"), QStringLiteral("Dia"), QStringLiteral("dia1.vrl"),
                         QStringLiteral("dia1.eti"), QStringLiteral("dia1.dbf")};
    const QByteArray diaLines = "Medien\r\nDia\r\ndia1.vrl\r\ndia1.eti\r\ndia1.dbf\r\n";
    QTest::newRow("last record cut short")
        << QStringLiteral("works_entries_cut_short.dat")
        << QList<WorksEntry>{dia, WorksEntry{QStringLiteral("Medien"), QStringLiteral("Halb"), {}, {}, {}}}
        << diaLines + "Medien\r\nHalb\r\n\r\n\r\n\r\n";
    QTest::newRow("blank line at the end")
        << QStringLiteral("works_entries_trailing_blank.dat") << QList<WorksEntry>{dia} << diaLines;
    // A record of five blank lines does not end the file: the entry after it
    // is read, and a rewrite keeps all three.
    const WorksEntry parcel{QStringLiteral("Medien"), QStringLiteral("Paket"), QStringLiteral("paket.vrl"),
                            QStringLiteral("paket.eti"), QString()};
    QTest::newRow("blank record between two entries")
        << QStringLiteral("works_entries_blank_record.dat") << QList<WorksEntry>{dia, WorksEntry{}, parcel}
        << diaLines + "\r\n\r\n\r\n\r\n\r\n" + "Medien\r\nPaket\r\npaket.vrl\r\npaket.eti\r\n\r\n";
}

void TestWorksCatalogue::shortFilesAreReadAndRewrittenWhole()
{
    QFETCH(QString, fixture);
    QFETCH(QList<WorksEntry>, expected);
    QFETCH(QByteArray, rewrittenBody);
    install(QStringLiteral("works_areas_basic.dat"), fixture);
    QCOMPARE(m_catalogue->entries(), expected);

    // Any rewrite of WERKE.DAT: deleting an area without entries.
    m_messages.addAnswer(MessageButton::Yes);
    QVERIFY(m_catalogue->deleteArea(WorksSelection::forArea(QStringLiteral("Versand")), m_messages));

    const QList<QByteArray> header = linesOf(m_worksBefore).mid(0, 2);
    QCOMPARE(contentOf(worksPath()), joined(header) + rewrittenBody);
    QCOMPARE(m_catalogue->entries(), expected);
}

void TestWorksCatalogue::treeOrderIsAlphabetical()
{
    QCOMPARE(m_catalogue->createMissingFiles(), 2);
    for (const char *name : {"Zoo", "Ärzte", "Büro", "adressen", "büro"})
        QVERIFY(m_catalogue->createArea(QString::fromUtf8(name), m_messages));
    for (const char *name : {"b", "C", "a"})
        m_catalogue->appendEntry(WorksEntry{QStringLiteral("Zoo"), QString::fromUtf8(name), {}, {}, {}});

    const QList<WorksArea> tree = m_catalogue->treeAreas();
    // Letter case is ignored; names equal but for case keep their file order.
    QCOMPARE(namesOf(tree), (QStringList{QStringLiteral("adressen"), QStringLiteral("Ärzte"),
                                         QStringLiteral("Büro"), QStringLiteral("büro"),
                                         QStringLiteral("Zoo")}));
    QCOMPARE(recordsOf(tree.last()), (QList<int>{2, 0, 1}));
    // areas() stays in file order.
    QCOMPARE(m_catalogue->areas().first().name, QStringLiteral("Zoo"));
}

void TestWorksCatalogue::rewriteMendsHeaderAndLineEnds_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    const QByteArray separator = QByteArray(41, '=') + "\r\n";
    QTest::newRow("empty file") << QByteArray() << StandardAreasFile + "Neu\r\n";
    QTest::newRow("title only") << QByteArray("Alter Titel\r\n")
                                << "Alter Titel\r\n" + separator + "Neu\r\n";
    QTest::newRow("LF line ends") << QByteArray("T\n==\nAlt\n") << QByteArray("T\r\n==\r\nAlt\r\nNeu\r\n");
    QTest::newRow("no line end at the end")
        << QByteArray("T\r\n==\r\nAlt") << QByteArray("T\r\n==\r\nAlt\r\nNeu\r\n");
}

void TestWorksCatalogue::rewriteMendsHeaderAndLineEnds()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QVERIFY(writeBytes(areasPath(), before));
    QVERIFY(writeBytes(worksPath(), StandardWorksFile));
    m_catalogue->load();

    QVERIFY(m_catalogue->createArea(QStringLiteral("Neu"), m_messages));

    QCOMPARE(contentOf(areasPath()), after);
    QCOMPARE(m_catalogue->areas().last().name, QStringLiteral("Neu"));
}

void TestWorksCatalogue::createArea()
{
    install(QStringLiteral("works_areas_basic.dat"), QStringLiteral("works_entries_basic.dat"));

    QVERIFY(m_catalogue->createArea(QStringLiteral("Privat"), m_messages));

    QCOMPARE(contentOf(areasPath()), m_areasBefore + "Privat\r\n");
    QCOMPARE(contentOf(worksPath()), m_worksBefore);
    QVERIFY(m_messages.shown().isEmpty());
    // The entry that had no area shows again under the new one.
    QCOMPARE(m_catalogue->areas().size(), 5);
    QCOMPARE(recordsOf(m_catalogue->areas().last()), (QList<int>{2}));

    // No uniqueness test, and umlauts are written in cp1252.
    QVERIFY(m_catalogue->createArea(QStringLiteral("Büro"), m_messages));
    QCOMPARE(contentOf(areasPath()), m_areasBefore + "Privat\r\nB\xFCro\r\n");
}

void TestWorksCatalogue::createAreaRefusesEmptyName()
{
    install(QStringLiteral("works_areas_basic.dat"), QStringLiteral("works_entries_basic.dat"));

    QVERIFY(!m_catalogue->createArea(QString(), m_messages));

    QCOMPARE(messagesOf(m_messages),
             (QList<Message>{{MessageKind::Plain,
                              QStringLiteral("Bitte geben Sie den Namen des neuen Bereichs ein."),
                              MessageButton::Ok}}));
    QCOMPARE(contentOf(areasPath()), m_areasBefore);
    QVERIFY(WorksCatalogue::checkAreaName(QStringLiteral(" "), m_messages));
}

void TestWorksCatalogue::createAreaWithUnwritableNameChangesNothing()
{
    install(QStringLiteral("works_areas_basic.dat"), QStringLiteral("works_entries_basic.dat"));

    QVERIFY_THROWS_EXCEPTION(EncodingError,
                             m_catalogue->createArea(QStringLiteral("Ω-Bereich"), m_messages));
    QCOMPARE(contentOf(areasPath()), m_areasBefore);
    QCOMPARE(dirEntries(), (QStringList{QStringLiteral("BEREICH.DAT"), QStringLiteral("WERKE.DAT")}));

    // A line break cannot split the name into two areas.
    QVERIFY(m_catalogue->createArea(QStringLiteral("Zwei\r\nZeilen"), m_messages));
    QCOMPARE(contentOf(areasPath()), m_areasBefore + "Zwei Zeilen\r\n");
}

void TestWorksCatalogue::deleteArea_data()
{
    QTest::addColumn<QString>("areasFixture");
    QTest::addColumn<QString>("worksFixture");
    QTest::addColumn<QString>("node");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<int>>("droppedAreaLines"); // descending, counted from line 0
    QTest::addColumn<QList<int>>("droppedRecords");   // descending

    const QString basicAreas = QStringLiteral("works_areas_basic.dat");
    const QString basicWorks = QStringLiteral("works_entries_basic.dat");
    const QString ask = QStringLiteral("Soll wirklich der Bereich \"%1\" mit all seinen Einträgen "
                                       "gelöscht werden ?");
    const int yes = int(MessageButton::Yes);
    const int no = int(MessageButton::No);
    QTest::newRow("nothing selected") << basicAreas << basicWorks << QString() << 0 << QString()
                                      << QList<int>{} << QList<int>{};
    QTest::newRow("entry selected") << basicAreas << basicWorks << QStringLiteral("entry:0") << 0
                                    << QStringLiteral("Bitte wählen Sie einen Bereich aus !")
                                    << QList<int>{} << QList<int>{};
    QTest::newRow("answered no") << basicAreas << basicWorks << QStringLiteral("area:Medien") << no
                                 << ask.arg(QStringLiteral("Medien")) << QList<int>{}
                                 << QList<int>{};
    QTest::newRow("with entries") << basicAreas << basicWorks << QStringLiteral("area:Medien")
                                  << yes << ask.arg(QStringLiteral("Medien")) << QList<int>{2}
                                  << QList<int>{4, 0};
    QTest::newRow("without entries") << basicAreas << basicWorks << QStringLiteral("area:Versand")
                                     << yes << ask.arg(QStringLiteral("Versand"))
                                     << QList<int>{5} << QList<int>{};
    QTest::newRow("name standing twice")
        << QStringLiteral("works_areas_twice_and_empty.dat")
        << QStringLiteral("works_entries_for_twice_and_empty.dat") << QStringLiteral("area:Medien")
        << yes << ask.arg(QStringLiteral("Medien")) << QList<int>{4, 2} << QList<int>{0};
    QTest::newRow("empty name") << QStringLiteral("works_areas_twice_and_empty.dat")
                                << QStringLiteral("works_entries_for_twice_and_empty.dat")
                                << QStringLiteral("area:") << yes << ask.arg(QString())
                                << QList<int>{3} << QList<int>{1};
}

void TestWorksCatalogue::deleteArea()
{
    QFETCH(QString, areasFixture);
    QFETCH(QString, worksFixture);
    QFETCH(QString, node);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(QList<int>, droppedAreaLines);
    QFETCH(QList<int>, droppedRecords);
    install(areasFixture, worksFixture);
    if (answer)
        m_messages.addAnswer(MessageButton(answer));
    const bool deletes = answer == int(MessageButton::Yes);

    QCOMPARE(m_catalogue->deleteArea(selectionFor(*m_catalogue, node), m_messages), deletes);

    QList<Message> expected;
    if (!message.isEmpty()) {
        expected.append(answer ? Message{MessageKind::Confirmation, message, YesNo}
                               : Message{MessageKind::Error, message, CancelOnly});
    }
    QCOMPARE(messagesOf(m_messages), expected);
    QList<QByteArray> areaLines = linesOf(m_areasBefore);
    for (int line : droppedAreaLines)
        areaLines.removeAt(line);
    QCOMPARE(contentOf(areasPath()), joined(areaLines));
    QCOMPARE(contentOf(worksPath()), joined(withoutRecords(linesOf(m_worksBefore), droppedRecords)));
    QCOMPARE(m_catalogue->areas().size(), areaLines.size() - 2);
}

void TestWorksCatalogue::deleteEntry_data()
{
    QTest::addColumn<QString>("worksFixture");
    QTest::addColumn<QString>("node");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<int>>("droppedRecords");

    const QString ask = QStringLiteral("Soll wirklich der Eintrag \"%1\" gelöscht werden ?");
    const int yes = int(MessageButton::Yes);
    const QString basic = QStringLiteral("works_entries_basic.dat");
    QTest::newRow("nothing selected") << basic << QString() << 0 << QString() << QList<int>{};
    QTest::newRow("area selected") << basic << QStringLiteral("area:Medien") << 0
                                   << QStringLiteral("Bitte wählen Sie einen Eintrag aus !")
                                   << QList<int>{};
    QTest::newRow("answered no") << basic << QStringLiteral("entry:0") << int(MessageButton::No)
                                 << ask.arg(QStringLiteral("Kassette")) << QList<int>{};
    // "Kassette" of the other area "medien" and "KASSETTE" stay.
    QTest::newRow("one of equal names") << basic << QStringLiteral("entry:0") << yes
                                        << ask.arg(QStringLiteral("Kassette")) << QList<int>{0};
    QTest::newRow("other of equal names") << basic << QStringLiteral("entry:3") << yes
                                          << ask.arg(QStringLiteral("Kassette")) << QList<int>{3};
    QTest::newRow("with comma") << basic << QStringLiteral("entry:1") << yes
                                << ask.arg(QStringLiteral("Ordner, breit")) << QList<int>{1};
    // Same area and same name, other files: the selected record goes.
    QTest::newRow("second of two with equal area and name")
        << QStringLiteral("works_entries_identical_names.dat") << QStringLiteral("entry:1") << yes
        << ask.arg(QStringLiteral("Kassette")) << QList<int>{1};
}

void TestWorksCatalogue::deleteEntry()
{
    QFETCH(QString, worksFixture);
    QFETCH(QString, node);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(QList<int>, droppedRecords);
    install(QStringLiteral("works_areas_basic.dat"), worksFixture);
    const qsizetype recordsBefore = m_catalogue->entries().size();
    if (answer)
        m_messages.addAnswer(MessageButton(answer));

    QCOMPARE(m_catalogue->deleteEntry(selectionFor(*m_catalogue, node), m_messages),
             !droppedRecords.isEmpty());

    QList<Message> expected;
    if (!message.isEmpty()) {
        expected.append(answer ? Message{MessageKind::Confirmation, message, YesNo}
                               : Message{MessageKind::Error, message, CancelOnly});
    }
    QCOMPARE(messagesOf(m_messages), expected);
    QCOMPARE(contentOf(areasPath()), m_areasBefore);
    QCOMPARE(contentOf(worksPath()), joined(withoutRecords(linesOf(m_worksBefore), droppedRecords)));
    QCOMPARE(m_catalogue->entries().size(), recordsBefore - droppedRecords.size());
}

void TestWorksCatalogue::deleteAll_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(MessageButton::Yes);
    QTest::newRow("no") << int(MessageButton::No);
}

void TestWorksCatalogue::deleteAll()
{
    QFETCH(int, answer);
    install(QStringLiteral("works_areas_basic.dat"), QStringLiteral("works_entries_basic.dat"));
    m_messages.addAnswer(MessageButton(answer));
    const bool yes = answer == int(MessageButton::Yes);

    QCOMPARE(m_catalogue->deleteAll(m_messages), yes);

    QCOMPARE(messagesOf(m_messages),
             (QList<Message>{{MessageKind::Warning,
                              QStringLiteral("Sollen wirklich alle Bereiche und Einträge aus der "
                                             "Übersicht \"Eigene Werke\" entfernt werden ?"),
                              YesNo}}));
    // The old files' own title lines give way to the usual ones.
    QCOMPARE(contentOf(areasPath()), yes ? StandardAreasFile : m_areasBefore);
    QCOMPARE(contentOf(worksPath()), yes ? StandardWorksFile : m_worksBefore);
    QCOMPARE(m_catalogue->areas().isEmpty(), yes);
    QCOMPARE(m_catalogue->entries().isEmpty(), yes);
}

void TestWorksCatalogue::areaForNewEntry_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("area");
    QTest::newRow("area") << QStringLiteral("area:Büro") << QStringLiteral("Büro");
    QTest::newRow("entry") << QStringLiteral("entry:1") << QString();
    QTest::newRow("nothing") << QString() << QString();
}

void TestWorksCatalogue::areaForNewEntry()
{
    QFETCH(QString, node);
    QFETCH(QString, area);
    install(QStringLiteral("works_areas_basic.dat"), QStringLiteral("works_entries_basic.dat"));

    const std::optional<QString> got =
        m_catalogue->areaForNewEntry(selectionFor(*m_catalogue, node), m_messages);

    QCOMPARE(got.has_value(), !area.isEmpty());
    if (got) {
        QCOMPARE(*got, area);
        QVERIFY(m_messages.shown().isEmpty());
    } else {
        QCOMPARE(messagesOf(m_messages),
                 (QList<Message>{{MessageKind::Information,
                                  QStringLiteral("Bitte wählen Sie einen Bereich bei dem der neue "
                                                 "Eintrag hinzugefügt werden soll."),
                                  CancelOnly}}));
    }
}

void TestWorksCatalogue::appendEntry()
{
    install(QStringLiteral("works_areas_basic.dat"), QStringLiteral("works_entries_basic.dat"));

    m_catalogue->appendEntry(WorksEntry{QStringLiteral("Versand"), QStringLiteral("Päckchen"),
                                        QStringLiteral("/f/post.vrl"), QStringLiteral("/e/p.eti"),
                                        QString()});

    QCOMPARE(contentOf(worksPath()),
             m_worksBefore + "Versand\r\nP\xE4" "ckchen\r\n/f/post.vrl\r\n/e/p.eti\r\n\r\n");
    QCOMPARE(contentOf(areasPath()), m_areasBefore);
    QCOMPARE(recordsOf(m_catalogue->areas().at(3)), (QList<int>{5}));
}

void TestWorksCatalogue::changeEntry()
{
    install(QStringLiteral("works_areas_basic.dat"), QStringLiteral("works_entries_basic.dat"));

    // The wizard gets the selected record's values, not those of the first
    // record whose name matches regardless of case.
    const std::optional<WorksEntry> upper =
        m_catalogue->entryToChange(selectionFor(*m_catalogue, QStringLiteral("entry:4")), m_messages);
    QVERIFY(upper);
    QCOMPARE(*upper, m_catalogue->entries().at(4));
    QVERIFY(m_messages.shown().isEmpty());

    // Saving replaces name and paths of the selected record only; it keeps
    // its area and place, whatever area the values name.
    const WorksSelection first = *selectionFor(*m_catalogue, QStringLiteral("entry:0"));
    const WorksEntry values{QStringLiteral("Versand"), QStringLiteral("Kassette neu"),
                            QStringLiteral("F.vrl"), QStringLiteral("E.eti"), QString()};
    QVERIFY(m_catalogue->changeEntry(first, values));

    QList<QByteArray> lines = linesOf(m_worksBefore);
    lines[3] = "Kassette neu";
    lines[4] = "F.vrl";
    lines[5] = "E.eti";
    lines[6] = "";
    QCOMPARE(contentOf(worksPath()), joined(lines));
    QCOMPARE(contentOf(areasPath()), m_areasBefore);
    QCOMPARE(m_catalogue->areas().at(0).entries.at(0).entry.name, QStringLiteral("Kassette neu"));
}

void TestWorksCatalogue::entryToChangeNeedsAnEntry_data()
{
    QTest::addColumn<QString>("node");
    QTest::newRow("area") << QStringLiteral("area:Medien");
    QTest::newRow("nothing") << QString();
}

void TestWorksCatalogue::entryToChangeNeedsAnEntry()
{
    QFETCH(QString, node);
    install(QStringLiteral("works_areas_basic.dat"), QStringLiteral("works_entries_basic.dat"));

    QVERIFY(!m_catalogue->entryToChange(selectionFor(*m_catalogue, node), m_messages));

    QCOMPARE(messagesOf(m_messages),
             (QList<Message>{{MessageKind::Information,
                              QStringLiteral("Bitte wählen Sie einen Eintrag aus."), CancelOnly}}));
}

void TestWorksCatalogue::vanishedEntryChangesNothing()
{
    install(QStringLiteral("works_areas_basic.dat"), QStringLiteral("works_entries_basic.dat"));
    WorksSelection other = *selectionFor(*m_catalogue, QStringLiteral("entry:3"));

    // The file changed behind the tree's back: the record moved, and where
    // the tree saw it now stands the entry of the same name in another area.
    // The record is still found by its area and name.
    other.record = 0;
    m_messages.addAnswer(MessageButton::Yes);
    QVERIFY(m_catalogue->deleteEntry(other, m_messages));
    QCOMPARE(contentOf(worksPath()), joined(withoutRecords(linesOf(m_worksBefore), {3})));

    // Now it is gone: nothing else is touched.
    const QByteArray after = contentOf(worksPath());
    m_messages.addAnswer(MessageButton::Yes);
    QVERIFY(!m_catalogue->deleteEntry(other, m_messages));
    QVERIFY(!m_catalogue->changeEntry(other, WorksEntry{}));
    QVERIFY(!m_catalogue->entryToChange(other, m_messages));
    QVERIFY(!m_catalogue->findEntry(other, m_messages));
    QCOMPARE(contentOf(worksPath()), after);
}

void TestWorksCatalogue::findEntryResolvesPaths()
{
    install(QStringLiteral("works_areas_basic.dat"), QStringLiteral("works_entries_basic.dat"));
    QDir dir(m_dir->path());
    QVERIFY(dir.mkpath(QStringLiteral("FORMATE")) && dir.mkpath(QStringLiteral("ETIKETT")));
    // A stored path that names an existing file is kept as it is.
    const QString existing = path(QStringLiteral("eigenes.vrl"));
    QVERIFY(writeBytes(existing, "x"));
    m_catalogue->appendEntry(WorksEntry{QStringLiteral("Versand"), QStringLiteral("Brief"), existing,
                                        QStringLiteral("C:\\Alt\\brief1.eti"),
                                        QStringLiteral("C:\\Alt\\brief1.dbf")});

    const std::optional<WorksEntry> letter =
        m_catalogue->findEntry(selectionFor(*m_catalogue, QStringLiteral("entry:5")), m_messages);
    QVERIFY(letter);
    QCOMPARE(letter->formatFile, existing);
    QCOMPARE(letter->designFile, m_dir->path() + QStringLiteral("/ETIKETT/brief1.eti"));
    QCOMPARE(letter->databaseFile, m_dir->path() + QStringLiteral("/DBANKEN/brief1.dbf"));

    // Of two entries with the same name, the selected one is used; an empty
    // table stays empty.
    const std::optional<WorksEntry> other =
        m_catalogue->findEntry(selectionFor(*m_catalogue, QStringLiteral("entry:3")), m_messages);
    QVERIFY(other);
    QCOMPARE(other->designFile, m_dir->path() + QStringLiteral("/ETIKETT/K.eti"));
    const std::optional<WorksEntry> office =
        m_catalogue->findEntry(selectionFor(*m_catalogue, QStringLiteral("entry:1")), m_messages);
    QVERIFY(office);
    QCOMPARE(office->databaseFile, QString());
    QVERIFY(m_messages.shown().isEmpty());
}

void TestWorksCatalogue::findEntryNeedsAnEntry_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("message");
    QTest::newRow("area") << QStringLiteral("area:Medien") << false << true;
    QTest::newRow("area, double click") << QStringLiteral("area:Medien") << true << false;
    QTest::newRow("nothing") << QString() << false << false;
}

void TestWorksCatalogue::findEntryNeedsAnEntry()
{
    QFETCH(QString, node);
    QFETCH(bool, silent);
    QFETCH(bool, message);
    install(QStringLiteral("works_areas_basic.dat"), QStringLiteral("works_entries_basic.dat"));

    QVERIFY(!m_catalogue->findEntry(selectionFor(*m_catalogue, node), m_messages, silent));

    QList<Message> expected;
    if (message) {
        expected.append(Message{MessageKind::Information,
                                QStringLiteral("Bitte wählen Sie einen Eintrag eines Bereiches in "
                                               "der Übersicht \"Eigene Werke\" aus."),
                                CancelOnly});
    }
    QCOMPARE(messagesOf(m_messages), expected);
}

void TestWorksCatalogue::failedRewriteKeepsOldFile()
{
    install(QStringLiteral("works_areas_basic.dat"), QStringLiteral("works_entries_basic.dat"));
    const std::optional<WorksSelection> first = selectionFor(*m_catalogue, QStringLiteral("entry:0"));
    m_messages.addAnswer(MessageButton::Yes);
    {
        // The new WERKE.DAT needs more room than is left.
        FileSizeLimit full(100);
        QVERIFY_THROWS_EXCEPTION(IoError, m_catalogue->deleteEntry(first, m_messages));
    }
    QCOMPARE(contentOf(worksPath()), m_worksBefore);
    QCOMPARE(dirEntries(), (QStringList{QStringLiteral("BEREICH.DAT"), QStringLiteral("WERKE.DAT")}));
    QCOMPARE(m_catalogue->entries().size(), 5);

    // With room again the same command goes through.
    m_messages.addAnswer(MessageButton::Yes);
    QVERIFY(m_catalogue->deleteEntry(first, m_messages));
    QCOMPARE(contentOf(worksPath()), joined(withoutRecords(linesOf(m_worksBefore), {0})));
}

void TestWorksCatalogue::failedSecondRewriteOfDeleteAreaLosesNoEntry()
{
    // A long BEREICH.DAT and a short WERKE.DAT: only the rewrite of the
    // areas runs out of room.
    QByteArray areas = StandardAreasFile;
    for (int i = 0; i < 20; ++i)
        areas += "Bereich Nummer " + QByteArray::number(i) + "\r\n";
    QVERIFY(writeBytes(areasPath(), areas));
    QVERIFY(writeBytes(worksPath(), StandardWorksFile + "Bereich Nummer 3\r\nA\r\nf\r\ne\r\n\r\n"
                                        + "Bereich Nummer 4\r\nB\r\nf\r\ne\r\n\r\n"));
    m_catalogue->load();
    m_messages.addAnswer(MessageButton::Yes);
    {
        FileSizeLimit full(200);
        QVERIFY_THROWS_EXCEPTION(IoError, m_catalogue->deleteArea(
                                              WorksSelection::forArea(QStringLiteral("Bereich Nummer 3")),
                                              m_messages));
    }
    // The entries went, the area is still there and shown, now empty; the
    // other area keeps its entry.
    QCOMPARE(contentOf(areasPath()), areas);
    QCOMPARE(contentOf(worksPath()), StandardWorksFile + "Bereich Nummer 4\r\nB\r\nf\r\ne\r\n\r\n");
    QCOMPARE(m_catalogue->areas().size(), 20);
    QVERIFY(m_catalogue->areas().at(3).entries.isEmpty());
    QCOMPARE(m_catalogue->areas().at(4).entries.size(), 1);
    QCOMPARE(dirEntries(), (QStringList{QStringLiteral("BEREICH.DAT"), QStringLiteral("WERKE.DAT")}));
}

void TestWorksCatalogue::unreadableCatalogueStopsCommand()
{
    install(QStringLiteral("works_areas_basic.dat"), QStringLiteral("works_entries_basic.dat"));
    const std::optional<WorksSelection> medien = selectionFor(*m_catalogue, QStringLiteral("area:Medien"));
    QVERIFY(QFile::remove(worksPath()));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("WERKE.DAT")));

    m_messages.addAnswer(MessageButton::Yes);
    QVERIFY_THROWS_EXCEPTION(IoError, m_catalogue->deleteArea(medien, m_messages));
    QCOMPARE(contentOf(areasPath()), m_areasBefore);
    QVERIFY(QFileInfo(worksPath()).isDir());
    QVERIFY_THROWS_EXCEPTION(IoError, m_catalogue->load());
    QCOMPARE(m_catalogue->areas().size(), 4);
}

void TestWorksCatalogue::largeCatalogueLoadsEveryEntry()
{
    // 20,000 areas and 100,000 entries: loading goes once through each file
    // (it used to compare every entry with every area).
    const int areaCount = 20000;
    const int entryCount = 100000;
    QByteArray areas = "BEREICH.DAT - Quillmark 32-Bit-Version\r\n=\r\n";
    for (int a = 0; a < areaCount; ++a)
        areas += "Bereich " + QByteArray::number(a) + "\r\n";
    areas += "Bereich 7\r\n"; // the same name twice shows its entries twice
    QByteArray works = "WERKE.DAT - Quillmark 32-Bit-Version\r\n=\r\n";
    for (int e = 0; e < entryCount; ++e) {
        works += "Bereich " + QByteArray::number(e % (areaCount + 1)) + "\r\nEintrag " + QByteArray::number(e)
            + "\r\nF.vrl\r\nE.eti\r\n\r\n";
    }
    QVERIFY(writeBytes(areasPath(), areas));
    QVERIFY(writeBytes(worksPath(), works));
    m_catalogue->load();
    const QList<WorksArea> &loaded = m_catalogue->areas();
    QCOMPARE(loaded.size(), areaCount + 1);
    QCOMPARE(m_catalogue->entries().size(), entryCount);
    qsizetype shown = 0;
    for (const WorksArea &area : loaded)
        shown += area.entries.size();
    // Entries of "Bereich 20000" belong to no area; those of "Bereich 7" show twice.
    qsizetype expected = 0;
    qsizetype inSeven = 0;
    for (int e = 0; e < entryCount; ++e) {
        const int a = e % (areaCount + 1);
        expected += a == areaCount ? 0 : (a == 7 ? 2 : 1);
        inSeven += a == 7 ? 1 : 0;
    }
    QCOMPARE(shown, expected);
    QCOMPARE(loaded[7].entries.size(), inSeven);
    QCOMPARE(loaded[areaCount].entries.size(), inSeven);
    QCOMPARE(loaded[areaCount].entries.last().record, loaded[7].entries.last().record);
    QCOMPARE(loaded[7].entries.first().record, 7);
    QCOMPARE(loaded[7].entries.at(1).record, 7 + areaCount + 1);
    QCOMPARE(loaded[7].entries.at(1).entry.name, QStringLiteral("Eintrag %1").arg(7 + areaCount + 1));
}

QTEST_GUILESS_MAIN(TestWorksCatalogue)
#include "TestWorksCatalogue.moc"
