#include "session/core/AttemptJournal.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/core/FileIO.h"
#include "session/core/DetailLog.h"

namespace proctorium {

namespace fs = std::filesystem;

namespace {

const char* const Heading = "[Proctorium attempt]";
const char* const JournalExtension = ".journal";
const char* const LockExtension = ".lock";
constexpr std::uintmax_t MaxBytes = std::uintmax_t{256} * 1024;

// Texts typed by people stay on their line.
std::string OneLine(std::string s) {
  std::replace_if(
      s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return s;
}

bool ToInt(const std::string& s, long long low, long long high, long long& v) {
  if (s.empty() || s.size() > 18) return false;
  v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  return v >= low && v <= high;
}

std::vector<std::string> Split(const std::string& s, char by) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  for (;;) {
    const std::size_t next = s.find(by, at);
    parts.push_back(s.substr(at, next == std::string::npos ? std::string::npos : next - at));
    if (next == std::string::npos) return parts;
    at = next + 1;
  }
}

void Remove(const std::string& path) {
  std::error_code ec;
  fs::remove(ToFsPath(path), ec);
}

}  // namespace

int TAttempt::Answered() const {
  return static_cast<int>(
      std::count_if(Questions.begin(), Questions.end(), [](const TAttemptQuestion& q) { return q.Response != 0; }));
}

std::string EncodeAttempt(const TAttempt& a) {
  std::string out = std::string(Heading) + "\r\n";
  auto line = [&out](const char* key, const std::string& value) { out += std::string(key) + "=" + value + "\r\n"; };
  line("set", OneLine(a.SetFile));
  line("fingerprint", FingerprintText(a.Fingerprint));
  line("name", OneLine(a.CandidateName));
  line("id", OneLine(a.CandidateId));
  line("started", OneLine(a.Started));
  line("seconds", std::to_string(a.SecondsUsed));
  line("position", std::to_string(a.CurrentPosition));
  line("focus", std::to_string(a.FocusLosses));
  line("scoreall", a.ScoreAll ? "1" : "0");
  line("ended", a.Ended ? "1" : "0");
  std::string order;
  for (int q : a.Order) order += (order.empty() ? "" : ",") + std::to_string(q);
  line("order", order);
  for (const TAttemptQuestion& q : a.Questions) {
    std::string answers;
    for (std::uint8_t k : q.AnswerOrder) answers += static_cast<char>('0' + k);
    line("q", std::to_string(q.Question) + ";" + answers + ";" + std::to_string(q.Response) + ";" +
                  (q.Seen ? "1" : "0") + ";" + (q.Marked ? "1" : "0"));
  }
  // Written last: a record without it was cut short.
  line("end", "1");
  return out;
}

TAttempt DecodeAttempt(const std::string& bytes, const std::string& fileName) {
  auto damaged = [&fileName](const std::string& why) {
    return EFileError("The unfinished test in " + fileName + " cannot be read (" + why + ")");
  };
  TAttempt a;
  bool first = true;
  bool ended = false;
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t eol = bytes.find('\n', at);
    if (eol == std::string::npos) eol = bytes.size();
    std::string line = bytes.substr(at, eol - at);
    at = eol + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (first) {
      if (line != Heading) throw damaged("not a journal");
      first = false;
      continue;
    }
    if (line.empty()) continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) throw damaged("line \"" + line.substr(0, 40) + "\"");
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    long long n = 0;
    bool ok = true;
    if (key == "set") {
      a.SetFile = value;
    } else if (key == "fingerprint") {
      ok = value.size() == 16 && value.find_first_not_of("0123456789abcdef") == std::string::npos;
      if (ok) a.Fingerprint = std::stoull(value, nullptr, 16);
    } else if (key == "name") {
      a.CandidateName = value;
    } else if (key == "id") {
      a.CandidateId = value;
    } else if (key == "started") {
      a.Started = value;
    } else if (key == "seconds" || key == "position" || key == "focus") {
      ok = ToInt(value, 0, 2147483647, n);
      (key == "seconds" ? a.SecondsUsed : key == "position" ? a.CurrentPosition : a.FocusLosses) = static_cast<int>(n);
    } else if (key == "scoreall" || key == "ended") {
      ok = value == "0" || value == "1";
      (key == "scoreall" ? a.ScoreAll : a.Ended) = value == "1";
    } else if (key == "order") {
      if (!value.empty())
        for (const std::string& part : Split(value, ',')) {
          ok = ok && ToInt(part, 1, MaxQuestions, n);
          a.Order.push_back(static_cast<int>(n));
        }
    } else if (key == "q") {
      const std::vector<std::string> f = Split(value, ';');
      TAttemptQuestion q;
      ok = f.size() == 5 && ToInt(f[0], 1, MaxQuestions, n) && f[1].size() == AnswerCount;
      if (ok) q.Question = static_cast<int>(n);
      for (int k = 0; ok && k < AnswerCount; ++k) {
        ok = f[1][k] >= '0' && f[1][k] <= '0' + AnswerCount;
        q.AnswerOrder[k] = static_cast<std::uint8_t>(f[1][k] - '0');
      }
      ok = ok && ToInt(f[2], 0, 255, n) && (f[3] == "0" || f[3] == "1") && (f[4] == "0" || f[4] == "1");
      if (ok) {
        q.Response = static_cast<AnswerMask>(n);
        q.Seen = f[3] == "1";
        q.Marked = f[4] == "1";
        a.Questions.push_back(q);
      }
    } else if (key == "end") {
      ended = true;
    }
    if (!ok) throw damaged(key + "=" + value.substr(0, 40));
  }
  if (!ended) throw damaged("cut short");
  if (a.Order.empty() || a.CurrentPosition < 1 || a.CurrentPosition > static_cast<int>(a.Order.size()))
    throw damaged("no questions");
  return a;
}

