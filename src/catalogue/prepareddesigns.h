#pragma once

#include "programdir/programdirectory.h"

#include <QList>
#include <QString>

#include <span>

namespace qm {

// One prepared design of the menus: the menu item's object name and
// caption, and the files it uses. The design lives in ETIKETT, the format
// in FORMATE and the table in DBANKEN of the program directory; an empty
// table name means the design is printed from typed values only.
struct PreparedDesign
{
    const char *component;
    const char *caption;
    const char *designFile;
    const char *formatFile;
    const char *databaseFile;
    bool separatorAfter = false;
};

// A submenu of "Vorbereitete &Designs".
struct PreparedGroup
{
    const char *component;
    const char *caption;
    std::span<const PreparedDesign> items;
};

// The five submenus of "Vorbereitete &Designs", in menu order.
std::span<const PreparedGroup> preparedDesignGroups();

// The three address labels of "Adressen drucken aus &ADRIVO", whose table
// is the export table of the address program.
std::span<const PreparedDesign> adrivoDesigns();

// Every item of both menus once: the five submenus in menu order, then the
// three address labels.
QList<const PreparedDesign *> allPreparedDesigns();

// The name of the address program's export table.
inline constexpr QLatin1StringView AdrivoTableFile { "qmadrivo.dbf" };

// The three paths a prepared design is used with.
struct PreparedPaths
{
    QString design;
    QString format;
    QString database;
};

// The paths of a prepared design of the program directory; the table path
// is empty for a design without table.
PreparedPaths preparedPaths(const PreparedDesign &item, const ProgramDirectory &dir);

// The paths of an address label fed by the address program: design and
// format as above, the table "qmadrivo.dbf" in the folder stored for the
// address program. An empty folder gives the bare file name (looked up in
// the current and then in the program directory); a folder without a
// closing separator gets one.
PreparedPaths adrivoPaths(
    const PreparedDesign &item, const ProgramDirectory &dir, const QString &adrivoFolder);

} // namespace qm
