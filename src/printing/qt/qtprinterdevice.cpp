#include "qtprinterdevice.h"

#include "platform/canvas/qpaintercanvas.h"
#include "printing/printermapping.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinterInfo>

#include <array>
#include <utility>

namespace qm {
namespace {

// The platform's paper codes of the common sizes; everything else counts as
// a size of its own (code 256).
constexpr int UserDefinedPaper = 256;
constexpr std::array<std::pair<QPageSize::PageSizeId, int>, 6> paperCodes { {
    { QPageSize::Letter, 1 },
    { QPageSize::Legal, 5 },
    { QPageSize::A3, 8 },
    { QPageSize::A4, 9 },
    { QPageSize::A5, 11 },
    { QPageSize::B5, 34 },
} };

IPrinterDevice::Paper paperOf(const QPageSize &size)
{
    int code = UserDefinedPaper;
    for (const auto &[id, paperCode] : paperCodes) {
        if (size.id() == id)
            code = paperCode;
    }
    // Lengths in tenths of a millimetre.
    const QSizeF mm = size.size(QPageSize::Millimeter);
    return { code, qRound(mm.height() * 10), qRound(mm.width() * 10) };
}

} // namespace

PrinterChoices PrinterChoices::readFrom(QPrinter &printer)
{
    PrinterChoices choices;
    choices.resolution = printer.resolution();
    choices.colourMode = printer.colorMode();
    choices.duplex = printer.duplex();
    choices.paperSource = printer.paperSource();
    choices.pageOrder = printer.pageOrder();
    choices.copies = printer.copyCount();
    choices.collate = printer.collateCopies();
    return choices;
}

void PrinterChoices::applyTo(QPrinter &printer) const
{
    if (resolution > 0)
        printer.setResolution(resolution);
    printer.setColorMode(colourMode);
    printer.setDuplex(duplex);
    printer.setPaperSource(paperSource);
    printer.setPageOrder(pageOrder);
    printer.setCopyCount(qMax(1, copies));
    printer.setCollateCopies(collate);
}

QtPrinterDevice::QtPrinterDevice(QString printerName, std::optional<PrinterChoices> choices)
    : m_name(std::move(printerName))
    , m_choices(std::move(choices))
{ }

QtPrinterDevice::~QtPrinterDevice()
{
    DokumentBeenden();
}

bool QtPrinterDevice::DruckerOeffnen()
{
    if (m_painter)
        return false;
    m_printer.reset();
    m_dpiX = m_dpiY = 0;
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_name);
    if (m_name.isEmpty() || info.isNull())
        return false;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    // Without a spooler that knows the printer, Qt quietly switches to
    // writing a PDF file; that is no printer.
    if (printer->outputFormat() != QPrinter::NativeFormat || printer->printerName() != m_name
        || !printer->isValid())
        return false;
    if (m_choices)
        m_choices->applyTo(*printer);
    printer->setFullPage(false);
    printer->setPageOrientation(QPageLayout::Portrait);
    m_dpiX = printer->logicalDpiX();
    m_dpiY = printer->logicalDpiY();
    if (m_dpiX <= 0 || m_dpiY <= 0) {
        m_dpiX = m_dpiY = 0;
        return false;
    }
    if (!m_paper)
        m_paper = paperOf(printer->pageLayout().pageSize());
    m_printer = std::move(printer);
    return true;
}

void QtPrinterDevice::DruckerSchliessen()
{
    DokumentBeenden();
    m_printer.reset();
    m_dpiX = m_dpiY = 0;
}

IPrinterDevice::Paper QtPrinterDevice::PapierformatHolen()
{
    if (!m_paper) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(m_name);
        m_paper = info.isNull() ? Paper { 9, 2970, 2100 } : paperOf(info.defaultPageSize());
    }
    return *m_paper;
}

void QtPrinterDevice::PapierformatSetzen(const Paper &paper)
{
    m_paper = paper;
}

bool QtPrinterDevice::DokumentBeginnen(const QString &documentName)
{
    if (!m_printer || m_painter)
        return false;
    m_printer->setDocName(documentName);
    m_printer->setCreator(QStringLiteral("Quillmark"));
    const Paper paper = PapierformatHolen();
    if (paper.width > 0 && paper.length > 0) {
        const QPageSize size(QSizeF(paper.width / 10.0, paper.length / 10.0), QPageSize::Millimeter,
            QString(), QPageSize::ExactMatch);
        m_printer->setPageSize(size);
    }
    // Margins as small as the printer allows: the origin is the top-left
    // corner of the printable area.
    m_printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        m_painter.reset();
        return false;
    }
    m_canvas = std::make_unique<QPainterCanvas>(*m_painter);
    m_pages = 1;
    return true;
}

bool QtPrinterDevice::DokumentBeenden()
{
    if (!m_painter)
        return false;
    m_canvas.reset();
    const bool done = m_painter->end();
    m_painter.reset();
    return done;
}

void QtPrinterDevice::abortDocument()
{
    if (!m_painter)
        return;
    m_canvas.reset();
    // Qt's printer spools the document and hands it to the system when the
    // painter ends; aborted first, it hands over nothing.
    m_printer->abort();
    m_painter->end();
    m_painter.reset();
}

bool QtPrinterDevice::MassstabSetzen(int unitsPerCm, double scaleX, double scaleY)
{
    if (!m_painter || unitsPerCm < 1)
        return false;
    mapUnitsPerCentimetre(*m_painter, unitsPerCm, m_dpiX, m_dpiY, scaleX, scaleY,
        dotsOfTenths(m_origin.x(), m_origin.y(), m_dpiX, m_dpiY));
    return true;
}

void QtPrinterDevice::endPage() { }

void QtPrinterDevice::beginPage()
{
    if (m_painter && m_printer->newPage())
        ++m_pages;
}

ICanvas *QtPrinterDevice::canvas()
{
    return m_painter ? m_canvas.get() : nullptr;
}

} // namespace qm
