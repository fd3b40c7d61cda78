#include "platform/doubles/recordinghelp.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/doubles/virtualwaiter.h"
#include "platform/services.h"
#include "platform/settings.h"

#ifdef QM_WITH_WIDGETS
#include "platform/qt/qtfiledialogs.h"
#include "platform/qt/qthelpwindow.h"
#include "platform/qt/qtmessages.h"
#include "platform/qt/qtwaiter.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#endif

#include <QDialog>
#include <QFile>
#include <QTest>

#include "testfiles.h"

#include <stdexcept>

using namespace qm;

Q_DECLARE_METATYPE(qm::MessageButtons)
Q_DECLARE_METATYPE(qm::MessageButton)

namespace {

// A help file with three topics, the middle one in the Windows code page.
const QByteArray HelpFile = "Hilfe zu Quillmark\r\n"
                            "#CONTEXT 0 Inhalt\r\n"
                            "<p>Willkommen.</p>\r\n"
                            "<p><a href=\"kontext:3\">Eingabe</a></p>\r\n"
                            "#CONTEXT 3 Eingabe-Experte\r\n"
                            "## nur für Autoren\r\n"
                            "<p>Geben Sie die Werte ein.</p>\r\n"
                            "\r\n"
                            "#CONTEXT 3 Doppelt\r\n"
                            "<p>Nie gezeigt.</p>\r\n"
                            "#CONTEXT 6 Erstellen\r\n"
                            "<h2>Der Erstellungs-Experte</h2><p>Schritt f\xfcr Schritt.</p>\r\n"
                            "#context 9 Schnellauswahl\r\n"
                            "<p>Format und Etikett w\xe4hlen.</p>\r\n";

} // namespace

class TestServices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileFilter_data();
    void fileFilter();
    void defaultExtension_data();
    void defaultExtension();
    void helpTopics_data();
    void helpTopics();
    void helpLinks();

    void scriptedMessagesAnswerInOrder();
    void scriptedMessagesDefaultIsTheEnterButton_data();
    void scriptedMessagesDefaultIsTheEnterButton();
    void scriptedMessagesRefuseImpossibleAnswer();
    void closingABox_data();
    void closingABox();
    void scriptedFileDialogs();
    void virtualWaiter();
    void recordingHelp();

#ifdef QM_WITH_WIDGETS
    void qtMessageBoxHasGermanButtons();
    void qtFileDialogGetsQtFilter();
    void qtWaiterHandlesEvents();
    void qtHelpWindowShowsTopic();
    void qtHelpWindowReportsMissingFileAndTopic();
    void qtHelpWindowHeadingOnce();
    void qtHelpWindowTakesInputBesideModalDialogs();
    void qtHelpWindowOpensOverItsCallerAndClosesWithEscape();
#endif
};

void TestServices::fileFilter_data()
{
    QTest::addColumn<QString>("windows");
    QTest::addColumn<QString>("qt");
    QTest::newRow("design") << "Etikett bzw. Formular|*.eti|Alle Dateien|*.*"
                            << "Etikett bzw. Formular (*.eti);;Alle Dateien (*.*)";
    QTest::newRow("patterns already shown") << "Formatdatei (*.vrl)|*.vrl|Alle Dateien (*.*)|*.*"
                                            << "Formatdatei (*.vrl);;Alle Dateien (*.*)";
    QTest::newRow("several patterns") << "Bilder (*.bmp;*.dib)|*.bmp;*.dib|Alle Dateien|*.*"
                                      << "Bilder (*.bmp *.dib);;Alle Dateien (*.*)";
    QTest::newRow("four entries")
        << "Textdatei (*.txt)|*.txt|Quillmark 16-BIT (*.dbk)|*.dbk|ASCII-Datei (*.asc)|*.asc|"
           "Alle Dateien (*.*)|*.*"
        << "Textdatei (*.txt);;Quillmark 16-BIT (*.dbk);;ASCII-Datei (*.asc);;"
           "Alle Dateien (*.*)";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("label without patterns") << "Alles"
                                            << "Alles";
}

void TestServices::fileFilter()
{
    QFETCH(QString, windows);
    QFETCH(QString, qt);
    QCOMPARE(qtFileFilter(windows), qt);
}

