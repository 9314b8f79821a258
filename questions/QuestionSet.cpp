#include "questions/QuestionSet.h"

#include <chrono>
#include <cstring>
#include <ctime>
#include <memory>

namespace proctorium {

namespace {

constexpr unsigned char NewFormatMarker = 0xFF;
constexpr unsigned char TextShift = 17;
constexpr size_t FillerSize = 8;

class DamagedFile {
 public:
  explicit DamagedFile(const char* why) : Why(why) {}
  const char* Why;
};

// Bounds-checked reader over the whole file image.
class Reader {
 public:
  Reader(const std::string& bytes, bool shifted) : Data(bytes), Shifted(shifted) {}

  unsigned char Byte() {
    Need(1);
    return static_cast<unsigned char>(Data[Pos++]);
  }
  std::int32_t Int32() {
    Need(4);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(Data[Pos + i]);
    Pos += 4;
    return static_cast<std::int32_t>(v);
  }
  double Double() {
    Need(8);
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(Data[Pos + i]);
    Pos += 8;
    double d;
    std::memcpy(&d, &v, sizeof d);
    return d;
  }
  void Skip(size_t n) {
    Need(n);
    Pos += n;
  }
  void Text(std::string& out) {
    std::int32_t n = Int32();
    if (n < 0) throw DamagedFile("negative text length");
    if (static_cast<size_t>(n) > Data.size() - Pos) throw DamagedFile("text runs past the end of the file");
    out.assign(Data, Pos, static_cast<size_t>(n));
    Pos += static_cast<size_t>(n);
    if (Shifted)
      for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) - TextShift);
  }

 private:
  void Need(size_t n) const {
    if (Data.size() - Pos < n) throw DamagedFile("the file ends early");
  }
  const std::string& Data;
  size_t Pos = 0;
  bool Shifted;
};

void PutInt32(std::string& out, std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

void PutText(std::string& out, const std::string& text) {
  PutInt32(out, static_cast<std::int32_t>(text.size()));
  size_t at = out.size();
  out.append(text);
  for (size_t i = at; i < out.size(); ++i)
    out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) + TextShift);
}

}  // namespace

int AnswersInUse(const TQuestion& q) {
  int n = 0;
  while (n < AnswerCount && !q.Answers[n].empty()) ++n;
  return n;
}

double LocalTimeOfDay() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ms / 1000.0;
  return seconds / 86400.0;
}

bool TQuestionSet::Parse(const std::string& bytes, const std::string& fileName) {
  Current = 0;
  if (bytes.empty()) throw EFileError("Damaged question set file " + fileName + ": the file is empty");
  const bool newFormat = static_cast<unsigned char>(bytes[0]) == NewFormatMarker;
  Reader in(bytes, newFormat);
  double timeStamp = 0.0;
  std::int32_t owner = 0;
  bool isProtected = true;
  auto records = std::make_unique<std::array<TQuestion, MaxQuestions + 1>>();
  std::int32_t last = -1;
  try {
    if (newFormat) {
      in.Skip(1 + FillerSize);
      timeStamp = in.Double();
      owner = in.Int32();
      isProtected = in.Byte() != 0;
    }
    last = in.Int32();
    if (last < 0 || last > MaxQuestions) throw DamagedFile("the question count is out of range");
    for (std::int32_t i = 0; i <= last; ++i) {
      TQuestion& q = (*records)[i];
      in.Text(q.Text);
      q.AnswerType = in.Byte();
      q.RandomizeAnswers = in.Byte();
      for (auto& a : q.Answers) in.Text(a);
      q.CorrectMask = in.Byte();
      in.Text(q.Remarks);
      in.Text(q.ExhibitFile);
    }
  } catch (const DamagedFile& e) {
    throw EFileError("Damaged question set file " + fileName + ": " + e.Why);
  }
  if (newFormat && timeStamp == 0.0) timeStamp = LocalTimeOfDay();
  NewFormat = newFormat;
  TimeStamp = timeStamp;
  OwnerCode = owner;
  ProtectedSet = isProtected;
  LastIndex = last;
  for (std::int32_t i = 0; i <= last; ++i) Questions[i] = std::move((*records)[i]);
  return newFormat;
}

bool TQuestionSet::LoadFromFile(const std::string& fileName) {
  Current = 0;
  std::string bytes;
  if (!ReadWholeFile(fileName, bytes)) throw EFileError("Cannot open file " + fileName);
  return Parse(bytes, fileName);
}

std::string TQuestionSet::Serialize() const {
  std::string out;
  if (LastIndex < 0) return out;
  size_t size = 26;
  for (std::int32_t i = 0; i <= LastIndex; ++i) {
    const TQuestion& q = Questions[i];
    size += 47 + q.Text.size() + q.Remarks.size() + q.ExhibitFile.size();
    for (const auto& a : q.Answers) size += a.size();
  }
  out.reserve(size);
  out.push_back(static_cast<char>(NewFormatMarker));
  out.append(FillerSize, '\0');
  std::uint64_t stamp;
  std::memcpy(&stamp, &TimeStamp, sizeof stamp);
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((stamp >> (8 * i)) & 0xFF));
  PutInt32(out, OwnerCode);
  out.push_back(ProtectedSet ? 1 : 0);
  PutInt32(out, LastIndex);
  for (std::int32_t i = 0; i <= LastIndex; ++i) {
    const TQuestion& q = Questions[i];
    PutText(out, q.Text);
    out.push_back(static_cast<char>(q.AnswerType));
    out.push_back(static_cast<char>(q.RandomizeAnswers));
    for (const auto& a : q.Answers) PutText(out, a);
    out.push_back(static_cast<char>(q.CorrectMask));
    PutText(out, q.Remarks);
    PutText(out, q.ExhibitFile);
  }
  return out;
}

void TQuestionSet::SaveToFile(const std::string& fileName) const {
  if (LastIndex < 0) return;
  WriteFileAtomic(fileName, Serialize());
}

void TQuestionSet::SetCurrent(std::int32_t index) {
  if (index >= 0 && index <= LastIndex) Current = index;
}

void TQuestionSet::Add(const TQuestion& q) {
  if (LastIndex >= MaxQuestions) return;
  ++LastIndex;
  Questions[LastIndex] = q;
  Current = LastIndex;
}

void TQuestionSet::DeleteCurrent() {
  if (LastIndex >= 2) {
    for (std::int32_t i = Current; i <= LastIndex - 1; ++i) Questions[i] = Questions[i + 1];
    --LastIndex;
  } else if (LastIndex == 1) {
    LastIndex = 0;
  }
  if (LastIndex < Current) Current = LastIndex;
}

namespace {

void UpperAsciiInto(std::string& out, const std::string& s) {
  for (char c : s) out.push_back((c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c);
}

}  // namespace

bool TQuestionSet::Search(const std::string& text, bool fromNext) {
  if (text.empty()) return false;
  std::string needle;
  UpperAsciiInto(needle, text);
  std::string hay;
  for (std::int32_t i = fromNext ? Current + 1 : 1; i <= LastIndex; ++i) {
    if (i < 1) continue;
    const TQuestion& q = Questions[i];
    hay.clear();
    UpperAsciiInto(hay, q.Text);
    for (const auto& a : q.Answers) UpperAsciiInto(hay, a);
    UpperAsciiInto(hay, q.Remarks);
    if (hay.find(needle) != std::string::npos) {
      Current = i;
      return true;
    }
  }
  return false;
}

}  // namespace proctorium
