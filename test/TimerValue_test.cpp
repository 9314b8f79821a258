#include <QtTest>
class Dummy : public QObject { Q_OBJECT };
QTEST_MAIN(Dummy)
#include "TimerValue_test.moc"
