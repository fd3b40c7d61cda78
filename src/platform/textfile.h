#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <optional>

namespace qm {

// The readers refuse files larger than this (designs, formats, catalogue
// files, record files, settings and help files are all far smaller).
inline constexpr qint64 MaxReadBytes = 64 * 1024 * 1024;
// Nor do they take text files of more lines than this: every line becomes a
// string, and 64 MB of line ends alone would make 64 million of them.
inline constexpr qsizetype MaxTextLines = 2'000'000;

// Reads a whole regular file of at most maxBytes. Throws IoError when it
// cannot be opened or read, and IoError with a message naming the file for a
// directory, for anything that is not a regular file (a pipe, a device) and
// for a file larger than maxBytes; such files are never read, so a pipe
// cannot block the program and an endless device cannot fill its memory.
QByteArray readFileBytes(const QString &path, qint64 maxBytes = MaxReadBytes);

// readFileBytes for a text file: also refuses, with IoError naming the file,
// one of more than MaxTextLines lines (CR LF, LF or a lone CR each ending one).
QByteArray readTextFileBytes(const QString &path);

// Splits cp1252 bytes into lines: a line ends at CR LF, at a lone LF or at a
// lone CR (files of old Macintosh programs); a last line without a line end
// counts; an empty file has no lines.
QStringList splitCp1252Lines(QByteArrayView bytes);

// Reads a cp1252 text file into lines (see readFileBytes, splitCp1252Lines).
// Throws IoError.
QStringList readTextLines(const QString &path);

// The lines of a cp1252 text file, or nothing when the path is empty or
// names nothing that can be opened as a regular file (a directory, a pipe or
// a device included). A read error after opening, or a file larger than
// MaxReadBytes, throws IoError.
std::optional<QStringList> readTextLinesIfOpenable(const QString &path);

// True when path names an existing regular file (not a directory).
bool fileExists(const QString &path);

// The message for a path that names a directory or something else that is
// not a regular file (st_mode as stat gives it).
QString notRegularFileMessage(const QString &path, unsigned mode);

// Replaces a file in one step. What is written goes into a temporary file
// with a short name (".qm-XXXXXX.tmp") in the folder of the target, and
// commit() renames it over the target only when everything was written and
// synced; until then, and after any failure, the target is untouched. A
// symbolic link is written through to the file it points at; a target that
// exists but is not a regular file (a directory, a pipe, a device) is
// refused; the replaced file keeps its permissions (a new one gets the usual
// ones). A temporary file is locked while it is written, so that
// removeStaleTemporaryFiles() only removes those left by a killed program.
//
// The device is write-only and buffers; a failed write is remembered and
// reported by commit() with the operating system's error.
class ReplacingFile : public QIODevice
{
public:
    explicit ReplacingFile(QString path);
    ~ReplacingFile() override; // removes the temporary file unless committed

    // Creates the temporary file and opens the device for writing. Throws
    // IoError (also, naming the file, for a target that is no regular file).
    void begin();
    // Replaces the target. Throws IoError; the target then stays as it was.
    void commit();
    // Drops what was written; the target stays as it was.
    void discard();

    const QString &path() const { return m_path; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool flushBuffer();
    void fail(int errorNumber);

    QString m_path;
    QByteArray m_target; // the file replaced in the end, links resolved
    QByteArray m_temp;
    QByteArray m_buffer;
    int m_fd = -1;
    int m_error = 0;
};

// Writes a cp1252 text file with CR LF line ends. Lines are collected and
// written by commit() through a ReplacingFile: a failure at any point leaves
// the previous file whole. Without commit() nothing is written.
class TextFileWriter
{
public:
    explicit TextFileWriter(QString path);

    // Throws EncodingError when the line has a character outside cp1252.
    void writeLine(QStringView line);

    // Throws IoError when the file cannot be written.
    void commit();

    const QString &path() const { return m_path; }

private:
    QString m_path;
    QByteArray m_data;
    int m_lineNumber = 0;
};

// Writes bytes to path in one step through a ReplacingFile. Throws IoError.
void writeFileAtomically(const QString &path, QByteArrayView data);

// Removes the temporary files that a killed rewrite left in folder dir (ours,
// ".qm-XXXXXX.tmp", and those of earlier versions, "NAME.tmp-XXXXXX"); one
// that another program is still writing is locked and stays. Returns the
// number removed.
int removeStaleTemporaryFiles(const QString &dir);

} // namespace qm
