#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace qm {

// The records the record selection hands over for printing, in the list's
// order: each with its number of prints first (as the user may have changed
// it in the list), then the values of the table's fields, whose names are
// given in the table's order. They take the design's data columns by
// position.
struct SelectedRecords
{
    QStringList fieldNames;
    QList<QStringList> records;
};

// The database expert ("Datenbank-Experte") as the print run uses it. Its
// record selection hands the records chosen for printing back to the caller.
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
    // Shows the window modally and returns when it has closed: the records
    // handed over when it was left with "&Weiter >>>" of the record
    // selection (the input expert comes next, in mode "D"), nothing when it
    // was left otherwise.
    virtual std::optional<SelectedRecords> showModal() = 0;
    // The design the window showed last: the user may have opened another
    // one there, and the records are printed with it.
    virtual QString etikettendateiname() const = 0;
};

} // namespace qm
