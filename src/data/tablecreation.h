#pragma once

#include "data/dbflayout.h"
#include "platform/stringtable.h"

#include <QList>
#include <QString>

#include <optional>

namespace qm {

// The rules of "Neue Datenbank erstellen": the table's fields come from the
// database expert's field list (GridEtikettenFelder: (c, 1) the name of the
// c-th data field, (c, 2) its size followed by " Zeichen").
namespace tablecreation {

// The warning that stops "Datenbank &anlegen" before anything is done: no
// table name, or a field list without fields (fewer than 2 columns).
std::optional<QString> warning(const QString &tableName, const StringTable &fieldList);

// One character field per column from 1 on, named after cell (c, 1); its
// width is the number at the start of the first two characters of cell
// (c, 2) (blanks in front skipped, 0 when there is none). Throws qm::Error
// for a column without a name (a serial number's place).
QList<TableField> fieldsFromList(const StringTable &fieldList);

// Where a table typed as `typed` is created: a plain name (no folder in it)
// goes into tableFolder, and a name without an extension gets ".dbf". Both
// "/" and "\\" separate folders; "~/" is the home folder. Empty stays empty.
QString newTablePath(const QString &typed, const QString &tableFolder);

// "Neue Datenbank \"<path>\" wurde angelegt."
QString createdMessage(const QString &path);

} // namespace tablecreation
} // namespace qm
