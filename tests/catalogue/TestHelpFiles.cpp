#include "platform/services.h"
#include "testpaths.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

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
                            "Datensätze", "Textimport", "Schnellauswahl-Experte"};
    const char *headings[] = {"Quillmark &ndash; Inhalt", "Format auswählen", "Format-Experte",
                              "Eingabe-Experte", "Datenbank-Experte", "Erstellungs-Experte",
                              "Design-Experte", "Daten selektieren und drucken",
                              "Import von Daten im Text-Format", "Schnellauswahl-Experte"};
    for (int context = 0; context <= 9; ++context) {
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
        for (int context = 1; context <= 9; ++context)
            QVERIFY(contents->html.contains(QStringLiteral("href=\"kontext:%1\"").arg(context)));
    }
    QVERIFY(links > 0 || file == QLatin1String("ERSTEHILFE.HLP"));
}

QTEST_GUILESS_MAIN(TestHelpFiles)
#include "TestHelpFiles.moc"
