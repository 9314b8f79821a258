#include "questions/core/ImportResult.h"

#include <cmath>
#include <filesystem>
#include <set>

#include "base/core/Cp1252.h"
#include "base/core/FileIO.h"
#include "base/core/UnicodeText.h"

namespace proctorium {

EImportError::EImportError(const std::string& fileName, int line, const std::string& reason)
    : std::runtime_error(fileName + ": line " + std::to_string(line) + ": " + reason),
      FileName(fileName),
      Line(line),
      Reason(reason) {}

std::string Letter(int index) { return std::string(1, static_cast<char>('A' + index)); }

std::string CategoryTitle(const std::string& path) {
  std::string s = Trim(path);
  while (!s.empty() && s.back() == '/') s.pop_back();
  const size_t slash = s.rfind('/');
  s = Trim(slash == std::string::npos ? s : s.substr(slash + 1));
  // The platform's placeholders name no subject.
  if (s == "top" || (s.size() > 2 && s.front() == '$' && s.back() == '$')) return {};
  return s;
}

std::string PictureOnlyReason(int answer) {
  return "answer " + Letter(answer) + " is a picture only; answers in a set are text";
}

namespace {

std::string Plural(size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string NoteList(const std::vector<TImportNote>& notes) {
  std::string s;
  for (const TImportNote& n : notes) {
    if (!s.empty()) s += "; ";
    s += "line " + std::to_string(n.Line) + ": " + n.Reason;
  }
  return s;
}

// Converts the text (composed first, so a letter and its accent typed as
// two characters count as the one they show) and collects the characters
// Windows-1252 lacks.
void Convert(const std::string& utf8, std::string& converted, std::u32string& missing) {
  std::u32string lacking;
  converted = Utf8ToCp1252(ToCrLf(ComposeNfc(utf8)), &lacking);
  for (char32_t c : lacking)
    if (missing.find(c) == std::u32string::npos) missing.push_back(c);
}

}  // namespace

void Skip(TImportResult& result, int line, const std::string& reason) { result.Skipped.push_back({line, reason}); }
void Change(TImportResult& result, int line, const std::string& reason) { result.Changed.push_back({line, reason}); }

bool AddDraft(TImportResult& result, const TQuestionDraft& d) {
  // Trailing empty answers are no answers; gaps before filled ones stay.
  size_t used = d.Answers.size();
  while (used > 0 && Trim(d.Answers[used - 1]).empty() && (used > d.Correct.size() || !d.Correct[used - 1])) --used;
  if (used > static_cast<size_t>(AnswerCount)) {
    Skip(result, d.Line, std::to_string(used) + " answers, at most " + std::to_string(AnswerCount) + " fit");
    return false;
  }
  TQuestion q;
  std::u32string missing;  // each character once, in order of first appearance
  Convert(d.Exhibit, q.ExhibitFile, missing);
  if (!missing.empty()) {
    std::string shown;
    for (char32_t c : missing) shown += (shown.empty() ? "" : ", ") + DescribeCharacter(c);
    Skip(result, d.Line, "characters an exhibit name cannot hold: " + shown);
    return false;
  }
  Convert(d.Text, q.Text, missing);
  for (size_t i = 0; i < used; ++i) Convert(d.Answers[i], q.Answers[i], missing);
  Convert(d.Remarks, q.Remarks, missing);
  if (!missing.empty() && result.Encoding == TTextEncoding::Cp1252) {
    for (TQuestion& earlier : result.Questions) {
      earlier.Text = Cp1252ToUtf8(earlier.Text);
      for (std::string& a : earlier.Answers) a = Cp1252ToUtf8(a);
      earlier.Remarks = Cp1252ToUtf8(earlier.Remarks);
    }
    result.Encoding = TTextEncoding::Utf8;
  }
  if (result.Encoding == TTextEncoding::Utf8) {
    auto utf8 = [](const std::string& text) { return ToCrLf(ComposeNfc(text)); };
    q.Text = utf8(d.Text);
    for (size_t i = 0; i < used; ++i) q.Answers[i] = utf8(d.Answers[i]);
    q.Remarks = utf8(d.Remarks);
  }
  q.AnswerType = d.Multiple ? TAnswerType::Multiple : TAnswerType::Single;
  q.RandomizeAnswers = d.Randomize ? 1 : 0;
  for (size_t i = 0; i < d.Correct.size() && i < static_cast<size_t>(AnswerCount); ++i)
    if (d.Correct[i]) q.CorrectMask = static_cast<AnswerMask>(q.CorrectMask | (1u << i));
  result.Questions.push_back(std::move(q));
  result.Lines.push_back(d.Line);
  return true;
}

void MatchEncodings(TQuestionSet& set, TImportResult& result) {
  if (result.Encoding == set.Encoding) return;
  if (result.Encoding == TTextEncoding::Utf8) {
    set.UseUtf8();
    return;
  }
  for (TQuestion& q : result.Questions) {
    q.Text = Cp1252ToUtf8(q.Text);
    for (std::string& a : q.Answers) a = Cp1252ToUtf8(a);
    q.Remarks = Cp1252ToUtf8(q.Remarks);
  }
  result.Encoding = TTextEncoding::Utf8;
}

TWeightOutcome ResolveWeights(const std::vector<double>& w, std::optional<bool> declaredSingle) {
  TWeightOutcome out;
  out.Correct.assign(w.size(), false);
  std::vector<size_t> full, positive;
  for (size_t i = 0; i < w.size(); ++i) {
    if (w[i] >= 99.99) full.push_back(i);
    if (w[i] > 0) positive.push_back(i);
  }
  if (positive.empty()) {
    out.Skip = "no correct answer";
    return out;
  }
  const bool single = declaredSingle ? *declaredSingle : !full.empty() || positive.size() == 1;
  auto letters = [](const std::vector<size_t>& which) {
    std::string s;
    for (size_t i : which) s += (s.empty() ? "" : ", ") + Letter(static_cast<int>(i));
    return s;
  };
  std::vector<size_t> partial;
  for (size_t i : positive)
    if (w[i] < 99.99) partial.push_back(i);
  // A positive weight marks a correct answer. Several of them in a
  // single-answer question, not all with full marks, make it one where
  // every such answer must be ticked: partial credit has no place here.
  if (!single || (positive.size() > 1 && !partial.empty())) {
    out.Multiple = true;
    for (size_t i : positive) out.Correct[i] = true;
    // Elsewhere ticking some of the correct answers earns part of the marks;
    // here it earns nothing.
    if (positive.size() > 1)
      out.Change = "partial credit for " + letters(positive) + "; here all of them must be ticked";
    return out;
  }
  if (!full.empty()) {
    out.Correct[full[0]] = true;
    if (full.size() > 1)
      out.Change = "several answers give full marks; only " + Letter(static_cast<int>(full[0])) + " counts here";
    return out;
  }
  size_t best = positive[0];
  for (size_t i : positive)
    if (w[i] > w[best]) best = i;
  out.Correct[best] = true;
  out.Change = "no answer gives full marks; " + Letter(static_cast<int>(best)) + " counts as the correct one";
  return out;
}

bool StopAtRoom(TImportResult& result, int line) {
  if (result.Room < 0 || result.Questions.size() < static_cast<size_t>(result.Room)) return false;
  result.UnreadFrom = line;
  return true;
}

std::string UnreadNote(const TImportResult& result) {
  return "line " + std::to_string(result.UnreadFrom) + " and all after it: a set holds at most " +
         std::to_string(MaxQuestions) + " questions";
}

void LimitToRoom(TImportResult& result, int room) {
  if (room < 0) room = 0;
  const auto keep = static_cast<size_t>(room);
  if (result.Questions.size() <= keep) return;
  for (size_t i = keep; i < result.Lines.size(); ++i)
    Skip(result, result.Lines[i], "a set holds at most " + std::to_string(MaxQuestions) + " questions");
  result.Questions.resize(keep);
  result.Lines.resize(keep);
  std::erase_if(result.Images, [keep](const TEmbeddedImage& im) { return im.Question >= static_cast<int>(keep); });
}

std::string ImportSummary(const TImportResult& r) {
  const size_t n = r.Questions.size();
  std::string s =
      n == 0 ? std::string("No questions can be added") : Plural(n, "question", "questions") + " will be added";
  if (!r.Skipped.empty())
    s += "; " + Plural(r.Skipped.size(), "question", "questions") + " skipped: " + NoteList(r.Skipped);
  if (!r.Changed.empty())
    s += "; " + Plural(r.Changed.size(), "question", "questions") + " changed: " + NoteList(r.Changed);
  if (r.UnreadFrom > 0) s += "; not read: " + UnreadNote(r);
  return s;
}

void ConvertImages(TImportResult& result, const TBitmapConverter& toBitmap) {
  std::vector<TEmbeddedImage> kept;
  for (TEmbeddedImage& im : result.Images) {
    std::string bmp;
    if (im.Bytes.size() > 2 && im.Bytes.compare(0, 2, "BM") == 0) {
      kept.push_back(std::move(im));
    } else if (toBitmap && toBitmap(im.Bytes, bmp)) {
      im.Bytes = std::move(bmp);
      kept.push_back(std::move(im));
    } else {
      Change(result, result.Lines[static_cast<size_t>(im.Question)],
             "picture " + im.Name + " cannot be read; the question has no exhibit");
    }
  }
  result.Images = std::move(kept);
}

namespace {

std::string SafeStem(const std::string& utf8Name) {
  std::string name = utf8Name;
  const size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name = name.substr(0, dot);
  std::string stem = Utf8ToCp1252(name);
  for (char& c : stem)
    if (std::string("\\/:*?\"<>|").find(c) != std::string::npos || static_cast<unsigned char>(c) < 32) c = '_';
  if (Trim(stem).empty()) stem = "picture";
  return stem;
}

}  // namespace

std::string ExhibitNameFor(const std::string& utf8Name) { return SafeStem(utf8Name) + ".bmp"; }

std::optional<TExportAnswers> ExportAnswers(const TQuestion& q, int number, TExportResult& out) {
  TExportAnswers a;
  for (int i = 0; i < AnswerCount; ++i)
    if (!q.Answers[static_cast<size_t>(i)].empty()) a.Used = i + 1;
  a.Marks = q.CorrectMask & static_cast<AnswerMask>((1u << a.Used) - 1);
  if (a.Marks == 0) {
    out.Notes.push_back({number, "no correct answer; left out"});
    return std::nullopt;
  }
  for (int i = 0; i < a.Used; ++i) a.Correct += (a.Marks >> i) & 1;
  a.Multiple = q.AnswerType != TAnswerType::Single;
  return a;
}

std::string ExportSummary(const TExportResult& r) {
  std::string s = Plural(static_cast<size_t>(r.Written), "question", "questions") + " exported";
  if (!r.Notes.empty()) {
    s += "; " + Plural(r.Notes.size(), "note", "notes") + ": ";
    for (size_t i = 0; i < r.Notes.size(); ++i)
      s += (i ? "; " : "") + std::string("question ") + std::to_string(r.Notes[i].Line) + ": " + r.Notes[i].Reason;
  }
  return s;
}

std::string StorePicture(const std::string& folder, const std::string& utf8Name, const std::string& bitmap) {
  const std::string stem = SafeStem(utf8Name);
  for (int n = 1;; ++n) {
    std::string stored = stem + (n == 1 ? "" : "_" + std::to_string(n)) + ".bmp";
    const std::string path = folder + Cp1252ToUtf8(stored);
    std::string existing;
    if (!FileExists(path)) {
      WriteFileAtomic(path, bitmap);
      return stored;
    }
    if (ReadWholeFile(path, existing) && existing == bitmap) return stored;
  }
}

std::vector<TStagedPicture> StageImages(TImportResult& result, const std::string& folder) {
  std::vector<TStagedPicture> staged;
  std::set<std::string> taken;  // names given in this call, not on disk yet
  try {
    for (const TEmbeddedImage& im : result.Images) {
      const std::string stem = SafeStem(im.Name);
      std::string stored;
      for (int n = 1;; ++n) {
        stored = stem + (n == 1 ? "" : "_" + std::to_string(n)) + ".bmp";
        if (!taken.insert(LowerAscii(stored)).second) continue;
        const std::string path = folder + Cp1252ToUtf8(stored);
        std::string existing;
        if (!FileExists(path)) {
          staged.push_back({WriteTemporaryBeside(path, im.Bytes), path});
          break;
        }
        if (ReadWholeFile(path, existing) && existing == im.Bytes) break;
      }
      result.Questions[static_cast<size_t>(im.Question)].ExhibitFile = stored;
    }
  } catch (...) {
    RemovePictures(staged);
    throw;
  }
  result.Images.clear();
  return staged;
}

void PlacePictures(std::vector<TStagedPicture>& pictures) {
  for (TStagedPicture& p : pictures) {
    RenameTemporary(p.Temporary, p.FileName);
    p.Temporary.clear();
  }
}

void RemovePictures(const std::vector<TStagedPicture>& pictures) {
  for (const TStagedPicture& p : pictures) {
    std::error_code ignored;
    std::filesystem::remove(ToFsPath(p.Temporary.empty() ? p.FileName : p.Temporary), ignored);
  }
}

void WriteImages(TImportResult& result, const std::string& folder) {
  std::vector<TStagedPicture> staged = StageImages(result, folder);
  try {
    PlacePictures(staged);
  } catch (...) {
    // A name the folder cannot take: the pictures placed before it go too.
    RemovePictures(staged);
    throw;
  }
}

bool IsNameInsideFolder(const std::string& utf8Name) {
  if (utf8Name.empty() || utf8Name[0] == '/' || utf8Name[0] == '\\') return false;  // root, share
  if (utf8Name.find(':') != std::string::npos) return false;                        // drive, stream, URL
  size_t start = 0;
  for (;;) {
    const size_t end = utf8Name.find_first_of("/\\", start);
    if (Trim(utf8Name.substr(start, end - start)) == "..") return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

void RefuseOutsideExhibits(TImportResult& result) {
  for (size_t i = 0; i < result.Questions.size(); ++i) {
    std::string& name = result.Questions[i].ExhibitFile;
    if (name.empty() || IsNameInsideFolder(Cp1252ToUtf8(name))) continue;
    Change(result, result.Lines[i],
           "exhibit " + Cp1252ToUtf8(name) + " is outside the file's folder; the question has no exhibit");
    name.clear();
  }
}

void CheckExhibits(TImportResult& result, const std::function<bool(const std::string&)>& exists) {
  for (size_t i = 0; i < result.Questions.size(); ++i) {
    const std::string& name = result.Questions[i].ExhibitFile;
    if (!name.empty() && !exists(name))
      Change(result, result.Lines[i], "exhibit " + Cp1252ToUtf8(name) + " not found in the Tests folder");
  }
}

}  // namespace proctorium
