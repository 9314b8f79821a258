#pragma once
// In-memory question set and its binary file format.

#include <array>
#include <cstdint>
#include <string>

#include "base/core/FileIO.h"

namespace proctorium {

// Bit i (value 1 << i) stands for answer i+1: 1 is A, 128 is H.
using AnswerMask = std::uint8_t;

constexpr int MaxQuestions = 250;
constexpr int AnswerCount = 8;
// No set written by the editor comes near this (250 questions of a few
// kilobytes each); a larger file, or one that is no regular file, is
// refused before it is read.
constexpr unsigned long long MaxSetFileBytes = 16ull << 20;

// One correct answer or several; stored in the set file as this byte. Any
// stored value but Single counts as multiple, and is kept as read.
enum class TAnswerType : std::uint8_t { Single = 0, Multiple = 1 };

// Strings hold Windows-1252 bytes with CR LF line breaks.
struct TQuestion {
  std::string Text;
  TAnswerType AnswerType = TAnswerType::Single;
  std::uint8_t RandomizeAnswers = 0;
  std::array<std::string, AnswerCount> Answers;
  AnswerMask CorrectMask = 0;
  std::string Remarks;
  std::string ExhibitFile;

  bool operator==(const TQuestion&) const = default;
};

// Leading non-empty answers, counted from A up to the first empty one.
int AnswersInUse(const TQuestion& q);

class TQuestionSet {
 public:
  std::array<TQuestion, MaxQuestions + 1> Questions;
  std::int32_t Current = 0;
  std::int32_t LastIndex = -1;
  double TimeStamp = 0.0;
  std::int32_t OwnerCode = 0;
  bool ProtectedSet = true;
  bool NewFormat = false;

  // Reads the whole file; true for the current format, false for the old
  // one. A file that cannot be read or is damaged throws EFileError and
  // leaves the set as it was (apart from Current, which is reset first).
  bool LoadFromFile(const std::string& fileName);
  // Writes the set in the current format through a temporary file beside
  // the target, so a failed save leaves the previous file intact.
  // Does nothing for a set without records.
  void SaveToFile(const std::string& fileName) const;

  // The file image SaveToFile writes, and the parser LoadFromFile uses.
  std::string Serialize() const;
  bool Parse(const std::string& bytes, const std::string& fileName);

  TQuestion GetCurrent() const { return Questions[Current]; }
  void SetCurrent(std::int32_t index);
  void Add(const TQuestion& q);
  void ReplaceCurrent(const TQuestion& q) { Questions[Current] = q; }
  void DeleteCurrent();
  // Case-insensitive (ASCII letters only) search through questions 1 to
  // LastIndex; moves Current to the hit. An empty text finds nothing.
  bool Search(const std::string& text, bool fromNext);
};

// Current local time of day as a fraction of a day (no whole days).
double LocalTimeOfDay();

}  // namespace proctorium
