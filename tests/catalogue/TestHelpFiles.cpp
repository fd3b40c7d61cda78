#include "platform/services.h"
#include "testpaths.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <iterator>

using namespace qm;

namespace {

QString helpText(const QString &name)
{
    QFile f(test::shareDir() + QStringLiteral("/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

} // namespace

// The help files shipped with the program: every context number the
// windows ask for has its topic, and every link leads to one.
class TestHelpFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void topicsExist_data();
    void topicsExist();
    void linksLeadToTopics_data();
    void linksLeadToTopics();
    void helpCoversWhatTheProgramDoes_data();
    void helpCoversWhatTheProgramDoes();
};

void TestHelpFiles::topicsExist_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("context");
    QTest::addColumn<QString>("titlePart");
    QTest::addColumn<QString>("heading");
    QTest::newRow("first aid") << QStringLiteral("ERSTEHILFE.HLP") << 0 << QStringLiteral("Erste Hilfe")
                               << QStringLiteral("Erste Hilfe zu Quillmark");
    const char *titles[] = {"Inhalt", "Format", "Format-Experte", "Eingabe-Experte",
                            "Datenbank-Experte", "Erstellungs-Experte", "Design-Experte",
                            "Datensätze", "Textimport", "Schnellauswahl-Experte", "CSV-Dateien",
                            "Barcodes und QR-Codes", "Drucker und Ausrichtung",
                            "Etikettenbogen suchen"};
    const char *headings[] = {"Quillmark &ndash; Inhalt", "Format auswählen", "Format-Experte",
                              "Eingabe-Experte", "Datenbank-Experte", "Erstellungs-Experte",
                              "Design-Experte", "Daten selektieren und drucken",
                              "Import von Daten im Text-Format", "Schnellauswahl-Experte",
                              "CSV-Dateien", "Barcodes und QR-Codes", "Drucker und Ausrichtung",
                              "Etikettenbogen suchen"};
    static_assert(std::size(titles) == std::size(headings));
    for (int context = 0; context < int(std::size(titles)); ++context) {
        QTest::addRow("program help %d", context)
            << QStringLiteral("QUILLMK.HLP") << context << QString::fromUtf8(titles[context])
            << QString::fromUtf8(headings[context]);
    }
}

void TestHelpFiles::topicsExist()
{
    QFETCH(QString, file);
    QFETCH(int, context);
    QFETCH(QString, titlePart);
    QFETCH(QString, heading);
    const QString text = helpText(file);
    QVERIFY2(!text.isEmpty(), qPrintable(file));
    QVERIFY(!text.contains(QChar::ReplacementCharacter)); // valid UTF-8

    const std::optional<HelpTopic> topic = findHelpTopic(text, context);
    QVERIFY(topic);
    QVERIFY2(topic->title.contains(titlePart), qPrintable(topic->title));
    QVERIFY(topic->html.size() > 300);
    // The page is the topic's own: it opens with its heading and holds no
    // other topic's.
    QVERIFY2(topic->html.startsWith(QStringLiteral("<h2>%1</h2>").arg(heading)),
             qPrintable(topic->html.left(80)));
    QCOMPARE(topic->html.count(QStringLiteral("<h2>")), 1);
}

void TestHelpFiles::linksLeadToTopics_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("first aid") << QStringLiteral("ERSTEHILFE.HLP");
    QTest::newRow("program help") << QStringLiteral("QUILLMK.HLP");
}

void TestHelpFiles::linksLeadToTopics()
{
    QFETCH(QString, file);
    const QString text = helpText(file);
    static const QRegularExpression link(QStringLiteral("href=\"([^\"]*)\""));
    int links = 0;
    for (const QRegularExpressionMatch &m : link.globalMatch(text)) {
        const std::optional<int> context = helpLinkContext(m.captured(1));
        QVERIFY2(context, qPrintable(m.captured(1)));
        QVERIFY2(findHelpTopic(text, *context), qPrintable(m.captured(1)));
        ++links;
    }
    if (file == QLatin1String("QUILLMK.HLP")) {
        // The contents link to every other topic.
        const std::optional<HelpTopic> contents = findHelpTopic(text, 0);
        QVERIFY(contents);
        for (int context = 1; context <= 13; ++context)
            QVERIFY(contents->html.contains(QStringLiteral("href=\"kontext:%1\"").arg(context)));
    }
    QVERIFY(links > 0 || file == QLatin1String("ERSTEHILFE.HLP"));
}

