#include "csvrecords.h"

#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/settings.h"

#include "platform/cp1252.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// Bytes of a record file a chunk at a time.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes into `to`; 0 at the end. Throws IoError.
    virtual qsizetype read(char *to, qsizetype size) = 0;
    virtual void rewind() = 0;
};

class MemoryBytes : public ByteSource
{
public:
    explicit MemoryBytes(QByteArrayView bytes)
        : m_bytes(bytes)
    { }
    qsizetype read(char *to, qsizetype size) override
    {
        const qsizetype n = qMin(size, m_bytes.size() - m_pos);
        if (n > 0) // no copy from the null pointer of empty bytes
            std::memcpy(to, m_bytes.data() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    void rewind() override { m_pos = 0; }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

// A regular file, opened without blocking on a pipe and refused when it is
// anything else or larger than its bound.
class FileBytes : public ByteSource
{
public:
    FileBytes(const QString &path, qint64 maxBytes)
        : m_path(path)
        , m_maxBytes(maxBytes)
    {
        if (path.isEmpty())
            throw IoError(ENOENT);
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (m_fd < 0)
            throw namedError(errno);
        struct stat st
        {
        };
        if (::fstat(m_fd, &st) != 0)
            throw namedError(errno);
        if (!S_ISREG(st.st_mode))
            throw IoError(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, notRegularFileMessage(path, st.st_mode));
        if (st.st_size > maxBytes)
            throw tooLarge();
    }
    ~FileBytes() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileBytes(const FileBytes &) = delete;
    FileBytes &operator=(const FileBytes &) = delete;

    qsizetype read(char *to, qsizetype size) override
    {
        for (;;) {
            const ssize_t got = ::read(m_fd, to, size_t(size));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                throw namedError(errno);
            m_read += got;
            if (m_read > m_maxBytes) // the file grew while it was read
                throw tooLarge();
            return got;
        }
    }
    void rewind() override
    {
        if (::lseek(m_fd, 0, SEEK_SET) != 0)
            throw namedError(errno);
        m_read = 0;
    }

private:
    IoError namedError(int errorNumber) const
    {
        return IoError(errorNumber, m_path + QStringLiteral(": ") + IoError::textFor(errorNumber));
    }
    IoError tooLarge() const
    {
        return IoError(EFBIG,
            tr("Die Datei %1 ist größer als %2 MB und wird nicht gelesen.")
                .arg(m_path)
                .arg(m_maxBytes / (1024 * 1024)));
    }

    QString m_path;
    qint64 m_maxBytes;
    qint64 m_read = 0;
    int m_fd = -1;
};

constexpr qsizetype kChunkBytes = 64 * 1024;
// What a line may hold in memory: more values than a header may have
// columns, or more characters of a value than any field takes, are counted
// but not kept, so that a hostile file cannot fill the memory with one line.
constexpr qsizetype kMaxKeptValues = 1024;
constexpr qsizetype kMaxKeptChars = 64 * 1024;

// Where a chunk of UTF-8 may be cut so that no character is split: before
// the lead byte of a sequence that begins among its last four bytes. Both
// parts then decode (and fail to decode) as the whole would.
qsizetype utf8CutOf(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    for (qsizetype k = 1; k <= 4 && k <= n; ++k) {
        const auto byte = static_cast<unsigned char>(bytes[n - k]);
        if (byte < 0x80)
            return n;
        if (byte >= 0xC0)
            return n - k;
    }
    return n;
}

QStringDecoder utf8Decoder()
{
    // Every chunk alone; a byte order mark is kept here and dropped once, at
    // the beginning of the file only.
    return QStringDecoder(
        QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
}

// What one pass over the raw bytes finds before the text is parsed: whether
// the whole file is UTF-8, and the separator of its first line. The bytes
// that matter for the separator (quote, separators, line ends) are ASCII and
// mean the same in either encoding.
struct ByteScan
{
    bool utf8 = true;
    QChar separator = u',';
};

ByteScan scanBytes(ByteSource &source)
{
    const char candidates[] = { ';', '\t', ',' };
    int counts[3] = {};
    bool quoted = false;
    bool firstLineDone = false;
    QByteArray chunk;
    QString scratch;
    qsizetype carry = 0;
    ByteScan scan;
    for (;;) {
        chunk.resize(carry + kChunkBytes);
        const qsizetype got = source.read(chunk.data() + carry, kChunkBytes);
        const qsizetype size = carry + got;
        chunk.resize(size);
        if (!firstLineDone) {
            for (qsizetype i = carry; i < size && !firstLineDone; ++i) {
                const char ch = chunk[i];
                if (ch == '"')
                    quoted = !quoted;
                else if (!quoted && (ch == '\n' || ch == '\r'))
                    firstLineDone = true;
                else if (!quoted)
                    for (int k = 0; k < 3; ++k)
                        counts[k] += ch == candidates[k] ? 1 : 0;
            }
        }
        if (scan.utf8) {
            const qsizetype cut = got == 0 ? size : utf8CutOf(chunk);
            QStringDecoder decoder = utf8Decoder();
            scratch.resize(decoder.requiredSpace(cut));
            decoder.appendToBuffer(scratch.data(), QByteArrayView(chunk).first(cut));
            scan.utf8 = !decoder.hasError();
            chunk.remove(0, cut);
            carry = chunk.size();
        } else {
            carry = 0;
        }
        if (got == 0 || (!scan.utf8 && firstLineDone))
            break;
    }
    int best = 2;
    for (int k = 0; k < 3; ++k)
        if (counts[k] > counts[best])
            best = k;
    scan.separator = QChar::fromLatin1(candidates[best]);
    return scan;
}

bool isCopiesTitle(const QString &title)
{
    return title.trimmed().compare(QLatin1String("Anzahl"), Qt::CaseInsensitive) == 0;
}

int copiesOf(const QString &text, qint64 line, qsizetype column)
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

CsvRecordReader::CsvRecordReader(QList<CsvField> fields, Copies copies)
    : m_fields(std::move(fields))
    , m_copies(copies)
{ }

CsvRecords CsvRecordReader::read(QByteArrayView bytes) const
{
    CsvRecordStream stream(*this, bytes);
    CsvRecords result;
    result.separator = stream.separator();
    result.byName = stream.byName();
    result.copiesColumn = stream.copiesColumn();
    result.ignoredColumns = stream.ignoredColumns();
    QStringList record;
    while (stream.next(record))
        result.records.append(record);
    return result;
}

// The decoded text of the source is parsed from a buffer that holds a chunk
// or two, refilled as the parser moves on.
struct CsvRecordStream::Parser
{
    Parser(const CsvRecordReader &reader, std::unique_ptr<ByteSource> bytes)
        : fields(reader.fields())
        , copiesAllowed(reader.hasCopiesColumn())
        , source(std::move(bytes))
    {
        const ByteScan scan = scanBytes(*source);
        utf8 = scan.utf8;
        separator = scan.separator;
        start();
    }

    // A line of the file as values, before the columns are applied.
    struct Line
    {
        qint64 number = 0; // where the line begins; the header is line 1
        QStringList values; // the first kMaxKeptValues, each cut at kMaxKeptChars
        QList<qint64> lengths; // their lengths in characters before any cut
        qint64 count = 0; // values in the line
        bool hasContent = false; // more than separators
    };

    void start();
    bool fill();
    bool ensure(qsizetype count)
    {
        while (text.size() - pos < count) {
            if (!fill())
                return false;
        }
        return true;
    }
    bool readLine(Line &line);
    void addToValue(QStringView part);
    void endValue(Line &line);
    void readHeader();
    void toRecord(const Line &line, QStringList &record) const;

    QList<CsvField> fields;
    bool copiesAllowed = true; // a column may give the copies
    std::unique_ptr<ByteSource> source;
    bool utf8 = true;
    QChar separator;
    bool byName = false;
    bool copiesColumn = false;
    QStringList ignored; // titles of the columns that fill no field
    QStringList titles; // of the header, as written
    // By column: -1 copies, -2 beyond the fields (by position), -3 a title
    // that names no field (left out), else the field.
    QList<int> target;
    qsizetype columns = 0;

    QByteArray chunk; // raw bytes, the undecoded end of the last chunk first
    QString text; // decoded, from pos on not yet parsed
    qsizetype pos = 0;
    bool atEnd = false;
    bool atStart = true;
    qint64 number = 1; // the line being read
    Line current;
    QString pending; // the value being read, cut at kMaxKeptChars
    qint64 pendingLength = 0; // its length before the cut
};

void CsvRecordStream::Parser::addToValue(QStringView part)
{
    pendingLength += part.size();
    const qsizetype room = kMaxKeptChars - pending.size();
    if (room > 0)
        pending.append(part.first(qMin(room, part.size())));
}

void CsvRecordStream::Parser::endValue(Line &line)
{
    if (line.values.size() < kMaxKeptValues) {
        line.values.append(pending);
        line.lengths.append(pendingLength);
    }
    ++line.count;
    pending.clear();
    pendingLength = 0;
}

void CsvRecordStream::Parser::start()
{
    source->rewind();
    chunk.clear();
    text.clear();
    pos = 0;
    atEnd = false;
    atStart = true;
    number = 1;
    readHeader();
}

bool CsvRecordStream::Parser::fill()
{
    if (atEnd)
        return false;
    text.remove(0, pos);
    pos = 0;
    const qsizetype before = text.size();
    while (text.size() == before && !atEnd) {
        const qsizetype carry = chunk.size();
        chunk.resize(carry + kChunkBytes);
        const qsizetype got = source->read(chunk.data() + carry, kChunkBytes);
        chunk.resize(carry + got);
        atEnd = got == 0;
        if (!utf8) {
            text.append(decodeCp1252(chunk));
            chunk.clear();
            continue;
        }
        const qsizetype cut = atEnd ? chunk.size() : utf8CutOf(chunk);
        QStringDecoder decoder = utf8Decoder();
        text.append(decoder.decode(QByteArrayView(chunk).first(cut)));
        chunk.remove(0, cut);
        if (atStart && text.size() > before) {
            atStart = false;
            if (text.at(before) == QChar(0xFEFF))
                text.remove(before, 1);
        }
    }
    return text.size() > before;
}

// The next line that is not blank, its values split at the separator and
// unquoted. A quoted value may hold separators, line ends and doubled
// quotes; text after its closing quote belongs to the same value. False at
// the end of the text.
bool CsvRecordStream::Parser::readLine(Line &line)
{
    for (;;) {
        line.number = number;
        line.values.clear();
        line.lengths.clear();
        line.count = 0;
        line.hasContent = false;
        pending.clear();
        pendingLength = 0;
        bool quoted = false;
        for (;;) {
            if (!ensure(1)) {
                if (quoted)
                    throw Error(tr("Zeile %1, Spalte %2: Der Wert endet nicht mit einem Anführungszeichen.")
                                    .arg(line.number)
                                    .arg(line.count + 1));
                if (!line.hasContent && line.count == 0 && pendingLength == 0)
                    return false;
                endValue(line);
                return true;
            }
            const QChar ch = text[pos];
            if (quoted) {
                if (ch == u'"') {
                    if (ensure(2) && text[pos + 1] == u'"') {
                        addToValue(u"\"");
                        pos += 2;
                    } else {
                        quoted = false;
                        ++pos;
                    }
                    continue;
                }
                qsizetype end = pos;
                while (end < text.size() && text[end] != u'"') {
                    if (text[end] == u'\n')
                        ++number;
                    ++end;
                }
                addToValue(QStringView(text).sliced(pos, end - pos));
                pos = end;
                continue;
            }
            if (ch == u'"') {
                quoted = true;
                line.hasContent = true;
                ++pos;
            } else if (ch == separator) {
                endValue(line);
                ++pos;
            } else if (ch == u'\n' || ch == u'\r') {
                // CR LF ends the line at the LF; a lone CR (old Mac files)
                // ends it here.
                ++pos;
                if (ch == u'\r' && ensure(1) && text[pos] == u'\n')
                    ++pos;
                ++number;
                endValue(line);
                if (line.hasContent || line.count > 1)
                    return true;
                break; // a blank line
            } else {
                qsizetype end = pos + 1;
                while (end < text.size()) {
                    const QChar c = text[end];
                    if (c == u'"' || c == separator || c == u'\n' || c == u'\r')
                        break;
                    ++end;
                }
                addToValue(QStringView(text).sliced(pos, end - pos));
                line.hasContent = true;
                pos = end;
            }
        }
    }
}

void CsvRecordStream::Parser::readHeader()
{
    byName = false;
    copiesColumn = false;
    ignored.clear();
    titles.clear();
    target.clear();
    columns = 0;
    Line header;
    if (!readLine(header))
        return;
    if (header.count > kMaxKeptValues)
        throw Error(tr("Zeile 1: Die Kopfzeile hat %1 Spalten, höchstens %2 sind möglich.")
                        .arg(header.count)
                        .arg(kMaxKeptValues));
    titles = header.values;
    const int fieldCount = int(fields.size());
    columns = titles.size();
    target.fill(-2, columns);
    auto fieldNamed = [this](const QString &title) {
        if (title.trimmed().isEmpty())
            return -1;
        for (int f = 0; f < fields.size(); ++f)
            if (title.trimmed().compare(fields[f].title.trimmed(), Qt::CaseInsensitive) == 0)
                return f;
        return -1;
    };
    for (const QString &title : titles)
        byName = byName || fieldNamed(title) >= 0;
    if (byName) {
        QList<qsizetype> columnOf(fieldCount + 1, 0); // by field, copies last
        for (qsizetype k = 0; k < titles.size(); ++k) {
            const QString &title = titles[k];
            const int f = copiesAllowed && isCopiesTitle(title) ? fieldCount : fieldNamed(title);
            if (f < 0) {
                // A column of the spreadsheet the design does not use, or
                // the empty one after a separator closing every line.
                ignored << (title.trimmed().isEmpty()
                        ? tr("Spalte %1 (ohne Titel)").arg(k + 1)
                        : QStringLiteral("\u201E%1\u201C").arg(title.trimmed()));
                target[k] = -3;
                continue;
            }
            if (columnOf[f] > 0)
                throw Error(tr("Zeile 1, Spalte %1: \u201E%2\u201C steht schon in Spalte %3.")
                                .arg(k + 1)
                                .arg(title)
                                .arg(columnOf[f]));
            columnOf[f] = k + 1;
            target[k] = f == fieldCount ? -1 : f;
        }
        copiesColumn = columnOf[fieldCount] > 0;
    } else {
        copiesColumn = copiesAllowed && !titles.isEmpty()
            && (isCopiesTitle(titles.first()) || titles.size() != fieldCount);
        for (qsizetype k = 0; k < titles.size(); ++k) {
            const qsizetype f = copiesColumn ? k - 1 : k;
            target[k] = f < fieldCount ? int(f) : -2;
        }
    }
}

void CsvRecordStream::Parser::toRecord(const Line &line, QStringList &record) const
{
    static const QString once = QStringLiteral("1");
    if (!line.hasContent)
        throw Error(tr("Zeile %1: Die Zeile enthält nur Trennzeichen und keinen Wert.").arg(line.number));
    if (line.count > columns)
        throw Error(tr("Zeile %1: %2 Werte, die Kopfzeile hat aber nur %3 Spalten.")
                        .arg(line.number)
                        .arg(line.count)
                        .arg(columns));
    const int fieldCount = int(fields.size());
    record.fill(QString(), fieldCount + 1);
    record[0] = once;
    for (qsizetype k = 0; k < line.values.size(); ++k) {
        const QString &value = line.values[k];
        if (target[k] == -1) {
            record[0] = QString::number(copiesOf(value, line.number, k + 1));
        } else if (target[k] >= 0) {
            const CsvField &field = fields[target[k]];
            const qint64 length = line.lengths[k];
            const qint64 most = field.size > 0 ? qMin<qint64>(field.size, kMaxKeptChars) : kMaxKeptChars;
            if (length > most)
                throw Error(tr("Zeile %1, Spalte %2: Der Wert für \u201E%3\u201C hat %4 Zeichen, das Feld "
                               "fasst höchstens %5.")
                                .arg(line.number)
                                .arg(k + 1)
                                .arg(field.title)
                                .arg(length)
                                .arg(most));
            record[target[k] + 1] = value;
        } else if (target[k] == -2 && !value.isEmpty()) {
            throw Error(tr("Zeile %1, Spalte %2: Das Etikett hat nur %3 Datenfelder.")
                            .arg(line.number)
                            .arg(k + 1)
                            .arg(fieldCount));
        }
    }
}

std::unique_ptr<CsvRecordStream> CsvRecordStream::fromFile(
    const CsvRecordReader &reader, const QString &path, qint64 maxBytes)
{
    return std::unique_ptr<CsvRecordStream>(
        new CsvRecordStream(std::make_unique<Parser>(reader, std::make_unique<FileBytes>(path, maxBytes))));
}

CsvRecordStream::CsvRecordStream(std::unique_ptr<Parser> parser)
    : m_parser(std::move(parser))
{ }

CsvRecordStream::CsvRecordStream(const CsvRecordReader &reader, QByteArrayView bytes)
    : m_parser(std::make_unique<Parser>(reader, std::make_unique<MemoryBytes>(bytes)))
{ }

CsvRecordStream::~CsvRecordStream() = default;

bool CsvRecordStream::next(QStringList &record)
{
    if (!m_parser->readLine(m_parser->current))
        return false;
    m_parser->toRecord(m_parser->current, record);
    return true;
}

void CsvRecordStream::rewind()
{
    m_parser->start();
}

QChar CsvRecordStream::separator() const
{
    return m_parser->separator;
}

bool CsvRecordStream::byName() const
{
    return m_parser->byName;
}

QStringList CsvRecordStream::columnTitles() const
{
    return m_parser->titles;
}

qint64 CsvRecordStream::recordLine() const
{
    return m_parser->current.number;
}

QStringList CsvRecordStream::ignoredColumns() const
{
    return m_parser->ignored;
}

bool CsvRecordStream::copiesColumn() const
{
    return m_parser->copiesColumn;
}

} // namespace qm
