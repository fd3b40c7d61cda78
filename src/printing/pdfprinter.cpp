#include "pdfprinter.h"

#include "platform/canvas/qpaintercanvas.h"
#include "platform/errors.h"
#include "platform/textfile.h"
#include "printing/printermapping.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cerrno>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

} // namespace

QString deviceFailureMessage(LayoutResult result, const QString &name, const PdfPrinter *pdf)
{
    if (pdf) {
        const QString why = pdf->errorMessage();
        return why.isEmpty() ? tr("Die PDF-Datei %1 konnte nicht geschrieben werden.").arg(name)
                             : tr("Die PDF-Datei %1 konnte nicht geschrieben werden: %2").arg(name, why);
    }
    if (result == LayoutResult::EndFailed)
        return tr("Der Druckauftrag für %1 konnte nicht abgeschlossen werden.").arg(name);
    return tr("Der Drucker %1 konnte nicht geöffnet werden.").arg(name);
}

PdfPrinter::PdfPrinter(QString path, int dotsPerInch)
    : m_path(std::move(path))
    , m_dpi(dotsPerInch)
{ }

PdfPrinter::~PdfPrinter()
{
    // A document that was not ended is dropped: the target stays as it was.
    m_canvas.reset();
    if (m_painter) {
        try {
            m_painter->end();
        } catch (...) {
            abandonPainter();
        }
    }
    m_painter.reset();
    m_writer.reset();
    m_file.reset();
}

void PdfPrinter::abandonPainter() noexcept
{
    // Ending the document failed half way (Qt's engine throws
    // std::bad_alloc when it cannot get a page buffer): the painter is still
    // active, and destroying it would end it again and throw out of a
    // destructor, which aborts the program. Painter and writer are left
    // behind instead (a few kilobytes and the page buffers, in a run that is
    // ending for want of memory); the temporary file is removed as usual.
    (void)m_painter.release();
    (void)m_writer.release();
}

QSize PdfPrinter::pageFor(const Paper &paper)
{
    const int a4Width = 2100;
    const int a4Length = 2970;
    const int width = paper.code == kSheetPaperCode ? paper.width - kSheetPaperExtraWidth : paper.width;
    if (width <= a4Width && paper.length <= a4Length)
        return { a4Width, a4Length };
    return { qMax(1, width), qMax(1, paper.length) };
}

bool PdfPrinter::DruckerOeffnen()
{
    m_open = !m_path.isEmpty() && m_dpi > 0;
    return m_open;
}

void PdfPrinter::DruckerSchliessen()
{
    m_open = false;
}

IPrinterDevice::Paper PdfPrinter::PapierformatHolen()
{
    return m_paper;
}

void PdfPrinter::PapierformatSetzen(const Paper &paper)
{
    m_paper = paper;
}

bool PdfPrinter::DokumentBeginnen(const QString &documentName)
{
    if (!m_open || m_painter)
        return false;
    m_error.clear();
    m_file = std::make_unique<ReplacingFile>(m_path);
    try {
        m_file->begin();
    } catch (const Error &e) {
        m_error = e.message();
        m_file.reset();
        return false;
    }
    m_writer = std::make_unique<QPdfWriter>(m_file.get());
    m_writer->setTitle(documentName);
    m_writer->setCreator(QStringLiteral("Quillmark"));
    m_writer->setResolution(m_dpi);
    const QSize page = pageFor(m_paper);
    const QPageSize size = page == QSize(2100, 2970)
        ? QPageSize(QPageSize::A4)
        : QPageSize(QSizeF(page.width() / 10.0, page.height() / 10.0), QPageSize::Millimeter);
    m_writer->setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_writer.get())) {
        m_painter.reset();
        m_writer.reset();
        m_file.reset();
        return false;
    }
    m_canvas = std::make_unique<QPainterCanvas>(*m_painter);
    m_pages = 1;
    return true;
}

bool PdfPrinter::DokumentBeenden()
{
    if (!m_painter)
        return false;
    m_canvas.reset();
    bool ended = false;
    try {
        ended = m_painter->end();
    } catch (...) {
        abandonPainter();
        m_file.reset();
        throw;
    }
    m_painter.reset();
    m_writer.reset();
    try {
        if (!ended)
            throw IoError(EIO);
        m_file->commit();
    } catch (const Error &e) {
        m_error = e.message();
        m_file.reset();
        return false;
    }
    m_file.reset();
    return true;
}

void PdfPrinter::abortDocument()
{
    m_canvas.reset();
    if (m_painter) {
        try {
            m_painter->end();
        } catch (...) {
            abandonPainter();
        }
    }
    m_painter.reset();
    m_writer.reset();
    // Not committed: the temporary file goes, the target stays.
    m_file.reset();
}

bool PdfPrinter::MassstabSetzen(int unitsPerCm, double scaleX, double scaleY)
{
    if (!m_open || !m_painter || unitsPerCm < 1)
        return false;
    mapUnitsPerCentimetre(*m_painter, unitsPerCm, m_dpi, m_dpi, scaleX, scaleY,
        dotsOfTenths(m_origin.x(), m_origin.y(), m_dpi, m_dpi));
    return true;
}

void PdfPrinter::endPage() { }

void PdfPrinter::beginPage()
{
    if (m_writer && m_writer->newPage())
        ++m_pages;
}

ICanvas *PdfPrinter::canvas()
{
    return m_painter ? m_canvas.get() : nullptr;
}

} // namespace qm
