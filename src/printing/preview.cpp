#include "preview.h"

#include "platform/canvas/qpaintercanvas.h"
#include "platform/services.h"
#include "printing/pdfprinter.h"
#include "printing/printermapping.h"

#include <QPainter>

namespace qm {
namespace {

// A preview waits for nothing.
class NoWait : public IWaiter
{
public:
    void wait(int) override { }
};

// Each block of factor x factor pixels becomes one, its darkness per
// channel the block's mean darkness, raised: 255 - (255 - v)^2 / 255 from
// the white side, i.e. v' = v^2 / 255 on the values.
QImage scaledDown(const QImage &image, int factor, QSize size)
{
    if (factor == 1)
        return image;
    QImage result(size, QImage::Format_RGB32);
    result.setDotsPerMeterX(image.dotsPerMeterX() / factor);
    result.setDotsPerMeterY(image.dotsPerMeterY() / factor);
    const int area = factor * factor;
    for (int y = 0; y < size.height(); ++y) {
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            int r = 0, g = 0, b = 0;
            for (int dy = 0; dy < factor; ++dy) {
                const auto *in
                    = reinterpret_cast<const QRgb *>(image.constScanLine(y * factor + dy)) + x * factor;
                for (int dx = 0; dx < factor; ++dx) {
                    r += qRed(in[dx]);
                    g += qGreen(in[dx]);
                    b += qBlue(in[dx]);
                }
            }
            const auto darker = [area](int sum) {
                const int mean = sum / area;
                return mean * mean / 255;
            };
            out[x] = qRgb(darker(r), darker(g), darker(b));
        }
    }
    return result;
}

} // namespace

ImagePrinter::ImagePrinter(int dotsPerInch, int oversampling)
    : m_dpi(dotsPerInch)
    , m_oversampling(std::max(1, oversampling))
{ }

ImagePrinter::~ImagePrinter()
{
    DokumentBeenden();
}

bool ImagePrinter::DruckerOeffnen()
{
    m_open = m_dpi > 0;
    return m_open;
}

void ImagePrinter::DruckerSchliessen()
{
    m_open = false;
}

IPrinterDevice::Paper ImagePrinter::PapierformatHolen()
{
    return m_paper;
}

void ImagePrinter::PapierformatSetzen(const Paper &paper)
{
    m_paper = paper;
}

bool ImagePrinter::DokumentBeginnen(const QString &)
{
    if (!m_open || m_painter)
        return false;
    m_pages.clear();
    return startPage();
}

bool ImagePrinter::startPage()
{
    // Tenths of a millimetre to dots, in 64 bits.
    const QSize page = PdfPrinter::pageFor(m_paper);
    const qint64 width = (qint64(page.width()) * m_dpi + 127) / 254;
    const qint64 height = (qint64(page.height()) * m_dpi + 127) / 254;
    const qint64 fine = qint64(m_oversampling) * m_oversampling;
    if (width < 1 || height < 1 || width * height * fine > kMaxPixels)
        return false;
    m_pageSize = QSize(int(width), int(height));
    const int dpi = m_dpi * m_oversampling;
    m_page = QImage(m_pageSize * m_oversampling, QImage::Format_RGB32);
    m_page.setDotsPerMeterX(qRound(dpi / 0.0254));
    m_page.setDotsPerMeterY(qRound(dpi / 0.0254));
    m_page.fill(Qt::white);
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(&m_page)) {
        m_painter.reset();
        return false;
    }
    m_canvas = std::make_unique<QPainterCanvas>(*m_painter);
    return true;
}

void ImagePrinter::finishPage()
{
    if (!m_painter)
        return;
    m_canvas.reset();
    m_painter->end();
    m_painter.reset();
    m_pages.append(scaledDown(m_page, m_oversampling, m_pageSize));
    m_page = QImage();
}

bool ImagePrinter::DokumentBeenden()
{
    if (!m_painter)
        return false;
    finishPage();
    return true;
}

bool ImagePrinter::MassstabSetzen(int unitsPerCm, double scaleX, double scaleY)
{
    if (!m_open || !m_painter || unitsPerCm < 1)
        return false;
    const int dpi = m_dpi * m_oversampling;
    mapUnitsPerCentimetre(
        *m_painter, unitsPerCm, dpi, dpi, scaleX, scaleY, dotsOfTenths(m_origin.x(), m_origin.y(), dpi, dpi));
    return true;
}

void ImagePrinter::endPage()
{
    finishPage();
}

void ImagePrinter::beginPage()
{
    if (m_open && !m_painter)
        startPage();
}

ICanvas *ImagePrinter::canvas()
{
    return m_painter ? m_canvas.get() : nullptr;
}

QList<QImage> renderSheets(
    const LayoutRequest &request, const SheetFormat &format, const LabelDrawer &drawLabel, int dotsPerInch)
{
    return renderSheets(request, format,
        PlacedLabelDrawer([&drawLabel](ICanvas &canvas, const LabelPlace &place, int row, bool frame) {
            drawLabel(canvas, place.x, place.y, row, frame);
        }),
        dotsPerInch);
}

QList<QImage> renderSheets(const LayoutRequest &request, const SheetFormat &format,
    const PlacedLabelDrawer &drawLabel, int dotsPerInch)
{
    ImagePrinter printer(dotsPerInch);
    NullPrintProgress progress;
    NoWait waiter;
    if (Ausdrucken(request, format, printer, progress, waiter, drawLabel) != LayoutResult::Printed)
        return {};
    return printer.pages();
}

} // namespace qm
