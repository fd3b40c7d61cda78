// The CSV reader on arbitrary bytes: as the records of a design (copies
// column, fields of limited size) and as a table. A file that opens as a
// table is exported, and the export must read back to the same fields and
// values every way the program reads it: as a table, as the records of a
// design with the table's fields, and by import into a table.
#include "data/tableengine.h"
#include "fuzzinput.h"
#include "platform/errors.h"
#include "data/csvrecords.h"
#include "data/csvtable.h"
#include "data/csvtables.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, const QString &detail, const QByteArray &exported)
{
    std::fprintf(stderr, "%s: %s\nexport:\n%s\n", what, qPrintable(detail), exported.toHex(' ').constData());
    std::abort();
}

// A table that takes any field names and values as they are.
class ListTable : public qm::ITableEngine
{
public:
    void open(const QString &, qm::TableAccess) override { }
    void create(const QString &path, const QList<qm::TableField> &fields) override
    {
        m_path = path;
        m_fields = fields;
    }
    void close() override { }
    bool isOpen() const override { return true; }
    QString path() const override { return m_path; }
    QList<qm::TableField> fields() const override { return m_fields; }
    int recordCount() const override { return int(m_records.size()); }
    bool isDeleted(int) override { return false; }
    QStringList readRecord(int record) override { return m_records.value(record); }
    int appendRecord(const QStringList &values) override
    {
        m_records.append(values);
        return 0;
    }
    int writeRecord(int record, const QStringList &values) override
    {
        m_records[record] = values;
        return 0;
    }
    void deleteRecord(int) override { }
    void flush() override { }

private:
    QString m_path;
    QList<qm::TableField> m_fields;
    QList<QStringList> m_records;
};

QList<QStringList> recordsOf(qm::ITableEngine &table)
{
    QList<QStringList> records;
    for (int r = 0; r < table.recordCount(); ++r)
        records << table.readRecord(r);
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const QList<qm::CsvField> design = { { QStringLiteral("Name"), 20 }, { QStringLiteral("Straße"), 25 },
            { QStringLiteral("Ort"), 15 } };
        (void)qm::CsvRecordReader(design).read(bytes);
    } catch (const qm::Error &) { }

    const FuzzInputFile file(data, size);
    qm::CsvTable table;
    try {
        table.open(file.path());
    } catch (const qm::Error &) {
        return 0;
    }
    const QStringList names = qm::fieldNames(table);
    const QList<QStringList> records = recordsOf(table);
    for (int r = table.recordCount() - 1; r >= 0; --r) // on demand, in another order
        if (table.readRecord(r) != records[r])
            fail("record read again differs", QString::number(r), {});
    QByteArray exported;
    try {
        exported = qm::csvtables::exportCsv(table);
    } catch (const qm::Error &e) {
        fail("export refused", e.message(), {});
    }

    // As a table.
    const FuzzInputFile again(
        reinterpret_cast<const std::uint8_t *>(exported.constData()), std::size_t(exported.size()));
    qm::CsvTable second;
    try {
        second.open(again.path());
    } catch (const qm::Error &e) {
        fail("export does not open as a table", e.message(), exported);
    }
    if (qm::fieldNames(second) != names)
        fail("other fields", qm::fieldNames(second).join(u'|'), exported);
    if (recordsOf(second) != records)
        fail("other records", QString::number(second.recordCount()), exported);

    // As the records of a design with the table's fields.
    QList<qm::CsvField> fields;
    QList<qm::TableField> tableFields;
    bool copiesField = false;
    for (const QString &name : names) {
        fields.append({ name, 0 });
        tableFields.append({ name, 254 });
        copiesField = copiesField || name.compare(QLatin1String("Anzahl"), Qt::CaseInsensitive) == 0;
    }
    try {
        const qm::CsvRecords read = qm::CsvRecordReader(
            fields, copiesField ? qm::CsvRecordReader::Copies::None : qm::CsvRecordReader::Copies::Column)
                                        .read(exported);
        QList<QStringList> values;
        for (QStringList record : read.records) {
            if (record.takeFirst() != QLatin1String("1"))
                fail("copies", record.join(u'|'), exported);
            values << record;
        }
        if (values != records)
            fail("other records of a design", QString::number(values.size()), exported);
    } catch (const qm::Error &e) {
        fail("export does not read as records", e.message(), exported);
    }

    // By import into a table of these fields.
    ListTable target;
    target.create(QStringLiteral("ziel.dbf"), tableFields);
    try {
        qm::csvtables::importCsv(target, exported);
    } catch (const qm::EncodingError &) {
        return 0; // a character a dBASE table cannot hold
    } catch (const qm::Error &e) {
        fail("export does not import", e.message(), exported);
    }
    if (recordsOf(target) != records)
        fail("other records imported", QString::number(target.recordCount()), exported);
    return 0;
}
