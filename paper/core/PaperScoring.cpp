#include "paper/core/PaperScoring.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <utility>

#include "base/core/Cp1252.h"
#include "base/core/FileLock.h"
#include "candidates/core/SaveJournal.h"
#include "session/core/ResultsLog.h"

namespace proctorium {

namespace {

const TPaperVersion* FindVersion(const TPaperJob& job, char letter) {
  for (const TPaperVersion& v : job.Versions)
    if (v.Letter == letter) return &v;
  return nullptr;
}

std::string PageName(const TPageReading& page) {
  const std::size_t slash = page.Source.find_last_of("/\\");
  const std::string file = slash == std::string::npos ? page.Source : page.Source.substr(slash + 1);
  return file + ", page " + std::to_string(page.Page + 1);
}

// An ID the teacher can rely on: every digit read (or typed).
bool IdComplete(const std::string& id) { return !id.empty() && id.find('?') == std::string::npos; }

std::string Who(const TPaperScript& script) {
  std::string s = "Version ";
  s += script.Version;
  return IdComplete(script.CandidateId) ? "Candidate ID " + script.CandidateId + " (" + s + ")" : s;
}

std::string Hex(std::uint64_t value, int digits) {
  char buffer[20];
  std::snprintf(buffer, sizeof buffer, "%0*llx", digits, static_cast<unsigned long long>(value));
  return buffer;
}

// Tabs and line breaks in a typed ID would break the ledger's line.
std::string LedgerText(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return text;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

bool ParseHex(std::string_view s, std::uint64_t& out) {
  if (s.empty() || s.size() > 16) return false;
  out = 0;
  for (char c : s) {
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (d < 0) return false;
    out = out << 4 | static_cast<unsigned>(d);
  }
  return true;
}

}  // namespace

TPaperBatch SortPaperBatch(const TPaperJob& job, const std::vector<TPageReading>& pages) {
  TPaperBatch batch;
  std::map<char, std::size_t> open;        // the script a later sheet of a version joins
  std::vector<std::vector<int>> sheetsOf;  // per script, the sheet of each page
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const TPageReading& page = pages[i];
    if (page.Status == TPageStatus::Failed) {
      batch.Problems.push_back({{i}, page.Reason.empty() ? PageName(page) + ": not read" : page.Reason});
      continue;
    }
    if (!page.Code || page.Code->JobId != job.JobId || page.Code->Fingerprint != job.Fingerprint) {
      batch.Problems.push_back({{i}, PageName(page) + ": the sheet belongs to another set or print job"});
      continue;
    }
    const TPaperVersion* version = FindVersion(job, page.Code->Version);
    const int sheet = page.Code->Sheet;
    if (!version || sheet < 1 || sheet > static_cast<int>(version->Sheets.size())) {
      batch.Problems.push_back({{i}, PageName(page) + ": the print job has no such version or sheet"});
      continue;
    }
    const char letter = version->Letter;
    if (sheet == 1) {
      open[letter] = batch.Scripts.size();
      batch.Scripts.push_back({letter, page.CandidateId, {i}});
      sheetsOf.push_back({1});
      continue;
    }
    // A later sheet with an ID typed in goes with that candidate; without
    // one, with the first sheet of its version scanned just before it.
    std::optional<std::size_t> owner;
    if (IdComplete(page.CandidateId)) {
      for (std::size_t s = batch.Scripts.size(); s-- > 0;)
        if (batch.Scripts[s].Version == letter && batch.Scripts[s].CandidateId == page.CandidateId) {
          owner = s;
          break;
        }
    } else if (open.count(letter)) {
      owner = open[letter];
    }
    if (!owner) {
      batch.Problems.push_back({{i},
                                PageName(page) + ": sheet " + std::to_string(sheet) +
                                    " has no first sheet of its version before it; type the candidate ID"});
      continue;
    }
    std::vector<int>& sheets = sheetsOf[*owner];
    if (std::find(sheets.begin(), sheets.end(), sheet) != sheets.end()) {
      batch.Problems.push_back(
          {{i}, PageName(page) + ": a second sheet " + std::to_string(sheet) + " for " + Who(batch.Scripts[*owner])});
      continue;
    }
    batch.Scripts[*owner].Pages.push_back(i);
    sheets.push_back(sheet);
  }