TAttempt CaptureAttempt(const TTestSession& s) {
  TAttempt a;
  a.ScoreAll = s.ScoreAll;
  a.CurrentPosition = s.CurrentPosition;
  for (int i = 1; i <= s.PositionCount; ++i) a.Order.push_back(s.TakingOrder[i]);
  for (int q = 1; q <= s.QuestionCount(); ++q) {
    const TQuestionState& st = s.QuestionStates[q];
    if (!st.InTest) continue;
    TAttemptQuestion aq;
    aq.Question = q;
    for (int k = 0; k < AnswerCount; ++k) aq.AnswerOrder[k] = s.AnswerOrder[q][k + 1];
    aq.Response = st.Response;
    aq.Seen = st.Seen;
    aq.Marked = st.Marked;
    a.Questions.push_back(aq);
  }
  return a;
}

void RestoreAttempt(const TAttempt& a, const TQuestionSet& set, TTestSession& s) {
  s.ScoreAll = a.ScoreAll;
  s.DrawCount = 0;
  s.Start(set);
  const int count = s.QuestionCount();
  s.PositionCount = 0;
  for (int q : a.Order)
    if (q >= 1 && q <= count) s.TakingOrder[++s.PositionCount] = static_cast<std::uint8_t>(q);
  s.CurrentPosition = std::clamp(a.CurrentPosition, 1, std::max(1, s.PositionCount));
  for (int q = 1; q <= count; ++q) s.QuestionStates[q].InTest = false;
  for (const TAttemptQuestion& aq : a.Questions) {
    if (aq.Question < 1 || aq.Question > count) continue;
    TQuestionState& st = s.QuestionStates[aq.Question];
    st.InTest = true;
    st.Correct = !a.ScoreAll;
    st.Seen = aq.Seen;
    st.Marked = aq.Marked;
    if (aq.AnswerOrder[0] != 0) {
      auto& order = s.AnswerOrder[aq.Question];
      for (int k = 0; k < AnswerCount; ++k) order[k + 1] = aq.AnswerOrder[k];
      AnswerMask display = 0;
      for (int k = 1; k <= AnswerCount; ++k)
        if (order[k] >= 1 && (set.Questions[aq.Question].CorrectMask & (1u << (order[k] - 1))))
          display |= static_cast<AnswerMask>(1u << (k - 1));
      st.DisplayCorrectMask = display;
      if (aq.Seen) s.StoreResponse(aq.Question, aq.Response);
    }
    st.Response = aq.Response;
  }
  // Questions outside the test never count against it.
  for (int q = 1; q <= count; ++q)
    if (!s.QuestionStates[q].InTest) s.QuestionStates[q].Correct = true;
}

TAttemptJournal::TAttemptJournal(const std::string& folder) {
  std::error_code ec;
  fs::create_directories(ToFsPath(folder), ec);
  // The id of a saved test is random enough to tell every seat apart.
  for (int tries = 0; !Lock_; ++tries) {
    const std::string base = folder + "attempt-" + NewTestId();
    if (FileExists(base + JournalExtension) || FileExists(base + LockExtension)) {
      if (tries > 10) throw EFileError("Cannot create file " + base + JournalExtension);
      continue;
    }
    LockPath_ = base + LockExtension;
    Path_ = base + JournalExtension;
    Lock_ = std::make_unique<TFileLock>(LockPath_, 0);
  }
}

TAttemptJournal::~TAttemptJournal() {
  Remove(Path_);
  Lock_.reset();
  Remove(LockPath_);
}

void TAttemptJournal::Write(const TAttempt& attempt) { WriteFileAtomic(Path_, EncodeAttempt(attempt)); }

std::vector<TUnfinishedAttempt> FindUnfinishedAttempts(const std::string& folder, int* damaged) {
  if (damaged) *damaged = 0;
  std::vector<std::pair<fs::file_time_type, TUnfinishedAttempt>> found;
  std::error_code ec;
  for (fs::directory_iterator it(ToFsPath(folder), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = FromFsPath(it->path().filename());
    const std::size_t ext = name.size() - std::string(JournalExtension).size();
    if (name.size() <= std::string(JournalExtension).size() || name.compare(ext, std::string::npos, JournalExtension))
      continue;
    const std::string path = FromFsPath(it->path());
    const std::string lockPath = path.substr(0, path.size() - std::string(JournalExtension).size()) + LockExtension;
    std::shared_ptr<TFileLock> lock;
    try {
      lock = std::make_shared<TFileLock>(lockPath, 0);
    } catch (const EFileError&) {
      continue;  // still being taken on some seat
    }
    std::string bytes;
    if (ReadRegularFile(path, MaxBytes, bytes) != TReadResult::Ok) continue;  // gone meanwhile
    try {
      TUnfinishedAttempt u{path, DecodeAttempt(bytes, path), lock};
      std::error_code e;
      found.emplace_back(fs::last_write_time(it->path(), e), std::move(u));
    } catch (const EFileError&) {
      if (damaged) ++*damaged;
    }
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<TUnfinishedAttempt> result;
  result.reserve(found.size());
  for (auto& f : found) result.push_back(std::move(f.second));
  return result;
}

void RemoveAttempt(TUnfinishedAttempt& attempt) {
  Remove(attempt.Path);
  const std::string lockPath =
      attempt.Path.substr(0, attempt.Path.size() - std::string(JournalExtension).size()) + LockExtension;
  attempt.Lock.reset();
  Remove(lockPath);
}

}  // namespace proctorium
