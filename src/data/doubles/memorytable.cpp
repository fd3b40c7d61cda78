#include "memorytable.h"

#include "data/shapelibtable.h"
#include "platform/errors.h"

namespace qm {

void MemoryTable::open(const QString &path, TableAccess access)
{
    if (engineMissing)
        throw EngineError(EngineError::LibraryNotLoaded);
    close();
    if (!files.contains(path))
        throw Error(QStringLiteral("Die Datenbank \"%1\" kann nicht geöffnet werden: Datei nicht gefunden")
                        .arg(path));
    if (heldElsewhere.contains(path))
        throw Error(QStringLiteral("Die Datenbank \"%1\" ist bereits in einem anderen Quillmark geöffnet.")
                        .arg(path));
    if (access == TableAccess::ReadWrite && readOnlyFiles.contains(path))
        throw TableWriteDenied(
            QStringLiteral("Die Datenbank \"%1\" kann nicht geöffnet werden: Dateizugriff verweigert")
                .arg(path));
    m_path = path;
    m_readOnly = access == TableAccess::ReadOnly;
    m_flushed = files.value(path).records.size();
}

void MemoryTable::create(const QString &path, const QList<TableField> &fields)
{
    if (engineMissing)
        throw EngineError(EngineError::LibraryNotLoaded);
    buildDbfHeader(fields, 2026, 1, 1); // the same rules for names and widths
    close();
    if (heldElsewhere.contains(path))
        throw Error(QStringLiteral("Die Datenbank \"%1\" ist bereits in einem anderen Quillmark geöffnet.")
                        .arg(path));
    File file;
    for (TableField field : fields) {
        field.name = dbfFieldName(field.name);
        file.fields << field;
    }
    files.insert(path, file);
    m_path = path;
    m_flushed = 0;
}

void MemoryTable::close()
{
    m_path.clear();
    m_readOnly = false;
}

MemoryTable::File &MemoryTable::current()
{
    if (m_path.isEmpty())
        throw Error(QStringLiteral("Es ist keine Datenbank geöffnet."));
    return files[m_path];
}

QList<TableField> MemoryTable::fields() const
{
    return m_path.isEmpty() ? QList<TableField>() : files.value(m_path).fields;
}

int MemoryTable::recordCount() const
{
    return m_path.isEmpty() ? 0 : int(files.value(m_path).records.size());
}

MemoryTable::Record &MemoryTable::at(int record)
{
    File &file = current();
    if (record < 0 || record >= file.records.size())
        throw Error(QStringLiteral("Datensatz %1 gibt es nicht.").arg(record + 1));
    return file.records[record];
}

bool MemoryTable::isDeleted(int record)
{
    return at(record).deleted;
}

QStringList MemoryTable::readRecord(int record)
{
    QStringList values = at(record).values;
    values.resize(current().fields.size());
    return values;
}

void MemoryTable::refuseWrite() const
{
    if (failWrites)
        throw Error(QStringLiteral("Schreibfehler"));
    if (m_readOnly)
        throw Error(QStringLiteral("Die Datenbank \"%1\" ist nur zum Lesen geöffnet.").arg(m_path));
}

int MemoryTable::store(Record &record, const QStringList &values)
{
    refuseWrite();
    const QList<TableField> &fieldList = current().fields;
    int cut = 0;
    QStringList stored;
    for (int i = 0; i < fieldList.size(); ++i) {
        QString value = values.value(i);
        while (value.endsWith(QLatin1Char(' ')))
            value.chop(1);
        if (value.size() > fieldList[i].width) {
            value.truncate(fieldList[i].width);
            ++cut;
        }
        stored << value;
    }
    record.values = stored;
    return cut;
}

int MemoryTable::appendRecord(const QStringList &values)
{
    File &file = current();
    Record record;
    const int cut = store(record, values);
    file.records << record;
    return cut;
}

int MemoryTable::writeRecord(int record, const QStringList &values)
{
    return store(at(record), values);
}

void MemoryTable::flush()
{
    if (!m_path.isEmpty())
        m_flushed = current().records.size();
}

void MemoryTable::discard()
{
    if (!m_path.isEmpty() && current().records.size() > m_flushed)
        current().records.resize(m_flushed);
}

void MemoryTable::deleteRecord(int record)
{
    refuseWrite();
    at(record).deleted = true;
}

} // namespace qm
