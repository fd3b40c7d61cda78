#include "programdirectory.h"

#include "filelookup.h"
#include "platform/errors.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {

QString withSlash(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

QString helpPath(const QString &dir, QLatin1StringView name)
{
    const QString exact = dir + name;
    if (fileExists(exact))
        return exact;
    const QString other = findFileCaseInsensitive(dir, name);
    return other.isEmpty() ? exact : other;
}

Error folderError(const QString &folder)
{
    return Error(
        QCoreApplication::translate("qm", "Das Verzeichnis %1 kann nicht angelegt werden.").arg(folder));
}

// Copies what is missing below source into target; see seedProgramDirectory.
int copyMissing(const QString &source, const QString &target, int depth)
{
    if (depth > 16) // a link loop in the shipped folder
        return 0;
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() && !targetInfo.isDir())
        return 0; // the user's file of that name stays
    if (!targetInfo.exists() && !QDir().mkpath(target))
        throw folderError(target);
    int copied = 0;
    const QFileInfoList entries
        = QDir(source).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString to = target + QLatin1Char('/') + entry.fileName();
        // The label-stock index is built into the program; a copy in the
        // user's folder would only take room.
        if (depth == 0 && entry.fileName() == QLatin1String("BOGENINDEX.TXT"))
            continue;
        if (entry.isDir()) {
            copied += copyMissing(entry.filePath(), to, depth + 1);
            continue;
        }
        const QFileInfo existing(to);
        if (existing.exists() || existing.isSymLink())
            continue;
        try {
            writeFileAtomically(to, readFileBytes(entry.filePath()));
        } catch (const IoError &e) {
            throw Error(
                QCoreApplication::translate("qm", "Die Datei %1 kann nicht nach %2 kopiert werden: %3")
                    .arg(entry.filePath(), to, e.message()));
        }
        ++copied;
    }
    return copied;
}

bool isEmptyFolder(const QString &path)
{
    return QDir(path)
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
        .isEmpty();
}

} // namespace

ProgramDirectory::ProgramDirectory(const QString &path)
    : m_path(withSlash(QDir::cleanPath(QDir(path).absolutePath())))
    , m_firstAidHelp(helpPath(m_path, FirstAidHelpFile))
    , m_programHelp(helpPath(m_path, ProgramHelpFile))
{ }

QString ProgramDirectory::filePath(const QString &name) const
{
    return m_path + name;
}

QString ProgramDirectory::subdirPath(const QString &subdir) const
{
    return m_path + subdir + QLatin1Char('/');
}

QString defaultProgramDirectoryPath()
{
    return withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        + QStringLiteral("Quillmark/");
}

int seedProgramDirectory(const QString &targetDir, const QString &shareDir)
{
    if (shareDir.isEmpty() || !QFileInfo(shareDir).isDir())
        return 0;
    QString target = QDir::cleanPath(QDir(targetDir).absolutePath());
    const QString source = QDir::cleanPath(QDir(shareDir).absolutePath());
    if (target == source)
        return 0;
    return copyMissing(source, target, 0);
}

QString programDirectoryProblem(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st
    {
    };
    if (::stat(name.constData(), &st) != 0)
        return QCoreApplication::translate("qm", "Das Programmverzeichnis %1 gibt es nicht.").arg(path);
    if (!S_ISDIR(st.st_mode))
        return QCoreApplication::translate(
            "qm", "Das Programmverzeichnis %1 ist kein Verzeichnis, sondern eine Datei.")
            .arg(path);
    DIR *folder = ::opendir(name.constData());
    if (!folder)
        return QCoreApplication::translate("qm", "Das Programmverzeichnis %1 kann nicht gelesen werden: %2")
            .arg(path, IoError::textFor(errno));
    ::closedir(folder);
    return {};
}

void checkFileCanBeWritten(const QString &file)
{
    const QFileInfo info(file);
    const QString folder = info.absolutePath();
    QByteArray probe = QFile::encodeName(folder) + "/.qm-XXXXXX.tmp";
    const int fd = ::mkstemps(probe.data(), 4);
    if (fd < 0) {
        const int err = errno;
        throw IoError(err,
            QCoreApplication::translate("qm",
                "Die Datei %1 kann nicht geschrieben werden, das Verzeichnis %2 nimmt keine neuen Dateien "
                "auf: %3")
                .arg(info.fileName(), folder, IoError::textFor(err)));
    }
    ::close(fd);
    ::unlink(probe.constData());
}

ProgramDirectory openProgramDirectory(const QString &explicitDir, const QString &shareDir, DirectoryUse use)
{
    const bool isExplicit = !explicitDir.isEmpty();
    const ProgramDirectory wanted(isExplicit ? explicitDir : defaultProgramDirectoryPath());
    const QString path = wanted.path();
    const QFileInfo info(path);
    const bool existed = info.exists() || info.isSymLink();
    if (existed) {
        if (const QString problem = programDirectoryProblem(path); !problem.isEmpty())
            throw Error(problem);
    } else if (!QDir().mkpath(path)) {
        throw Error(
            QCoreApplication::translate("qm", "Das Programmverzeichnis %1 kann nicht angelegt werden.")
                .arg(path));
    }
    if (use == DirectoryUse::Changes)
        checkFileCanBeWritten(wanted.formatsFile());
    // First, so that a folder that held nothing else counts as empty.
    removeStaleTemporaryFiles(path);
    for (QLatin1StringView subdir :
        { ProgramDirectory::DesignSubdir, ProgramDirectory::FormatSubdir, ProgramDirectory::DatabaseSubdir })
        removeStaleTemporaryFiles(findSubdirCaseInsensitive(path, subdir));
    if (!isExplicit || isEmptyFolder(path))
        seedProgramDirectory(path, shareDir);
    // Built again so that the help paths see the copied help files.
    return ProgramDirectory(path);
}

} // namespace qm
