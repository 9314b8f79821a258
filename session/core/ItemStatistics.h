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
#include <optional>
#include <string>
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
  AnswerMask Offered = 0;
  AnswerMask CorrectAnswer = 0;
  std::array<int, AnswerCount> Chosen{};  // takers who ticked answer A..H
  int Blank = 0;                          // attempts with no answer ticked
  // Flags, raised only from TStatisticsOptions::MinAttemptsForFlags on.
  bool NegativeDiscrimination = false;  // either index below zero
  AnswerMask UnchosenDistractors = 0;   // wrong answers offered that nobody ticked
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

  TReliability ReliabilityState = TReliability::TooFewTakers;
  std::optional<double> Kr20;
};

// Series in order of their latest test, newest first.
std::vector<TSeriesStatistics> ComputeStatistics(const std::vector<TDetailTest>& tests,
                                                 const TStatisticsOptions& options = {});

// The statistics of one series: every test passed must belong to it.
TSeriesStatistics ComputeSeries(const std::vector<const TDetailTest*>& tests, const TStatisticsOptions& options = {});

}  // namespace proctorium

namespace proctorium {

// "Negative discrimination; nobody chose C, D", or empty without flags.
std::string FlagText(const TItemStatistics& item);
// Why KR-20 is not shown ("needs 10 tests that saw every question, 4 so
// far"); empty when it is.
std::string ReliabilityNote(const TSeriesStatistics& s, const TStatisticsOptions& options = {});

}  // namespace proctorium
