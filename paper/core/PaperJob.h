#pragma once
// A print job of paper versions, as recorded in `Tests/<set>.paper.json`:
// everything needed to score the versions later, even after the set has been
// edited (the fingerprint tells), including every box of every sheet.

#include <cstdint>
#include <string>
#include <vector>

#include "paper/core/SheetLayout.h"
#include "questions/core/QuestionSet.h"

namespace proctorium {

struct TPaperQuestion {
  int SetQuestion = 0;  // the question's number in the set, from 1
  // Slot k (printed letter 'A' + k) shows the set's answer Answers[k]
  // (0-based index into TQuestion::Answers).
  std::vector<int> Answers;
  AnswerMask Key = 0;  // correct slots: bit k for printed letter 'A' + k
  bool operator==(const TPaperQuestion&) const = default;
};

struct TPaperVersion {
  char Letter = 'A';
  std::vector<TPaperQuestion> Questions;  // in printed order
  std::vector<TSheetLayout> Sheets;
  bool operator==(const TPaperVersion&) const = default;
};

struct TPaperJob {
  std::uint32_t JobId = 0;
  std::string SetFile;  // the set's file name inside Tests, as listed
  std::uint64_t Fingerprint = 0;
  std::uint64_t Seed = 0;
  std::string Created;  // local date and time, "YYYY-MM-DD HH:MM:SS"
  TSheetOptions Options;
  std::vector<TPaperVersion> Versions;
  bool operator==(const TPaperJob&) const = default;
};

inline constexpr int MaxPaperVersions = 26;

// The versions of a set: version A..A+count-1, each shuffled by the rules a
// test on screen uses (the set's shuffle flag for the question order, each
// question's shuffle-answers flag for its answers), all drawn from `seed`,
// so the same seed always gives the same papers. versionCount is kept to
// 1..MaxPaperVersions. JobId follows from the seed, the set and the options,
// so printing the same job again gives the same pages; Created is left empty
// for the caller to stamp.
TPaperJob MakePaperJob(const TQuestionSet& set, const std::string& setFile, int versionCount, std::uint64_t seed,
                       const TSheetOptions& options);

// The job as JSON text (UTF-8) and back. Reading throws EFileError naming
// what is wrong with a file that is damaged or of another format.
std::string PaperJobToJson(const TPaperJob& job);
TPaperJob PaperJobFromJson(const std::string& json);

// The job file's name beside the set: "Algebra.tst" with job 1A2B3C4D gives
// "Algebra.1A2B3C4D.paper.json", so two jobs of one set never overwrite each
// other while the same job printed again replaces its own file.
std::string PaperJobFileName(const std::string& setFile, std::uint32_t jobId);

// The set as version `version` prints it: the questions in the version's
// order, each with its answers in slot order and lettered A.. without gaps,
// the correct answers moved along, and the remarks' feedback lines ("B: ...")
// re-lettered to match. The set's header (question 0) is kept.
TQuestionSet VersionSet(const TQuestionSet& set, const TPaperVersion& version);

// "AC" for slots A and C; and back, 0 for a text with anything but A..H.
std::string SlotLetters(AnswerMask mask);
AnswerMask SlotMask(const std::string& letters);

}  // namespace proctorium
