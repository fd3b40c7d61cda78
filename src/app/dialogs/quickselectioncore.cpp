#include "quickselectioncore.h"

#include "app/dialogs/workingmode.h"

#include <QCoreApplication>
#include <QDir>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

QString &fileOf(QuickSelectionFiles &files, EntryFileKind kind)
{
    switch (kind) {
    case EntryFileKind::Format:
        return files.format;
    case EntryFileKind::Design:
        return files.design;
    case EntryFileKind::Database:
        break;
    }
    return files.database;
}

// The message for files the mode needs that are not given.
QString notGivenMessage(int mode, EntryFileKind kind)
{
    if (kind == EntryFileKind::Database)
        return tr("Datenbankdatei ist noch nicht festgelegt !");
    if (mode == EditDesign)
        return tr("Etikettendatei ist noch nicht festgelegt !");
    return tr("Format- oder Etikettendatei ist noch nicht festgelegt !");
}

} // namespace

bool modeReads(int mode, EntryFileKind file)
{
    switch (mode) {
    case EnterAndPrint:
        return file != EntryFileKind::Database;
    case PrintFromDatabase:
        return true;
    case EditDatabase:
        return file == EntryFileKind::Database;
    case EditDesign:
        return file == EntryFileKind::Design;
    default:
        return false;
    }
}

QuickSelectionCheck::QuickSelectionCheck(ProgramDirectory dir, int mode)
    : m_dir(std::move(dir))
    , m_mode(mode)
{ }

std::optional<QString> QuickSelectionCheck::find(const QString &typed, EntryFileKind kind) const
{
    if (typed.isEmpty())
        return std::nullopt;
    if (std::optional<QString> named = findNamedFile(m_dir, typed, kind))
        return named;
    // The print run's own look-up: what it would open is good here too.
    return resolveOpenPath(m_dir, typed);
}

std::optional<QuickSelectionProblem> QuickSelectionCheck::check(QuickSelectionFiles &files) const
{
    static constexpr EntryFileKind order[]
        = { EntryFileKind::Format, EntryFileKind::Design, EntryFileKind::Database };
    // First what is not given at all, then what is not found.
    for (EntryFileKind kind : order) {
        if (modeReads(m_mode, kind) && fileOf(files, kind).trimmed().isEmpty())
            return QuickSelectionProblem { kind, notGivenMessage(m_mode, kind) };
    }
    QuickSelectionFiles found = files;
    for (EntryFileKind kind : order) {
        if (!modeReads(m_mode, kind))
            continue;
        const QString typed = fileOf(files, kind).trimmed();
        const std::optional<QString> path = find(typed, kind);
        if (!path) {
            const QString folder = findSubdirCaseInsensitive(m_dir.path(), subdirFor(kind));
            return QuickSelectionProblem { kind,
                tr("Die Datei \"%1\" gibt es nicht, auch nicht im Ordner %2 oder im Programmverzeichnis %3.")
                    .arg(typed, folder, QDir::cleanPath(m_dir.path())),
                true };
        }
        fileOf(found, kind) = *path;
    }
    files = found;
    return std::nullopt;
}

} // namespace qm
