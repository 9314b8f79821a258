#include "paper/ScoreBatch.h"

#include <filesystem>

#include "base/core/FileIO.h"
#include "base/core/PathResolver.h"
#include "paper/ScanReader.h"
#include "paper/core/PaperBatchCsv.h"
#include "paper/core/PaperScoring.h"

namespace proctorium {

namespace {

constexpr std::uintmax_t MaxJobBytes = 64ull << 20;

}  // namespace

int RunScoreBatch(const QStringList& args, std::ostream& err, const TScanFileReader& read) {
  if (args.size() < 3 || !args.last().endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
    err << "usage: proctorium-convert --score JOB SCANS... OUT.csv\n";
    return 2;
  }
  const std::string jobPath = args.first().toStdString(), out = args.last().toStdString();
  try {
    std::string bytes;
    if (ReadRegularFile(jobPath, MaxJobBytes, bytes) != TReadResult::Ok)
      throw EFileError("Cannot open file " + jobPath);
    const TPaperJob job = PaperJobFromJson(bytes);
    std::vector<TPageReading> pages;
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
      std::vector<TPageReading> file =
          read ? read(args[i].toStdString(), {job}) : ReadScanFile(args[i].toStdString(), {job});
      pages.insert(pages.end(), std::make_move_iterator(file.begin()), std::make_move_iterator(file.end()));
    }
    // The class list of the program folder the job was printed from, if any.
    const std::string folder = ExtractFilePath(FromFsPath(std::filesystem::absolute(ToFsPath(jobPath))));
    std::string problem;
    const TClassList list = ReadClassListFile(ResolvePath(folder, "classlist.csv"), &problem);
    const TPaperBatch batch = SortPaperBatch(job, pages);
    for (const TPaperProblem& p : batch.Problems) err << "not scored: " << p.Reason << "\n";
    for (const TPaperScript& s : batch.Scripts)
      if (const auto why = PaperScriptProblem(job, pages, s)) err << "not scored: " << *why << "\n";
    WriteFileAtomic(out, PaperBatchCsv(job, pages, list.Candidates));
    return 0;
  } catch (const std::exception& e) {
    err << e.what() << "\n";
    return 1;
  }
}

}  // namespace proctorium
