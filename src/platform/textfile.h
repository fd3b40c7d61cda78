#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace qm {

// Reads a whole file. Throws IoError when it cannot be opened or read.
QByteArray readFileBytes(const QString &path);

// Splits cp1252 bytes into lines: a line ends at CR LF or at a lone LF; a last
// line without a line end counts; an empty file has no lines.
QStringList splitCp1252Lines(QByteArrayView bytes);

// Reads a cp1252 text file into lines (see splitCp1252Lines). Throws IoError.
QStringList readTextLines(const QString &path);

// The lines of a cp1252 text file, or nothing when the path is empty or
// names no file that can be opened (a directory included). A read error after
// opening throws IoError.
std::optional<QStringList> readTextLinesIfOpenable(const QString &path);

// True when path names an existing regular file (not a directory).
bool fileExists(const QString &path);

// Writes a cp1252 text file with CR LF line ends. Lines are collected and
// written by commit() into a temporary file in the same directory, which
// then replaces the target in one step: a failure at any point leaves the
// previous file whole. Without commit() nothing is written.
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

// Writes bytes to path atomically (temporary file + rename). Throws IoError.
void writeFileAtomically(const QString &path, QByteArrayView data);

} // namespace qm
