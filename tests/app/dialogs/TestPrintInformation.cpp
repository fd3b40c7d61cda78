#include "app/dialogs/printinformation.h"
#include "platform/canvas/recordingcanvas.h"
#include "platform/doubles/virtualwaiter.h"
#include "printing/layout.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>

using namespace qm;

namespace {

// A printer that takes every call and draws nowhere.
class SilentPrinter : public IPrinterDevice
{
public:
    bool DruckerOeffnen() override { return true; }
    void DruckerSchliessen() override { }
    Paper PapierformatHolen() override { return {}; }
    void PapierformatSetzen(const Paper &) override { }
    bool DokumentBeginnen(const QString &) override { return true; }
    bool DokumentBeenden() override { return true; }
    bool MassstabSetzen(int, double, double) override { return true; }
    void endPage() override { }
    void beginPage() override { }
    ICanvas *canvas() override { return nullptr; }
};

// The same with a canvas, so that the labels are drawn.
class CanvasPrinter : public SilentPrinter
{
public:
    ICanvas *canvas() override { return &m_canvas; }

private:
    RecordingCanvas m_canvas;
};

SheetFormat twoPerSheet()
{
    SheetFormat format;
    format.extentWidth = 2100;
    format.extentHeight = 2970;
    format.positions.push_back({ 100, 100, 900, 400 });
    format.positions.push_back({ 1100, 100, 900, 400 });
    return format;
}

} // namespace

// The progress window of a print run: its texts, its bar, and the cancel
// request the sheet layout reads.
class TestPrintInformation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initialControls();
    void showForRun_data();
    void showForRun();
    void progressSteps_data();
    void progressSteps();
    void barShowsTheShareOfLabelsDone_data();
    void barShowsTheShareOfLabelsDone();
    void cancelRequestIsForgottenByNextRun();
    void closingTheWindowCancels();
    void layoutFillsPanelsAndStopsOnCancel();
    void cancelIsSeenInARunWithoutWaits_data();
    void cancelIsSeenInARunWithoutWaits();
};

void TestPrintInformation::initialControls()
{
    TDruckInformation window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Drucken"));
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

    QStringList texts;
    for (const QLabel *label : window.findChildren<QLabel *>())
        texts << label->text();
    QVERIFY(texts.contains(QStringLiteral("Ausdruck wird vorbereitet.")));
    QVERIFY(texts.contains(QStringLiteral("Bitte warten Sie einen Moment ...")));
    QVERIFY(window.findChild<QLabel *>(QStringLiteral("Label_Drucker")));

    auto *bar = window.findChild<QProgressBar *>(QStringLiteral("ProgressZeile"));
    QVERIFY(bar);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    auto *button = window.findChild<QPushButton *>(QStringLiteral("Abbruch_Button"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Abbrechen"));

    auto *status = window.findChild<QStatusBar *>(QStringLiteral("StatusZeile"));
    QVERIFY(status);
    const QList<QLabel *> panels = status->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(panels.size(), 3);
    QCOMPARE(window.labelText(), QStringLiteral("Etikett"));
    QCOMPARE(window.pageText(), QStringLiteral("Seite"));
    QCOMPARE(window.actionText(), QStringLiteral("Aktion"));
    const QList<int> widths { 70, 60, 50 };
    const QStringList initial { QStringLiteral("Etikett"), QStringLiteral("Seite"),
        QStringLiteral("Aktion") };
    window.show();
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(panels[i]->text(), initial[i]);
        QVERIFY(panels[i]->width() >= widths[i]);
    }
    // In the order label, page, action from left to right.
    QVERIFY(panels[0]->x() < panels[1]->x());
    QVERIFY(panels[1]->x() < panels[2]->x());
}

void TestPrintInformation::showForRun_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("short") << QStringLiteral("Laser im Büro") << QStringLiteral("Laser im Büro");
    const QString forty = QStringLiteral("Ä123456789").repeated(4);
    QTest::newRow("forty") << forty << forty;
    QTest::newRow("forty-one") << forty + QStringLiteral("X") << forty;
    QTest::newRow("empty") << QString() << QString();
}

