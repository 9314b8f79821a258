#pragma once
// Item analysis of the saved tests of one question set: how hard each
// question was, whether it tells strong takers from weak ones, which answers
// were chosen, and how the scores spread.
//
// A series is the tests of one set file with one fingerprint: once the
// questions change, later tests start a new series, since figures about the
// old questions say nothing about the new ones.
//
// A taker's total is the number of questions answered correctly, as the
// results log counts it; questions a taker never saw earn nothing. The
// per-question figures use only the takers who saw the question.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/core/DetailLog.h"

namespace proctorium {

struct TStatisticsOptions {
  // KR-20 needs this many takers who saw every question of the set; below
  // it the figure swings too much from one class to the next to mean much.
  int MinTakersForReliability = 10;
  // A question is flagged only once this many takers answered it, so a
  // single unlucky test does not mark a question as faulty.
  int MinAttemptsForFlags = 5;
};

struct TItemStatistics {
  int Question = 0;
  int Attempts = 0;  // takers who saw it
  int CorrectCount = 0;
  // Share of attempts answered correctly (0..1); none without attempts.
  std::optional<double> Facility;
  // Share correct in the upper 27% of takers by total minus that in the
  // lower 27% (-1..1). The group size is 27% of the takers, rounded, at
  // least 1. Takers tied on the score at a group's edge share the places
  // left equally (each counts with the same fraction), so the result does
  // not depend on the order the tests were saved in. Needs two takers, and
  // at least one taker of each group who saw the question.
  std::optional<double> Discrimination;
  // Correlation between answering this question correctly (1/0) and the
  // total, over the takers who saw it; none when everyone got it right,
  // everyone got it wrong, or all their totals are equal.
  std::optional<double> PointBiserial;
  // Correlation between answering correctly and the total of the other
  // questions (the total less this one), over the takers who saw it, so the
  // question is not measured against itself; none when either is constant.
  std::optional<double> ItemRest;
  AnswerMask Offered = 0;
  AnswerMask CorrectAnswer = 0;
  // Some taker ticked more than one answer, or more than one is correct.
  bool MultipleAnswer = false;
  // What a taker guessing blindly scores: 1 / answers offered, or for a
  // multiple-answer question 1 / (2^answers offered - 1), each non-empty
  // choice of answers being equally likely. None without answers offered.
  std::optional<double> ChanceLevel;
  std::array<int, AnswerCount> Chosen{};  // takers who ticked answer A..H
  int Blank = 0;                          // attempts with no answer ticked
  // Share of the upper and of the lower 27% group (weighted as for
  // Discrimination) who saw the question and ticked answer A..H; empty
  // without groups or when no taker of that group saw it.
  std::optional<std::array<double, AnswerCount>> UpperChose, LowerChose;
  // Flags, raised only from TStatisticsOptions::MinAttemptsForFlags on.
  bool NegativeDiscrimination = false;  // any of the three indices below zero
  AnswerMask UnchosenDistractors = 0;   // wrong answers offered that nobody ticked
  // Wrong answers ticked by a larger share of the upper group than gave the
  // correct response.
  AnswerMask StrongPrefer = 0;
  // Facility no higher than the chance level plus two standard errors of a
  // guesser's share over this many attempts: the takers as a whole did no
  // better than guessing would.
  bool WithinChance = false;
};

enum class TReliability { Shown, TooFewTakers, TooFewQuestions, NoSpread };

struct TSeriesStatistics {
  std::string SetFile;
  std::uint64_t Fingerprint = 0;
  int QuestionsInSet = 0;
  std::string FirstDate, LastDate;
  int Takers = 0;
  int CompleteTakers = 0;  // saw every question

  std::vector<TItemStatistics> Items;  // questions 1..QuestionsInSet

  // Score as the results log shows it: correct of seen, in per cent.
  // Histogram bin i counts scores i*10 .. i*10+9 (truncated per cent, as
  // written in the log); the last bin takes 90..100.
  std::array<int, 10> Histogram{};
  double MeanPercent = 0;
  // Spread of the group itself (divided by the number of takers, not one
  // less), so a single taker has 0.
  double SdPercent = 0;
  double MeanTotal = 0;  // number correct
  double SdTotal = 0;
  // Of the exact per cents. Skewness is the third central moment over the
  // SD cubed; kurtosis the fourth over the SD to the fourth, less 3 (0 for
  // a normal curve). None when every score is the same.
  double MedianPercent = 0;
  std::optional<double> Skewness, Kurtosis;

