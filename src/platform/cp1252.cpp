#include "cp1252.h"

#include <array>

namespace qm {
namespace {

// Unicode code points of the bytes 0x80..0x9F; 0xA0..0xFF equal their code point.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QString decodeCp1252(QByteArrayView bytes)
{
    QString result(bytes.size(), Qt::Uninitialized);
    QChar *out = result.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return result;
}

bool encodeCp1252(QStringView text, QByteArray &out, qsizetype *badIndex)
{
    out.reserve(out.size() + text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = encodeChar(text[i].unicode());
        if (b < 0) {
            if (badIndex)
                *badIndex = i;
            return false;
        }
        out.append(static_cast<char>(b));
    }
    return true;
}

} // namespace qm