void TestServices::defaultExtension_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("defaultExt");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("star dot") << "/home/a/etikett"
                              << "*.eti"
                              << "/home/a/etikett.eti";
    QTest::newRow("dot") << "/home/a/kunden"
                         << ".dbf"
                         << "/home/a/kunden.dbf";
    QTest::newRow("bare") << "/home/a/bild"
                          << "bmp"
                          << "/home/a/bild.bmp";
    QTest::newRow("has extension") << "/home/a/etikett.ETI"
                                   << "*.eti"
                                   << "/home/a/etikett.ETI";
    QTest::newRow("other extension") << "/home/a/liste.txt"
                                     << "*.eti"
                                     << "/home/a/liste.txt";
    QTest::newRow("dot in folder only") << "/home/a.b/etikett"
                                        << "*.eti"
                                        << "/home/a.b/etikett.eti";
    QTest::newRow("no default") << "/home/a/etikett"
                                << ""
                                << "/home/a/etikett";
    QTest::newRow("all files") << "/home/a/etikett"
                               << "*.*"
                               << "/home/a/etikett";
    QTest::newRow("cancelled") << ""
                               << "*.eti"
                               << "";
}

void TestServices::defaultExtension()
{
    QFETCH(QString, typed);
    QFETCH(QString, defaultExt);
    QFETCH(QString, chosen);
    QCOMPARE(withDefaultExtension(typed, defaultExt), chosen);
}

void TestServices::helpTopics_data()
{
    QTest::addColumn<int>("context");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("html");
    QTest::newRow("first") << 0 << true << "Inhalt"
                           << "<p>Willkommen.</p>\n<p><a href=\"kontext:3\">Eingabe</a></p>";
    QTest::newRow("comment left out, first of two") << 3 << true << "Eingabe-Experte"
                                                    << "<p>Geben Sie die Werte ein.</p>";
    QTest::newRow("cp1252, lower-case marker") << 9 << true << "Schnellauswahl"
                                               << "<p>Format und Etikett wählen.</p>";
    QTest::newRow("missing") << 5 << false << ""
                             << "";
}

void TestServices::helpTopics()
{
    QFETCH(int, context);
    QFETCH(bool, found);
    QFETCH(QString, title);
    QFETCH(QString, html);
    const std::optional<HelpTopic> topic = findHelpTopic(decodeUtf8OrCp1252(HelpFile), context);
    QCOMPARE(topic.has_value(), found);
    if (topic) {
        QCOMPARE(topic->context, context);
        QCOMPARE(topic->title, title);
        QCOMPARE(topic->html, html);
    }
}

void TestServices::helpLinks()
{
    QCOMPARE(helpLinkContext(u"kontext:7"), std::optional<int>(7));
    QCOMPARE(helpLinkContext(u"KONTEXT:0"), std::optional<int>(0));
    QCOMPARE(helpLinkContext(u"kontext:x"), std::nullopt);
    QCOMPARE(helpLinkContext(u"https://example.org"), std::nullopt);
}

void TestServices::scriptedMessagesAnswerInOrder()
{
    ScriptedMessages messages;
    messages.addAnswer(MessageButton::No);
    messages.addAnswer(MessageButton::Yes);
    const MessageButtons yesNo = MessageButton::Yes | MessageButton::No;
    QCOMPARE(messages.show(MessageKind::Confirmation, QStringLiteral("erste"), yesNo), MessageButton::No);
    QCOMPARE(messages.show(MessageKind::Warning, QStringLiteral("zweite"), yesNo, QStringLiteral("Titel")),
        MessageButton::Yes);
    QCOMPARE(messages.pendingAnswers(), 0);
    QCOMPARE(messages.shown().size(), 2);
    const ScriptedMessages::Shown &first = messages.shown().at(0);
    QCOMPARE(first.kind, MessageKind::Confirmation);
    QCOMPARE(first.text, QStringLiteral("erste"));
    QCOMPARE(first.buttons, yesNo);
    QCOMPARE(first.caption, QString());
    QCOMPARE(messages.shown().at(1).caption, QStringLiteral("Titel"));
    QCOMPARE(messages.shown().at(1).answer, MessageButton::Yes);
    QCOMPARE(messages.lastText(), QStringLiteral("zweite"));
}

