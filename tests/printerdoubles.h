#pragma once

// Printer, printer access and progress window for tests of print runs.

#include "platform/canvas/recordingcanvas.h"
#include "printing/printeraccess.h"
#include "printing/printerdecorator.h"
#include "printing/progresswindow.h"

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
    bool MassstabSetzen(int, double, double) override { return true; }
    void endPage() override { }
    void beginPage() override { ++pages; }
    ICanvas *canvas() override { return &canvas_; }
};

class FakePrinters : public IPrinterAccess
{
public:
    bool hasDefault = true;
    bool outOfMemory = false; // asking for the default printer throws std::bad_alloc
    RecordingPrinter *last = nullptr;
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
        made.push_back(std::make_unique<RecordingPrinter>());
        last = made.back().get();
        // The run owns and deletes what it gets; the recording printer behind
        // it stays for the test to look at.
        return std::make_unique<PrinterDecorator>(*last);
    }
};

class RecordingProgressWindow : public IProgressWindow
{
public:
    QStringList log;
    bool visible = false;
    int cancelAfterSteps = -1;
    int steps = 0;
    void showForRun(const QString &printer) override
    {
        visible = true;
        steps = 0; // as the window forgets an earlier cancel request
        log << QStringLiteral("show ") + printer;
    }
    void hideWindow() override
    {
        visible = false;
        log << QStringLiteral("hide");
    }
    void setLabelText(const QString &) override { }
    void setPageText(const QString &) override { }
    void setActionText(const QString &) override { }
    void setProgressStep(int) override { }
    void stepProgress() override { ++steps; }
    bool cancelRequested() const override { return cancelAfterSteps >= 0 && steps >= cancelAfterSteps; }
};

} // namespace qm::test
