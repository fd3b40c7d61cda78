#pragma once

// Where the tests find the source tree's files and the built program. The
// paths are compiled into one small library, not into every test, so that a
// second clone of the same code compiles its tests from the compiler cache.

#include <QString>

namespace qm::test {

// tests/fixtures of the source tree, without a closing "/".
QString fixturesDir();
// share/ of the source tree, without a closing "/".
QString shareDir();
// The built program (empty in builds without windows).
QString programPath();

} // namespace qm::test
