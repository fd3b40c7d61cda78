#include "filelookup.h"

#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>

namespace qm {
namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

// The entry of folder dir named like name: exactly, else regardless of
// letter case; accept decides which entries count.
template <typename Accept>
QString findCaseInsensitive(const QString &dir, const QString &name, QDir::Filters filters, Accept accept)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return QString();
    QString folder = dir;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    if (accept(folder + name))
        return folder + name;
    const QStringList entries
        = QDir(folder).entryList(filters | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0 && accept(folder + entry))
            return folder + entry;
    }
    return QString();
}

} // namespace

QString DateinameHolen(QStringView path)
{
    for (qsizetype i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1]))
            return path.mid(i).toString();
    }
    return path.toString();
}

bool isWindowsPath(QStringView path)
{
    if (path.contains(QLatin1Char('\\')))
        return true;
    return path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter() && path[0].unicode() < 128;
}

bool storedFileExists(const ProgramDirectory &dir, const QString &path)
{
    if (path.isEmpty() || isWindowsPath(path))
        return false;
    return fileExists(QDir::isAbsolutePath(path) ? path : dir.filePath(path));
}

QString findFileCaseInsensitive(const QString &dir, const QString &name)
{
    return findCaseInsensitive(dir, name, QDir::Files, [](const QString &p) { return fileExists(p); });
}

QString findSubdirCaseInsensitive(const QString &dir, const QString &name)
{
    const QString found
        = findCaseInsensitive(dir, name, QDir::Dirs, [](const QString &p) { return QFileInfo(p).isDir(); });
    if (!found.isEmpty())
        return found;
    return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}

QLatin1StringView subdirFor(EntryFileKind kind)
{
    switch (kind) {
    case EntryFileKind::Design:
        return ProgramDirectory::DesignSubdir;
    case EntryFileKind::Format:
        return ProgramDirectory::FormatSubdir;
    case EntryFileKind::Database:
        break;
    }
    return ProgramDirectory::DatabaseSubdir;
}

// The stored path when it names an existing file, made absolute.
static std::optional<QString> existingStoredPath(const ProgramDirectory &dir, const QString &path)
{
    if (!storedFileExists(dir, path))
        return std::nullopt;
    return QDir::isAbsolutePath(path) ? path : dir.filePath(path);
}

QString resolveEntryPath(const ProgramDirectory &dir, const QString &storedPath, EntryFileKind kind)
{
    if (storedPath.isEmpty() && kind == EntryFileKind::Database)
        return QString();
    if (const std::optional<QString> existing = existingStoredPath(dir, storedPath))
        return *existing;
    const QString folder = findSubdirCaseInsensitive(dir.path(), subdirFor(kind));
    const QString name = DateinameHolen(storedPath);
    const QString other = findFileCaseInsensitive(folder, name);
    return other.isEmpty() ? folder + QLatin1Char('/') + name : other;
}

std::optional<QString> findNamedFile(const ProgramDirectory &dir, const QString &path, EntryFileKind kind)
{
    if (path.isEmpty())
        return std::nullopt;
    if (fileExists(path))
        return QFileInfo(path).absoluteFilePath();
    const QString found = resolveEntryPath(dir, path, kind);
    if (fileExists(found))
        return found;
    return std::nullopt;
}

std::optional<QString> resolveOpenPath(const ProgramDirectory &dir, const QString &path)
{
    if (const std::optional<QString> existing = existingStoredPath(dir, path))
        return existing;
    const QString other = findFileCaseInsensitive(dir.path(), DateinameHolen(path));
    if (other.isEmpty())
        return std::nullopt;
    return other;
}

} // namespace qm
