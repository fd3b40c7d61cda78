#pragma once

#include <QString>

#include <functional>

namespace qm {

// The input expert ("Eingabe-Experte") as the print run uses it. The entry
// grid it fills and the dialog confirmation flag it sets are the shared ones
// the window was given when it was made.
class IInputExpert
{
public:
    virtual ~IInputExpert() = default;
    // Mode "E" (enter and print) or "D" (records chosen in the database).
    virtual void setModus(const QString &modus) = 0;
    // The status line: the design's name and the sheet format's description.
    virtual void setStatusText(const QString &designName, const QString &formatName) = 0;
    // Checks a start label of 1 or more against the sheet: the reason it
    // cannot be printed from there, or an empty text. "&Drucken" and
    // "&Vorschau" show the reason and the dialog stays open.
    using StartCheck = std::function<QString(int start)>;
    virtual void setStartCheck(StartCheck check) = 0;
    // Checks a value as it is entered: `field` is the design's field
    // (entry-grid column, from 1), `record` the record's number (from 1).
    // The reason the value cannot be printed, or an empty text. Return in
    // the field's line, "&Neu", "&Drucken" and "&Vorschau" show the reason
    // and keep the value where it was typed.
    using ValueCheck = std::function<QString(int field, const QString &value, int record)>;
    virtual void setValueCheck(ValueCheck check) { (void)check; }
    // The offset scroll bars, 0 .. 500; 250 means no shift.
    virtual void setScrollPositions(int scrollX, int scrollY) = 0;
    virtual int scrollX() const = 0;
    virtual int scrollY() const = 0;
    // Shows the dialog modally and returns when it has closed.
    virtual void showModal() = 0;
    // What the print run reads after the dialog has closed.
    virtual QString startLabelText() const = 0;
    virtual bool frameChecked() const = 0;
};

} // namespace qm
