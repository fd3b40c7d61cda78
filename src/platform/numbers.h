#pragma once

#include <QStringView>

#include <optional>

namespace qm {

// Whole numbers held as text are read by two rules.
//
// Strict (cells of the editor and the grids): optional leading blanks, an
// optional sign, an optional "$" for hexadecimal, then at least one digit and
// nothing else. Decimal values must lie in the signed 32-bit range; a
// hexadecimal value may use all 32 bits and is taken as two's complement
// ("$FFFFFFFF" is -1). Anything else, an empty text included, is an error.
//
// Lenient (the print-side file readers): the same prefix, then the digits up
// to the first character that is not one; 0 when there is none. A digit that
// would carry the value beyond 32 bits ends the number like an invalid
// character: the value read so far is kept.
std::optional<int> parseStrictInt(QStringView text);

// Strict conversion; throws ConvertError ("'%s' ist kein gültiger Integerwert").
int strToInt(QStringView text);

int lenientToInt(QStringView text);

} // namespace qm
