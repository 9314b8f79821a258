#include <QClipboard>
#include <QScrollBar>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>

#include "base/core/FileIO.h"
#include "session/LogView.h"
#include "testkit/core/TempDir.h"

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

  // A log shown from its end while its beginning is still being read: what
  // needs the whole log reads the rest first, and what the user selected or
  // sees before the hand-over stays the same lines after it.
  void theBeginningComesInWithoutMovingWhatTheUserSees() {
    testkit::TTempDir dir;
    const std::string path = dir.Path("results.txt");
    std::string bytes;
    QStringList all;
    for (int i = 0; i < 1000; ++i) {
      bytes += "line " + std::to_string(i) + "\r\n";
      all << QStringLiteral("line %1").arg(i);
    }
    const auto lines = [&](int first, int last) { return all.mid(first, last - first + 1).join(QLatin1Char('\n')); };
    const auto copied = [](TLogView& v) {
      QApplication::clipboard()->clear();
      QTest::keyClick(&v, Qt::Key_C, Qt::ControlModifier);
      return QApplication::clipboard()->text();
    };
    const auto finish = [](TLogView& v) { QTRY_VERIFY_WITH_TIMEOUT(!v.Loading(), 30000); };
    const struct {
      const char* Name;
      std::function<void(TLogView&)> Check;
    } cases[] = {
        {"Home before the index is complete",
         [&](TLogView& v) {
           QTest::keyClick(&v, Qt::Key_Home);
           QCOMPARE(v.FirstVisibleLine(), 0);
           QCOMPARE(v.SelectedText(), all[0]);
         }},
        {"Ctrl+A and Ctrl+C before the index is complete",
         [&](TLogView& v) {
           QTest::keyClick(&v, Qt::Key_A, Qt::ControlModifier);
           QCOMPARE(copied(v), all.join(QLatin1Char('\n')));
         }},
        {"a selection at the end keeps its lines and extends across the boundary",
         [&](TLogView& v) {
           QTest::keyClick(&v, Qt::Key_End);
           QTest::keyClick(&v, Qt::Key_Up, Qt::ShiftModifier);
           finish(v);
           QCOMPARE(v.SelectedText(), lines(998, 999));
           QTest::keyClick(&v, Qt::Key_Home, Qt::ShiftModifier);
           QCOMPARE(copied(v), all.join(QLatin1Char('\n')));
         }},
        {"the lines in sight stay in sight",
         [&](TLogView& v) {
           QTest::keyClick(&v, Qt::Key_Up);  // selects the lowest line in sight
           const int first = v.FirstVisibleLine();
           const QString top = v.Line(first), selected = v.SelectedText();
           finish(v);
           QCOMPARE(v.Line(v.FirstVisibleLine()), top);
           QCOMPARE(v.SelectedText(), selected);
           QVERIFY(v.FirstVisibleLine() > first);
         }},
        {"scrolling to the top reads the rest and copies across the boundary",
         [&](TLogView& v) {
           QTest::keyClick(&v, Qt::Key_End);
           v.verticalScrollBar()->setValue(0);
           QVERIFY(!v.Loading());
           QCOMPARE(v.LineCount(), 1000);
           QVERIFY(v.FirstVisibleLine() > 0);  // still the same lines in sight, now further down
           QTest::keyClick(&v, Qt::Key_Home, Qt::ShiftModifier);
           QCOMPARE(copied(v), all.join(QLatin1Char('\n')));
         }},
        {"lines added meanwhile stay after the log",
         [&](TLogView& v) {
           v.AppendLine("added");
           finish(v);
           QCOMPARE(v.LineCount(), 1001);
           QCOMPARE(v.Line(1000), QStringLiteral("added"));
           QCOMPARE(v.Lines().mid(0, 1000), all);
         }},
    };
    for (const auto& c : cases) {
      WriteFileAtomic(path, bytes);
      TLogView view;
      view.resize(300, 200);
      view.show();
      view.setFocus();
      QVERIFY(QTest::qWaitForWindowExposed(&view));
      view.SetReader(std::make_unique<TLogReader>(path, 200));
      QVERIFY2(view.Loading(), c.Name);
      QVERIFY2(view.LineCount() < 100, c.Name);
      QCOMPARE(view.Line(view.LineCount() - 1), all.last());
      c.Check(view);
      if (QTest::currentTestFailed()) QFAIL(c.Name);
      finish(view);
      QCOMPARE(view.LineCount() >= 1000, true);
    }
  }

  // A log emptied or replaced by another seat while its beginning is read is
  // not joined to the end read before: the view says so and its owner reads
  // the log anew.
  void aLogChangedWhileReadingIsToldNotJoined() {
    testkit::TTempDir dir;
    const std::string path = dir.Path("results.txt");
    std::string bytes;
    for (int i = 0; i < 1000; ++i) bytes += "line " + std::to_string(i) + "\r\n";
    WriteFileAtomic(path, bytes);
    TLogView view;
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QSignalSpy changed(&view, &TLogView::logChanged);
    view.SetReader(std::make_unique<TLogReader>(path, 200));
    QVERIFY(view.Loading());
    WriteFileAtomic(path, "another log\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(!view.Loading(), 30000);
    QCOMPARE(changed.count(), 1);
  }
};

QTEST_MAIN(LogViewTest)
#include "LogView_test.moc"
