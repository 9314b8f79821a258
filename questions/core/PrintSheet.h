#pragma once
// What a printed question paper or answer key holds, block by block, and
// how the blocks are shared out over pages; the drawing is the toolkit's.

#include <string>
#include <vector>

#include "questions/core/QuestionSet.h"

namespace proctorium {

enum class TSheetKind { QuestionPaper, AnswerKey };

struct TPrintBlock {
  enum TType { Title, Intro, Question, Answer, Exhibit, Key, Reference } Type = Question;
  int Group = 0;      // the question number; 0 for the heading
  std::string Label;  // "3." or "B"
  std::string Text;   // UTF-8
  std::string ExhibitFile;
};

// The set's own order, no shuffle. Answers that are empty are left out,
// the others keep their letters.
std::vector<TPrintBlock> ComposeSheet(const TQuestionSet& set, TSheetKind kind, const std::string& title);

// Page by page, the indices of the blocks on it. Blocks of one question
// stay on one page when they fit on one; a block taller than a page gets
// a page to itself.
std::vector<std::vector<size_t>> Paginate(const std::vector<TPrintBlock>& blocks, const std::vector<int>& heights,
                                          int pageHeight);

// The size of a picture of w x h scaled down (never up) into maxW x maxH.
void FitInto(int w, int h, int maxW, int maxH, int& outW, int& outH);

}  // namespace proctorium
