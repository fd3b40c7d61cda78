#pragma once

#include "printing/layout.h"

#include <QPoint>

#include <QPrinter>

#include <memory>
#include <optional>

class QPainter;

namespace qm {

class QPainterCanvas;

// What the user chose in the printer setup dialog, kept for the print runs of
// the rest of the program run. The page size and its orientation are not
// among them: every run sets the page to its sheet.
struct PrinterChoices
{
    int resolution = 0; // dots per inch
    QPrinter::ColorMode colourMode = QPrinter::Color;
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
    QPrinter::PaperSource paperSource = QPrinter::Auto;
    QPrinter::PageOrder pageOrder = QPrinter::FirstPageFirst;
    int copies = 1;
    bool collate = false;

    static PrinterChoices readFrom(QPrinter &printer);
    void applyTo(QPrinter &printer) const;
    bool operator==(const PrinterChoices &) const = default;
};

// A printer of the system (a CUPS queue) as the sheet layout drives it.
//
// The page of a run is passed with the document only: PapierformatSetzen
// changes the paper this device will ask for, never the printer's own
// default paper, so other programs printing meanwhile are not affected.
// PapierformatHolen starts from the printer's default paper.
//
// Logical (0, 0) is the top-left corner of the printable area: the sheet is
// not corrected for the unprintable margin (the offsets are the user's means
// to align the print). MassstabSetzen maps U logical units to one centimetre
// in whole numbers: U * 254 units to 100 inches of device dots.
class QtPrinterDevice : public IPrinterDevice
{
public:
    explicit QtPrinterDevice(QString printerName, std::optional<PrinterChoices> choices = std::nullopt);
    ~QtPrinterDevice() override;

    QtPrinterDevice(const QtPrinterDevice &) = delete;
    QtPrinterDevice &operator=(const QtPrinterDevice &) = delete;

    // Opens the printer; fails when the system has no printer of that name
    // (Qt would print into a PDF without a file instead) or reports no
    // resolution.
    bool DruckerOeffnen() override;
    void DruckerSchliessen() override;
    Paper PapierformatHolen() override;
    void PapierformatSetzen(const Paper &paper) override;
    bool DokumentBeginnen(const QString &documentName) override;
    // Ends the last page and hands the document to the spooler; also after a
    // run that was cancelled. False when no document was begun.
    bool DokumentBeenden() override;
    // Withdraws the job: the system is handed nothing.
    void abortDocument() override;
    bool MassstabSetzen(int unitsPerCm, double scaleX, double scaleY) override;
    void setOriginOffset(int tenthsX, int tenthsY) override { m_origin = QPoint(tenthsX, tenthsY); }
    void endPage() override;
    void beginPage() override;
    ICanvas *canvas() override;

    const QString &printerName() const { return m_name; }
    // Pages begun so far in the current or last document.
    int pageCount() const { return m_pages; }
    // Dots per inch of the open printer; 0 before it is opened.
    int resolutionX() const { return m_dpiX; }
    int resolutionY() const { return m_dpiY; }
    // The printer of the open device; nullptr before it is opened.
    const QPrinter *printer() const { return m_printer.get(); }

private:
    QString m_name;
    std::optional<PrinterChoices> m_choices;
    std::unique_ptr<QPrinter> m_printer;
    std::optional<Paper> m_paper;
    int m_dpiX = 0;
    int m_dpiY = 0;
    int m_pages = 0;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<QPainterCanvas> m_canvas;
    QPoint m_origin; // tenths of a millimetre
};

} // namespace qm
