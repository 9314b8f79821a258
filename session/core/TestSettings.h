#pragma once
// What the teacher decided for one question set: exam conditions, the
// clock, what the candidate is shown and when the set may be taken. Kept
// in a small text file beside the set (key=value lines, ASCII), so the set
// file itself never changes and older copies of the program still read it.
// A set without that file behaves as it always has.

#include <cstdint>
#include <string>

namespace proctorium {

enum class TClockRule { AsUser, Elapsed, Countdown };
enum class TReviewRule { Immediately, Never, OnRelease };

struct TTestSettings {
  bool ExamMode = false;
  TClockRule Clock = TClockRule::AsUser;
  int CountdownMinutes = 0;   // with Clock == Countdown
  bool RunningScore = true;   // false hides it whatever the options say
  bool AnswersButton = true;  // false hides it whatever the options say
  TReviewRule Review = TReviewRule::Immediately;
  bool ReviewReleased = false;  // with Review == OnRelease
  bool ScoreAllQuestions = false;
  int DrawCount = 0;          // 0: every question of the set
  std::string StartPassword;  // as held: scrambled like the administrator's; empty for none
  std::string OpenFrom;       // "yyyy-MM-dd HH:mm" local time; empty for no limit
  std::string OpenUntil;

  bool operator==(const TTestSettings&) const = default;

  // Exam mode always scores out of every question of the test.
  bool ScoresAll() const { return ExamMode || ScoreAllQuestions; }
  bool ReviewAllowed() const {
    return Review == TReviewRule::Immediately || (Review == TReviewRule::OnRelease && ReviewReleased);
  }
  bool IsDefault() const { return *this == TTestSettings{}; }
};

// The settings file of the set at setPath: the same name with ".exam" added
// ("Tests/Maths.qst.exam"), so it sorts and travels beside its set.
std::string TestSettingsPath(const std::string& setPath);

std::string EncodeTestSettings(const TTestSettings& settings);
// Throws EFileError naming the file when a line is not key=value, a value
// is out of range or the first line is not the file's own.
TTestSettings DecodeTestSettings(const std::string& bytes, const std::string& fileName);

// Missing file: the defaults. Unreadable or damaged: throws EFileError, and
// the caller reports it and goes on with the defaults.
TTestSettings ReadTestSettings(const std::string& setPath);
// Atomic; a default record removes the file instead. Throws EFileError.
void WriteTestSettings(const std::string& setPath, const TTestSettings& settings);

// Where the set's window of opening stands at now ("yyyy-MM-dd HH:mm").
enum class TOpenState { Open, NotYet, Closed };
TOpenState OpenStateAt(const TTestSettings& settings, const std::string& now);
// True for "yyyy-MM-dd HH:mm" with plausible fields, or for empty.
bool ValidOpenTime(const std::string& text);

// The set's settings follow the set when the program copies or deletes it:
// a copy over an existing set takes the source's settings or none. A
// missing settings file is no error. Throw EFileError.
void CopyTestSettings(const std::string& fromSet, const std::string& toSet);
void DeleteTestSettings(const std::string& setPath);

}  // namespace proctorium
