#include "numbers.h"

#include "errors.h"

#include <cstdint>

namespace qm {
namespace {

struct Parsed
{
    int value = 0;
    bool complete = false; // the whole text was a number
};

int digitValue(QChar c, bool hex)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (hex && u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (hex && u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

Parsed parse(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < n && text[i] == u'$') {
        hex = true;
        ++i;
    }
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 2147483648ull : 2147483647ull);
    std::uint64_t magnitude = 0;
    qsizetype digits = 0;
    for (; i < n; ++i) {
        const int d = digitValue(text[i], hex);
        if (d < 0)
            break;
        const std::uint64_t next = magnitude * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
        if (next > limit)
            break;
        magnitude = next;
        ++digits;
    }
    Parsed result;
    const auto bits = static_cast<std::uint32_t>(negative ? (0 - magnitude) : magnitude);
    result.value = static_cast<int>(bits); // two's complement, well defined since C++20
    result.complete = digits > 0 && i == n;
    return result;
}

} // namespace

std::optional<int> parseStrictInt(QStringView text)
{
    const Parsed p = parse(text);
    if (!p.complete)
        return std::nullopt;
    return p.value;
}

int strToInt(QStringView text)
{
    const auto value = parseStrictInt(text);
    if (!value)
        throw ConvertError(text);
    return *value;
}

int lenientToInt(QStringView text)
{
    return parse(text).value;
}

} // namespace qm
