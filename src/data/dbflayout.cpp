#include "dbflayout.h"

#include "platform/cp1252.h"
#include "platform/errors.h"

#include <QCoreApplication>
#include <QDate>
#include <QRegularExpression>
#include <QSet>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

quint32 le32(QByteArrayView b, int at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16
        | quint32(quint8(b[at + 3])) << 24;
}

int le16(QByteArrayView b, int at)
{
    return int(quint8(b[at])) | int(quint8(b[at + 1])) << 8;
}

void put16(QByteArray &b, int at, int value)
{
    b[at] = char(value & 0xff);
    b[at + 1] = char((value >> 8) & 0xff);
}

// The version bytes of dBASE III and its successors that keep the same
// header and record layout (with or without memo files).
bool knownVersion(quint8 v)
{
    switch (v) {
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x30:
    case 0x31:
    case 0x43:
    case 0x63:
    case 0x83:
    case 0x8b:
    case 0xcb:
    case 0xf5:
    case 0xfb:
        return true;
    default:
        return false;
    }
}

[[noreturn]] void notATable(const QString &path, const QString &why)
{
    throw Error(tr("Die Datei \"%1\" ist keine gültige dBASE-Datenbank (%2).").arg(path, why));
}

} // namespace

DbfLayout parseDbfHeader(QByteArrayView head, qint64 fileSize, const QString &path)
{
    if (head.size() < dbf::FileHeaderSize || fileSize < dbf::FileHeaderSize)
        notATable(path, tr("zu kurz"));
    if (!knownVersion(quint8(head[0])))
        notATable(path, tr("unbekannte Kennung"));

    DbfLayout layout;
    layout.recordCount = le32(head, 4);
    layout.headerLength = le16(head, 8);
    layout.recordLength = le16(head, 10);
    layout.languageDriver = quint8(head[29]);
    if (layout.headerLength < dbf::FileHeaderSize + 1 || layout.recordLength < 1)
        notATable(path, tr("Kopf beschädigt"));
    if (head.size() < layout.headerLength || fileSize < layout.headerLength)
        notATable(path, tr("Kopf unvollständig"));

    // Field descriptors run up to the terminator or the header's end.
    int used = 1;
    QSet<QString> names;
    for (int at = dbf::FileHeaderSize; at + dbf::FieldHeaderSize <= layout.headerLength;
         at += dbf::FieldHeaderSize) {
        if (head[at] == '\r')
            break;
        QByteArrayView nameBytes = head.sliced(at, 11);
        const qsizetype end = nameBytes.indexOf('\0');
        if (end >= 0)
            nameBytes = nameBytes.first(end);
        TableField field;
        field.name = decodeCp1252(nameBytes).trimmed();
        field.type = head[at + 11];
        field.width = quint8(head[at + 16]);
        field.decimals = quint8(head[at + 17]);
        // The decimals byte is not part of the width, as for shapelib.
        if (field.width < 1 || field.width > dbf::MaxWidth)
            notATable(path, tr("Feld %1 hat die Breite %2").arg(layout.fields.size() + 1).arg(field.width));
        if (layout.fields.size() >= dbf::MaxFields)
            notATable(path, tr("zu viele Felder"));
        layout.offsets << used;
        used += field.width;
        names.insert(field.name.toUpper());
        layout.fields << field;
    }
    if (layout.fields.isEmpty())
        notATable(path, tr("keine Felder"));
    if (used != layout.recordLength)
        notATable(path, tr("Satzlänge passt nicht zu den Feldern"));

    // 64-bit product: the header may claim up to 4 billion records.
    const qint64 needed = qint64(layout.headerLength) + layout.recordCount * qint64(layout.recordLength);
    if (fileSize < needed) {
        throw Error(tr("Die Datenbank \"%1\" ist unvollständig: der Kopf nennt %2 Datensätze, "
                       "die Datei enthält weniger.")
                        .arg(path)
                        .arg(layout.recordCount));
    }
    if (layout.recordCount > 0x7fffffff)
        notATable(path, tr("zu viele Datensätze"));
    return layout;
}

