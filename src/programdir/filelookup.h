#pragma once

#include "programdirectory.h"

#include <QString>

#include <optional>

namespace qm {

// The file-name part of a path: the characters after the last separator.
// Both "/" and "\" count as separators, since stored paths may come from
// Windows; a drive colon does not. A path without separator is returned
// unchanged; a path ending in a separator gives "".
QString DateinameHolen(QStringView path);

// True for a path written for Windows: a drive ("C:"), a "\" in it, or a
// network path. Such a path never names a file here.
bool isWindowsPath(QStringView path);

// True when the stored path names an existing regular file. A Windows path
// never does; a relative path counts from the program directory.
bool storedFileExists(const ProgramDirectory &dir, const QString &path);

// The existing regular file in folder dir whose name equals name, first
// exactly and then regardless of letter case (the first such name in sorted
// order when several match); "" when there is none.
QString findFileCaseInsensitive(const QString &dir, const QString &name);

// The folder dir + name, matched like findFileCaseInsensitive; dir + name
// when no folder matches.
QString findSubdirCaseInsensitive(const QString &dir, const QString &name);

// The kind of file an entry of the works catalogue names, and with it the
// subfolder where a moved file is looked for.
enum class EntryFileKind {
    Design, // ETIKETT
    Format, // FORMATE
    Database, // DBANKEN
};

QLatin1StringView subdirFor(EntryFileKind kind);

// Step 1, when an entry of the works catalogue is used: a stored path that
// names an existing file is kept (a relative one made absolute against the
// program directory); else it becomes the program directory + subfolder +
// "/" + the file-name part, where a file (and subfolder) whose name differs
// only in letter case is taken when it exists; the result is not tested
// further. An empty table path stays empty.
QString resolveEntryPath(const ProgramDirectory &dir, const QString &storedPath, EntryFileKind kind);

// A file the user names by typing: the path itself when it names an
// existing regular file (relative to the working folder; made absolute);
// else the file of
// that name in the kind's subfolder of the program directory, letter case
// aside; nothing when neither exists.
std::optional<QString> findNamedFile(const ProgramDirectory &dir, const QString &path, EntryFileKind kind);

// Step 2, when the print run opens a file: the path itself when it names an
// existing file (a relative one made absolute against the program
// directory); else the program directory + the file-name part, or a file
// there whose name differs only in letter case, when that exists; else
// nothing (the file is missing). A result different from the path is meant
// to be written back by the caller.
std::optional<QString> resolveOpenPath(const ProgramDirectory &dir, const QString &path);

} // namespace qm
