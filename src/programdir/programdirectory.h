#pragma once

#include <QLatin1StringView>
#include <QString>

namespace qm {

// The folder that holds the program's data: the catalogue files, the help
// files and the folders of designs, sheet formats and tables. The path is
// absolute and ends with "/"; it does not change while the program runs.
class ProgramDirectory
{
public:
    static constexpr QLatin1StringView DesignSubdir { "ETIKETT" };
    static constexpr QLatin1StringView FormatSubdir { "FORMATE" };
    static constexpr QLatin1StringView DatabaseSubdir { "DBANKEN" };

    static constexpr QLatin1StringView AreasFile { "BEREICH.DAT" };
    static constexpr QLatin1StringView WorksFile { "WERKE.DAT" };
    static constexpr QLatin1StringView ScratchFile { "TEMP.DAT" };
    static constexpr QLatin1StringView FormatsFile { "FORMATE.DAT" };

    static constexpr QLatin1StringView FirstAidHelpFile { "ERSTEHILFE.HLP" };
    static constexpr QLatin1StringView ProgramHelpFile { "QUILLMK.HLP" };

    // The path is made absolute (against the working directory) and gets a
    // trailing "/". Nothing is created or tested.
    explicit ProgramDirectory(const QString &path);

    // The folder, ending with "/".
    const QString &path() const { return m_path; }
    // path() + name.
    QString filePath(const QString &name) const;
    // path() + subdir + "/" (for file dialogs that open in a subfolder).
    QString subdirPath(const QString &subdir) const;

    QString areasFile() const { return filePath(AreasFile); }
    QString worksFile() const { return filePath(WorksFile); }
    QString scratchFile() const { return filePath(ScratchFile); }
    QString formatsFile() const { return filePath(FormatsFile); }

    // The help files, built once with the directory: path() + "ERSTEHILFE.HLP"
    // and path() + "QUILLMK.HLP", or the file whose name differs only in
    // letter case when just that one exists.
    const QString &firstAidHelpPath() const { return m_firstAidHelp; }
    const QString &programHelpPath() const { return m_programHelp; }

private:
    QString m_path;
    QString m_firstAidHelp;
    QString m_programHelp;
};

// The per-user program directory: <data folder>/Quillmark/, normally
// ~/.local/share/Quillmark/ (XDG_DATA_HOME is honoured).
QString defaultProgramDirectoryPath();

// Copies the files and folders below shareDir into targetDir that are not
// there yet, folder by folder; an existing file is never replaced. Hidden
// entries (".keep") are not copied, but their folders are created. Copies are
// written in one step, so an interrupted copy leaves no half file, and they
// get the user's usual permissions, so they can be changed later. Returns the
// number of files copied. A missing or empty shareDir copies nothing.
// Throws Error when a folder or file cannot be created.
int seedProgramDirectory(const QString &targetDir, const QString &shareDir);

// Why `path`, an existing name, cannot serve as the program directory: it
// is no folder, or a folder that cannot be read; an empty text when it can.
QString programDirectoryProblem(const QString &path);

// Throws IoError, with a message naming the file and its folder, when the
// file could not be written now because its folder takes no new file (a
// temporary file is made beside it and removed again to find out).
void checkFileCanBeWritten(const QString &file);

// What the program directory is opened for: by the windows, which write
// only what they change and say so; or by a command that changes it.
enum class DirectoryUse { Windows, Changes };

// The program directory at start: with an explicit folder (from --dir), that
// folder, created when missing and seeded from shareDir when it is empty;
// without one, defaultProgramDirectoryPath(), created when missing and given
// every shipped file it lacks. Temporary files that a killed rewrite left in
// the folder or in ETIKETT, FORMATE and DBANKEN are removed. For Changes, the
// folder must take new files (checkFileCanBeWritten on FORMATE.DAT). Throws
// Error when the folder is no folder, cannot be read, created or seeded.
ProgramDirectory openProgramDirectory(
    const QString &explicitDir, const QString &shareDir, DirectoryUse use = DirectoryUse::Changes);

} // namespace qm
