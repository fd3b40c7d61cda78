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
    // Reads on from this byte of the file (0: its beginning).
    virtual void seek(qint64 offset) = 0;
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
        m_pos += qMax<qsizetype>(n, 0);
        return qMax<qsizetype>(n, 0);
    }
    void seek(qint64 offset) override { m_pos = qsizetype(qBound<qint64>(0, offset, m_bytes.size())); }

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
    void seek(qint64 offset) override
    {
        if (::lseek(m_fd, off_t(offset), SEEK_SET) != off_t(offset))
            throw namedError(errno);
        m_read = offset;
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

// The encodings of a record file: UTF-16 when it begins with that byte order
// mark, else UTF-8 when the whole file is, else Windows-1252.
enum class Encoding { Utf8, Cp1252, Utf16LE, Utf16BE };

// Decodes a file chunk by chunk. A byte order mark is never dropped here:
// the one at the beginning of the file is skipped by its offset, so that a
// read may begin at any line.
class ChunkDecoder
{
public:
    void reset(Encoding encoding)
    {
        m_encoding = encoding;
        const auto flags = QStringDecoder::Flag::ConvertInitialBom;
        if (encoding == Encoding::Utf16LE)
            m_utf16 = QStringDecoder(QStringDecoder::Utf16LE, flags);
        else if (encoding == Encoding::Utf16BE)
            m_utf16 = QStringDecoder(QStringDecoder::Utf16BE, flags);
    }
    // Appends the decoded bytes of `chunk` to `text` and removes them from
    // the chunk; the bytes of a character cut off at its end stay there for
    // the next call, unless `end`.
    void decode(QByteArray &chunk, bool end, QString &text)
    {
        switch (m_encoding) {
        case Encoding::Cp1252:
            text.append(decodeCp1252(chunk));
            chunk.clear();
            return;
        case Encoding::Utf16LE:
        case Encoding::Utf16BE:
            text.append(m_utf16.decode(chunk)); // keeps a cut character itself
            chunk.clear();
            return;
        case Encoding::Utf8:
            break;
        }
        const qsizetype cut = end ? chunk.size() : utf8CutOf(chunk);
        QStringDecoder decoder(
            QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        text.append(decoder.decode(QByteArrayView(chunk).first(cut)));
        chunk.remove(0, cut);
    }
    // The bytes the text takes in the file.
    qint64 bytesOf(QStringView text) const
    {
        switch (m_encoding) {
        case Encoding::Cp1252:
            return text.size();
        case Encoding::Utf16LE:
        case Encoding::Utf16BE:
            return 2 * qint64(text.size());
        case Encoding::Utf8:
            break;
        }
        // The file is valid UTF-8: a surrogate is half of a four-byte character.
        qint64 bytes = 0;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            bytes += u < 0x80 ? 1 : u < 0x800 ? 2 : c.isSurrogate() ? 2 : 3;
        }
        return bytes;
    }

private:
    Encoding m_encoding = Encoding::Utf8;
    QStringDecoder m_utf16;
};

// Reads as much as the source gives, up to `size` bytes.
qsizetype readFully(ByteSource &source, char *to, qsizetype size)
{
    qsizetype done = 0;
    while (done < size) {
        const qsizetype got = source.read(to + done, size - done);
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

// A row before the header that holds nothing but separators and blanks (as
// some programs write above the titles) is skipped.
bool isBlankRowCharacter(char16_t c)
{
    return c == u';' || c == u',' || c == u'\t' || c == u' ';
}

// Goes through the characters of the whole file once: refuses one that no
// text file holds (a dBASE table or a PDF document given as a CSV file) and
// finds the separator, the one of ";", "," and tab that the header line
// holds most often outside quotes. Only ASCII characters matter here; they
// mean the same in every encoding of a record file.
class CharacterScan
{
public:
    void add(char16_t c)
    {
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            throw Error(c == 0
                    ? tr("Zeile %1: Die Datei enthält Null-Bytes; sie ist keine Textdatei und "
                         "wird nicht als CSV-Datei gelesen.")
                          .arg(m_line)
                    : tr("Zeile %1: Die Datei enthält das Steuerzeichen %2 (hexadezimal); sie ist "
                         "keine Textdatei und wird nicht als CSV-Datei gelesen.")
                          .arg(m_line)
                          .arg(QStringLiteral("%1").arg(int(c), 2, 16, QLatin1Char('0')).toUpper()));
        const bool lineEnd = c == u'\n' ? !m_afterCr : c == u'\r';
        m_afterCr = c == u'\r';
        if (!m_headerDone)
            header(c);
        if (lineEnd)
            ++m_line;
    }
    qint64 line() const { return m_line; }
    QChar separator() const
    {
        const char16_t candidates[] = { u';', u'\t', u',' };
        int counts[3] = {};
        if (m_headerDone || !m_blankRow)
            std::copy(std::begin(m_counts), std::end(m_counts), std::begin(counts));
        int best = 2;
        for (int k = 0; k < 3; ++k)
            if (counts[k] > counts[best])
                best = k;
        return QChar(candidates[best]);
    }

private:
    // A quote begins a quoted value only as the value's first character;
    // elsewhere it is a character of the value (5" x 7").
    void header(char16_t c)
    {
        if (m_state == State::Quoted) {
            if (c == u'"')
                m_state = State::QuoteInQuoted;
            return;
        }
        if (m_state == State::QuoteInQuoted) {
            if (c == u'"') { // a doubled quote
                m_state = State::Quoted;
                return;
            }
            m_state = State::Unquoted;
        }
        if (c == u'"') {
            if (m_valueStart)
                m_state = State::Quoted;
            m_blankRow = false;
            m_valueStart = false;
        } else if (c == u'\n' || c == u'\r') {
            if (m_blankRow)
                std::fill(std::begin(m_counts), std::end(m_counts), 0);
            else
                m_headerDone = true;
            m_valueStart = true;
        } else if (c == u';' || c == u'\t' || c == u',') {
            ++m_counts[c == u';' ? 0 : c == u'\t' ? 1 : 2];
            m_valueStart = true;
        } else {
            m_blankRow = m_blankRow && isBlankRowCharacter(c);
            m_valueStart = false;
        }
    }

    enum class State { Unquoted, Quoted, QuoteInQuoted };
    State m_state = State::Unquoted;
    bool m_valueStart = true;
    bool m_blankRow = true;
    bool m_headerDone = false;
    int m_counts[3] = {};
    qint64 m_line = 1;
    bool m_afterCr = false;
};

QString badUtf16(qint64 line)
{
    return tr(
        "Zeile %1: Die Datei ist als UTF-16 gekennzeichnet, enthält aber ein Zeichen, das es in UTF-16 nicht "
        "gibt (ein halbes Zeichenpaar).")
        .arg(line);
}

// What one pass over the whole file finds before the text is parsed: its
// encoding, where its text begins (after a byte order mark) and the
// separator.
struct ByteScan
{
    Encoding encoding = Encoding::Utf8;
    qint64 start = 0;
    QChar separator = u',';
};

ByteScan scanBytes(ByteSource &source)
{
    ByteScan scan;
    source.seek(0);
    char head[3] = {};
    const qsizetype headSize = readFully(source, head, 3);
    const auto byteAt = [&](int k) { return static_cast<unsigned char>(head[k]); };
    if (headSize >= 2 && byteAt(0) == 0xFF && byteAt(1) == 0xFE)
        scan.encoding = Encoding::Utf16LE;
    else if (headSize >= 2 && byteAt(0) == 0xFE && byteAt(1) == 0xFF)
        scan.encoding = Encoding::Utf16BE;
    const bool utf16 = scan.encoding != Encoding::Utf8;
    const bool utf8Bom = headSize == 3 && byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF;
    scan.start = utf16 ? 2 : utf8Bom ? 3 : 0;
    source.seek(scan.start);

    CharacterScan characters;
    ChunkDecoder utf16Decoder;
    utf16Decoder.reset(scan.encoding);
    bool utf8 = true;
    qint64 utf16Bytes = 0;
    bool highSurrogate = false;
    QByteArray chunk;
    QString text;
    qsizetype carry = 0;
    for (;;) {
        chunk.resize(carry + kChunkBytes);
        const qsizetype got = source.read(chunk.data() + carry, kChunkBytes);
        const qsizetype size = carry + got;
        chunk.resize(size);
        if (utf16) {
            utf16Bytes += got;
            text.clear();
            utf16Decoder.decode(chunk, got == 0, text);
            for (const QChar c : std::as_const(text)) {
                // A surrogate is one half of a pair, high then low.
                if (c.isLowSurrogate() != highSurrogate)
                    throw Error(badUtf16(characters.line()));
                highSurrogate = c.isHighSurrogate();
                characters.add(c.unicode());
            }
        } else {
            for (qsizetype i = carry; i < size; ++i)
                characters.add(static_cast<unsigned char>(chunk[i]));
            if (utf8) {
                const qsizetype cut = got == 0 ? size : utf8CutOf(chunk);
                QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
                text.resize(decoder.requiredSpace(cut));
                decoder.appendToBuffer(text.data(), QByteArrayView(chunk).first(cut));
                utf8 = !decoder.hasError();
                chunk.remove(0, cut);
                carry = chunk.size();
            } else {
                carry = 0;
            }
        }
        if (got == 0)
            break;
    }
    if (utf16 && (utf16Bytes % 2 != 0 || highSurrogate))
        throw Error(
            tr("Zeile %1: Die Datei ist als UTF-16 gekennzeichnet, endet aber mitten in einem Zeichen.")
                .arg(characters.line()));
    if (!utf16 && !utf8) {
        scan.encoding = Encoding::Cp1252;
        scan.start = 0; // the bytes of the mark are then characters of the text
    }
    scan.separator = characters.separator();
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
        throw Error(tr("Zeile %1, Spalte %2 (Anzahl): %3 ist keine Anzahl von 0 bis %4.")
                        .arg(QString::number(line), QString::number(column), quotedValue(text),
                            QString::number(CsvRecordReader::kMaxCopies)));
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
        encoding = scan.encoding;
        textStart = scan.start;
        separator = scan.separator;
        start();
    }

    // A line of the file as values, before the columns are applied.
    struct Line
    {
        qint64 number = 0; // where the line begins (physical lines from 1)
        qint64 offset = 0; // the byte of the file where it begins
        QStringList values; // the first kMaxKeptValues, each cut at kMaxKeptChars
        QList<qint64> lengths; // their lengths in characters before any cut
        qint64 count = 0; // values in the line
        bool hasContent = false; // more than separators
        bool blankRow = true; // nothing but separators and blanks, no quote
    };

    void start();
    void seek(qint64 offset, qint64 line);
    bool fill();
    bool ensure(qsizetype count)
    {
        while (text.size() - pos < count) {
            if (!fill())
                return false;
        }
        return true;
    }
    // The byte offset of text[pos].
    qint64 offsetHere()
    {
        markBytes += decoder.bytesOf(QStringView(text).sliced(markPos, pos - markPos));
        markPos = pos;
        return markBytes;
    }
    bool readLine(Line &line);
    void addToValue(Line &line, QStringView part);
    void endValue(Line &line);
    void readHeader();
    void toRecord(const Line &line, QStringList &record) const;

    QList<CsvField> fields;
    bool copiesAllowed = true; // a column may give the copies
    std::unique_ptr<ByteSource> source;
    Encoding encoding = Encoding::Utf8;
    qint64 textStart = 0; // after a byte order mark
    QChar separator;
    bool byName = false;
    bool copiesColumn = false;
    QStringList ignored; // titles of the columns that fill no field
    QStringList titles; // of the header, as written
    // By column: -1 copies, -2 beyond the fields (by position), -3 a title
    // that names no field (left out), else the field.
    QList<int> target;
    qsizetype columns = 0;

    ChunkDecoder decoder;
    QByteArray chunk; // raw bytes, the undecoded end of the last chunk first
    QString text; // decoded, from pos on not yet parsed
    qsizetype pos = 0;
    qsizetype markPos = 0; // a place in text whose byte offset is known
    qint64 markBytes = 0; // that offset
    bool atEnd = false;
    qint64 number = 1; // the line being read
    Line current;
    QString pending; // the value being read, cut at kMaxKeptChars
    qint64 pendingLength = 0; // its length before the cut
};

void CsvRecordStream::Parser::addToValue(Line &line, QStringView part)
{
    pendingLength += part.size();
    const qsizetype room = kMaxKeptChars - pending.size();
    if (room > 0)
        pending.append(part.first(qMin(room, part.size())));
    for (qsizetype k = 0; line.blankRow && k < part.size(); ++k)
        line.blankRow = isBlankRowCharacter(part[k].unicode());
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

void CsvRecordStream::Parser::seek(qint64 offset, qint64 line)
{
    source->seek(offset);
    decoder.reset(encoding);
    chunk.clear();
    text.clear();
    pos = 0;
    markPos = 0;
    markBytes = offset;
    atEnd = false;
    number = line;
}

void CsvRecordStream::Parser::start()
{
    seek(textStart, 1);
    readHeader();
}

bool CsvRecordStream::Parser::fill()
{
    if (atEnd)
        return false;
    offsetHere();
    text.remove(0, pos);
    pos = 0;
    markPos = 0;
    const qsizetype before = text.size();
    while (text.size() == before && !atEnd) {
        const qsizetype carry = chunk.size();
        chunk.resize(carry + kChunkBytes);
        const qsizetype got = source->read(chunk.data() + carry, kChunkBytes);
        chunk.resize(carry + got);
        atEnd = got == 0;
        decoder.decode(chunk, atEnd, text);
    }
    return text.size() > before;
}

// The next line that is not blank, its values split at the separator and
// unquoted. A value that begins with a quote is quoted: it may hold
// separators, line ends and doubled quotes, and text after its closing quote
// belongs to the same value. A quote anywhere else is a character of the
// value. False at the end of the text.
bool CsvRecordStream::Parser::readLine(Line &line)
{
    for (;;) {
        line.number = number;
        line.offset = offsetHere();
        line.values.clear();
        line.lengths.clear();
        line.count = 0;
        line.hasContent = false;
        line.blankRow = true;
        pending.clear();
        pendingLength = 0;
        bool quoted = false;
        bool valueStart = true;
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
                        addToValue(line, u"\"");
                        pos += 2;
                    } else {
                        quoted = false;
                        ++pos;
                    }
                    continue;
                }
                if (ch == u'\r' || ch == u'\n') {
                    // Counted as the lines outside quotes are.
                    const bool pair = ch == u'\r' && ensure(2) && text[pos + 1] == u'\n';
                    addToValue(line, QStringView(text).sliced(pos, pair ? 2 : 1));
                    pos += pair ? 2 : 1;
                    ++number;
                    continue;
                }
                qsizetype end = pos + 1;
                while (end < text.size() && text[end] != u'"' && text[end] != u'\r' && text[end] != u'\n')
                    ++end;
                addToValue(line, QStringView(text).sliced(pos, end - pos));
                pos = end;
                continue;
            }
            if (ch == u'"' && valueStart) {
                quoted = true;
                valueStart = false;
                line.hasContent = true;
                line.blankRow = false;
                ++pos;
            } else if (ch == separator) {
                endValue(line);
                valueStart = true;
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
                    if (c == separator || c == u'\n' || c == u'\r')
                        break;
                    ++end;
                }
                addToValue(line, QStringView(text).sliced(pos, end - pos));
                line.hasContent = true;
                valueStart = false;
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
    // Rows of separators and blanks above the titles are no header.
    Line header;
    do {
        if (!readLine(header))
            return;
    } while (header.blankRow);
    if (header.count > kMaxKeptValues)
        throw Error(tr("Zeile %1: Die Kopfzeile hat %2 Spalten, höchstens %3 sind möglich.")
                        .arg(header.number)
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
                        : quotedValue(title.trimmed()));
                target[k] = -3;
                continue;
            }
            if (columnOf[f] > 0)
                throw Error(tr("Zeile %1, Spalte %2: %3 steht schon in Spalte %4.")
                                .arg(header.number)
                                .arg(k + 1)
                                .arg(quotedValue(title))
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

void CsvRecordStream::restartWith(const CsvRecordReader &reader)
{
    m_parser->fields = reader.fields();
    m_parser->copiesAllowed = reader.hasCopiesColumn();
    m_parser->start();
}

qint64 CsvRecordStream::recordOffset() const
{
    return m_parser->current.offset;
}

qint64 CsvRecordStream::recordLine() const
{
    return m_parser->current.number;
}

void CsvRecordStream::seek(qint64 offset, qint64 line)
{
    m_parser->seek(offset, line);
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

QStringList CsvRecordStream::ignoredColumns() const
{
    return m_parser->ignored;
}

bool CsvRecordStream::copiesColumn() const
{
    return m_parser->copiesColumn;
}

} // namespace qm
