#pragma once

#include <QString>

namespace qm {

// The database expert ("Datenbank-Experte") as the print run uses it. Its
// record selection fills the shared entry grid when the user hands records
// over to printing.
class IDatabaseExpert
{
public:
    virtual ~IDatabaseExpert() = default;
    // The hidden labels the opener sets: the design whose fields are shown,
    // the sheet format (known only to a print run; it enables printing) and
    // the table to open. Empty texts mean none.
    virtual void setEtikettendateiname(const QString &path) = 0;
    virtual void setVorlagendateiname(const QString &path) = 0;
    virtual void setDatenbankname(const QString &path) = 0;
    // Shows the window modally and returns when it has closed.
    virtual void showModal() = 0;
    // Whether the last showing ended with "&Weiter >>>" of the record
    // selection: the entry grid then holds the chosen records, their number
    // of prints in column 0, and the input expert comes next in mode "D".
    virtual bool recordsHandedOver() const = 0;
};

} // namespace qm
