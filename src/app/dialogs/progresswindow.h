#pragma once

#include "printing/layout.h"

#include <QString>

namespace qm {

// The progress window of a print run ("Drucken"): the panels and the bar the
// layout fills, and its showing and hiding around the run.
class IProgressWindow : public IPrintProgress
{
public:
    // Bar at 0, action panel "Starte ...", page and label panels empty, the
    // printer's name (at most its first 40 characters) shown, an earlier
    // cancel request forgotten; then the window shows without blocking.
    virtual void showForRun(const QString &printerName) = 0;
    virtual void hideWindow() = 0;
};

} // namespace qm
