#include "settings.h"

#include "errors.h"
#include "textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>

namespace qm {
namespace {

// The lines of the file as a person wrote them, without their line ends.
QStringList splitLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<QString> sectionName(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return std::nullopt;
    qsizetype end = trimmed.indexOf(QLatin1Char(']'));
    if (end < 0)
        end = trimmed.size();
    return trimmed.mid(1, end - 1).trimmed();
}

struct KeyLine
{
    QString key;
    QString value;
};

// The key and value of a "key=value" line; nothing for comments and lines
// without "=".
std::optional<KeyLine> keyLine(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char(';')))
        return std::nullopt;
    const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    KeyLine result{trimmed.left(eq).trimmed(), trimmed.mid(eq + 1).trimmed()};
    const QString &v = result.value;
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\''))
        && v.back() == v.front()) {
        result.value = v.mid(1, v.size() - 2);
    }
    return result;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a section starts and ends within the lines: [header, end).
struct SectionRange
{
    qsizetype header = -1;
    qsizetype end = -1;
};

SectionRange findSection(const QStringList &lines, const QString &section)
{
    SectionRange range;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::optional<QString> name = sectionName(lines[i]);
        if (!name)
            continue;
        if (range.header >= 0) {
            range.end = i;
            return range;
        }
        if (sameName(*name, section))
            range.header = i;
    }
    if (range.header >= 0)
        range.end = lines.size();
    return range;
}

// The index of the key's line within the section, or -1.
qsizetype findKey(const QStringList &lines, const SectionRange &range, const QString &key)
{
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const std::optional<KeyLine> kv = keyLine(lines[i]);
        if (kv && sameName(kv->key, key))
            return i;
    }
    return -1;
}

// The file to replace: the target of a symbolic link, else the path itself.
QString writeTarget(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

} // namespace

IniFileSettings::IniFileSettings(QString path)
    : m_path(std::move(path))
{
}

std::optional<QString> IniFileSettings::lookUp(const QString &section, const QString &key) const
{
    QByteArray bytes;
    try {
        bytes = readTextFileBytes(m_path);
    } catch (const IoError &) {
        return std::nullopt;
    }
    const QStringList lines = splitLines(decodeUtf8OrCp1252(bytes));
    const SectionRange range = findSection(lines, section);
    if (range.header < 0)
        return std::nullopt;
    const qsizetype at = findKey(lines, range, key);
    if (at < 0)
        return std::nullopt;
    return keyLine(lines[at])->value;
}

void IniFileSettings::store(const QString &section, const QString &key, const QString &value)
{
    // A line break would end the line in the middle of the value.
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        throw Error(settingsWriteErrorText(m_path));

    const QString target = writeTarget(m_path);
    QStringList lines;
    try {
        lines = splitLines(decodeUtf8OrCp1252(readTextFileBytes(target)));
    } catch (const IoError &e) {
        // Only a missing file may be started afresh; a file that exists but
        // cannot be read would lose its other settings.
        if (e.errorNumber() != ENOENT)
            throw Error(settingsWriteErrorText(m_path));
    }

    const SectionRange range = findSection(lines, section);
    if (range.header < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(key + QLatin1Char('=') + value);
    } else if (const qsizetype at = findKey(lines, range, key); at >= 0) {
        lines[at] = keyLine(lines[at])->key + QLatin1Char('=') + value;
    } else {
        // After the last line of the section that is not blank.
        qsizetype insertAt = range.header + 1;
        for (qsizetype i = range.end - 1; i > range.header; --i) {
            if (!lines[i].trimmed().isEmpty()) {
                insertAt = i + 1;
                break;
            }
        }
        lines.insert(insertAt, key + QLatin1Char('=') + value);
    }

    QByteArray data = lines.join(QLatin1Char('\n')).toUtf8();
    data.append('\n');
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder))
        throw Error(settingsWriteErrorText(m_path));
    try {
        writeFileAtomically(target, data);
    } catch (const IoError &) {
        throw Error(settingsWriteErrorText(m_path));
    }
}

} // namespace qm