void TestServices::scriptedMessagesDefaultIsTheEnterButton_data()
{
    QTest::addColumn<MessageButtons>("buttons");
    QTest::addColumn<MessageButton>("answer");
    QTest::newRow("Abbrechen only") << MessageButtons(MessageButton::Cancel) << MessageButton::Cancel;
    QTest::newRow("yes/no") << (MessageButton::No | MessageButton::Yes) << MessageButton::Yes;
    QTest::newRow("ok/cancel") << (MessageButton::Cancel | MessageButton::Ok) << MessageButton::Ok;
    QTest::newRow("retry/ignore") << (MessageButton::Ignore | MessageButton::Retry) << MessageButton::Retry;
    QTest::newRow("none") << MessageButtons() << MessageButton::Ok;
}

void TestServices::scriptedMessagesDefaultIsTheEnterButton()
{
    QFETCH(MessageButtons, buttons);
    QFETCH(MessageButton, answer);
    ScriptedMessages messages;
    QCOMPARE(messages.show(MessageKind::Information, QStringLiteral("x"), buttons), answer);
}

void TestServices::scriptedMessagesRefuseImpossibleAnswer()
{
    ScriptedMessages messages;
    messages.addAnswer(MessageButton::Yes);
    QVERIFY_THROWS_EXCEPTION(
        std::logic_error, messages.show(MessageKind::Error, QStringLiteral("x"), MessageButton::Cancel));
}

void TestServices::closingABox_data()
{
    QTest::addColumn<MessageButtons>("buttons");
    QTest::addColumn<MessageButton>("answer");
    QTest::newRow("Abbrechen only") << MessageButtons(MessageButton::Cancel) << MessageButton::Cancel;
    QTest::newRow("yes/no") << (MessageButton::Yes | MessageButton::No) << MessageButton::No;
    QTest::newRow("yes/no/cancel") << (MessageButton::Yes | MessageButton::No | MessageButton::Cancel)
                                   << MessageButton::Cancel;
    QTest::newRow("ok") << MessageButtons(MessageButton::Ok) << MessageButton::Ok;
    QTest::newRow("abort/retry/ignore")
        << (MessageButton::Abort | MessageButton::Retry | MessageButton::Ignore) << MessageButton::Abort;
    QTest::newRow("retry only") << MessageButtons(MessageButton::Retry) << MessageButton::Retry;
}

void TestServices::closingABox()
{
    QFETCH(MessageButtons, buttons);
    QFETCH(MessageButton, answer);
    QCOMPARE(closeAnswer(buttons), answer);
}

void TestServices::scriptedFileDialogs()
{
    ScriptedFileDialogs dialogs;
    dialogs.addAnswer(QStringLiteral("/p/ETIKETT/a.eti"));
    dialogs.addAnswer(QStringLiteral("/p/neu"));
    dialogs.addAnswer(QString());
    const QString filter = QStringLiteral("Etikett bzw. Formular|*.eti|Alle Dateien|*.*");
    QCOMPARE(dialogs.open(QStringLiteral("Öffnen"), filter, QStringLiteral("*.eti")),
        QStringLiteral("/p/ETIKETT/a.eti"));
    QCOMPARE(dialogs.save(QStringLiteral("Speichern unter"), filter, QStringLiteral("*.eti"),
                 QStringLiteral("/p/ETIKETT/")),
        QStringLiteral("/p/neu.eti"));
    QCOMPARE(dialogs.save(QStringLiteral("Speichern unter"), filter, QStringLiteral("*.eti")),
        QString()); // scripted cancel
    QCOMPARE(dialogs.open(QStringLiteral("Öffnen"), filter, QStringLiteral("*.eti")),
        QString()); // nothing scripted: cancelled
    QCOMPARE(dialogs.calls().size(), 4);
    const ScriptedFileDialogs::Call &second = dialogs.calls().at(1);
    QVERIFY(second.save);
    QCOMPARE(second.title, QStringLiteral("Speichern unter"));
    QCOMPARE(second.filter, filter);
    QCOMPARE(second.defaultExt, QStringLiteral("*.eti"));
    QCOMPARE(second.directory, QStringLiteral("/p/ETIKETT/"));
    QVERIFY(!dialogs.calls().at(0).save);
}

