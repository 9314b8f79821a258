#include "paper/core/PaperBatchCsv.h"

#include "paper/core/PaperScoring.h"
#include "session/core/Csv.h"

namespace proctorium {

namespace {

std::string PageList(const std::vector<TPageReading>& pages, const std::vector<std::size_t>& indexes) {
  std::string out;
  for (std::size_t i : indexes) {
    const TPageReading& p = pages[i];
    const std::size_t slash = p.Source.find_last_of("/\\");
    out += (out.empty() ? "" : "; ") + (slash == std::string::npos ? p.Source : p.Source.substr(slash + 1)) + " page " +
           std::to_string(p.Page + 1);
  }
  return out;
}

}  // namespace

std::string PaperBatchCsv(const TPaperJob& job, const std::vector<TPageReading>& pages,
                          const std::vector<TCandidate>& classList) {
  std::string out(Utf8Bom);
  AppendCsvRecord(out, {"Candidate ID", "Name", "Version", "Correct", "Questions", "Per cent", "Status", "Pages"});
  const TPaperBatch batch = SortPaperBatch(job, pages);
  TPaperSaveContext context;
  context.ClassList = classList;
  for (const TPaperScript& script : batch.Scripts) {
    const std::string version(1, script.Version);
    if (const auto problem = PaperScriptProblem(job, pages, script)) {
      AppendCsvRecord(out, {CsvText(script.CandidateId), "", version, "", "", "", CsvText(*problem),
                            CsvText(PageList(pages, script.Pages))});
      continue;
    }
    const TPaperScore s = ScorePaperScript(job, pages, script, context);
    AppendCsvRecord(out, {CsvText(s.CandidateId), CsvText(s.CandidateName), version, std::to_string(s.Score.Correct),
                          std::to_string(s.Score.Seen), std::to_string(s.Score.Percent), "scored",
                          CsvText(PageList(pages, script.Pages))});
  }
  for (const TPaperProblem& p : batch.Problems)
    AppendCsvRecord(out, {"", "", "", "", "", "", CsvText(p.Reason), CsvText(PageList(pages, p.Pages))});
  return out;
}

}  // namespace proctorium
