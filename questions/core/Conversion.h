#pragma once
// One run of proctorium-convert IN OUT [--key]: converts between question
// sets and the exchange formats by file extension; PDF is written only.
// Painting a PDF and decoding pictures are the toolkit's work: the caller
// hands them in, and a run that needs one it lacks is not started here.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "questions/core/QuestionExchange.h"

namespace proctorium {

struct TConversionTools {
  // Turns pictures carried in an XML file into bitmaps.
  TBitmapConverter ToBitmap;
  // The PDF of a question paper (or with answerKey the answer key), as
  // bytes; empty when it could not be made.
  std::function<std::string(const TQuestionSet& set, bool answerKey, const std::string& title,
                            const TExhibitReader& readExhibit)>
      SheetPdf;
};

// True when args ask for a conversion from text to text (a set or an
// exchange format in, a set or an exchange format out) that needs neither
// tool. Anything else, wrong use included, is left to the full converter.
bool IsTextConversion(const std::vector<std::string>& args);

// Runs the converter on args (without the program name). programFolder
// holds the remembered CSV columns. Exit code: 0 done, 1 the input was
// refused or the output could not be written (nothing is written then),
// 2 wrong use. The listing and messages go to err.
int RunConversion(const std::vector<std::string>& args, const std::string& programFolder, const TConversionTools& tools,
                  std::ostream& err);

}  // namespace proctorium
