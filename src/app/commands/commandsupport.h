#pragma once

// What the commands of the command line share: the call as the parser hands
// it over, the usage error, the lookup of named files and the reading of
// designs and formats. Only for src/app/commandline.cpp and the commands.

#include "app/commandline.h"
#include "designs/printdesign.h"
#include "platform/errors.h"
#include "platform/services.h"
#include "platform/stringtable.h"
#include "programdir/filelookup.h"
#include "programdir/programdirectory.h"

#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace qm {

struct SheetFormat;

// Prints "quillmark: MESSAGE" on err and gives the exit code 1.
int fail(QTextStream &err, const QString &message);

// A call the command line does not understand: the message, then the usage.
class UsageError : public Error
{
public:
    UsageError(const QString &message, QString usage)
        : Error(message)
        , m_usage(std::move(usage))
    { }
    const QString &usage() const { return m_usage; }

private:
    QString m_usage;
};

// The word in German quotation marks, cut as every quoted value
// (quotedValue).
QString quoted(const QString &word);

// What a command gets: its file arguments, its options and the program
// directory in use.
struct Call
{
    QStringList files;
    const QCommandLineParser *options = nullptr;
    QString dirPath; // as given with --dir
    QString shareDir; // what a new program directory is seeded from
    QStringList listValues; // the values taken after the command's list option
    // Where plain file names are looked for, in this order: the program
    // directory in use (--dir, else the per-user one when it exists), then
    // the program's shipped files. Looking never creates anything.
    std::optional<ProgramDirectory> inUse;
    std::optional<ProgramDirectory> shipped;

    // The folders to look in; shipped files only where they are just read.
    QList<ProgramDirectory> lookupDirs(bool withShipped = true) const
    {
        QList<ProgramDirectory> dirs;
        if (inUse)
            dirs.append(*inUse);
        if (shipped && withShipped)
            dirs.append(*shipped);
        return dirs;
    }

    bool isSet(const char *name) const { return options->isSet(QLatin1String(name)); }
    QString value(const char *name) const { return options->value(QLatin1String(name)); }
};

// The file a command names: a design, format or table that is not there
// under the name given is looked for in ETIKETT, FORMATE or DBANKEN of the
// program directory in use, then among the shipped files, as the program
// does for the entries of its catalogue. Not found, the name stays as given
// for the message.
enum class Use { Read, Write };

QString lookUp(const Call &call, const QString &path, EntryFileKind kind, Use use = Use::Write);

// Reads a text file, with the file named in the message of a read error.
QStringList readLinesOf(const QString &path);

// The print side of a design, as the print run reads it, with what its
// field list fills in: the label list's titles (row 0) and the entry grid's
// titles and maximum lengths (rows 0 and 1).
struct CommandDesign
{
    PrintDesign design;
    StringTable labelList;
    StringTable entryGrid;
};
// A missing file gets the print run's message; one that cannot be read says
// why.
CommandDesign readDesign(const QString &path);

// The sheet format, as the print run reads it; a missing file gets the
// print run's message.
void readFormat(const QString &path, SheetFormat &format);

// The command line waits for nothing: there is no window to repaint.
class NoWait : public IWaiter
{
public:
    void wait(int) override { }
};

} // namespace qm
