#pragma once

#include <QString>

namespace qm {

// The design editor ("Design-Experte") as its callers use it: the print run
// in working mode 4, the main window, and the creation wizard.
//
//   Modus "N": a new design (DATEINAME empty) or the design file DATEINAME.
//   Modus "E": a new design of the label size set before (whole
//              millimetres), nothing loaded; "&Übernehmen" saves it and
//              hands its file back.
class IDesignEditor
{
public:
    virtual ~IDesignEditor() = default;
    virtual void setModus(const QString &modus) = 0;
    virtual void setDateiname(const QString &path) = 0;
    // GrX and GrY, for mode "E".
    virtual void setLabelSize(const QString &widthMm, const QString &heightMm) = 0;
    // Shows the editor modally and returns when it has closed: the design
    // file saved and taken over with "&Übernehmen", or an empty text when
    // the editor was left otherwise.
    virtual QString showModal() = 0;
    // The design file after closing: the one opened or last saved.
    virtual QString dateiname() const = 0;
};

} // namespace qm
