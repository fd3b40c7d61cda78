#include "testpaths.h"

namespace qm::test {

QString fixturesDir()
{
    return QStringLiteral(QM_TEST_DATA_DIR);
}

QString shareDir()
{
    return QStringLiteral(QM_TEST_SHARE_DIR);
}

QString programPath()
{
    return QStringLiteral(QM_TEST_PROGRAM);
}

} // namespace qm::test
