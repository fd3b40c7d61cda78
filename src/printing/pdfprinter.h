#pragma once

#include "printing/layout.h"

#include <QPoint>

#include <QSize>

#include <memory>

class QPainter;
class QPdfWriter;

namespace qm {

class QPainterCanvas;
class ReplacingFile;

// Why a run on the device called `name` printed nothing (`result` neither
// Printed nor Cancelled): the PDF file's error when `pdf` is that device, a
// print job that could not be finished (EndFailed), else a printer that
// could not be opened.
class PdfPrinter;
QString deviceFailureMessage(LayoutResult result, const QString &name, const PdfPrinter *pdf);

// A printer that writes the run into a PDF file. The page is the sheet's
// real paper: DIN A4 portrait when the sheet extent fits on it, else the
// extent itself (the layout's extra width for a printer is left out); its
// origin is the top-left corner of the page, where the sheet's corner lies,
// and there is no unprintable margin. Printed at actual size on A4 stock,
// every label lands on its place.
//
// The document is written into a temporary file beside the target, which
// replaces the target only when the document has been ended and every byte
// was written (ReplacingFile): a run that fails or is given up, and a
// printer destroyed before the document ended, leave the previous file as it
// was. A document that cannot be written makes DokumentBeginnen or
// DokumentBeenden return false, and errorMessage() says why. Running out of
// memory while the document is ended throws std::bad_alloc out of
// DokumentBeenden, with the temporary file removed.
class PdfPrinter : public IPrinterDevice
{
public:
    // The page for a paper the layout asks for, in tenths of a millimetre.
    static QSize pageFor(const Paper &paper);

    explicit PdfPrinter(QString path, int dotsPerInch = 600);
    ~PdfPrinter() override;

    bool DruckerOeffnen() override;
    void DruckerSchliessen() override;
    Paper PapierformatHolen() override;
    void PapierformatSetzen(const Paper &paper) override;
    bool DokumentBeginnen(const QString &documentName) override;
    bool DokumentBeenden() override;
    // Drops the document: the target file stays as it was.
    void abortDocument() override;
    bool MassstabSetzen(int unitsPerCm, double scaleX, double scaleY) override;
    void setOriginOffset(int tenthsX, int tenthsY) override { m_origin = QPoint(tenthsX, tenthsY); }
    void endPage() override;
    void beginPage() override;
    ICanvas *canvas() override;

    // Pages begun so far in the current or last document.
    int pageCount() const { return m_pages; }
    // Why the last document could not be begun or written (the German I/O
    // message, for a target that is no regular file one naming it); empty
    // when nothing went wrong.
    const QString &errorMessage() const { return m_error; }

private:
    void abandonPainter() noexcept;

    QString m_path;
    int m_dpi;
    Paper m_paper { 9, 2970, 2100 }; // A4 until the run sets its sheet
    bool m_open = false;
    int m_pages = 0;
    QString m_error;
    std::unique_ptr<ReplacingFile> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<QPainterCanvas> m_canvas;
    QPoint m_origin; // tenths of a millimetre
};

} // namespace qm