  // Whole scripts only, and one per candidate.
  TPaperBatch sorted;
  sorted.Problems = std::move(batch.Problems);
  std::vector<std::string> ids;
  for (std::size_t s = 0; s < batch.Scripts.size(); ++s) {
    TPaperScript& script = batch.Scripts[s];
    std::vector<std::pair<int, std::size_t>> bySheet;
    for (std::size_t k = 0; k < script.Pages.size(); ++k) bySheet.emplace_back(sheetsOf[s][k], script.Pages[k]);
    std::sort(bySheet.begin(), bySheet.end());
    script.Pages.clear();
    for (const auto& [sheet, page] : bySheet) script.Pages.push_back(page);
    const int count = static_cast<int>(FindVersion(job, script.Version)->Sheets.size());
    if (static_cast<int>(bySheet.size()) != count) {
      std::string missing;
      for (int k = 1, at = 0; k <= count; ++k) {
        if (at < static_cast<int>(bySheet.size()) && bySheet[static_cast<std::size_t>(at)].first == k)
          ++at;
        else
          missing += (missing.empty() ? "" : ", ") + std::to_string(k);
      }
      sorted.Problems.push_back({script.Pages, Who(script) + ": sheet " + missing + " of " + std::to_string(count) +
                                                   " is missing, so nothing is scored"});
      continue;
    }
    if (IdComplete(script.CandidateId)) {
      if (std::find(ids.begin(), ids.end(), script.CandidateId) != ids.end()) {
        sorted.Problems.push_back(
            {script.Pages, PageName(pages[script.Pages[0]]) + ": duplicate candidate ID " + script.CandidateId});
        continue;
      }
      ids.push_back(script.CandidateId);
    }
    sorted.Scripts.push_back(std::move(script));
  }
  return sorted;
}

std::optional<std::string> PaperScriptProblem(const TPaperJob& job, const std::vector<TPageReading>& pages,
                                              const TPaperScript& script) {
  const TPaperVersion* version = FindVersion(job, script.Version);
  if (!version) return Who(script) + ": the print job has no such version";
  if (job.Options.IdDigits > 0 && !IdComplete(script.CandidateId))
    return PageName(pages.at(script.Pages.at(0))) + ": the candidate ID could not be read; type it in";
  for (std::size_t index : script.Pages) {
    const TPageReading& page = pages.at(index);
    const int sheet = page.Code ? page.Code->Sheet : 0;
    if (sheet < 1 || sheet > static_cast<int>(version->Sheets.size()))
      return PageName(page) + ": the print job has no such sheet";
    const TSheetLayout& layout = version->Sheets[static_cast<std::size_t>(sheet - 1)];
    if (page.Answers.size() < layout.Rows.size()) return PageName(page) + ": the reading does not match the sheet";
    int doubtful = 0;
    for (std::size_t r = 0; r < layout.Rows.size(); ++r) {
      const std::vector<TBoxMark>& row = page.Answers[r];
      const std::size_t boxes = std::min(row.size(), layout.Rows[r].Boxes.size());
      doubtful += static_cast<int>(
          std::count(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(boxes), TBoxMark::Doubtful));
    }
    if (doubtful > 0)
      return PageName(page) + ": " + std::to_string(doubtful) + (doubtful == 1 ? " box is" : " boxes are") +
             " doubtful; mark or clear " + (doubtful == 1 ? "it" : "them");
  }
  return std::nullopt;
}

TPaperAnswer MapPaperAnswer(const TPaperQuestion& question, const std::vector<TBoxMark>& boxes) {
  TPaperAnswer a;
  AnswerMask slots = 0;
  for (std::size_t k = 0; k < question.Answers.size() && k < static_cast<std::size_t>(AnswerCount); ++k) {
    const int answer = question.Answers[k];
    if (answer < 0 || answer >= AnswerCount) continue;
    const auto bit = static_cast<AnswerMask>(1u << answer);
    a.Offered |= bit;
    if (question.Key & (1u << k)) a.Correct |= bit;
    if (k < boxes.size() && boxes[k] == TBoxMark::Marked) {
      slots |= static_cast<AnswerMask>(1u << k);
      a.Response |= bit;
    }
  }
  a.Right = slots == question.Key;
  return a;
}

TPaperScore ScorePaperScript(const TPaperJob& job, const std::vector<TPageReading>& pages, const TPaperScript& script,
                             const TPaperSaveContext& context) {
  if (const auto problem = PaperScriptProblem(job, pages, script)) throw std::invalid_argument(*problem);
  const TPaperVersion& version = *FindVersion(job, script.Version);
  TPaperScore score;
  score.JobId = job.JobId;
  score.Version = version.Letter;
  score.CandidateId = script.CandidateId;
  for (const TCandidate& c : context.ClassList)
    if (!script.CandidateId.empty() && c.Id == script.CandidateId) {
      score.CandidateName = c.Name;
      break;
    }

  std::vector<TQuestionOutcome> outcomes;
  for (std::size_t index : script.Pages) {
    const TPageReading& page = pages[index];
    const int sheet = page.Code->Sheet;
    score.Pages.push_back({sheet, page.ImageHash});
    const TSheetLayout& layout = version.Sheets[static_cast<std::size_t>(sheet - 1)];
    for (std::size_t r = 0; r < layout.Rows.size(); ++r) {
      const int position = layout.Rows[r].Position;
      if (position < 1 || position > static_cast<int>(version.Questions.size()))
        throw std::invalid_argument(PageName(page) + ": the print job has no question " + std::to_string(position));
      const TPaperQuestion& question = version.Questions[static_cast<std::size_t>(position - 1)];
      std::vector<TBoxMark> boxes = page.Answers[r];
      boxes.resize(layout.Rows[r].Boxes.size(), TBoxMark::Empty);
      const TPaperAnswer a = MapPaperAnswer(question, boxes);
      outcomes.push_back({static_cast<std::int16_t>(question.SetQuestion), a.Offered, a.Response, a.Correct, a.Right});
    }
  }
  std::sort(outcomes.begin(), outcomes.end(),
            [](const TQuestionOutcome& x, const TQuestionOutcome& y) { return x.Question < y.Question; });

  // Every printed question counts as seen: the candidate had all of them.
  std::string incorrect;
  for (const TQuestionOutcome& o : outcomes) {
    ++score.Score.Seen;
    if (o.Correct)
      ++score.Score.Correct;
    else
      incorrect += (incorrect.empty() ? "Incorrect; " : "; ") + std::to_string(o.Question);
  }
  score.Score.Percent = score.Score.Seen > 0 ? 100 * score.Score.Correct / score.Score.Seen : 0;
  for (std::string& line : ResultLines(context.Date, Utf8ToCp1252(job.SetFile), 0, ScoreText(score.Score), incorrect))
    score.ResultLines.push_back(SanitizeLogLine(std::move(line)));

  TDetailTest& d = score.Detail;
  d.DateTime = context.DateTime;
  d.TestId = NewTestId();
  d.SetFile = job.SetFile;
  d.Fingerprint = job.Fingerprint;
  d.QuestionsInSet = static_cast<int>(version.Questions.size());
  d.Outcomes = outcomes;
  d.CandidateName = score.CandidateName;
  d.CandidateId = score.CandidateId;

  TGradebookEntry& e = score.Entry;
  e.DateTime = d.DateTime;
  e.CandidateName = d.CandidateName;
  e.CandidateId = d.CandidateId;
  e.SetFile = d.SetFile;
  e.Fingerprint = d.Fingerprint;
  e.QuestionsSeen = static_cast<int>(outcomes.size());
  e.QuestionsInSet = d.QuestionsInSet;
  e.Correct = score.Score.Correct;
  e.Percent = score.Score.Percent;
  e.SecondsTaken = 0;
  e.Timer = TimerElapsed;
  e.Ended = EndedOnPaper;
  e.Result = PassResult(score.Score.Percent, context.PassMark);
  e.TestId = d.TestId;
  e.ScoreRule = ScoreRuleSeen;
  e.FocusLost = -1;
  e.Source = SourcePaper;
  return score;
}

std::string LedgerHeader() {
  return "# Scored answer-sheet pages, UTF-8: job, version, sheet, image, candidate ID, date and time, test\r\n";
}

std::string LedgerLine(const TLedgerEntry& e) {
  return Hex(e.JobId, 8) + '\t' + e.Version + '\t' + std::to_string(e.Sheet) + '\t' + Hex(e.ImageHash, 16) + '\t' +
         LedgerText(e.CandidateId) + '\t' + LedgerText(e.DateTime) + '\t' + LedgerText(e.TestId) + "\r\n";
}

std::vector<TLedgerEntry> ParseLedger(std::string_view bytes) {
  std::vector<TLedgerEntry> out;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string_view> f = SplitTabs(line);
    if (f.size() != 7 || f[1].size() != 1) continue;
    TLedgerEntry e;
    std::uint64_t job = 0;
    if (!ParseHex(f[0], job) || job > 0xFFFFFFFFull || !ParseHex(f[3], e.ImageHash)) continue;
    const std::string sheet(f[2]);
    if (sheet.empty() || sheet.size() > 4 || sheet.find_first_not_of("0123456789") != std::string::npos) continue;
    e.JobId = static_cast<std::uint32_t>(job);
    e.Version = f[1][0];
    e.Sheet = std::stoi(sheet);
    e.CandidateId = std::string(f[4]);
    e.DateTime = std::string(f[5]);
    e.TestId = std::string(f[6]);
    out.push_back(std::move(e));
  }
  return out;
}

