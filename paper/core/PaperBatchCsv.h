#pragma once
// The scores of a batch of scanned sheets as a table, for scripts and
// spreadsheets: nothing goes into the logs from here.

#include <string>
#include <vector>

#include "candidates/core/ClassList.h"
#include "paper/core/PageReading.h"
#include "paper/core/PaperJob.h"

namespace proctorium {

// UTF-8 CSV with a byte order mark and CR LF: a header, then one line per
// candidate's sheets (ID, name when the class list knows the ID, version,
// correct, questions, per cent, status, pages) and one per page that was
// not scored, with the reason as its status. Texts are neutralised so that
// no cell runs as a spreadsheet formula.
std::string PaperBatchCsv(const TPaperJob& job, const std::vector<TPageReading>& pages,
                          const std::vector<TCandidate>& classList);

}  // namespace proctorium
