#include "csvtable.h"

#include "platform/errors.h"
#include "data/csvrecords.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <limits>

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

CsvTable::CsvTable() = default;
CsvTable::~CsvTable() = default;

void CsvTable::open(const QString &path, TableAccess)
{
    close();
    // The file is read once to decide its encoding and separator and to
    // find the header's titles, then once more for the records, with every
    // column as a field of its own title.
    std::unique_ptr<CsvRecordStream> stream;
    try {
        stream = CsvRecordStream::fromFile(CsvRecordReader({}, CsvRecordReader::Copies::None), path);
    } catch (const IoError &e) {
        if (e.message().contains(path))
            throw;
        throw IoError(e.errorNumber(), path + QStringLiteral(": ") + e.message());
    }
    QStringList titles = stream->columnTitles();
    for (QString &title : titles)
        title = title.trimmed();

    // The design's fields first, in its order, where a column carries their
    // title; the other columns after them as they come. When columns are
    // matched by title, a field of the design without a column of its own
    // gets an empty one (NoColumn) in its place, so that the columns after
    // it stay with their fields instead of moving up onto the wrong ones.
    QList<qsizetype> order;
    QStringList missing; // titles of the NoColumn entries, in order
    bool matched = false;
    for (const QString &wanted : std::as_const(m_preferred)) {
        qsizetype found = NoColumn;
        for (qsizetype k = 0; k < titles.size(); ++k) {
            if (!order.contains(k) && !titles[k].isEmpty()
                && titles[k].compare(wanted.trimmed(), Qt::CaseInsensitive) == 0) {
                found = k;
                break;
            }
        }
        matched = matched || found != NoColumn;
        order.append(found);
        if (found == NoColumn)
            missing.append(wanted.trimmed());
    }
    if (!matched) {
        order.clear();
        missing.clear();
    } else {
        // Trailing fields without a column change no position: leave them out.
        while (!order.isEmpty() && order.last() == NoColumn) {
            order.removeLast();
            missing.removeLast();
        }
    }
    for (qsizetype k = 0; k < titles.size(); ++k) {
        if (!order.contains(k) && !titles[k].isEmpty())
            order.append(k);
    }
    if (order.size() == missing.size())
        throw Error(
            tr("%1: Die Datei hat keine Kopfzeile mit den Titeln ihrer Spalten und kann nicht als Tabelle "
               "gelesen werden.")
                .arg(path));

    QList<CsvField> fields;
    for (qsizetype k = 0; k < titles.size(); ++k)
        fields.append({ titles[k].isEmpty() ? QStringLiteral(" ") : titles[k], 0 });
    stream->restartWith(CsvRecordReader(fields, CsvRecordReader::Copies::None));

    // Every line is checked here, so that reading a record later meets no
    // error of the file's own.
    QList<Block> blocks;
    QList<int> widths(order.size(), 1);
    QStringList row;
    int count = 0;
    while (stream->next(row)) {
        if (count == std::numeric_limits<int>::max())
            throw Error(tr("%1: Die Datei hat mehr Datensätze, als eine Tabelle fassen kann.").arg(path));
        if (count % BlockRecords == 0)
            blocks.append({ stream->recordOffset(), stream->recordLine() });
        for (qsizetype i = 0; i < order.size(); ++i) {
            if (order[i] != NoColumn)
                widths[i] = std::clamp(int(row.value(order[i] + 1).size()), widths[i], MaxWidth); // after the copies
        }
        ++count;
    }
    m_fields.clear();
    qsizetype nextMissing = 0;
    for (qsizetype i = 0; i < order.size(); ++i)
        m_fields.append({ order[i] == NoColumn ? missing[nextMissing++] : titles[order[i]], widths[i] });
    m_stream = std::move(stream);
    m_order = std::move(order);
    m_blocks = std::move(blocks);
    m_count = count;
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
    m_stream.reset();
    m_order.clear();
    m_blocks.clear();
    m_count = 0;
    m_cachedBlock = -1;
    m_cache.clear();
}

void CsvTable::load(int record)
{
    const int b = record / BlockRecords;
    if (b == m_cachedBlock)
        return;
    m_cachedBlock = -1;
    m_cache.clear();
    const Block &block = m_blocks[b];
    const int first = b * BlockRecords;
    const int end = qMin(first + BlockRecords, m_count);
    const QString changed
        = tr("Die Datei %1 wurde geändert, während sie als Tabelle geöffnet war; bitte öffnen "
             "Sie sie erneut.")
              .arg(m_path);
    QList<QStringList> records;
    try {
        m_stream->seek(block.offset, block.line);
        QStringList row;
        for (int r = first; r < end; ++r) {
            if (!m_stream->next(row))
                throw Error(changed);
            QStringList values;
            for (const qsizetype column : std::as_const(m_order))
                values.append(column == NoColumn ? QString() : row.value(column + 1)); // after the copies
            records.append(values);
        }
    } catch (const IoError &) {
        throw;
    } catch (const Error &e) {
        if (e.message() == changed)
            throw;
        throw Error(changed + QLatin1Char(' ') + e.message());
    }
    m_cache = std::move(records);
    m_cachedBlock = b;
}

QStringList CsvTable::readRecord(int record)
{
    if (!m_open || record < 0 || record >= m_count)
        return {};
    load(record);
    return m_cache.value(record % BlockRecords);
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