void TestPrintInformation::showForRun()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);

    TDruckInformation window;
    window.setLabelText(QStringLiteral("Etikett 7"));
    window.setPageText(QStringLiteral("Seite 2"));
    window.setProgressStep(50);
    window.stepProgress();
    QCOMPARE(window.progressValue(), 50);

    window.showForRun(name);
    QVERIFY(window.isVisible());
    // Shown without blocking, but no other window takes input meanwhile.
    QCOMPARE(QApplication::activeModalWidget(), &window);
    QCOMPARE(window.printerName(), shown);
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label_Drucker"))->text(), shown);
    QCOMPARE(window.progressValue(), 0);
    QCOMPARE(window.actionText(), QStringLiteral("Starte ..."));
    QCOMPARE(window.pageText(), QString());
    QCOMPARE(window.labelText(), QString());

    const QRect screen = window.screen()->availableGeometry();
    QVERIFY(qAbs(window.frameGeometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(window.frameGeometry().center().y() - screen.center().y()) <= 1);

    window.hideWindow();
    QVERIFY(!window.isVisible());
}

void TestPrintInformation::progressSteps_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("value");
    QTest::newRow("3 labels") << 33 << 3 << 99;
    QTest::newRow("1 label") << 100 << 1 << 100;
    QTest::newRow("more than 100 labels") << 0 << 150 << 0;
    QTest::newRow("stops at 100") << 40 << 3 << 100;
}

void TestPrintInformation::progressSteps()
{
    QFETCH(int, step);
    QFETCH(int, steps);
    QFETCH(int, value);

    TDruckInformation window;
    window.showForRun(QStringLiteral("P"));
    window.setProgressStep(step);
    QCOMPARE(window.progressStep(), step);
    for (int i = 0; i < steps; ++i)
        window.stepProgress();
    QCOMPARE(window.progressValue(), value);
    QCOMPARE(window.findChild<QProgressBar *>(QStringLiteral("ProgressZeile"))->value(), value);
}

void TestPrintInformation::barShowsTheShareOfLabelsDone_data()
{
    QTest::addColumn<int>("labels");
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("value");
    QTest::newRow("half of 150") << 150 << 75 << 50;
    QTest::newRow("one of 1000") << 1000 << 1 << 0;
    QTest::newRow("999 of 1000") << 1000 << 999 << 99;
    QTest::newRow("all of 3") << 3 << 3 << 100;
    QTest::newRow("5 of 7") << 7 << 5 << 71;
}

// Runs of more than 100 labels have a step of 0; the bar still moves.
void TestPrintInformation::barShowsTheShareOfLabelsDone()
{
    QFETCH(int, labels);
    QFETCH(int, done);
    QFETCH(int, value);
    TDruckInformation window;
    window.showForRun(QStringLiteral("P"));
    window.setProgressStep(100 / labels);
    window.setProgressTotal(labels);
    for (int i = 0; i < done; ++i)
        window.stepProgress();
    QCOMPARE(window.progressValue(), value);
    // The next run starts at 0 again.
    window.showForRun(QStringLiteral("P"));
    QCOMPARE(window.progressValue(), 0);
}

void TestPrintInformation::cancelRequestIsForgottenByNextRun()
{
    TDruckInformation window;
    auto *button = window.findChild<QPushButton *>(QStringLiteral("Abbruch_Button"));
    window.showForRun(QStringLiteral("P"));
    QVERIFY(!window.cancelRequested());
    QVERIFY(button->isEnabled());

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(window.cancelRequested());
    QVERIFY(!button->isEnabled());
    window.hideWindow();
    QVERIFY(window.cancelRequested());

    window.showForRun(QStringLiteral("P"));
    QVERIFY(!window.cancelRequested());
    QVERIFY(button->isEnabled());
    QCOMPARE(button->text(), QStringLiteral("Abbrechen"));
}

