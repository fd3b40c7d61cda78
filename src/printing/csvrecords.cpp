#include "csvrecords.h"

#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/settings.h"

#include <QCoreApplication>

#include <optional>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

struct Line
{
    int number = 0; // where the record begins; the header is line 1
    QStringList values;
};

// The separator the header line holds most often outside quotes; "," when
// it holds none. On a tie the earlier of ";", tab and "," wins.
QChar detectSeparator(QStringView text)
{
    const QChar candidates[] = { u';', u'\t', u',' };
    int counts[3] = {};
    bool quoted = false;
    for (const QChar ch : text) {
        if (ch == u'"')
            quoted = !quoted;
        else if (!quoted && (ch == u'\n' || ch == u'\r'))
            break;
        else if (!quoted)
            for (int k = 0; k < 3; ++k)
                counts[k] += ch == candidates[k] ? 1 : 0;
    }
    int best = 2;
    for (int k = 0; k < 3; ++k)
        if (counts[k] > counts[best])
            best = k;
    return candidates[best];
}

QList<Line> splitLines(QStringView text, QChar separator)
{
    QList<Line> lines;
    Line line;
    QString value;
    bool quoted = false;
    bool hasContent = false;
    int number = 1;
    line.number = 1;
    auto endValue = [&] {
        line.values.append(value);
        value.clear();
    };
    auto endLine = [&] {
        endValue();
        if (hasContent || line.values.size() > 1)
            lines.append(line);
        line = Line {};
        line.number = number;
        hasContent = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                value.append(u'"');
                ++i;
            } else if (ch == u'"') {
                quoted = false;
            } else {
                if (ch == u'\n')
                    ++number;
                value.append(ch);
            }
            continue;
        }
        if (ch == u'"') {
            quoted = true;
            hasContent = true;
        } else if (ch == separator) {
            endValue();
        } else if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            continue;
        } else if (ch == u'\n' || ch == u'\r') {
            ++number; // a lone CR ends a line too (old Mac files)
            endLine();
        } else {
            value.append(ch);
            hasContent = true;
        }
    }
    if (quoted)
        throw Error(tr("Zeile %1, Spalte %2: Der Wert endet nicht mit einem Anführungszeichen.")
                        .arg(line.number)
                        .arg(line.values.size() + 1));
    if (hasContent || !line.values.isEmpty())
        endLine();
    return lines;
}

bool isCopiesTitle(const QString &title)
{
    return title.trimmed().compare(QLatin1String("Anzahl"), Qt::CaseInsensitive) == 0;
}

int copiesOf(const QString &text, int line, int column)
{
    if (text.trimmed().isEmpty())
        return 1;
    std::optional<int> copies;
    try {
        copies = strToInt(text);
    } catch (const ConvertError &) { }
    if (!copies || *copies < 0 || *copies > CsvRecordReader::kMaxCopies)
        throw Error(tr("Zeile %1, Spalte %2 (Anzahl): \u201E%3\u201C ist keine Anzahl von 0 bis %4.")
                        .arg(line)
                        .arg(column)
                        .arg(text)
                        .arg(CsvRecordReader::kMaxCopies));
    return *copies;
}

} // namespace

QList<CsvField> csvFieldsOf(const StringTable &entryGrid, int fieldCount)
{
    QList<CsvField> fields;
    for (int c = 1; c <= fieldCount; ++c) {
        int size = 0;
        try {
            size = qMax(0, strToInt(entryGrid.cell(c, 1)));
        } catch (const ConvertError &) { }
        fields.append({ entryGrid.cell(c, 0), size });
    }
    return fields;
}

CsvRecordReader::CsvRecordReader(QList<CsvField> fields)
    : m_fields(std::move(fields))
{ }

CsvRecords CsvRecordReader::read(QByteArrayView bytes) const
{
    const QString text = decodeUtf8OrCp1252(bytes);
    CsvRecords result;
    result.separator = detectSeparator(text);
    QList<Line> lines = splitLines(text, result.separator);
    if (lines.isEmpty())
        return result;
    const Line header = lines.takeFirst();
    const int fieldCount = int(m_fields.size());

    // target[k]: where column k goes: -1 copies, -2 nowhere, else the field.
    QList<int> target(header.values.size(), -2);
    auto fieldNamed = [this](const QString &title) {
        if (title.trimmed().isEmpty())
            return -1;
        for (int f = 0; f < m_fields.size(); ++f)
            if (title.trimmed().compare(m_fields[f].title.trimmed(), Qt::CaseInsensitive) == 0)
                return f;
        return -1;
    };
    for (const QString &title : header.values)
        result.byName = result.byName || fieldNamed(title) >= 0;
    if (result.byName) {
        QList<int> columnOf(fieldCount + 1, 0); // by field, copies last
        for (int k = 0; k < header.values.size(); ++k) {
            const QString &title = header.values[k];
            const int f = isCopiesTitle(title) ? fieldCount : fieldNamed(title);
            if (f < 0)
                throw Error(tr("Zeile 1, Spalte %1: \u201E%2\u201C ist kein Datenfeld des Etiketts.")
                                .arg(k + 1)
                                .arg(title));
            if (columnOf[f] > 0)
                throw Error(tr("Zeile 1, Spalte %1: \u201E%2\u201C steht schon in Spalte %3.")
                                .arg(k + 1)
                                .arg(title)
                                .arg(columnOf[f]));
            columnOf[f] = k + 1;
            target[k] = f == fieldCount ? -1 : f;
        }
        result.copiesColumn = columnOf[fieldCount] > 0;
    } else {
        result.copiesColumn = !header.values.isEmpty()
            && (isCopiesTitle(header.values.first()) || header.values.size() != fieldCount);
        for (int k = 0; k < header.values.size(); ++k) {
            const int f = result.copiesColumn ? k - 1 : k;
            target[k] = f < fieldCount ? f : -2;
        }
    }

    const int columns = int(header.values.size());
    for (const Line &line : lines) {
        if (line.values.size() > columns)
            throw Error(tr("Zeile %1: %2 Werte, die Kopfzeile hat aber nur %3 Spalten.")
                            .arg(line.number)
                            .arg(line.values.size())
                            .arg(columns));
        QStringList record(fieldCount + 1);
        record[0] = QStringLiteral("1");
        for (int k = 0; k < line.values.size(); ++k) {
            const QString &value = line.values[k];
            if (target[k] == -1) {
                record[0] = QString::number(copiesOf(value, line.number, k + 1));
            } else if (target[k] >= 0) {
                const CsvField &field = m_fields[target[k]];
                if (field.size > 0 && value.size() > field.size)
                    throw Error(
                        tr("Zeile %1, Spalte %2: Der Wert für \u201E%3\u201C hat %4 Zeichen, das Feld "
                           "fasst höchstens %5.")
                            .arg(line.number)
                            .arg(k + 1)
                            .arg(field.title)
                            .arg(value.size())
                            .arg(field.size));
                record[target[k] + 1] = value;
            } else if (!value.isEmpty()) {
                throw Error(tr("Zeile %1, Spalte %2: Das Etikett hat nur %3 Datenfelder.")
                                .arg(line.number)
                                .arg(k + 1)
                                .arg(fieldCount));
            }
        }
        result.records.append(record);
    }
    return result;
}

} // namespace qm
