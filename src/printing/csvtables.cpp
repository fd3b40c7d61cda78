#include "csvtables.h"

#include "data/tableengine.h"
#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/textfile.h"
#include "printing/csvrecords.h"

#include <QCoreApplication>

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

bool needsQuotes(const QString &value)
{
    if (value.isEmpty())
        return false;
    if (value.front().isSpace() || value.back().isSpace())
        return true;
    for (const QChar c : value) {
        if (c == QLatin1Char(';') || c == QLatin1Char('"') || c == QLatin1Char('\n')
            || c == QLatin1Char('\r'))
            return true;
    }
    return false;
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
    appendLine(out, fieldNames(table));
    for (const int record : liveRecords(table))
        appendLine(out, table.readRecord(record));
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
