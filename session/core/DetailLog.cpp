#include "session/core/DetailLog.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>

#include "base/core/FileIO.h"
#include "session/core/Csv.h"
#include "session/core/ResultsLog.h"

namespace proctorium {

namespace {

constexpr std::uint64_t FnvOffset = 14695981039346656037ull;
constexpr std::uint64_t FnvPrime = 1099511628211ull;

void Hash(std::uint64_t& h, const void* data, std::size_t n) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < n; ++i) {
    h ^= p[i];
    h *= FnvPrime;
  }
}

void HashInt32(std::uint64_t& h, std::int32_t v) {
  const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                              static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
  Hash(h, b, 4);
}

void HashString(std::uint64_t& h, const std::string& s) {
  HashInt32(h, static_cast<std::int32_t>(s.size()));
  Hash(h, s.data(), s.size());
}

void HashByte(std::uint64_t& h, std::uint8_t b) { Hash(h, &b, 1); }

// Records without and with the candidate and score-rule columns.
constexpr std::size_t OldFieldCount = 10;
constexpr std::size_t FieldCount = 13;

bool ParseInt(std::string_view s, int lo, int hi, int& out) {
  if (s.empty()) return false;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && out >= lo && out <= hi;
}

bool ParseLetters(std::string_view s, AnswerMask& mask) {
  mask = 0;
  for (char c : s) {
    if (c < 'A' || c > 'H') return false;
    mask |= static_cast<AnswerMask>(1u << (c - 'A'));
  }
  return true;
}

bool ParseFingerprint(std::string_view s, std::uint64_t& out) {
  if (s.size() != 16) return false;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out, 16);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

}  // namespace

std::uint64_t SetFingerprint(const TQuestionSet& set) {
  std::uint64_t h = FnvOffset;
  const int count = std::max(0, std::min<int>(set.LastIndex, MaxQuestions));
  HashInt32(h, count);
  for (int q = 1; q <= count; ++q) {
    const TQuestion& question = set.Questions[q];
    HashString(h, question.Text);
    HashByte(h, static_cast<std::uint8_t>(question.AnswerType));
    for (const std::string& a : question.Answers) HashString(h, a);
    HashByte(h, question.CorrectMask);
    HashString(h, question.ExhibitFile);
  }
  return h;
}

std::string FingerprintText(std::uint64_t fingerprint) {
  static const char digits[] = "0123456789abcdef";
  std::string s(16, '0');
  for (int i = 15; i >= 0; --i, fingerprint >>= 4) s[i] = digits[fingerprint & 15];
  return s;
}

std::string MaskLetters(AnswerMask mask) {
  std::string s;
  for (int a = 0; a < AnswerCount; ++a)
    if (mask & (1u << a)) s += static_cast<char>('A' + a);
  return s;
}

std::string NewTestId() {
  std::uint64_t v = 0;
  try {
    std::random_device rd;
    v = (static_cast<std::uint64_t>(rd()) << 32) ^ rd();
  } catch (const std::exception&) {
  }
  // Mixed with the clock in case the device is a fixed sequence.
  v ^= static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count()) *
       0x9E3779B97F4A7C15ull;
  return FingerprintText(v);
}

std::string_view DetailLogHeader() {
  return "Date and time,Set file,Set fingerprint,Question,Response,Correct answer,Correct,Answers offered,"
         "Questions in set,Test,Candidate name,Candidate ID,Score rule";
}

std::string DetailLogRecords(const TDetailTest& test, bool fileIsEmpty) {
  std::string out;
  if (fileIsEmpty) {
    out += Utf8Bom;
    out += DetailLogHeader();
    out += "\r\n";
  }
  // The fields common to every record of the test, made once.
  const std::string date = CsvText(test.DateTime);
  const std::string set = CsvText(test.SetFile);
  const std::string fingerprint = FingerprintText(test.Fingerprint);
  const std::string questions = std::to_string(test.QuestionsInSet);
  const std::string id = CsvText(test.TestId);
  const std::string name = CsvText(test.CandidateName);
  const std::string candidateId = CsvText(test.CandidateId);
  const std::string rule = CsvText(test.ScoreRule);
  for (const TQuestionOutcome& o : test.Outcomes)
    AppendCsvRecord(
        out, {date, set, fingerprint, std::to_string(o.Question), MaskLetters(o.Response), MaskLetters(o.CorrectAnswer),
              o.Correct ? "1" : "0", MaskLetters(o.Offered), questions, id, name, candidateId, rule});
  return out;
}

void AppendDetailLog(const std::string& path, const TDetailTest& test) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(ToFsPath(path), ec);
  AppendToLog(path, DetailLogRecords(test, ec || size == 0));
}

void TSkippedLines::Add(int line) {
  ++Count;
  if (First.size() < Kept) First.push_back(line);
}

struct TDetailLogReader::TOpen {
  std::string Key;
  TDetailTest Test;
  int FirstLine = 0;
};

TDetailLogReader::TDetailLogReader(TSink sink) : Sink_(std::move(sink)) {}

TDetailLogReader::~TDetailLogReader() = default;

