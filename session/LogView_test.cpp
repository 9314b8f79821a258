#include <QClipboard>
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
    QVERIFY(QTest::qWaitForWindowExposed(&view, 600000));  // a hang guard, not a deadline
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
    // A last line without its break, as a seat cut off mid-save leaves it,
    // is not joined to the line added after it.
    view.SetText("first\r\ntorn");
    view.AppendLine("next");
    view.SelectAll();
    QCOMPARE(view.SelectedText(), QString("first\ntorn\nnext"));
  }
  // Ctrl+C copies the selection, Ctrl+A selects every line first; the
  // clipboard gets the text with plain line ends.
  void copyPutsTheSelectionOnTheClipboard() {
    TLogView view;
    view.SetText("first\r\nCaf\xe9\r\nthird\r\n");
    view.resize(300, 200);
    view.show();
    view.setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(&view, 600000));  // a hang guard, not a deadline
    // keys pressed, clipboard afterwards
    const std::pair<QList<Qt::Key>, QString> rows[] = {
        {{Qt::Key_C}, QString::fromUtf8("Caf\xc3\xa9\nthird")},  // the selection made by hand
        {{Qt::Key_A, Qt::Key_C}, QString::fromUtf8("first\nCaf\xc3\xa9\nthird")},
    };
    for (const auto& [keys, copied] : rows) {
      view.SelectLines(1, 2);
      QApplication::clipboard()->setText("before");
      for (const Qt::Key k : keys) QTest::keyClick(&view, k, Qt::ControlModifier);
      QCOMPARE(QApplication::clipboard()->text(), copied);
    }
  }
};

QTEST_MAIN(LogViewTest)
#include "LogView_test.moc"