  TReliability ReliabilityState = TReliability::TooFewTakers;
  std::optional<double> Kr20;
  // Standard error of measurement: SD of the complete tests' totals times
  // the square root of (1 - KR-20), in questions and in per cent of the
  // set; only with KR-20.
  std::optional<double> SemQuestions, SemPercent;
};

// Which tests count.
struct TStatisticsFilter {
  // Dates "YYYY-MM-DD", both ends included; empty for no limit.
  std::string FromDate, ToDate;
  // Only the latest test of each candidate per series (by candidate ID,
  // else by name); tests without a candidate each count as their own.
  bool LatestAttemptOnly = false;
  bool operator==(const TStatisticsFilter&) const = default;
};

// Who a test belongs to, for LatestAttemptOnly: "id:<ID>", "name:<name>",
// or empty when the test names no candidate.
std::string CandidateKey(const TDetailTest& test);

// Adds tests one at a time into the counts each series needs (by question
// and by total), so that the figures come out without keeping the tests.
class TStatisticsBuilder {
 public:
  explicit TStatisticsBuilder(const TStatisticsOptions& options = {});
  ~TStatisticsBuilder();
  TStatisticsBuilder(TStatisticsBuilder&&) noexcept;
  TStatisticsBuilder& operator=(TStatisticsBuilder&&) noexcept;
  void Add(const TDetailTest& test);
  // Series in order of their latest test, newest first.
  std::vector<TSeriesStatistics> Finish() const;

 private:
  struct TCounts;
  static TSeriesStatistics Figures(const TCounts& counts, const TStatisticsOptions& options);
  TStatisticsOptions Options_;
  std::vector<TCounts> Series_;
  std::string Key_;  // of the series last added to, for the next test
  std::size_t Last_ = 0;
};

// The statistics of a detail log read in pieces: read(buffer, size) fills
// the buffer and returns how many bytes it put there, 0 at the end. With
// LatestAttemptOnly the log is read twice (reopen starts it over; false
// when it cannot be read again).
struct TStatisticsLoad {
  std::vector<TSeriesStatistics> Series;
  TSkippedLines Skipped;
};
using TChunkSource = std::function<std::size_t(char* buffer, std::size_t size)>;
TStatisticsLoad LoadStatistics(const TChunkSource& read, const std::function<bool()>& reopen,
                               const TStatisticsFilter& filter = {}, const TStatisticsOptions& options = {});
// The same from bytes in memory.
TStatisticsLoad LoadStatistics(std::string_view bytes, const TStatisticsFilter& filter = {},
                               const TStatisticsOptions& options = {});
// The same from a file; throws EFileError when it exists but cannot be read.
TStatisticsLoad LoadStatisticsFile(const std::string& path, const TStatisticsFilter& filter = {},
                                   const TStatisticsOptions& options = {});

// Series in order of their latest test, newest first.
std::vector<TSeriesStatistics> ComputeStatistics(const std::vector<TDetailTest>& tests,
                                                 const TStatisticsOptions& options = {});

// The statistics of one series: every test passed must belong to it.
TSeriesStatistics ComputeSeries(const std::vector<const TDetailTest*>& tests, const TStatisticsOptions& options = {});

}  // namespace proctorium

namespace proctorium {

// "Negative discrimination; strong takers prefer B; within chance; nobody
// chose C, D", or empty without flags.
std::string FlagText(const TItemStatistics& item);
// Why KR-20 is not shown ("needs 10 tests that saw every question, 4 so
// far"); empty when it is.
std::string ReliabilityNote(const TSeriesStatistics& s, const TStatisticsOptions& options = {});
// What the standard error of measurement means for a pass mark; empty
// without it.
std::string SemSentence(const TSeriesStatistics& s);
// "3 tests from 2026-11-01 to 2026-11-30, latest attempt of each candidate",
// or empty without a filter.
std::string FilterText(const TStatisticsFilter& filter);
// "2 damaged lines were skipped (lines 4, 9)", or empty.
std::string SkippedText(const TSkippedLines& skipped);

}  // namespace proctorium
