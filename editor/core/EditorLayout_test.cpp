#include "editor/core/EditorLayout.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace proctorium;

namespace {

// Every figure of a layout on one line, so that a table row can pin them all.
std::string Figures(const TEditorLayout& l) {
  char text[512];
  std::snprintf(text, sizeof text,
                "window %dx%d U %d; box %dx%d at %d, answers %d wide; question %d high, %d wide or %d beside a %d "
                "panel at %d; remarks %dx%d at %d, label at %d; help at %d, close at %d; answers label at %d, "
                "randomize at %d; exhibit panel at %d,%d",
                l.WindowWidth, l.WindowHeight, l.U, l.ScrollBoxWidth, l.ScrollBoxHeight, l.ScrollBoxTop, l.AnswerWidth,
                l.QuestionHeight, l.QuestionWidthNoExhibit, l.QuestionWidthWithExhibit, l.PanelSize, l.PanelLeft,
                l.RemarksWidth, l.RemarksHeight, l.RemarksTop, l.RemarksLabelTop, l.HelpTop, l.CloseTop,
                l.AnswersLabelTop, l.RandomizeTop, l.ExhibitPanelLeft, l.ExhibitPanelTop);
  return text;
}

// At 4U just below 297 the answer box keeps its scroll bar (16 pixels of
// the width); from there on it is capped and U is shared out again.
TEST(EditorLayout, Figures) {
  const struct {
    int w, h;
    const char* figures;
  } cases[] = {
      {640, 480,
       "window 640x480 U 51; box 521x204 at 156, answers 450 wide; question 102 high, 521 wide or 414 beside a 102 "
       "panel at 427; remarks 521x51 at 390, label at 374; help at 396, close at 420; answers label at 136, "
       "randomize at 134; exhibit panel at 201,132"},
      {640, 645,  // 4U = 300, capped
       "window 640x645 U 76; box 521x297 at 206, answers 466 wide; question 152 high, 521 wide or 364 beside a 152 "
       "panel at 377; remarks 521x76 at 533, label at 517; help at 561, close at 585; answers label at 186, "
       "randomize at 184; exhibit panel at 201,182"},
  };
  for (const auto& c : cases) EXPECT_EQ(Figures(LayoutEditor(c.w, c.h)), c.figures);
}

}  // namespace
