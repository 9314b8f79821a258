#include <QtTest>

#include "editor/core/EditorLayout.h"

using namespace proctorium;

namespace {

// Every figure of a layout on one line, so that a table row can pin them all.
QString Figures(const TEditorLayout& l) {
  return QString::asprintf(
      "window %dx%d U %d; box %dx%d at %d, answers %d wide; question %d high, %d wide or %d beside a %d panel at %d; "
      "remarks %dx%d at %d, label at %d; help at %d, close at %d; answers label at %d, randomize at %d; exhibit panel "
      "at %d,%d",
      l.WindowWidth, l.WindowHeight, l.U, l.ScrollBoxWidth, l.ScrollBoxHeight, l.ScrollBoxTop, l.AnswerWidth,
      l.QuestionHeight, l.QuestionWidthNoExhibit, l.QuestionWidthWithExhibit, l.PanelSize, l.PanelLeft, l.RemarksWidth,
      l.RemarksHeight, l.RemarksTop, l.RemarksLabelTop, l.HelpTop, l.CloseTop, l.AnswersLabelTop, l.RandomizeTop,
      l.ExhibitPanelLeft, l.ExhibitPanelTop);
}

}  // namespace

class EditorLayoutTest : public QObject {
  Q_OBJECT
 private slots:
  // At 4U just below 297 the answer box keeps its scroll bar (16 pixels of
  // the width); from there on it is capped and U is shared out again.
  void figures_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<QString>("figures");
    QTest::newRow("640x480") << 640 << 480
                             << "window 640x480 U 51; box 521x204 at 156, answers 450 wide; question 102 high, 521 "
                                "wide or 414 beside a 102 panel at 427; remarks 521x51 at 390, label at 374; help at "
                                "396, close at 420; answers label at 136, randomize at 134; exhibit panel at 201,132";
    QTest::newRow("800x700") << 800 << 700
                             << "window 800x700 U 94; box 681x297 at 242, answers 626 wide; question 188 high, 681 "
                                "wide or 488 beside a 188 panel at 501; remarks 681x94 at 569, label at 553; help at "
                                "616, close at 640; answers label at 222, randomize at 220; exhibit panel at 361,218";
    QTest::newRow("4U = 296") << 640 << 640
                              << "window 640x640 U 74; box 521x296 at 202, answers 450 wide; question 148 high, 521 "
                                 "wide or 368 beside a 148 panel at 381; remarks 521x74 at 528, label at 512; help at "
                                 "556, close at 580; answers label at 182, randomize at 180; exhibit panel at 201,178";
    QTest::newRow("4U = 300, capped")
        << 640 << 645
        << "window 640x645 U 76; box 521x297 at 206, answers 466 wide; question 152 high, 521 wide or 364 beside a 152 "
           "panel at 377; remarks 521x76 at 533, label at 517; help at 561, close at 585; answers label at 186, "
           "randomize at 184; exhibit panel at 201,182";
  }
  void figures() {
    QFETCH(int, w);
    QFETCH(int, h);
    QTEST(Figures(LayoutEditor(w, h)), "figures");
  }

  void belowTheMinimumLaysOutAsAtTheMinimum_data() {
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("actual");
    QTest::newRow("too narrow") << QSize(300, 600) << QSize(640, 600);
    QTest::newRow("too low") << QSize(900, 100) << QSize(900, 480);
    QTest::newRow("both") << QSize(0, -5) << QSize(640, 480);
  }
  void belowTheMinimumLaysOutAsAtTheMinimum() {
    QFETCH(QSize, requested);
    QFETCH(QSize, actual);
    QCOMPARE(Figures(LayoutEditor(requested.width(), requested.height())),
             Figures(LayoutEditor(actual.width(), actual.height())));
  }
};

QTEST_APPLESS_MAIN(EditorLayoutTest)
#include "EditorLayout_test.moc"