void TestPrintInformation::closingTheWindowCancels()
{
    TDruckInformation window;
    window.showForRun(QStringLiteral("P"));
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    QVERIFY(window.cancelRequested());

    // Hidden after the run, the window closes quietly (the program's end).
    window.hideWindow();
    QVERIFY(window.close());
}

void TestPrintInformation::layoutFillsPanelsAndStopsOnCancel()
{
    TDruckInformation window;
    SilentPrinter printer;
    VirtualWaiter waiter;
    LayoutRequest request;
    request.startPosition = 1;
    request.lastPosition = 5;

    QStringList seen;
    waiter.setOnWait([&](int, qint64) {
        seen << window.labelText() + QLatin1Char('|') + window.pageText();
        // The user presses "Abbrechen" while the third label is handed over.
        if (window.labelText() == QLatin1String("Etikett 3") && !window.cancelRequested())
            window.findChild<QPushButton *>(QStringLiteral("Abbruch_Button"))->click();
    });

    window.showForRun(QStringLiteral("Etikettendrucker"));
    const LayoutResult result
        = Ausdrucken(request, twoPerSheet(), printer, window, waiter, [](ICanvas &, int, int, int, bool) {});
    QCOMPARE(result, LayoutResult::Cancelled);
    QVERIFY(seen.contains(QStringLiteral("Etikett 1|Seite 1")));
    QVERIFY(seen.contains(QStringLiteral("Etikett 3|Seite 2")));
    QVERIFY(!seen.contains(QStringLiteral("Etikett 4|Seite 2")));
    QCOMPARE(window.progressStep(), 20);
    QCOMPARE(window.progressValue(), 60);
    QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("Abbruch_Button"))->isEnabled());
}

void TestPrintInformation::cancelIsSeenInARunWithoutWaits_data()
{
    QTest::addColumn<int>("msPerLabel");
    QTest::addColumn<int>("clickedAt");
    QTest::addColumn<int>("printed");
    // Events are handled once 50 ms have passed since the last turn: at the
    // 3rd, 6th, 9th label of 20 ms; a click is seen at the next such turn.
    QTest::newRow("clicked at label 1, seen after label 3") << 20 << 1 << 3;
    QTest::newRow("clicked at label 2, seen after label 3") << 20 << 2 << 3;
    QTest::newRow("clicked at label 4, seen after label 6") << 20 << 4 << 6;
    QTest::newRow("slow labels: seen after the label clicked at") << 60 << 5 << 5;
    QTest::newRow("fast labels: seen at the next turn, 50 ms on") << 1 << 101 << 150;
}

// A run that does not wait never enters the event loop: the window's own
// progress calls handle the pending events (painting, the click on
// "Abbrechen"), every 50 ms on the run's clock and not more often.
void TestPrintInformation::cancelIsSeenInARunWithoutWaits()
{
    QFETCH(int, msPerLabel);
    QFETCH(int, clickedAt);
    QFETCH(int, printed);
    TDruckInformation window;
    qint64 now = 0;
    window.setClock([&now] { return now; });
    auto *button = window.findChild<QPushButton *>(QStringLiteral("Abbruch_Button"));
    CanvasPrinter printer;
    LayoutRequest request;
    request.lastPosition = 1000;
    SheetFormat format = twoPerSheet();
    window.showForRun(QStringLiteral("Etikettendrucker"));
    int drawn = 0;
    // The layout without waits: no waiter, so nothing else handles events.
    const LayoutResult result = Ausdrucken(
        request, format, printer, window, PlacedLabelDrawer([&](ICanvas &, const LabelPlace &, int, bool) {
            ++drawn;
            now += msPerLabel;
            // The user clicks while the label is drawn: the click waits in
            // the event queue.
            if (drawn == clickedAt)
                QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
        }));
    QCOMPARE(result, LayoutResult::Cancelled);
    QCOMPARE(drawn, printed);
    QVERIFY(window.cancelRequested());
    QCOMPARE(button->text(), QStringLiteral("Wird abgebrochen ..."));
    window.hideWindow();
}

QTEST_MAIN(TestPrintInformation)
#include "TestPrintInformation.moc"
