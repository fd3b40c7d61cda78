#include "csvtables.h"

#include "data/tableengine.h"
#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/textfile.h"
#include "printing/csvrecords.h"

#include <QCoreApplication>

#include <algorithm>

namespace qm::csvtables {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

ImportResult importRecords(ITableEngine &table, CsvRecordStream &stream)
{
    // Every line is read and checked before the first record is written.
    QList<QStringList> records;
    QStringList record;
    qint64 number = 1; // the header
    while (stream.next(record)) {
        ++number;
        record.removeFirst(); // the copies, always 1 here
        for (const QString &value : std::as_const(record)) {
            QByteArray probe;
            qsizetype bad = -1;
            if (!encodeCp1252(value, probe, &bad))
                throw EncodingError(tr("Das Zeichen \"%1\" im Datensatz %2 kann die Datenbank nicht "
                                       "speichern. Es wurde nichts importiert.")
                                        .arg(value.mid(bad, 1))
                                        .arg(number - 1));
        }
        records.append(record);
    }
    ImportResult result;
    for (const QStringList &values : std::as_const(records)) {
        result.cutValues += table.appendRecord(values);
        ++result.records;
    }
    table.flush();
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