void TestHelpFiles::helpCoversWhatTheProgramDoes_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("context");
    // Names of menus, windows, buttons, keys and options the topic must
    // mention, as the program shows them.
    QTest::addColumn<QStringList>("mentions");

    const QString first = QStringLiteral("ERSTEHILFE.HLP");
    const QString program = QStringLiteral("QUILLMK.HLP");
    QTest::newRow("first aid") << first << 0
                               << QStringList { "CSV-Datei", "im CSV-Format ...", "Export im CSV-Format ...",
                                      "--records", "Barcode", "Strg+B", "QR-Code", "Druckparameter ...",
                                      "Ausrichtung prüfen ...", "Suchen ...", "Strg+Z", "Strg+Y",
                                      "Ansicht", "800", "Pfeiltasten" };
    QTest::newRow("contents") << program << 0
                              << QStringList { "CSV-Datei", "kontext:10", "kontext:11", "kontext:12",
                                     "kontext:13" };
    QTest::newRow("format selection") << program << 1 << QStringList { "Suchen ...", "kontext:13" };
    QTest::newRow("input expert") << program << 3
                                  << QStringList { "Druckparameter ...", "Standarddrucker", "kontext:11",
                                         "kontext:12" };
    QTest::newRow("database expert")
        << program << 4
        << QStringList { "CSV-Datei, nur lesen", "im CSV-Format ...", "Export im CSV-Format ...",
               "kontext:10" };
    QTest::newRow("design editor")
        << program << 6
        << QStringList { "Barcode", "Strg+B", "Ellipse", "Strg+K", "Rückgängig", "Strg+Z",
               "Wiederherstellen", "Strg+Y", "Ansicht", "Vergrößern", "Verkleinern", "Ganzes Etikett",
               "Strg+0", "Mausrad", "25", "800", "Tab", "Pfeiltasten", "Entf", "Strg+D", "Doppelklick" };
    QTest::newRow("record selection") << program << 7 << QStringList { "inaktiv", "Hinweis", "CSV-Datei" };
    QTest::newRow("quick selection")
        << program << 9
        << QStringList { "Eingeben und Drucken", "Aus Datenbank drucken", "Datenbank bearbeiten",
               "Editieren", "Programmverzeichnis" };
    QTest::newRow("CSV files")
        << program << 10
        << QStringList { "Tabellenkalkulation", "Überschrift", "Semikolon", "UTF-8", "Anzahl",
               "CSV-Datei, nur lesen", "Aus Datenbank drucken", "im CSV-Format ...",
               "Export im CSV-Format ...", "quillmark print", "--records", "--table", "--where",
               "--import-csv", "--export-csv", "quillmark fields" };
    QTest::newRow("barcodes")
        << program << 11
        << QStringList { "Strg+B", "Barcode bearbeiten", "Art", "Feldname", "Feldgröße", "EAN-13",
               "Code 128", "QR-Code", "DataMatrix", "Code 39", "EAN-8", "UPC-A", "ITF-14",
               "Prüfziffer", "ArtikelEAN.eti", "InventarQR.eti" };
    QTest::newRow("printers")
        << program << 12
        << QStringList { "Optionen &gt; Druckparameter ...", "PDF-Dateien", "Übernehmen", "Einrichten ...",
               "Standarddrucker", "Ausrichtung prüfen ...", "Kalibrierbogen", "Abweichung waagerecht",
               "Linie waagerecht gemessen", "100&nbsp;mm" };
    QTest::newRow("label-stock search")
        << program << 13
        << QStringList { "Suchen ...", "Etikettenbogen suchen", "Hersteller", "Teilenummer", "L7160",
               "Individuelle Formate", "Übernehmen" };
}

// The help tells what the program does today: each topic names the
// windows, menus, keys and command-line options of its subject.
void TestHelpFiles::helpCoversWhatTheProgramDoes()
{
    QFETCH(QString, file);
    QFETCH(int, context);
    QFETCH(QStringList, mentions);
    const std::optional<HelpTopic> topic = findHelpTopic(helpText(file), context);
    QVERIFY(topic);
    // Lines break anywhere in the file: compare with single spaces.
    const QString html = topic->html.simplified();
    QStringList missing;
    for (const QString &mention : mentions) {
        if (!html.contains(mention))
            missing << mention;
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
}

QTEST_GUILESS_MAIN(TestHelpFiles)
#include "TestHelpFiles.moc"