std::optional<std::string> LedgerConflict(const std::vector<TLedgerEntry>& ledger, const TLedgerEntry& page) {
  for (const TLedgerEntry& e : ledger) {
    if (e.JobId == page.JobId && e.Version == page.Version && e.Sheet == page.Sheet && !page.CandidateId.empty() &&
        e.CandidateId == LedgerText(page.CandidateId))
      return "sheet " + std::to_string(page.Sheet) + " of version " + page.Version + " was scored already on " +
             e.DateTime;
    if (page.ImageHash != 0 && e.ImageHash == page.ImageHash)
      return "the same page image was scored already on " + e.DateTime;
  }
  return std::nullopt;
}

std::uint64_t PaperContentHash(std::string_view bytes, std::uint64_t seed) {
  std::uint64_t h = seed ? seed : 14695981039346656037ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h ? h : 1;
}

TPaperSaveReport SavePaperScores(const TPaperLogPaths& paths, int lockWaitMs, const std::vector<TPaperScore>& scores) {
  TPaperSaveReport report;
  // Checked before the lock, which would open the file a link names.
  RefuseLinkedLog(paths.Results);
  TFileLock lock(paths.Results, lockWaitMs);
  std::vector<TLedgerEntry> ledger = ParseLedger(ReadLog(paths.Ledger));
  for (const TPaperScore& score : scores) {
    std::vector<TLedgerEntry> entries;
    std::optional<std::string> conflict;
    for (const TPaperScore::TPage& page : score.Pages)
      entries.push_back({score.JobId, score.Version, page.Sheet, page.ImageHash, score.CandidateId,
                         score.Detail.DateTime, score.Detail.TestId});
    for (const TLedgerEntry& e : entries)
      if (!conflict) conflict = LedgerConflict(ledger, e);
    if (conflict) {
      std::string who = "Version ";
      who += score.Version;
      if (!score.CandidateId.empty()) {
        std::string named = "Candidate ID ";
        named += score.CandidateId;
        named += " (";
        named += who;
        named += ")";
        who = std::move(named);
      }
      who += ": ";
      who += *conflict;
      report.Refused.push_back(who);
      continue;
    }
    std::string lines;
    for (const TLedgerEntry& e : entries) lines += LedgerLine(e);
    const std::vector<TLogAddition> additions = {
        {paths.Results, LogLinesBytes(score.ResultLines)},
        {paths.Detail, DetailLogRecords(score.Detail, false), DetailLogRecords({}, true)},
        {paths.Ledger, lines, LedgerHeader()},
        // Last, as on screen: a test id in the gradebook means the save was whole.
        {paths.Gradebook, GradebookRecord(score.Entry, false), GradebookFileStart()}};
    AppendAsOneUnit(paths.Journal, additions);
    ledger.insert(ledger.end(), entries.begin(), entries.end());
    ++report.Saved;
  }
  return report;
}

}  // namespace proctorium