FieldValue checkFieldValue(const TableField &field, const QString &value)
{
    const QString text = value.trimmed();
    if (text.isEmpty() && field.type != 'C')
        return { QString(), QString() };
    switch (field.type) {
    case 'N':
    case 'F': {
        static const QRegularExpression number(QStringLiteral("^([+-]?)(\\d*)(?:[.,](\\d*))?$"));
        const QRegularExpressionMatch m = number.match(text);
        if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
            return { QString(), tr("%1 ist keine Zahl").arg(quotedValue(value)) };
        QString whole = m.captured(2);
        while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
            whole.remove(0, 1);
        if (whole.isEmpty())
            whole = QStringLiteral("0");
        QString places = m.captured(3);
        while (places.size() > field.decimals && places.endsWith(QLatin1Char('0')))
            places.chop(1);
        if (places.size() > field.decimals)
            return { QString(), tr("%1 hat mehr als %2 Nachkommastellen").arg(quotedValue(value)).arg(field.decimals) };
        places = places.leftJustified(field.decimals, QLatin1Char('0'));
        QString stored = (m.captured(1) == QLatin1String("-") ? QStringLiteral("-") : QString()) + whole;
        if (field.decimals > 0)
            stored += QLatin1Char('.') + places;
        if (stored.size() > field.width)
            return { QString(),
                tr("%1 ist breiter als das Feld (%2 Zeichen)").arg(quotedValue(value)).arg(field.width) };
        return { stored.rightJustified(field.width, QLatin1Char(' ')), QString() };
    }
    case 'D': {
        QDate date = QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
        if (!date.isValid() && text.size() == 8)
            date = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
        if (!date.isValid())
            return { QString(), tr("%1 ist kein Datum (TT.MM.JJJJ oder JJJJMMTT)").arg(quotedValue(value)) };
        return { date.toString(QStringLiteral("yyyyMMdd")), QString() };
    }
    case 'L': {
        const QString upper = text.toUpper();
        if (upper == QLatin1String("J") || upper == QLatin1String("JA") || upper == QLatin1String("T")
            || upper == QLatin1String("Y"))
            return { QStringLiteral("T"), QString() };
        if (upper == QLatin1String("N") || upper == QLatin1String("NEIN") || upper == QLatin1String("F"))
            return { QStringLiteral("F"), QString() };
        return { QString(), tr("%1 ist kein Wahrheitswert (J, Ja, N, Nein, T, F oder Y)").arg(quotedValue(value)) };
    }
    case 'M':
        return { QString(), tr("ein Memofeld kann keinen Text aufnehmen") };
    default:
        return { value, QString() };
    }
}

QString dbfFieldName(const QString &name)
{
    return name.left(dbf::MaxNameLength);
}

QByteArray buildDbfHeader(const QList<TableField> &fields, int year, int month, int day)
{
    if (fields.isEmpty())
        throw Error(tr("Eine Datenbank ohne Felder kann nicht angelegt werden."));
    if (fields.size() > dbf::MaxFields)
        throw Error(tr("Eine Datenbank kann höchstens %1 Felder haben.").arg(dbf::MaxFields));

    const int headerLength = dbf::FileHeaderSize + dbf::FieldHeaderSize * int(fields.size()) + 1;
    QByteArray out(headerLength, '\0');
    out[0] = 0x03;
    out[1] = char(std::clamp(year - 1900, 0, 255));
    out[2] = char(month);
    out[3] = char(day);
    put16(out, 8, headerLength);
    out[29] = char(dbf::LanguageDriverAnsi);

    QSet<QString> names;
    int recordLength = 1;
    int at = dbf::FileHeaderSize;
    for (const TableField &field : fields) {
        const QString name = dbfFieldName(field.name);
        if (name.trimmed().isEmpty())
            throw Error(tr("Ein Feld ohne Namen kann nicht angelegt werden."));
        if (field.width < 1 || field.width > dbf::MaxWidth) {
            throw Error(tr("Das Feld \"%1\" kann nicht %2 Zeichen breit sein (erlaubt sind 1 bis %3).")
                            .arg(name)
                            .arg(field.width)
                            .arg(dbf::MaxWidth));
        }
        if (names.contains(name.toUpper()))
            throw Error(tr("Der Feldname \"%1\" kommt mehrfach vor.").arg(name));
        names.insert(name.toUpper());
        QByteArray bytes;
        if (!encodeCp1252(name, bytes) || bytes.contains('\0'))
            throw EncodingError(tr("Der Feldname \"%1\" enthält ein Zeichen, das die Datenbank nicht "
                                   "speichern kann.")
                                    .arg(name));
        for (int i = 0; i < bytes.size(); ++i)
            out[at + i] = bytes[i];
        out[at + 11] = 'C';
        out[at + 16] = char(field.width);
        recordLength += field.width;
        at += dbf::FieldHeaderSize;
    }
    out[at] = '\r';
    put16(out, 10, recordLength);
    out.append(char(0x1a));
    return out;
}

QByteArray encodeDbfRecord(const DbfLayout &layout, const QStringList &values, bool deleted, int *cut)
{
    QByteArray record(layout.recordLength, ' ');
    record[0] = deleted ? dbf::Deleted : dbf::Live;
    int cutCount = 0;
    for (int i = 0; i < layout.fields.size() && i < values.size(); ++i) {
        QByteArray bytes;
        qsizetype bad = -1;
        if (!encodeCp1252(values[i], bytes, &bad)) {
            throw EncodingError(tr("Das Zeichen \"%1\" im Feld \"%2\" kann die Datenbank nicht speichern.")
                                    .arg(values[i].mid(bad, 1), layout.fields[i].name));
        }
        const int width = layout.fields[i].width;
        if (bytes.size() > width) {
            bytes.truncate(width);
            ++cutCount;
        }
        record.replace(layout.offsets[i], bytes.size(), bytes);
    }
    if (cut)
        *cut = cutCount;
    return record;
}

QStringList decodeDbfRecord(const DbfLayout &layout, QByteArrayView record)
{
    QStringList values;
    values.reserve(layout.fields.size());
    for (int i = 0; i < layout.fields.size(); ++i) {
        const qsizetype offset = layout.offsets[i];
        if (offset >= record.size()) {
            values << QString();
            continue;
        }
        QByteArrayView bytes
            = record.sliced(offset, std::min<qsizetype>(layout.fields[i].width, record.size() - offset));
        qsizetype end = bytes.size();
        while (end > 0 && (bytes[end - 1] == ' ' || bytes[end - 1] == '\0'))
            --end;
        values << decodeCp1252(bytes.first(end));
    }
    return values;
}

} // namespace qm
