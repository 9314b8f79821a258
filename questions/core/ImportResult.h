#pragma once
// What reading a question file in another system's format gives: the
// questions that fit a set, and for everything else the line it came from
// and why it did not fit. Nothing is dropped without a note.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/core/Ascii.h"
#include "questions/core/QuestionSet.h"
#include "questions/core/TextDecoding.h"

namespace proctorium {

// A line of the source file (or a question number on export) and a reason
// in UTF-8.
struct TImportNote {
  int Line = 0;
  std::string Reason;
  bool operator==(const TImportNote&) const = default;
};

// A picture carried inside the source file, for question Question of the
// result. Bytes are the file's own (PNG, JPEG, BMP...); the program's
// exhibits are Windows bitmaps, so the caller turns them into one.
struct TEmbeddedImage {
  int Question = 0;
  std::string Name;  // UTF-8, as the source names it
  std::string Bytes;
};

struct TImportResult {
  // Windows-1252 until a question needs a character that code page lacks;
  // then every question's texts are UTF-8 (exhibit names stay Windows-1252).
  TTextEncoding Encoding = TTextEncoding::Cp1252;
  std::vector<TQuestion> Questions;  // texts in Encoding, CR LF breaks
  std::vector<int> Lines;            // source line of each question
  std::vector<TImportNote> Skipped;  // left out entirely
  std::vector<TImportNote> Changed;  // taken in, but not as the source meant
  std::vector<TEmbeddedImage> Images;
  std::string Title;  // UTF-8: the file's own name for its questions (a category), if any
  // Set before reading: the most questions wanted, -1 for all. A reader
  // stops at the first question beyond it, so a huge file costs no more
  // than the part that fits.
  int Room = -1;
  // The line where reading stopped because Room was full; 0 when the whole
  // file was read.
  int UnreadFrom = 0;
};

// For a reader about to start on the question at line: true (and line
// recorded in UnreadFrom) when the result already holds Room questions.
bool StopAtRoom(TImportResult& result, int line);
// The one note that stands for everything from UnreadFrom on:
// "line 252 and all after it: a set holds at most 250 questions" (UTF-8).
std::string UnreadNote(const TImportResult& result);

// A file that cannot be read as the format at all. what() is
// "<file>: line <n>: <reason>".
class EImportError : public std::runtime_error {
 public:
  EImportError(const std::string& fileName, int line, const std::string& reason);
  std::string FileName;
  int Line;
  std::string Reason;
};

// The file image of an export and the questions it could not carry whole
// (Line is the question number).
struct TExportResult {
  std::string Bytes;
  std::vector<TImportNote> Notes;
  int Written = 0;  // questions in Bytes
};

// The answers an export writes for one question: A up to the last one
// filled in, the correct marks among them and how many there are.
struct TExportAnswers {
  int Used = 0;
  AnswerMask Marks = 0;
  int Correct = 0;
  bool Multiple = false;
};
// Empty, with a note for question number in out, when no written answer is
// marked correct: such a question cannot be scored elsewhere.
std::optional<TExportAnswers> ExportAnswers(const TQuestion& q, int number, TExportResult& out);

// "24 questions exported; 1 question not as it is: question 3: ..." (UTF-8).
std::string ExportSummary(const TExportResult& result);

// The .bmp file name (Windows-1252) an embedded picture is stored under:
// its own name with characters a folder cannot hold replaced.
std::string ExhibitNameFor(const std::string& utf8Name);

// One question as a reader sees it, texts in UTF-8 with any line breaks.
struct TQuestionDraft {
  int Line = 0;
  std::string Text;
  std::vector<std::string> Answers;
  std::vector<bool> Correct;  // per answer; shorter means false
  bool Multiple = false;
  bool Randomize = true;
  std::string Remarks;
  std::string Exhibit;
};

// Checks a draft against what a set can hold and adds it to the result, or
// records why it was skipped: more than eight answers, an exhibit name
// outside Windows-1252. Text in any script is taken in: the first question
// that needs it turns the result into a UTF-8 one. Returns false when
// skipped.
bool AddDraft(TImportResult& result, const TQuestionDraft& draft);
// Brings set and result to one encoding, UTF-8 when either of them needs
// it, so the result's questions can be added to the set as they are.
void MatchEncodings(TQuestionSet& set, TImportResult& result);
void Skip(TImportResult& result, int line, const std::string& reason);
void Change(TImportResult& result, int line, const std::string& reason);

// How per-answer weights in percent (the other systems' fractions) map to
// the correct marks of an all-or-nothing question.
struct TWeightOutcome {
  std::vector<bool> Correct;
  bool Multiple = false;
  std::string Skip;    // non-empty: the question cannot be taken in
  std::string Change;  // non-empty: taken in, scored differently
};
// declaredSingle: what the source says about the answer type, if anything.
TWeightOutcome ResolveWeights(const std::vector<double>& weights, std::optional<bool> declaredSingle);

// Keeps the first room questions and moves the rest to Skipped. Where
// possible, set Room before reading instead.
void LimitToRoom(TImportResult& result, int room);

// "17 questions will be added; 2 questions skipped: line 40: 10 answers,
// at most 8 fit; ..." (UTF-8).
std::string ImportSummary(const TImportResult& result);

// Turns each embedded picture into Windows bitmap bytes with toBitmap
// (bitmaps pass unchanged); a picture it cannot read is dropped with a note.
using TBitmapConverter = std::function<bool(const std::string& bytes, std::string& bitmap)>;
void ConvertImages(TImportResult& result, const TBitmapConverter& toBitmap);

// Writes the embedded pictures into folder (which ends with a separator)
// as .bmp files and names them in their questions. An existing file with
// the same bytes is reused; a different one is never overwritten, the new
// picture gets a free name instead. Throws EFileError, and then no picture
// of this call is left behind.
void WriteImages(TImportResult& result, const std::string& folder);
// Stores one bitmap in folder the same way and gives its stored name
// (Windows-1252). Throws EFileError.
std::string StorePicture(const std::string& folder, const std::string& utf8Name, const std::string& bitmap);

// WriteImages in steps, for pictures that must appear only with the set
// that names them: StageImages writes each new picture under a temporary
// name (nothing is left when it throws), the caller writes the set the
// same way, and PlacePictures renames them into place; on any failure,
// RemovePictures takes away whatever StageImages or PlacePictures made.
struct TStagedPicture {
  std::string Temporary;  // empty once placed
  std::string FileName;
};
std::vector<TStagedPicture> StageImages(TImportResult& result, const std::string& folder);
void PlacePictures(std::vector<TStagedPicture>& pictures);
void RemovePictures(const std::vector<TStagedPicture>& pictures);

// A picture an imported question names may come only from the input
// file's own folder or below it: no absolute path, drive, share or "..".
bool IsNameInsideFolder(const std::string& utf8Name);
// Takes the exhibit away, with a note, from every question whose exhibit
// name reaches outside the input file's folder.
void RefuseOutsideExhibits(TImportResult& result);

// Notes every question whose exhibit exists() does not find.
void CheckExhibits(TImportResult& result, const std::function<bool(const std::string& storedName)>& exists);

// Why a question whose answer (index) is a picture without text is skipped:
// a set's answers are text, and an empty answer would shift the key.
std::string PictureOnlyReason(int answer);

// The last part of a category path: "$course$/top/Biology" -> "Biology".
std::string CategoryTitle(const std::string& path);

// "A", "B", ... for answer index 0, 1, ...
std::string Letter(int index);

}  // namespace proctorium
