#pragma once

#include "programdir/filelookup.h"
#include "programdir/programdirectory.h"

#include <QString>

#include <optional>

namespace qm {

// The three names of the quick selection, as typed or chosen.
struct QuickSelectionFiles
{
    QString format;
    QString design;
    QString database;
};

// What "&Benutzen" of the quick selection finds wrong: the message, and the
// file whose edit takes the cursor.
struct QuickSelectionProblem
{
    EntryFileKind file;
    QString message;
    bool missing = false; // a name is given, but no file is found by it
};

// Which files a working mode reads: "Eingeben und Drucken" format and
// design, "Aus der Datenbank drucken" all three, "Datenbank bearbeiten" the
// table, "Editieren" the design. A mode outside 1 .. 4 reads none.
bool modeReads(int mode, EntryFileKind file);

// The check of the quick selection before its files are used: only the
// files the working mode reads must be given and found; names in the other
// edits, kept from an earlier use, are passed over.
class QuickSelectionCheck
{
public:
    QuickSelectionCheck(ProgramDirectory dir, int mode);

    // A name is found as the print run finds it, and one step before: the
    // path itself (relative to the working folder), the file of that name in
    // the kind's subfolder of the program directory (FORMATE, ETIKETT,
    // DBANKEN), the path relative to the program directory, and the
    // program directory + the file-name part; letter case aside. Nothing
    // when none of these exists.
    std::optional<QString> find(const QString &typed, EntryFileKind kind) const;

    // Checks the files the mode reads; on success each of them is replaced
    // by the file found, the others stay as they were. The first problem in
    // the order format, design, table.
    std::optional<QuickSelectionProblem> check(QuickSelectionFiles &files) const;

private:
    ProgramDirectory m_dir;
    int m_mode;
};

} // namespace qm
