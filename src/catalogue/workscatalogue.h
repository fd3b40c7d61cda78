#pragma once

#include "programdir/programdirectory.h"
#include "worksfiles.h"

#include <QList>
#include <QString>

#include <optional>

namespace qm {

class IMessages;

// An entry as the overview shows it: the record with its place in WERKE.DAT.
struct WorksTreeEntry
{
    int record = -1; // index of the record in WERKE.DAT when it was loaded
    WorksEntry entry;
};

// An area of the overview with the entries that belong to it.
struct WorksArea
{
    QString name;
    QList<WorksTreeEntry> entries;
};

enum class WorksNodeKind { Area, Entry };

// What the selected node of the overview tells a command. A window keeps
// kind, text, area and record with each node of its tree and hands them
// over; "nothing selected" is std::nullopt.
struct WorksSelection
{
    WorksNodeKind kind = WorksNodeKind::Area;
    QString text;    // the node's text: area name or entry name
    QString area;    // the area node the entry stands under (an area: its name)
    int record = -1; // an entry: WorksTreeEntry::record

    static WorksSelection forArea(const QString &name);
    static WorksSelection forEntry(const QString &area, const WorksTreeEntry &entry);
};

// The works catalogue "Eigene Werke": areas in BEREICH.DAT, entries in
// WERKE.DAT. Every command reads both files again, changes them, and
// reloads areas() from them, so changes made by another program instance
// are never overwritten with stale data. Files are replaced in one step: a
// failed command leaves each file either as it was or completely written.
//
// Commands that ask or warn do so through IMessages; a refused confirmation
// changes nothing. File errors are thrown (IoError, EncodingError) for the
// application's error display; areas() then shows the files as they are.
//
// An entry is identified by its record, not by its name alone: of two
// entries with the same name, in the same area or in different ones,
// deleting, changing or using one never touches the other.
class WorksCatalogue
{
public:
    explicit WorksCatalogue(ProgramDirectory dir);

    const ProgramDirectory &directory() const { return m_dir; }

    // Start-up: creates BEREICH.DAT and WERKE.DAT with their two title lines
    // when nothing exists under their names; existing files are left alone.
    // Returns the number of files created. Throws IoError.
    int createMissingFiles();

    // Reads both files (HoleBereiche, HoleWerke). Throws IoError, leaving
    // areas() as it was.
    void load();

    // The areas in file order, an area line that stands twice giving two
    // areas; each with the entries whose area name equals its name exactly,
    // in file order. Entries of no area are not shown but kept in the file.
    const QList<WorksArea> &areas() const { return m_areas; }
    // The same in the order the tree shows: areas, and the entries of each
    // area, alphabetically by text (German collation, ignoring case).
    QList<WorksArea> treeAreas() const;
    // Every record of WERKE.DAT as loaded, shown or not.
    const QList<WorksEntry> &entries() const { return m_entries; }

    // "&Übernehmen" of the area dialog: false, with the message, for an
    // empty name.
    static bool checkAreaName(const QString &name, IMessages &messages);

    // "Bereich &anlegen": appends the area (after checkAreaName). True when
    // the area was added.
    bool createArea(const QString &name, IMessages &messages);

    // "&Hinzufügen", first step: the area a new entry goes into, or nothing
    // after telling the user to select an area.
    std::optional<QString> areaForNewEntry(const std::optional<WorksSelection> &selection,
                                           IMessages &messages) const;

    // "Eintrag speichern" of the creation wizard for a new entry: appends
    // the record.
    void appendEntry(const WorksEntry &entry);

    // "&Bearbeiten", first step: the selected entry's stored values for the
    // creation wizard, or nothing (with a message when the selection is not
    // an entry; silently when the entry has vanished from the file, after
    // reloading).
    std::optional<WorksEntry> entryToChange(const std::optional<WorksSelection> &selection,
                                            IMessages &messages);

    // "&Bearbeiten", after the wizard was confirmed: the selected record gets
    // the name and the three paths of values; it keeps its area and its
    // place. False when the entry has vanished from the file.
    bool changeEntry(const WorksSelection &selection, const WorksEntry &values);

    // "Bereich l&öschen": after confirmation, removes every line of the
    // area's name and every entry of that area. True when deleted.
    bool deleteArea(const std::optional<WorksSelection> &selection, IMessages &messages);

    // "&Löschen": after confirmation, removes the selected entry. True when
    // deleted.
    bool deleteEntry(const std::optional<WorksSelection> &selection, IMessages &messages);

    // "Alle Bereiche und Einträge löschen": after confirmation, both files
    // keep only their title lines. True when emptied.
    bool deleteAll(IMessages &messages);

    // "Be&nutzen" and the double click: the selected entry with its three
    // paths passed through the file lookup of a used entry (a stored path
    // that names no file is looked for in ETIKETT, FORMATE, DBANKEN).
    // Nothing when nothing is selected or the entry has vanished; when the
    // selection is not an entry, nothing, after a message unless silent.
    std::optional<WorksEntry> findEntry(const std::optional<WorksSelection> &selection,
                                        IMessages &messages, bool silent = false) const;

private:
    // Runs change, then reloads; also reloads (without masking the error)
    // when change throws, so that areas() matches the files.
    template<typename Change>
    void changeFiles(Change &&change);

    ProgramDirectory m_dir;
    QList<WorksArea> m_areas;
    QList<WorksEntry> m_entries;
};

// The record of the selected entry in the records of WERKE.DAT: the one at
// the selection's index when its area and name still match, else the first
// with that area and name; -1 when there is none (or the selection is not an
// entry).
int findSelectedRecord(const QList<WorksEntry> &entries, const WorksSelection &selection);

} // namespace qm
