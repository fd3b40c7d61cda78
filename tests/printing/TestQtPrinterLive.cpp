// The default printer of a running CUPS, as cups_printer.sh sets it up: the
// printer named by QM_LIVE_PRINTER with the device address QM_LIVE_PORT and
// A4 as its default paper. Run by that script only, after its print.
#include "printing/qt/qtprinteraccess.h"

#include <QPageLayout>
#include <QPrinterInfo>
#include <QTest>

using namespace qm;

class TestQtPrinterLive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void namesTheDefaultPrinter();
    void pageComesWithTheDocumentOnly();

private:
    QString m_name;
};

void TestQtPrinterLive::initTestCase()
{
    m_name = qEnvironmentVariable("QM_LIVE_PRINTER");
    if (m_name.isEmpty())
        QFAIL("QM_LIVE_PRINTER is not set: this test runs inside tests/printing/cups_printer.sh");
    QCOMPARE(QPrinterInfo::defaultPrinterName(), m_name);
}

void TestQtPrinterLive::namesTheDefaultPrinter()
{
    QtPrinterAccess printers;
    const std::optional<PrinterName> name = printers.DruckerbezeichnungHolen();
    QVERIFY(name.has_value());
    QCOMPARE(name->device, m_name);
    QVERIFY(!name->driver.isEmpty());
    QCOMPARE(name->port, qEnvironmentVariable("QM_LIVE_PORT"));
}

void TestQtPrinterLive::pageComesWithTheDocumentOnly()
{
    QtPrinterAccess printers;
    PrinterChoices choices;
    choices.colourMode = QPrinter::GrayScale;
    printers.setChoices(choices);
    std::unique_ptr<IPrinterDevice> opened = printers.openDefaultPrinter();
    QVERIFY(opened != nullptr);
    auto &device = static_cast<QtPrinterDevice &>(*opened);
    QVERIFY(device.DruckerOeffnen());
    QVERIFY(device.resolutionX() > 0);
    QVERIFY(device.resolutionY() > 0);
    QCOMPARE(device.printer()->colorMode(), QPrinter::GrayScale);

    const IPrinterDevice::Paper saved = device.PapierformatHolen();
    QCOMPARE(saved.code, 9);
    QCOMPARE(saved.length, 2970);
    QCOMPARE(saved.width, 2100);
    device.PapierformatSetzen({ 256, 2810, 2350 });
    QVERIFY(device.DokumentBeginnen(QStringLiteral("Quillmark 32")));
    QCOMPARE(device.printer()->docName(), QStringLiteral("Quillmark 32"));
    // Qt rounds custom sizes to whole points: at most 0.18 mm off.
    const QSizeF page = device.printer()->pageLayout().fullRect(QPageLayout::Millimeter).size();
    QVERIFY2(qAbs(page.width() - 235.0) < 0.2 && qAbs(page.height() - 281.0) < 0.2,
        qPrintable(QStringLiteral("%1 x %2 mm").arg(page.width()).arg(page.height())));
    QVERIFY(device.MassstabSetzen(25, 1.0, 1.0));
    QVERIFY(device.canvas() != nullptr);
    QVERIFY(device.DokumentBeenden());
    QVERIFY(!device.DokumentBeenden());
    device.DruckerSchliessen();
    device.PapierformatSetzen(saved);
    QCOMPARE(device.PapierformatHolen().length, 2970);

    // The printer's own default paper was never touched.
    QCOMPARE(QPrinterInfo::printerInfo(m_name).defaultPageSize().id(), QPageSize::A4);
}

QTEST_MAIN(TestQtPrinterLive)
#include "TestQtPrinterLive.moc"
