#include "csvtable.h"

#include "platform/errors.h"
#include "platform/textfile.h"
#include "printing/csvrecords.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// dBASE fields hold at most 254 characters; the grid shows no more.
constexpr int MaxWidth = 254;

} // namespace

QString CsvTable::readOnlyMessage()
{
    return tr("Eine CSV-Datei kann hier nur gelesen, nicht bearbeitet werden. Für eine Datenbank, die Sie "
              "bearbeiten können: \"Datei > Datenbank neu ...\" legt sie an, \"Datei > Import von Daten > "
              "im CSV-Format ...\" übernimmt die Daten der CSV-Datei.");
}

void CsvTable::open(const QString &path, TableAccess)
{
    close();
    // Read once; parsed first for the header's titles, then for the records
    // with every column as a field of its own title.
    QByteArray bytes;
    try {
        bytes = readFileBytes(path, MaxRecordFileBytes);
    } catch (const IoError &e) {
        if (e.message().contains(path))
            throw;
        throw IoError(e.errorNumber(), path + QStringLiteral(": ") + e.message());
    }
    const CsvRecordReader probe({}, CsvRecordReader::Copies::None);
    QStringList titles = CsvRecordStream(probe, bytes).columnTitles();
    for (QString &title : titles)
        title = title.trimmed();

    // The design's fields first, in its order, where a column carries their
    // title; the other columns after them as they come.
    QList<qsizetype> order;
    for (const QString &wanted : std::as_const(m_preferred)) {
        for (qsizetype k = 0; k < titles.size(); ++k) {
            if (!order.contains(k) && !titles[k].isEmpty()
                && titles[k].compare(wanted.trimmed(), Qt::CaseInsensitive) == 0) {
                order.append(k);
                break;
            }
        }
    }
    for (qsizetype k = 0; k < titles.size(); ++k) {
        if (!order.contains(k) && !titles[k].isEmpty())
            order.append(k);
    }

    QList<CsvField> fields;
    for (qsizetype k = 0; k < titles.size(); ++k)
        fields.append({ titles[k].isEmpty() ? QStringLiteral(" ") : titles[k], 0 });
    const CsvRecordReader reader(fields, CsvRecordReader::Copies::None);
    CsvRecordStream stream(reader, bytes);

    QList<QStringList> records;
    QList<int> widths(order.size(), 1);
    QStringList row;
    while (stream.next(row)) {
        QStringList record;
        for (qsizetype i = 0; i < order.size(); ++i) {
            const QString value = row.value(order[i] + 1); // after the copies
            widths[i] = std::clamp(int(value.size()), widths[i], MaxWidth);
            record.append(value);
        }
        records.append(record);
    }
    m_fields.clear();
    for (qsizetype i = 0; i < order.size(); ++i)
        m_fields.append({ titles[order[i]], widths[i] });
    m_records = std::move(records);
    m_path = path;
    m_open = true;
}

void CsvTable::create(const QString &, const QList<TableField> &)
{
    throw Error(readOnlyMessage());
}

void CsvTable::close()
{
    m_open = false;
    m_path.clear();
    m_fields.clear();
    m_records.clear();
}

QStringList CsvTable::readRecord(int record)
{
    return m_records.value(record);
}

int CsvTable::appendRecord(const QStringList &)
{
    throw Error(readOnlyMessage());
}

int CsvTable::writeRecord(int, const QStringList &)
{
    throw Error(readOnlyMessage());
}

void CsvTable::deleteRecord(int)
{
    throw Error(readOnlyMessage());
}

TableFiles::TableFiles() = default;

bool TableFiles::isCsvFile(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
}

ITableEngine &TableFiles::engineFor(const QString &path)
{
    close();
    m_current = isCsvFile(path) ? static_cast<ITableEngine *>(&m_csv) : &m_dbase;
    return *m_current;
}

void TableFiles::open(const QString &path, TableAccess access)
{
    engineFor(path).open(path, access);
}

void TableFiles::create(const QString &path, const QList<TableField> &fields)
{
    engineFor(path).create(path, fields);
}

void TableFiles::close()
{
    m_dbase.close();
    m_csv.close();
}

} // namespace qm
