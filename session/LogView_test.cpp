#include <QtTest>
#include <string>

#include "session/LogView.h"

using namespace proctorium;

class LogViewTest : public QObject {
  Q_OBJECT
 private slots:
  // A log shows its end, every line stays reachable, and at the end the view
  // follows what is added; text is converted only when it leaves the view.
  void opensAtTheEndFollowsAppendsAndConvertsOnlyAtTheBoundary() {
    TLogView view;
    std::string bytes;
    for (int i = 0; i < 1000; ++i) bytes += "line " + std::to_string(i) + "\r\n";
    view.resize(300, 200);
    view.SetText(bytes);
    view.show();
    view.setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.FirstVisibleLine() + view.VisibleLines(), 1000);
    QTest::keyClick(&view, Qt::Key_Home);
    QCOMPARE(view.FirstVisibleLine(), 0);
    view.AppendLine("late");  // away from the end the view stays where the user is
    QCOMPARE(view.FirstVisibleLine(), 0);
    QTest::keyClick(&view, Qt::Key_End);
    view.AppendLine("later");
    QCOMPARE(view.FirstVisibleLine() + view.VisibleLines(), 1002);
    view.SetText("Caf\xe9\r\n\x80 10\r\nthird\r\n");
    const int h = view.fontMetrics().lineSpacing();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(10, h / 2));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, h + h / 2));
    QCOMPARE(view.SelectedText(), QString::fromUtf8("Caf\xc3\xa9\n\xe2\x82\xac 10"));
  }
};

QTEST_MAIN(LogViewTest)
#include "LogView_test.moc"
