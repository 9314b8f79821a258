#include <QtTest>

#include "editor/EditorLayout.h"

using namespace proctorium;

class EditorLayoutTest : public QObject {
  Q_OBJECT
 private slots:
  void minimumSize() {
    const TEditorLayout l = LayoutEditor(640, 480);
    QCOMPARE(l.U, 51);
    QCOMPARE(l.ScrollBoxWidth, 521);
    QCOMPARE(l.ScrollBoxHeight, 204);
    QCOMPARE(l.ScrollBoxTop, 156);
    QCOMPARE(l.AnswerWidth, 450);
    QCOMPARE(l.QuestionHeight, 102);
    QCOMPARE(l.QuestionWidthWithExhibit, 414);
    QCOMPARE(l.QuestionWidthNoExhibit, 521);
    QCOMPARE(l.PanelSize, 102);
    QCOMPARE(l.PanelLeft, 427);
    QCOMPARE(l.RemarksWidth, 521);
    QCOMPARE(l.RemarksHeight, 51);
    QCOMPARE(l.RemarksTop, 390);
    QCOMPARE(l.RemarksLabelTop, 374);
    QCOMPARE(l.HelpTop, 396);
    QCOMPARE(l.CloseTop, 420);
    QCOMPARE(l.AnswersLabelTop, 136);
    QCOMPARE(l.RandomizeTop, 134);
    QCOMPARE(l.ExhibitPanelLeft, 201);
    QCOMPARE(l.ExhibitPanelTop, 132);
  }

  void answerBoxCappedWhenAllRowsFit() {
    const TEditorLayout l = LayoutEditor(800, 700);
    QCOMPARE(l.ScrollBoxWidth, 681);
    QCOMPARE(l.ScrollBoxHeight, 297);
    QCOMPARE(l.ScrollBoxTop, 242);
    QCOMPARE(l.U, 94);
    QCOMPARE(l.AnswerWidth, 626);
    QCOMPARE(l.QuestionHeight, 188);
    QCOMPARE(l.QuestionWidthWithExhibit, 488);
    QCOMPARE(l.PanelSize, 188);
    QCOMPARE(l.PanelLeft, 501);
    QCOMPARE(l.RemarksWidth, 681);
    QCOMPARE(l.RemarksHeight, 94);
    QCOMPARE(l.RemarksTop, 569);
    QCOMPARE(l.CloseTop, 640);
    QCOMPARE(l.HelpTop, 616);
    QCOMPARE(l.ExhibitPanelLeft, 361);
    QCOMPARE(l.ExhibitPanelTop, 218);
  }

  void neverSmallerThanTheMinimum_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("expectW");
    QTest::addColumn<int>("expectH");
    QTest::newRow("too narrow") << 300 << 600 << 640 << 600;
    QTest::newRow("too low") << 900 << 100 << 900 << 480;
    QTest::newRow("both") << 0 << -5 << 640 << 480;
  }
  void neverSmallerThanTheMinimum() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, expectW);
    QFETCH(int, expectH);
    const TEditorLayout l = LayoutEditor(w, h);
    QCOMPARE(l.WindowWidth, expectW);
    QCOMPARE(l.WindowHeight, expectH);
    const TEditorLayout same = LayoutEditor(expectW, expectH);
    QCOMPARE(l.ScrollBoxHeight, same.ScrollBoxHeight);
    QCOMPARE(l.RemarksTop, same.RemarksTop);
    QCOMPARE(l.AnswerWidth, same.AnswerWidth);
  }

  // Just below and at the cap: the scroll bar's 16 pixels come and go.
  void capThreshold_data() {
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("boxHeight");
    QTest::addColumn<int>("answerWidth");
    QTest::addColumn<int>("u");
    QTest::newRow("4U = 296") << 640 << 296 << 450 << 74;
    QTest::newRow("4U = 300, capped") << 645 << 297 << 466 << 76;
  }
  void capThreshold() {
    QFETCH(int, h);
    const TEditorLayout l = LayoutEditor(640, h);
    QTEST(l.ScrollBoxHeight, "boxHeight");
    QTEST(l.AnswerWidth, "answerWidth");
    QTEST(l.U, "u");
  }
};

QTEST_APPLESS_MAIN(EditorLayoutTest)
#include "EditorLayout_test.moc"
