// The system's printers when there is no default printer, or the one named
// does not exist: the print run and the printer dialog must notice, never
// print into a nameless PDF file instead.
#include "platform/doubles/scriptedmessages.h"
#include "platform/doubles/virtualwaiter.h"
#include "printing/qt/qtprinteraccess.h"

#include <QTest>

using namespace qm;

class TestQtPrinter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void noDefaultPrinter_data();
    void noDefaultPrinter();
    void deviceOfUnknownPrinterPrintsNothing();
    void choicesStayWithTheirPrinter();
};

void TestQtPrinter::noDefaultPrinter_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("none set up") << QString();
    QTest::newRow("not known to the system") << QStringLiteral("Quillmark-Testdrucker-gibt-es-nicht");
}

void TestQtPrinter::noDefaultPrinter()
{
    QFETCH(QString, name);
    int asked = 0;
    QtPrinterAccess printers([&] {
        ++asked;
        return name;
    });
    QVERIFY(!printers.DruckerbezeichnungHolen().has_value());
    QVERIFY(printers.openDefaultPrinter() == nullptr);

    ScriptedMessages messages;
    printers.showPrinterSetup(nullptr, messages);
    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(messages.shown().first().kind, MessageKind::Warning);
    QCOMPARE(messages.lastText(), QtPrinterAccess::noDefaultPrinterMessage());
    QVERIFY(messages.lastText().startsWith(QStringLiteral("Es ist kein Standarddrucker eingerichtet.")));
    QVERIFY(!printers.choices().has_value());
    // The name is asked afresh each time: a printer set up meanwhile counts.
    QCOMPARE(asked, 3);
}

void TestQtPrinter::deviceOfUnknownPrinterPrintsNothing()
{
    QtPrinterDevice device(QStringLiteral("Quillmark-Testdrucker-gibt-es-nicht"));
    SheetFormat format;
    format.extentWidth = 2100;
    format.extentHeight = 2970;
    format.positions.push_back({ 100, 100, 500, 300 });
    NullPrintProgress progress;
    VirtualWaiter waiter;
    int drawn = 0;
    LayoutRequest request;
    request.lastPosition = 3;
    const LayoutResult result = Ausdrucken(
        request, format, device, progress, waiter, [&](ICanvas &, int, int, int, bool) { ++drawn; });
    QCOMPARE(result, LayoutResult::DeviceFailed);
    QCOMPARE(drawn, 0);
    QCOMPARE(device.pageCount(), 0);
    QVERIFY(device.printer() == nullptr);
    QCOMPARE(device.resolutionX(), 0);
    QVERIFY(!device.DokumentBeginnen(QStringLiteral("Quillmark 32")));
    QVERIFY(!device.MassstabSetzen(25, 1.0, 1.0));
    QVERIFY(device.canvas() == nullptr);
    QVERIFY(!device.DokumentBeenden());
}

// What was set up for one printer stays with it: setting up another keeps
// it, and the other does not start from it.
void TestQtPrinter::choicesStayWithTheirPrinter()
{
    QtPrinterAccess printers([] { return QString(); });
    PrinterChoices a;
    a.colourMode = QPrinter::GrayScale;
    a.copies = 2;
    PrinterChoices b;
    b.duplex = QPrinter::DuplexLongSide;
    printers.keepChoices(QStringLiteral("A"), a);
    QVERIFY(!printers.choicesFor(QStringLiteral("B")).has_value());
    printers.keepChoices(QStringLiteral("B"), b);
    QCOMPARE(printers.choicesFor(QStringLiteral("A"))->copies, 2);
    QCOMPARE(printers.choicesFor(QStringLiteral("A"))->colourMode, QPrinter::GrayScale);
    QCOMPARE(printers.choicesFor(QStringLiteral("B"))->copies, b.copies);
    QCOMPARE(printers.choicesFor(QStringLiteral("B"))->duplex, QPrinter::DuplexLongSide);
    // Those for the default printer go to no named printer while the system
    // has no default one.
    printers.setChoices(a);
    QVERIFY(printers.choices().has_value());
    QVERIFY(!printers.choicesFor(QStringLiteral("C")).has_value());
    printers.setChoices(std::nullopt);
    QVERIFY(!printers.choices().has_value());
    QVERIFY(printers.choicesFor(QStringLiteral("A")).has_value());
}

QTEST_MAIN(TestQtPrinter)
#include "TestQtPrinter.moc"
