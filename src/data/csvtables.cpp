#include "csvtables.h"

#include "data/tableengine.h"
#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/textfile.h"
#include "data/csvrecords.h"

#include <QCoreApplication>

#include <algorithm>

namespace qm::csvtables {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

bool sameTitle(const QString &a, const QString &b)
{
    return !a.trimmed().isEmpty() && a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// A record's values (after the copies, always 1 here) checked for their
// fields and converted as each field's type stores it. Throws naming line
// and column.
void checkRecord(const QStringList &record, QStringList &values, qint64 number,
    const QList<TableField> &fields, const CsvRecordStream &stream, const QList<qsizetype> &columns)
{
    values = record.mid(1);
    const qint64 line = stream.recordLine();
    for (qsizetype k = 0; k < values.size() && k < fields.size(); ++k) {
        QString &value = values[k];
        if (value.isEmpty())
            continue;
        const qsizetype column = columns[k];
        QByteArray probe;
        qsizetype bad = -1;
        if (!encodeCp1252(value, probe, &bad))
            throw EncodingError(tr("Das Zeichen \"%1\" im Datensatz %2 (Zeile %3, Spalte %4) kann die "
                                   "Datenbank nicht speichern. Es wurde nichts importiert.")
                                    .arg(value.mid(bad, 1))
                                    .arg(number)
                                    .arg(line)
                                    .arg(column));
        const FieldValue checked = checkFieldValue(fields[k], value);
        if (!checked.error.isEmpty())
            throw Error(tr("Zeile %1, Spalte %2 (%3): %4. Es wurde nichts importiert.")
                            .arg(line)
                            .arg(column)
                            .arg(fields[k].name, checked.error));
        value = checked.stored;
    }
}

ImportResult importRecords(ITableEngine &table, CsvRecordStream &stream)
{
    const QList<TableField> fields = table.fields();
    const QStringList titles = stream.columnTitles();
    // The column of the file that gives each field its value.
    QList<qsizetype> columns;
    for (qsizetype k = 0; k < fields.size(); ++k) {
        qsizetype column = k + 1;
        if (stream.byName()) {
            for (qsizetype c = 0; c < titles.size(); ++c) {
                if (sameTitle(titles[c], fields[k].name)) {
                    column = c + 1;
                    break;
                }
            }
        }
        columns << column;
    }
    // Every line is read and checked before the first record is written;
    // then the file is read again and its records appended one by one.
    QStringList record;
    QStringList values;
    qint64 number = 0;
    while (stream.next(record))
        checkRecord(record, values, ++number, fields, stream, columns);

    ImportResult result;
    const ColumnMatch match = matchColumns(titles, fieldNames(table));
    result.unusedColumns = match.unusedColumns;
    result.emptyFields = match.emptyFields;
    stream.rewind();
    number = 0;
    textimport::appendAllOrNothing(table, result, [&](QStringList &next) {
        if (!stream.next(record))
            return false;
        // Checked again: the file may have changed since.
        checkRecord(record, next, ++number, fields, stream, columns);
        return true;
    });
    return result;
}

QList<CsvField> fieldsOf(const ITableEngine &table)
{
    QList<CsvField> fields;
    // No limit here: a longer value is cut to the field's width and counted.
    for (const TableField &field : table.fields())
        fields.append({ field.name, 0 });
    return fields;
}

// Every separator a reader may choose is quoted, not only ";": the header of
// a table of one field holds none, and a reader then takes ",".
bool needsQuotes(const QString &value)
{
    if (value.isEmpty())
        return false;
    if (value.front().isSpace() || value.back().isSpace())
        return true;
    for (const QChar c : value) {
        if (c == QLatin1Char(';') || c == QLatin1Char(',') || c == QLatin1Char('\t') || c == QLatin1Char('"')
            || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return true;
    }
    return false;
}

// A text file holds no other control characters: a reader refuses them.
void refuseControlCharacters(const QString &value, int record, const QString &field)
{
    for (const QChar c : value) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            throw Error(
                tr("Datensatz %1, Feld \u201E%2\u201C: Der Wert enthält das Steuerzeichen %3 "
                   "(hexadezimal), das eine CSV-Datei nicht enthalten kann. Es wurde nichts exportiert.")
                    .arg(record)
                    .arg(field)
                    .arg(QStringLiteral("%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper()));
    }
}

void appendValue(QString &line, const QString &value)
{
    if (!needsQuotes(value)) {
        line += value;
        return;
    }
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    line += QLatin1Char('"') + quoted + QLatin1Char('"');
}

void appendLine(QByteArray &out, const QStringList &values)
{
    QString line;
    for (qsizetype k = 0; k < values.size(); ++k) {
        if (k > 0)
            line += QLatin1Char(';');
        appendValue(line, values[k]);
    }
    // A record of empty values is a line of separators only, which a reader
    // refuses, or an empty line, which it skips: its first value is quoted.
    if (!values.isEmpty()
        && std::all_of(values.cbegin(), values.cend(), [](const QString &v) { return v.isEmpty(); }))
        line.prepend(QLatin1String("\"\""));
    out += line.toUtf8();
    out += "\r\n";
}

} // namespace

ColumnMatch matchColumns(const QStringList &columnTitles, const QStringList &fieldNames)
{
    ColumnMatch match;
    const auto names = [](const QStringList &list, const QString &title) {
        return std::any_of(
            list.begin(), list.end(), [&title](const QString &other) { return sameTitle(other, title); });
    };
    bool byName = false;
    for (const QString &title : columnTitles)
        byName = byName || names(fieldNames, title);
    if (!byName)
        return match;
    for (qsizetype k = 0; k < columnTitles.size(); ++k) {
        if (!names(fieldNames, columnTitles[k]))
            match.unusedColumns << (columnTitles[k].trimmed().isEmpty()
                    ? tr("Spalte %1 (ohne Titel)").arg(k + 1)
                    : quotedValue(columnTitles[k].trimmed()));
    }
    for (const QString &field : fieldNames) {
        if (!field.trimmed().isEmpty() && !names(columnTitles, field))
            match.emptyFields << quotedValue(field.trimmed());
    }
    return match;
}

QString printedColumnsNote(const ColumnMatch &match)
{
    QStringList lines;
    if (!match.unusedColumns.isEmpty())
        lines << tr("Spalten ohne Datenfeld des Etiketts werden nicht gedruckt: %1.")
                     .arg(match.unusedColumns.join(QStringLiteral(", ")));
    if (!match.emptyFields.isEmpty())
        lines << tr("Datenfelder des Etiketts ohne Spalte in der Datei bleiben leer: %1.")
                     .arg(match.emptyFields.join(QStringLiteral(", ")));
    return lines.join(QLatin1Char('\n'));
}

ImportResult importCsv(ITableEngine &table, QByteArrayView bytes)
{
    const CsvRecordReader reader(fieldsOf(table), CsvRecordReader::Copies::None);
    CsvRecordStream stream(reader, bytes);
    return importRecords(table, stream);
}

ImportResult importCsvFile(ITableEngine &table, const QString &path)
{
    const CsvRecordReader reader(fieldsOf(table), CsvRecordReader::Copies::None);
    const std::unique_ptr<CsvRecordStream> stream = CsvRecordStream::fromFile(reader, path);
    return importRecords(table, *stream);
}

QByteArray exportCsv(ITableEngine &table)
{
    QByteArray out("\xEF\xBB\xBF");
    const QStringList names = fieldNames(table);
    appendLine(out, names);
    for (const int record : liveRecords(table)) {
        const QStringList values = table.readRecord(record);
        for (qsizetype k = 0; k < values.size(); ++k)
            refuseControlCharacters(values[k], record + 1, names.value(k));
        appendLine(out, values);
    }
    return out;
}

void exportCsvFile(ITableEngine &table, const QString &path)
{
    const QByteArray bytes = exportCsv(table);
    try {
        writeFileAtomically(path, bytes);
    } catch (const IoError &e) {
        if (e.message().contains(path))
            throw;
        throw IoError(e.errorNumber(),
            tr("Die CSV-Datei %1 kann nicht geschrieben werden: %2").arg(path, e.message()));
    }
}

} // namespace qm::csvtables
