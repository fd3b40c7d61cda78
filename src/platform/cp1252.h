#pragma once

#include <QByteArray>
#include <QString>

namespace qm {

// The program's files are in the Windows ANSI code page (cp1252). The five
// byte values that code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// decode to the C1 control characters of the same value, as Windows does, so
// every byte sequence survives a read and a write unchanged.
QString decodeCp1252(QByteArrayView bytes);

// Encodes text to cp1252. Returns false when a character has no cp1252 byte;
// then *badIndex (when given) is the index of the first such character in the
// text and the output is incomplete.
bool encodeCp1252(QStringView text, QByteArray &out, qsizetype *badIndex = nullptr);

} // namespace qm
