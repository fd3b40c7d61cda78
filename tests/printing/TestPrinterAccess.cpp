#include "printing/printeraccess.h"

#include <QTest>

using namespace qm;

Q_DECLARE_METATYPE(std::optional<qm::PrinterName>)

class TestPrinterAccess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitsDefaultPrinterEntry_data();
    void splitsDefaultPrinterEntry();
};

void TestPrinterAccess::splitsDefaultPrinterEntry_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<std::optional<PrinterName>>("name");
    const std::optional<PrinterName> none;
    QTest::newRow("DeskJet on LPT1") << "HP DeskJet 500,HPDSKJET,LPT1:"
                                     << std::optional(PrinterName { "HP DeskJet 500", "HPDSKJET", "LPT1:" });
    QTest::newRow("commas in the port stay there")
        << "Laser,PSCRIPT,\\\\server\\laser,2,x"
        << std::optional(PrinterName { "Laser", "PSCRIPT", "\\\\server\\laser,2,x" });
    QTest::newRow("empty parts") << ",," << std::optional(PrinterName { "", "", "" });
    QTest::newRow("blanks are kept") << " A , B , C " << std::optional(PrinterName { " A ", " B ", " C " });
    QTest::newRow("empty entry") << "" << none;
    QTest::newRow("name only") << "HP DeskJet 500" << none;
    QTest::newRow("one comma") << "HP DeskJet 500,HPDSKJET" << none;
}

void TestPrinterAccess::splitsDefaultPrinterEntry()
{
    QFETCH(QString, entry);
    QFETCH(std::optional<PrinterName>, name);
    const std::optional<PrinterName> split = splitPrinterEntry(entry);
    QCOMPARE(split.has_value(), name.has_value());
    if (name) {
        QCOMPARE(split->device, name->device);
        QCOMPARE(split->driver, name->driver);
        QCOMPARE(split->port, name->port);
    }
}

QTEST_APPLESS_MAIN(TestPrinterAccess)
#include "TestPrinterAccess.moc"
