#include <QtTest>
class Dummy : public QObject { Q_OBJECT };
QTEST_MAIN(Dummy)
#include "ResultsForm_test.moc"
