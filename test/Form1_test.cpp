#include <QtTest>
class Dummy : public QObject { Q_OBJECT };
QTEST_MAIN(Dummy)
#include "Form1_test.moc"
