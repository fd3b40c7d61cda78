#pragma once

// The records of a dBASE III table read straight from its bytes, as a check
// of what the program wrote that does not go through the program's own
// table engine.

#include "platform/cp1252.h"
#include "testfiles.h"

#include <QList>
#include <QStringList>

namespace qm::test {

// The values of the records of a dBASE III table, field by field, deleted
// ones left out.
inline QList<QStringList> tableRecords(const QString &path)
{
    const QByteArray bytes = contentOf(path);
    QList<QStringList> records;
    if (bytes.size() < 33)
        return records;
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const int count = byte(4) | byte(5) << 8;
    const int header = byte(8) | byte(9) << 8;
    const int length = byte(10) | byte(11) << 8;
    QList<int> widths;
    for (qsizetype d = 32; d + 32 <= bytes.size() && bytes[d] != '\r'; d += 32)
        widths << byte(d + 16);
    for (int r = 0; r < count; ++r) {
        const qsizetype start = header + qsizetype(r) * length;
        if (start + length > bytes.size() || bytes[start] == '*')
            continue;
        QStringList values;
        qsizetype at = start + 1;
        for (const int width : std::as_const(widths)) {
            values << decodeCp1252(bytes.mid(at, width)).trimmed();
            at += width;
        }
        records << values;
    }
    return records;
}

} // namespace qm::test
