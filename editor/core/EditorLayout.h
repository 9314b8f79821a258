#pragma once
// The question editor's resize arithmetic, apart from the window so that it
// can be checked number by number.

namespace proctorium {

constexpr int EditorMinWidth = 640;
constexpr int EditorMinHeight = 480;
// The design's sizes are outer sizes, frame and title bar included. The
// window works with this fixed frame rather than the one a window manager
// reports, which is known only once the window is on screen and differs
// from desktop to desktop.
constexpr int EditorFrameWidth = 8;
constexpr int EditorFrameHeight = 30;

// Every figure is in pixels; positions of the answer rows and the buttons
// are relative to their containers, the rest to the window's client area.
struct TEditorLayout {
  int WindowWidth = 0;  // outer size after the minimum is applied
  int WindowHeight = 0;
  int U = 0;  // the height unit shared out 2 : 4 : 1
  int ScrollBoxTop = 0;
  int ScrollBoxWidth = 0;
  int ScrollBoxHeight = 0;
  int AnswerWidth = 0;  // width of each answer memo
  int QuestionTop = 24;
  int QuestionHeight = 0;
  int QuestionWidthNoExhibit = 0;
  int QuestionWidthWithExhibit = 0;
  int PanelSize = 0;  // the square thumbnail panel
  int PanelLeft = 0;
  int PanelTop = 24;
  int RemarksTop = 0;
  int RemarksWidth = 0;
  int RemarksHeight = 0;
  int RemarksLabelTop = 0;
  int CloseTop = 0;
  int HelpTop = 0;
  int AnswersLabelTop = 0;
  int RandomizeTop = 0;
  int ExhibitPanelTop = 0;
  int ExhibitPanelLeft = 0;
};

// The answer box stops growing once all eight rows fit.
constexpr int AnswerBoxFullHeight = 297;

// outerWidth and outerHeight are the window's size. answerBoxFullHeight is
// the height at which all eight answer rows fit; a larger window font makes
// the rows taller than the design's.
TEditorLayout LayoutEditor(int outerWidth, int outerHeight, int answerBoxFullHeight = AnswerBoxFullHeight);

}  // namespace proctorium