void TDetailLogReader::Feed(std::string_view bytes) {
  if (!Started_ && !bytes.empty()) {
    Started_ = true;
    // A byte order mark is only ever at the start of the file.
    if (bytes.substr(0, Utf8Bom.size()) == Utf8Bom) bytes.remove_prefix(Utf8Bom.size());
  }
  while (!bytes.empty()) {
    const std::size_t nl = bytes.find('\n');
    if (nl == std::string_view::npos) {
      if (Carry_.size() + bytes.size() > LongestLine) {
        CarryTooLong_ = true;
        Carry_.clear();
      } else if (!CarryTooLong_) {
        Carry_.append(bytes);
      }
      return;
    }
    if (!Carry_.empty() || CarryTooLong_) {
      // Finish the line begun in an earlier piece.
      if (CarryTooLong_ || Carry_.size() + nl + 1 > LongestLine) {
        Skipped_.Add(++LineBase_);
      } else {
        Carry_.append(bytes.substr(0, nl + 1));
        Lines(Carry_);
      }
      Carry_.clear();
      CarryTooLong_ = false;
      bytes.remove_prefix(nl + 1);
      continue;
    }
    // Every whole line of this piece at once.
    const std::size_t last = bytes.rfind('\n');
    Lines(bytes.substr(0, last + 1));
    bytes.remove_prefix(last + 1);
  }
}

void TDetailLogReader::Finish() {
  if (CarryTooLong_)
    Skipped_.Add(++LineBase_);
  else if (!Carry_.empty())
    Lines(Carry_);
  Carry_.clear();
  CarryTooLong_ = false;
  while (!Open_.empty()) Close(0);
}

void TDetailLogReader::Lines(std::string_view lines) {
  TCsvReader reader(lines);
  std::vector<std::string_view> f;
  int line = LineBase_;
  while (reader.Next(f)) {
    line = LineBase_ + reader.Line();
    if (reader.Torn()) {
      Skipped_.Add(line);
      continue;
    }
    if (f.size() == 1 && f[0].empty()) continue;  // blank line
    Record(f, line);
  }
  LineBase_ = line;
}

void TDetailLogReader::Record(const std::vector<std::string_view>& f, int line) {
  const bool wide = f.size() == FieldCount;
  if ((wide || f.size() == OldFieldCount) && f[0] == "Date and time") return;  // a header
  TQuestionOutcome o;
  int question = 0, questions = 0, correct = 0;
  std::uint64_t fingerprint = 0;
  if ((!wide && f.size() != OldFieldCount) || !ParseFingerprint(f[2], fingerprint) ||
      !ParseInt(f[3], 1, MaxQuestions, question) || !ParseLetters(f[4], o.Response) ||
      !ParseLetters(f[5], o.CorrectAnswer) || !ParseInt(f[6], 0, 1, correct) || !ParseLetters(f[7], o.Offered) ||
      !ParseInt(f[8], 1, MaxQuestions, questions) || f[9].empty() || question > questions) {
    Skipped_.Add(line);
    return;
  }
  o.Question = static_cast<std::int16_t>(question);
  o.Correct = correct == 1;
  Key_.assign(f[9]);
  Key_ += '\n';
  Key_.append(f[2]);
  Key_ += '\n';
  Key_.append(f[1]);
  // The test of the previous record nearly always; the others open are for
  // records interleaved by hand.
  std::size_t t = Open_.size();
  for (std::size_t i = Open_.size(); i-- > 0;)
    if (Open_[i].Key == Key_) {
      t = i;
      break;
    }
  if (t == Open_.size()) {
    std::uint64_t h = FnvOffset;
    Hash(h, Key_.data(), Key_.size());
    if (Closed_.count(h)) {
      Skipped_.Add(line);
      return;
    }
    if (Open_.size() >= OpenTests) {
      Close(0);
      --t;
    }
    TOpen& open = Open_.emplace_back();
    open.Key = Key_;
    open.FirstLine = line;
    TDetailTest& test = open.Test;
    test.DateTime = CsvTextValue(f[0]);
    test.SetFile = CsvTextValue(f[1]);
    test.Fingerprint = fingerprint;
    test.QuestionsInSet = questions;
    test.TestId = CsvTextValue(f[9]);
    if (wide) {
      test.CandidateName = CsvTextValue(f[10]);
      test.CandidateId = CsvTextValue(f[11]);
      test.ScoreRule = CsvTextValue(f[12]);
    }
  }
  auto& outcomes = Open_[t].Test.Outcomes;
  if (outcomes.empty() || outcomes.back().Question < o.Question) {
    outcomes.push_back(o);
    return;
  }
  // Out of order: keep the set order, and a question only once.
  auto at = std::lower_bound(outcomes.begin(), outcomes.end(), o.Question,
                             [](const TQuestionOutcome& x, int q) { return x.Question < q; });
  if (at != outcomes.end() && at->Question == o.Question)
    Skipped_.Add(line);
  else
    outcomes.insert(at, o);
}

void TDetailLogReader::Close(std::size_t index) {
  TOpen open = std::move(Open_[index]);
  Open_.erase(Open_.begin() + static_cast<std::ptrdiff_t>(index));
  std::uint64_t h = FnvOffset;
  Hash(h, open.Key.data(), open.Key.size());
  Closed_.insert(h);
  Sink_(std::move(open.Test), open.FirstLine);
}

std::vector<TDetailTest> ReadDetailLog(std::string_view bytes, int* skipped) {
  std::vector<std::pair<int, TDetailTest>> read;
  TDetailLogReader reader([&](TDetailTest&& t, int line) { read.emplace_back(line, std::move(t)); });
  reader.Feed(bytes);
  reader.Finish();
  std::stable_sort(read.begin(), read.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<TDetailTest> tests;
  tests.reserve(read.size());
  for (auto& [line, t] : read) tests.push_back(std::move(t));
  if (skipped) *skipped = reader.Skipped().Count;
  return tests;
}

}  // namespace proctorium
