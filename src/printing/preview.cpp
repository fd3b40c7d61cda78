#include "preview.h"

#include "platform/canvas/qpaintercanvas.h"
#include "platform/errors.h"
#include "printing/pdfprinter.h"
#include "printing/printermapping.h"

#include <QCoreApplication>
#include <QPainter>

#include <deque>
#include <utility>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

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
    m_finished = 0;
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
    m_page = scaledDown(m_page, m_oversampling, m_pageSize);
    m_pages.append(std::exchange(m_page, QImage()));
    ++m_finished;
    while (m_pages.size() > m_keep)
        m_pages.removeFirst();
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
    if (Ausdrucken(request, format, printer, progress, drawLabel) != LayoutResult::Printed)
        return {};
    return printer.pages();
}

void drawSheetOutlines(QImage &page, const SheetFormat &format, int dotsPerInch)
{
    QPainter painter(&page);
    painter.setCompositionMode(QPainter::CompositionMode_Darken);
    painter.setPen(QPen(QColor(200, 210, 230), 0, Qt::DashLine));
    const double dots = dotsPerInch / 254.0;
    for (int i = 1; i <= format.positionCount(); ++i) {
        int x = 0, y = 0, w = 0, h = 0;
        HolePosition(format, i, 0.0, 0.0, x, y, w, h);
        painter.drawRect(QRectF(x * dots, y * dots, w * dots, h * dots));
    }
}

struct PreviewPages::Impl
{
    // Declared before the run, which reads from them.
    std::unique_ptr<IRecordReader> ownedRecords;
    std::unique_ptr<LabelRun> run;
    int dotsPerInch = 0;
    // The pages held, the one asked for last at the back.
    std::deque<std::pair<int, QImage>> held;
};

PreviewPages::PreviewPages(const PrintJob &job, int dotsPerInch, std::unique_ptr<IRecordReader> ownedRecords)
    : d(std::make_unique<Impl>())
{
    d->ownedRecords = std::move(ownedRecords);
    d->dotsPerInch = dotsPerInch;
    PrintJob checked = job;
    if (d->ownedRecords)
        checked.records = d->ownedRecords.get();
    d->run = std::make_unique<LabelRun>(checked);
}

PreviewPages::~PreviewPages() = default;

int PreviewPages::pageCount() const
{
    return d->run->pageCount();
}

int PreviewPages::dotsPerInch() const
{
    return d->dotsPerInch;
}

int PreviewPages::pagesHeld() const
{
    return int(d->held.size());
}

QImage PreviewPages::page(int index)
{
    if (index < 0 || index >= pageCount())
        return {};
    for (auto it = d->held.begin(); it != d->held.end(); ++it) {
        if (it->first == index) {
            std::pair<int, QImage> found = std::move(*it);
            d->held.erase(it);
            d->held.push_back(std::move(found));
            return d->held.back().second;
        }
    }
    // A device of its own for each page: it is given this page only.
    ImagePrinter printer(d->dotsPerInch);
    printer.keepLastPages(1);
    NullPrintProgress progress;
    const PrintOutcome outcome = d->run->printPages(printer, progress, index + 1, index + 1);
    const bool deviceFailed = outcome.result == PrintOutcome::Result::DeviceFailed
        || outcome.result == PrintOutcome::Result::EndFailed;
    if (!outcome.printed() && !deviceFailed && !outcome.message.isEmpty())
        throw Error(outcome.message);
    if (!outcome.printed() || printer.pages().isEmpty())
        throw Error(tr("Die Vorschau kann für diesen Bogen nicht gezeigt werden."));
    QImage image = printer.pages().last();
    drawSheetOutlines(image, d->run->job().format, d->dotsPerInch);
    d->held.emplace_back(index, image);
    while (d->held.size() > size_t(HeldPages))
        d->held.pop_front();
    return image;
}

} // namespace qm
