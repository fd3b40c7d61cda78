#pragma once

// Printer, printer access and progress window for tests of print runs.

#include "platform/canvas/recordingcanvas.h"
#include "printing/printeraccess.h"
#include "printing/printerdecorator.h"

#include <QPointF>
#include <QStringList>

#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace qm::test {

class RecordingPrinter : public IPrinterDevice
{
public:
    RecordingCanvas canvas_;
    int pages = 0;
    bool ended = false;
    Paper paper { 9, 2970, 2100 };
    // The mapping of the last MassstabSetzen and the origin set before it.
    int unitsPerCm = 0;
    double scaleX = 0;
    double scaleY = 0;
    int originX = 0; // tenths of a millimetre
    int originY = 0;
    bool DruckerOeffnen() override { return true; }
    void DruckerSchliessen() override { }
    Paper PapierformatHolen() override { return paper; }
    void PapierformatSetzen(const Paper &p) override { paper = p; }
    bool DokumentBeginnen(const QString &) override
    {
        pages = 1;
        return true;
    }
    bool DokumentBeenden() override { return ended = true; }
    bool MassstabSetzen(int u, double sx, double sy) override
    {
        unitsPerCm = u;
        scaleX = sx;
        scaleY = sy;
        return true;
    }
    void setOriginOffset(int x, int y) override
    {
        originX = x;
        originY = y;
    }
    void endPage() override { }
    void beginPage() override { ++pages; }
    ICanvas *canvas() override { return &canvas_; }

    // Where a logical point lands on paper, in tenths of a millimetre.
    QPointF paperOf(double x, double y) const
    {
        return QPointF(originX + x * 100.0 / unitsPerCm * scaleX, originY + y * 100.0 / unitsPerCm * scaleY);
    }
};

class FakePrinters : public IPrinterAccess
{
public:
    bool hasDefault = true;
    bool outOfMemory = false; // asking for the default printer throws std::bad_alloc
    // Printers besides the default one, by name.
    QStringList others;
    bool defaultListedLast = false; // the system lists the others first
    RecordingPrinter *last = nullptr;
    QString lastOpened; // the name of the printer opened last
    std::vector<std::unique_ptr<RecordingPrinter>> made;

    // The texts drawn on the last printer opened, as "x,y \"text\"".
    QStringList texts() const
    {
        QStringList out;
        if (last)
            for (const auto &call : last->canvas_.calls())
                if (call.op == QLatin1String("text"))
                    out << call.args.mid(0, 2).join(QLatin1Char(' '));
        return out;
    }
    std::optional<PrinterName> DruckerbezeichnungHolen() override
    {
        if (outOfMemory)
            throw std::bad_alloc();
        if (!hasDefault)
            return std::nullopt;
        return PrinterName { QStringLiteral("Etikettendrucker"), QStringLiteral("cups"),
            QStringLiteral("usb:") };
    }
    std::unique_ptr<IPrinterDevice> openDefaultPrinter() override
    {
        if (!hasDefault)
            return nullptr;
        return openPrinter(QStringLiteral("Etikettendrucker"));
    }
    QList<PrinterInfo> availablePrinters() override
    {
        QList<PrinterInfo> all;
        for (const QString &name : others)
            all.append({ name, QString(), QStringLiteral("bereit"), false });
        if (hasDefault)
            all.insert(defaultListedLast ? all.size() : 0,
                { QStringLiteral("Etikettendrucker"), QStringLiteral("Büro"), QStringLiteral("bereit"), true });
        return all;
    }
    std::unique_ptr<IPrinterDevice> openPrinter(const QString &name) override
    {
        if (!(hasDefault && name == QLatin1String("Etikettendrucker")) && !others.contains(name))
            return nullptr;
        lastOpened = name;
        made.push_back(std::make_unique<RecordingPrinter>());
        last = made.back().get();
        // The run owns and deletes what it gets; the recording printer behind
        // it stays for the test to look at.
        return std::make_unique<PrinterDecorator>(*last);
    }
};

} // namespace qm::test
