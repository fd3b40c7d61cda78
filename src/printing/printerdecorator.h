#pragma once

#include "printing/layout.h"

namespace qm {

// A printer that hands every call on to another one. Classes that watch a
// run (what was begun, how many pages) derive from it and override only
// what they watch.
class PrinterDecorator : public IPrinterDevice
{
public:
    explicit PrinterDecorator(IPrinterDevice &target)
        : m_target(target)
    { }

    bool DruckerOeffnen() override { return m_target.DruckerOeffnen(); }
    void DruckerSchliessen() override { m_target.DruckerSchliessen(); }
    Paper PapierformatHolen() override { return m_target.PapierformatHolen(); }
    void PapierformatSetzen(const Paper &paper) override { m_target.PapierformatSetzen(paper); }
    bool DokumentBeginnen(const QString &documentName) override
    {
        return m_target.DokumentBeginnen(documentName);
    }
    bool DokumentBeenden() override { return m_target.DokumentBeenden(); }
    void abortDocument() override { m_target.abortDocument(); }
    bool MassstabSetzen(int unitsPerCm, double scaleX, double scaleY) override
    {
        return m_target.MassstabSetzen(unitsPerCm, scaleX, scaleY);
    }
    void setOriginOffset(int tenthsX, int tenthsY) override { m_target.setOriginOffset(tenthsX, tenthsY); }
    void endPage() override { m_target.endPage(); }
    void beginPage() override { m_target.beginPage(); }
    ICanvas *canvas() override { return m_target.canvas(); }

private:
    IPrinterDevice &m_target;
};

} // namespace qm