void TestServices::virtualWaiter()
{
    VirtualWaiter waiter;
    QList<qint64> seen;
    waiter.setOnWait([&](int, qint64 now) { seen.append(now); });
    waiter.wait(1000);
    waiter.wait(200);
    waiter.wait(0);
    QCOMPARE(waiter.now(), 1200);
    QCOMPARE(waiter.waits(), (QList<int> { 1000, 200, 0 }));
    QCOMPARE(seen, (QList<qint64> { 1000, 1200, 1200 }));
}

void TestServices::recordingHelp()
{
    RecordingHelp help;
    IHelp &asInterface = help;
    asInterface.show(QStringLiteral("/p/QUILLMK.HLP"), 3);
    asInterface.show(QStringLiteral("/p/ERSTEHILFE.HLP"), 0);
    QCOMPARE(help.requests(),
        (QList<RecordingHelp::Request> {
            { QStringLiteral("/p/QUILLMK.HLP"), 3 }, { QStringLiteral("/p/ERSTEHILFE.HLP"), 0 } }));
}

#ifdef QM_WITH_WIDGETS

void TestServices::qtMessageBoxHasGermanButtons()
{
    const MessageButtons yesNo = MessageButton::Yes | MessageButton::No;
    const auto box
        = QtMessages::createBox(MessageKind::Confirmation, QStringLiteral("Löschen?"), yesNo, QString());
    QCOMPARE(box->windowTitle(), QStringLiteral("Bestätigen"));
    QCOMPARE(box->icon(), QMessageBox::Question);
    QCOMPARE(box->text(), QStringLiteral("Löschen?"));
    QStringList texts;
    for (QAbstractButton *b : box->buttons())
        texts.append(b->text());
    texts.sort();
    QCOMPARE(texts, (QStringList { QStringLiteral("&Ja"), QStringLiteral("&Nein") }));
    QCOMPARE(box->escapeButton()->text(), QStringLiteral("&Nein"));
    QCOMPARE(box->defaultButton()->text(), QStringLiteral("&Ja"));
    // Pressing a button gives its answer, without running the box.
    box->escapeButton()->click();
    QCOMPARE(QtMessages::answerOf(*box), MessageButton::No);

    const auto plain
        = QtMessages::createBox(MessageKind::Plain, QStringLiteral("x"), MessageButton::Ok, QString());
    QCOMPARE(plain->windowTitle(), QStringLiteral("Quillmark"));
    QCOMPARE(plain->icon(), QMessageBox::NoIcon);
    QCOMPARE(plain->buttons().size(), 1);
    QCOMPARE(plain->buttons().first()->text(), QStringLiteral("OK"));

    const auto single = QtMessages::createBox(
        MessageKind::Warning, QStringLiteral("x"), MessageButton::Cancel, QStringLiteral("Eigene"));
    QCOMPARE(single->windowTitle(), QStringLiteral("Eigene"));
    QCOMPARE(single->buttons().first()->text(), QStringLiteral("Abbrechen"));
    QCOMPARE(QtMessages::answerOf(*single), MessageButton::Cancel); // closed
}

void TestServices::qtFileDialogGetsQtFilter()
{
    const auto dialog = QtFileDialogs::createDialog(true, QStringLiteral("Speichern unter"),
        QStringLiteral("Etikett bzw. Formular|*.eti|Alle Dateien|*.*"), QStringLiteral("*.eti"),
        QDir::tempPath());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Speichern unter"));
    QCOMPARE(dialog->nameFilters(),
        (QStringList {
            QStringLiteral("Etikett bzw. Formular (*.eti)"), QStringLiteral("Alle Dateien (*.*)") }));
    QCOMPARE(dialog->defaultSuffix(), QStringLiteral("eti"));
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
    const auto open
        = QtFileDialogs::createDialog(false, QStringLiteral("Öffnen"), QString(), QString(), QString());
    QCOMPARE(open->fileMode(), QFileDialog::ExistingFile);
}

