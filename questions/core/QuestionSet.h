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

// How a set holds its texts in memory: Windows-1252 bytes, or UTF-8 for a
// set with characters that code page lacks. Line breaks are CR LF in both.
// Exhibit names are Windows-1252 in every set, as the exhibit manager
// names the pictures it keeps.
enum class TTextEncoding : std::uint8_t { Cp1252, Utf8 };

// Strings hold the set's encoding (see TTextEncoding), ExhibitFile
// Windows-1252.
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
  TTextEncoding Encoding = TTextEncoding::Cp1252;

  // Reads the whole file; true for the current formats (Windows-1252 or
  // Unicode), false for the old one. A Unicode file loads with Encoding
  // Utf8, any other with Cp1252. A file that cannot be read or is damaged throws EFileError and
  // leaves the set as it was (apart from Current, which is reset first).
  bool LoadFromFile(const std::string& fileName);
  // Writes the set through a temporary file beside
  // the target, so a failed save leaves the previous file intact.
  // Does nothing for a set without records.
  void SaveToFile(const std::string& fileName) const;

  // The file image SaveToFile writes, and the parser LoadFromFile uses.
  // Every set whose texts fit Windows-1252 is written in the current 8-bit
  // format, byte for byte as if it had always been a Windows-1252 set; only
  // a set that needs more is written in the Unicode format (UTF-8 texts
  // behind a mark of its own, which readers from before it refuse).
  std::string Serialize() const;
  // True when Serialize writes the Unicode format.
  bool NeedsUnicodeFile() const;

  // Turns a Windows-1252 set into a UTF-8 one (nothing to do for a set that
  // is one already), so it can take texts in any script.
  void UseUtf8();
  // A text of this set in UTF-8, and UTF-8 text in this set's encoding
  // ('?' for a character a Windows-1252 set cannot hold).
  std::string ToUtf8(const std::string& text) const;
  std::string FromUtf8(const std::string& utf8) const;
  bool Parse(const std::string& bytes, const std::string& fileName);

  TQuestion GetCurrent() const { return Questions[Current]; }
  void SetCurrent(std::int32_t index);
  void Add(const TQuestion& q);
  void ReplaceCurrent(const TQuestion& q) { Questions[Current] = q; }
  void DeleteCurrent();
  // Case-insensitive search (letters of every script, see FoldCase)
  // through questions 1 to LastIndex; text is UTF-8 in every set. Moves
  // Current to the hit. An empty text finds nothing.
  bool Search(const std::string& text, bool fromNext);
};

// Current local time of day as a fraction of a day (no whole days).
double LocalTimeOfDay();

}  // namespace proctorium
