#pragma once

#include "printing/layout.h"

#include <memory>

class QPainter;
class QPdfWriter;

namespace qm {

class QPainterCanvas;

// A printer that writes the run into a PDF file. The page is the size the
// layout asks for (the sheet extent, 25 mm wider), its origin the top-left
// corner of the page; there is no unprintable margin.
class PdfPrinter : public IPrinterDevice
{
public:
    explicit PdfPrinter(QString path, int dotsPerInch = 600);
    ~PdfPrinter() override;

    bool DruckerOeffnen() override;
    void DruckerSchliessen() override;
    Paper PapierformatHolen() override;
    void PapierformatSetzen(const Paper &paper) override;
    bool DokumentBeginnen(const QString &documentName) override;
    bool DokumentBeenden() override;
    bool MassstabSetzen(int unitsPerCm, double scaleX, double scaleY) override;
    void endPage() override;
    void beginPage() override;
    ICanvas *canvas() override;

    // Pages begun so far in the current or last document.
    int pageCount() const { return m_pages; }

private:
    QString m_path;
    int m_dpi;
    Paper m_paper{9, 2970, 2100}; // A4 until the run sets its sheet
    bool m_open = false;
    int m_pages = 0;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<QPainterCanvas> m_canvas;
};

} // namespace qm
