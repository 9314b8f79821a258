#include "session/core/DetailLog.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <unordered_map>

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

std::vector<TDetailTest> ReadDetailLog(std::string_view bytes, int* skipped) {
  std::vector<TDetailTest> tests;
  std::unordered_map<std::string, std::size_t> index;
  int bad = 0;
  TCsvReader reader(bytes);
  std::vector<std::string_view> f;
  std::string key;
  std::size_t last = SIZE_MAX;
  std::string lastKey;
  while (reader.Next(f)) {
    if (f.size() == 1 && f[0].empty()) continue;  // blank line
    const bool wide = f.size() == FieldCount;
    if ((wide || f.size() == OldFieldCount) && f[0] == "Date and time") continue;  // a header
    TQuestionOutcome o;
    int question = 0, questions = 0, correct = 0;
    std::uint64_t fingerprint = 0;
    if ((!wide && f.size() != OldFieldCount) || !ParseFingerprint(f[2], fingerprint) ||
        !ParseInt(f[3], 1, MaxQuestions, question) || !ParseLetters(f[4], o.Response) ||
        !ParseLetters(f[5], o.CorrectAnswer) || !ParseInt(f[6], 0, 1, correct) || !ParseLetters(f[7], o.Offered) ||
        !ParseInt(f[8], 1, MaxQuestions, questions) || f[9].empty() || question > questions) {
      ++bad;
      continue;
    }
    o.Question = static_cast<std::int16_t>(question);
    o.Correct = correct == 1;
    // The records of one test lie together, so the previous test is nearly
    // always the one; the map is for tests interleaved by hand.
    key.assign(f[9]);
    key += '\n';
    key.append(f[2]);
    key += '\n';
    key.append(f[1]);
    std::size_t t;
    if (last != SIZE_MAX && key == lastKey) {
      t = last;
    } else {
      auto [it, added] = index.try_emplace(key, tests.size());
      t = it->second;
      if (added) {
        TDetailTest test;
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
        tests.push_back(std::move(test));
      }
      last = t;
      lastKey = key;
    }
    auto& outcomes = tests[t].Outcomes;
    if (outcomes.empty() || outcomes.back().Question < o.Question) {
      outcomes.push_back(o);
      continue;
    }
    // Out of order: keep the set order, and a question only once.
    auto at = std::lower_bound(outcomes.begin(), outcomes.end(), o.Question,
                               [](const TQuestionOutcome& x, int q) { return x.Question < q; });
    if (at != outcomes.end() && at->Question == o.Question)
      ++bad;
    else
      outcomes.insert(at, o);
  }
  if (skipped) *skipped = bad;
  return tests;
}

}  // namespace proctorium
