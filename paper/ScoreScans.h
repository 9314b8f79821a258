#pragma once
// "Score scanned sheets…" from the start window: finds the print job of the
// highlighted set (or asks for one), asks for the scans, reads them with a
// progress window that can be cancelled, and opens the review.

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "candidates/core/ClassList.h"
#include "paper/ScanReviewForm.h"

namespace proctorium {

// How pages are read; the reader by default, a stand-in in tests.
using TScanFileReader =
    std::function<std::vector<TPageReading>(const std::string& file, const std::vector<TPaperJob>& jobs)>;

struct TScoreScansSetup {
  std::vector<TCandidate> ClassList;
  int PassMark = 0;
  TScanFileReader Read;               // empty: the scan reader
  TScanReviewForm::TLoader LoadPage;  // empty: the scan reader's page loader
};

// The print job written beside a set ("<set>.<job id>.paper.json"); empty
// when there is none, or several to choose from.
std::string FindPaperJob(const std::string& setPath);

// setPath may be empty (no set highlighted): the job is then asked for.
void ScoreScannedSheets(QWidget* parent, const std::string& setPath, const TScoreScansSetup& setup);

}  // namespace proctorium
