#include "testkit/core/PaperSample.h"

namespace proctorium::testkit {

namespace {

struct TSampleQuestion {
  int Answers;
  AnswerMask Correct;
};
const TSampleQuestion Set[] = {{4, 0b0010}, {3, 0b001}, {5, 0b01001}, {2, 0b10}, {4, 0b0100}};

TPaperRect Box(double x, double y) { return {x, y, 12, 12}; }

// Rows from top to bottom; the first sheet also has the ID grid.
TSheetLayout Sheet(const TPaperVersion& v, std::size_t from, std::size_t to, int sheet, int count, int idDigits) {
  TSheetLayout l;
  l.Width = 595.28;  // A4 in points
  l.Height = 841.89;
  l.Sheet = sheet;
  l.SheetCount = count;
  l.Corners = {TPaperRect{20, 20, 16, 16}, TPaperRect{559, 20, 16, 16}, TPaperRect{559, 805, 16, 16},
               TPaperRect{20, 805, 16, 16}};
  l.Qr = {480, 50, 70, 70};
  if (sheet == 1) {
    l.NameLine = {60, 60, 300, 20};
    for (int d = 0; d < idDigits; ++d) {
      std::array<TPaperRect, 10> column;
      for (int k = 0; k < 10; ++k) column[static_cast<std::size_t>(k)] = Box(60 + d * 18, 100 + k * 16);
      l.IdBoxes.push_back(column);
    }
  }
  for (std::size_t p = from; p < to; ++p) {
    TSheetRow row;
    row.Position = static_cast<int>(p) + 1;
    const double y = 300 + static_cast<double>(p - from) * 24;
    row.Label = {60, y, 30, 12};
    for (std::size_t k = 0; k < v.Questions[p].Answers.size(); ++k) row.Boxes.push_back(Box(100 + k * 20.0, y));
    l.Rows.push_back(row);
  }
  return l;
}

TPaperVersion Version(char letter, const std::vector<int>& order, const std::vector<std::vector<int>>& answers) {
  TPaperVersion v;
  v.Letter = letter;
  for (std::size_t p = 0; p < order.size(); ++p) {
    TPaperQuestion q;
    q.SetQuestion = order[p];
    q.Answers = answers[p];
    const AnswerMask correct = Set[order[p] - 1].Correct;
    for (std::size_t k = 0; k < q.Answers.size(); ++k)
      if (correct & (1u << q.Answers[k])) q.Key |= static_cast<AnswerMask>(1u << k);
    v.Questions.push_back(q);
  }
  return v;
}

}  // namespace

TPaperJob SamplePaperJob() {
  TPaperJob job;
  job.JobId = SampleJobId;
  job.SetFile = "Quiz.qst";
  job.Fingerprint = SampleFingerprint;
  job.Seed = 42;
  job.Created = "2026-12-07 08:00:00";
  job.Options.IdDigits = 6;
  TPaperVersion a = Version('A', {1, 2, 3, 4, 5}, {{0, 1, 2, 3}, {0, 1, 2}, {0, 1, 2, 3, 4}, {0, 1}, {0, 1, 2, 3}});
  a.Sheets = {Sheet(a, 0, 5, 1, 1, 6)};
  TPaperVersion b = Version('B', {3, 1, 5, 2, 4}, {{4, 3, 0, 2, 1}, {2, 0, 3, 1}, {1, 3, 2, 0}, {2, 1, 0}, {1, 0}});
  b.Sheets = {Sheet(b, 0, 3, 1, 2, 6), Sheet(b, 3, 5, 2, 2, 6)};
  job.Versions = {a, b};
  return job;
}

TSetResponses SampleKey() {
  TSetResponses key;
  for (int q = 1; q <= 5; ++q) key[q] = Set[q - 1].Correct;
  return key;
}

TPageReading FillSheet(const TPaperJob& job, char version, int sheet, const TSetResponses& responses,
                       const std::string& candidateId, const std::string& source, int page, std::uint64_t imageHash) {
  const TPaperVersion* v = nullptr;
  for (const TPaperVersion& candidate : job.Versions)
    if (candidate.Letter == version) v = &candidate;
  const TSheetLayout& layout = v->Sheets.at(static_cast<std::size_t>(sheet - 1));
  TPageReading r;
  r.Source = source;
  r.Page = page;
  r.Status = TPageStatus::Read;
  r.Code = TSheetCode{job.JobId, job.Fingerprint, version, sheet, layout.SheetCount};
  const double s = 300.0 / 72.0;
  r.PageToImage = {s, 0, 0, 0, s, 0, 0, 0, 1};
  for (std::size_t d = 0; d < layout.IdBoxes.size(); ++d) {
    std::array<TBoxMark, 10> column;
    column.fill(TBoxMark::Empty);
    if (d < candidateId.size() && candidateId[d] >= '0' && candidateId[d] <= '9')
      column[static_cast<std::size_t>(candidateId[d] - '0')] = TBoxMark::Marked;
    r.IdMarks.push_back(column);
  }
  if (sheet == 1) r.CandidateId = candidateId;
  for (const TSheetRow& row : layout.Rows) {
    const TPaperQuestion& q = v->Questions[static_cast<std::size_t>(row.Position - 1)];
    const auto it = responses.find(q.SetQuestion);
    const AnswerMask response = it == responses.end() ? 0 : it->second;
    std::vector<TBoxMark> boxes;
    for (int answer : q.Answers) boxes.push_back(response & (1u << answer) ? TBoxMark::Marked : TBoxMark::Empty);
    r.Answers.push_back(boxes);
  }
  r.ImageHash = imageHash;
  return r;
}

}  // namespace proctorium::testkit
