#include "platform/numbers.h"
#include <QTest>
class TestPlatformCore : public QObject { Q_OBJECT private Q_SLOTS: void placeholder() { QCOMPARE(qm::lenientToInt(u"12"), 12); } };
QTEST_MAIN(TestPlatformCore)
#include "TestPlatformCore.moc"
