#pragma once

#include "platform/stringtable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace qm {

// The input expert ("Eingabe-Experte") as the print run uses it. It keeps
// the records typed into it itself and hands them back after the showing.
class IInputExpert
{
public:
    virtual ~IInputExpert() = default;
    // Mode "E" (enter and print) or "D" (records chosen in the database).
    virtual void setModus(const QString &modus) = 0;
    // The status line: the design's name and the sheet format's description.
    virtual void setStatusText(const QString &designName, const QString &formatName) = 0;
    // The design's data fields as the design loader registers them in an
    // entry grid: (0, 0) the field count, row 0 the titles, row 1 the
    // maximum lengths (cells (column, row)). Records of an earlier showing
    // are given up.
    virtual void setFields(const StringTable &fields) = 0;
    // Checks a start label of 1 or more against the sheet: the reason it
    // cannot be printed from there, or an empty text. "&Drucken" and
    // "&Vorschau" show the reason and the dialog stays open.
    using StartCheck = std::function<QString(int start)>;
    virtual void setStartCheck(StartCheck check) = 0;
    // Checks a value as it is entered: `field` is the design's field
    // (data column, from 1), `record` the record's number (from 1).
    // The reason the value cannot be printed, or an empty text. Return in
    // the field's line, "&Neu", "&Drucken" and "&Vorschau" show the reason
    // and keep the value where it was typed.
    using ValueCheck = std::function<QString(int field, const QString &value, int record)>;
    virtual void setValueCheck(ValueCheck check) { (void)check; }
    // The offset scroll bars, 0 .. 500; 250 means no shift.
    virtual void setScrollPositions(int scrollX, int scrollY) = 0;
    virtual int scrollX() const = 0;
    virtual int scrollY() const = 0;
    // Shows the dialog modally and returns when it has closed: true when it
    // was left with "&Drucken".
    virtual bool showModal() = 0;
    // The records typed in mode "E" as "&Drucken" or "&Vorschau" stored them
    // last, each with its copies first, then the value of every data column;
    // none in mode "D", whose records come from the record selection.
    virtual QList<QStringList> records() const = 0;
    // What the print run reads after the dialog has closed.
    virtual QString startLabelText() const = 0;
    virtual bool frameChecked() const = 0;
};

} // namespace qm
