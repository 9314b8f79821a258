#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>
#include <string>

#include "app/core/Contrast.h"
#include "session/LogView.h"

using namespace proctorium;

namespace {

// "line 0" .. "line <n-1>", CR LF each.
std::string Numbered(int n) {
  std::string bytes;
  for (int i = 0; i < n; ++i) bytes += "line " + std::to_string(i) + "\r\n";
  return bytes;
}

struct TShownView {
  TLogView View;
  explicit TShownView(int lines) {
    View.resize(300, 200);
    View.SetText(Numbered(lines));
    View.show();
    View.setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(&View));
  }
};

}  // namespace

class LogViewTest : public QObject {
  Q_OBJECT
 private slots:
  void opensAtTheEndAndEveryLineIsReachable() {
    TShownView v(1000);
    QCOMPARE(v.View.FirstVisibleLine() + v.View.VisibleLines(), 1000);
    QTest::keyClick(&v.View, Qt::Key_Home);
    QCOMPARE(v.View.FirstVisibleLine(), 0);
    QCOMPARE(v.View.SelectedText(), QString("line 0"));
    v.View.AppendLine("late");  // away from the end the view stays where the user is
    QCOMPARE(v.View.FirstVisibleLine(), 0);
    QWheelEvent down(QPointF(10, 10), v.View.mapToGlobal(QPointF(10, 10)), {}, QPoint(0, -120), Qt::NoButton, {},
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(v.View.viewport(), &down);
    QCOMPARE(v.View.FirstVisibleLine(), QApplication::wheelScrollLines());
    QTest::keyClick(&v.View, Qt::Key_End);
    v.View.AppendLine("later");  // at the end it follows what is added
    QCOMPARE(v.View.FirstVisibleLine() + v.View.VisibleLines(), 1002);
    v.View.resize(300, 400);  // and keeps to it when the window grows
    QCOMPARE(v.View.FirstVisibleLine() + v.View.VisibleLines(), 1002);
  }

  void keysSelectAndCopyWholeLines_data() {
    QTest::addColumn<QString>("keys");  // u d U D (Shift) h e a (Ctrl+A)
    QTest::addColumn<QString>("copied");
    const char* const rows[][3] = {
        {"one line", "hd", "line 1"},
        {"shift extends downwards", "hdDD", "line 1\nline 2\nline 3"},
        {"shift extends upwards", "eUU", "line 7\nline 8\nline 9"},
        {"a move without shift drops the range", "hDDu", "line 1"},
        {"select all", "a", "line 0\nline 1\nline 2\nline 3\nline 4\nline 5\nline 6\nline 7\nline 8\nline 9"},
        {"no move past the first", "huuu", "line 0"},
        {"first arrow up picks the lowest line in sight", "u", "line 9"}};
    for (const auto& [name, keys, copied] : rows) QTest::newRow(name) << QString(keys) << QString(copied);
  }
  void keysSelectAndCopyWholeLines() {
    QFETCH(QString, keys);
    QFETCH(QString, copied);
    TShownView v(10);
    QApplication::clipboard()->clear();
    const QMap<QChar, Qt::Key> key{{'u', Qt::Key_Up}, {'d', Qt::Key_Down}, {'h', Qt::Key_Home}, {'e', Qt::Key_End}};
    for (const QChar k : keys)
      if (k == 'a')
        QTest::keySequence(&v.View, QKeySequence::SelectAll);
      else
        QTest::keyClick(&v.View, key[k.toLower()], k.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
    QTest::keySequence(&v.View, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), copied);
  }

  void mouseSelectsLinesAndConvertsOnlyAtTheBoundary() {
    TShownView v(0);
    v.View.SetText("Caf\xe9\r\n\x80 10\r\nthird\r\n");
    const int h = v.View.fontMetrics().lineSpacing();
    QTest::mouseClick(v.View.viewport(), Qt::LeftButton, {}, QPoint(10, h / 2));
    QTest::mouseClick(v.View.viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, h + h / 2));
    QCOMPARE(v.View.SelectedText(), QString::fromUtf8("Caf\xc3\xa9\n\xe2\x82\xac 10"));
    v.View.Clear();
    QCOMPARE(v.View.LineCount(), 0);
    QCOMPARE(v.View.SelectedText(), QString());
  }

  // Whatever colours the scheme gives, the painted text stands out from the
  // background by the measure ordinary text needs.
  void textIsReadableOnAnyBackground_data() {
    QTest::addColumn<QColor>("base");
    QTest::addColumn<QColor>("text");
    QTest::newRow("navy with dark text") << QColor(0, 0, 128) << QColor(0, 0, 90);
    QTest::newRow("white with pale text") << QColor(255, 255, 255) << QColor(235, 235, 235);
    QTest::newRow("usual") << QColor(255, 255, 255) << QColor(0, 0, 0);
  }
  void textIsReadableOnAnyBackground() {
    QFETCH(QColor, base);
    QFETCH(QColor, text);
    TShownView v(0);
    v.View.SetText("WWWW MMMM\r\n");
    QPalette p = v.View.palette();
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::Text, text);
    v.View.setPalette(p);
    const QImage shot = v.View.viewport()->grab().toImage();
    double best = 1;
    for (int y = 0; y < v.View.fontMetrics().lineSpacing(); ++y)
      for (int x = 0; x < 80; ++x) {
        const QColor c = shot.pixelColor(x, y);
        best = std::max(best, ContrastRatio({c.red(), c.green(), c.blue()}, {base.red(), base.green(), base.blue()}));
      }
    QVERIFY2(best >= MinTextContrast, qPrintable(QString::number(best)));
  }
};

QTEST_MAIN(LogViewTest)
#include "LogView_test.moc"
