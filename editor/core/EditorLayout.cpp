#include "editor/core/EditorLayout.h"

#include <algorithm>

namespace proctorium {

TEditorLayout LayoutEditor(int outerWidth, int outerHeight, int answerBoxFullHeight) {
  TEditorLayout l;
  l.WindowWidth = std::max(outerWidth, EditorMinWidth);
  l.WindowHeight = std::max(outerHeight, EditorMinHeight);

  l.U = (l.WindowHeight - 120) / 7;
  l.ScrollBoxHeight = 4 * l.U;
  l.ScrollBoxWidth = l.WindowWidth - 119;
  if (l.ScrollBoxHeight > answerBoxFullHeight) {
    // All rows fit: the rest of the height goes to question and remarks,
    // and the answers need no room for a scroll bar.
    l.ScrollBoxHeight = answerBoxFullHeight;
    l.U = std::max(0, (l.WindowHeight - 120 - answerBoxFullHeight) / 3);
    l.AnswerWidth = l.ScrollBoxWidth - 55;
  } else {
    l.AnswerWidth = l.ScrollBoxWidth - 71;
  }

  l.QuestionHeight = 2 * l.U;
  l.PanelSize = l.QuestionHeight;
  l.RemarksHeight = l.U;
  l.RemarksWidth = l.WindowWidth - 119;
  l.ScrollBoxTop = l.QuestionTop + l.QuestionHeight + 30;
  l.RemarksTop = l.ScrollBoxTop + l.ScrollBoxHeight + 30;
  l.RemarksLabelTop = l.RemarksTop - 16;
  l.CloseTop = l.WindowHeight - 60;
  l.HelpTop = l.CloseTop - 24;
  l.QuestionWidthNoExhibit = l.WindowWidth - 119;
  l.QuestionWidthWithExhibit = l.WindowWidth - l.PanelSize - 124;
  l.AnswersLabelTop = l.ScrollBoxTop - 20;
  l.RandomizeTop = l.ScrollBoxTop - 22;
  l.ExhibitPanelTop = l.ScrollBoxTop - 24;
  l.ExhibitPanelLeft = l.RemarksWidth - 320;
  l.PanelLeft = l.RemarksWidth - l.PanelSize + 8;
  return l;
}

}  // namespace proctorium