void TestServices::qtWaiterHandlesEvents()
{
    bool handled = false;
    QTimer::singleShot(0, this, [&] { handled = true; });
    QtWaiter waiter;
    waiter.wait(0);
    QVERIFY(handled);

    QElapsedTimer clock;
    clock.start();
    waiter.wait(3);
    QVERIFY(clock.elapsed() >= 3);
}

void TestServices::qtHelpWindowShowsTopic()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("QUILLMK.HLP"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(HelpFile);
    f.close();

    QtHelpWindow window;
    IHelp &help = window;
    help.show(path, 3);
    QVERIFY(window.isVisible());
    QVERIFY(window.showsTopic());
    const QString text = window.browser()->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("Geben Sie die Werte ein.")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Eingabe-Experte")));
    QVERIFY(!text.contains(QStringLiteral("Willkommen")));
    QVERIFY(window.windowTitle().contains(QStringLiteral("Eingabe-Experte")));

    // A link to another topic.
    help.show(path, 0);
    Q_EMIT window.browser()->anchorClicked(QUrl(QStringLiteral("kontext:9")));
    QCOMPARE(window.contextNumber(), 9);
    QVERIFY(window.browser()->toPlainText().contains(QStringLiteral("wählen")));
}

void TestServices::qtHelpWindowReportsMissingFileAndTopic()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QtHelpWindow window;
    const QString missing = dir.filePath(QStringLiteral("ERSTEHILFE.HLP"));
    window.show(missing, 0);
    QVERIFY(!window.showsTopic());
    QCOMPARE(window.browser()->toPlainText(),
        QStringLiteral("Die Hilfedatei %1 wurde nicht gefunden.").arg(missing));

    const QString path = dir.filePath(QStringLiteral("QUILLMK.HLP"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(HelpFile);
    f.close();
    window.show(path, 7);
    QVERIFY(!window.showsTopic());
    QCOMPARE(window.browser()->toPlainText(),
        QStringLiteral("Das Hilfethema 7 ist in der Hilfedatei %1 nicht vorhanden.").arg(path));
}

void TestServices::qtHelpWindowHeadingOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QUILLMK.HLP"));
    QVERIFY(test::writeBytes(path, HelpFile));
    QtHelpWindow window;
    window.show(path, 6);
    const QString text = window.browser()->toPlainText();
    QCOMPARE(text.count(QStringLiteral("Erstellungs-Experte")), 1);
    QVERIFY(!text.contains(QStringLiteral("Erstellen")));
    window.show(path, 3); // no heading of its own: the title is the heading
    QVERIFY(window.browser()->toPlainText().startsWith(QStringLiteral("Eingabe-Experte")));
}

void TestServices::qtHelpWindowTakesInputBesideModalDialogs()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QUILLMK.HLP"));
    QVERIFY(test::writeBytes(path, HelpFile));
    QtHelpWindow window;
    window.show(path, 0);
    QCOMPARE(window.windowModality(), Qt::NonModal);

    // From a modal dialog: the help is not blocked by it.
    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    window.show(path, 3);
    QVERIFY(window.isVisible());
    QCOMPARE(QApplication::activeModalWidget(), &window);
    window.hide();
    dialog.hide();

    // From the main window again: beside it, not modal.
    window.show(path, 0);
    QCOMPARE(window.windowModality(), Qt::NonModal);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestServices::qtHelpWindowOpensOverItsCallerAndClosesWithEscape()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QUILLMK.HLP"));
    QVERIFY(test::writeBytes(path, HelpFile));
    QtHelpWindow window;
    QDialog dialog;
    dialog.setModal(true);
    dialog.setGeometry(300, 200, 500, 400);
    dialog.show();
    window.show(path, 3);
    QVERIFY(window.isVisible());
    QVERIFY2((window.frameGeometry().center() - dialog.frameGeometry().center()).manhattanLength() <= 2,
        qPrintable(QStringLiteral("%1,%2").arg(window.x()).arg(window.y())));

    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    QVERIFY(dialog.isVisible());
}

#endif

QTEST_MAIN(TestServices)
#include "TestServices.moc"
