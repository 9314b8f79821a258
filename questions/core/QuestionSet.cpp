#include "questions/core/QuestionSet.h"
#include "base/core/Cp1252.h"
#include "questions/core/SearchHit.h"

#include <bit>
#include <chrono>
#include <cstring>
#include <ctime>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace proctorium {

namespace {

constexpr unsigned char NewFormatMarker = 0xFF;
// A reader that knows only the two 8-bit formats takes any first byte but
// 0xFF for the old format and the first four bytes for the question count:
// this mark and the signature behind it read as 1179932158 questions, which
// such a reader refuses as out of range instead of reading on.
constexpr unsigned char UnicodeMarker = 0xFE;
constexpr char UnicodeSignature[] = "UTF-8\0\0";  // the eight filler bytes
constexpr unsigned char TextShift = 17;
constexpr size_t FillerSize = 8;

// dst[i] = src[i] + delta (mod 256), eight bytes at a time: the texts make up
// nearly all of a set file, so this loop is most of the cost of a load.
void ShiftBytes(const char* src, char* dst, size_t n, unsigned char delta) {
  size_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
  const __m128i add16 = _mm_set1_epi8(static_cast<char>(delta));
  for (; i + 16 <= n; i += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_add_epi8(x, add16));
  }
#endif
  constexpr std::uint64_t High = 0x8080808080808080ull;
  const std::uint64_t add = 0x0101010101010101ull * delta;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t x;
    std::memcpy(&x, src + i, 8);
    // Add the low seven bits of every byte without carries between bytes,
    // then put the top bits back with xor.
    const std::uint64_t sum = ((x & ~High) + (add & ~High)) ^ ((x ^ add) & High);
    std::memcpy(dst + i, &sum, 8);
  }
  for (; i < n; ++i) dst[i] = static_cast<char>(static_cast<unsigned char>(src[i]) + delta);
}

class DamagedFile {
 public:
  explicit DamagedFile(const char* why) : Why(why) {}
  const char* Why;
};

// Bounds-checked reader over the whole file image.
class Reader {
 public:
  explicit Reader(const std::string& bytes) : Data(bytes) {}

  unsigned char Byte() {
    Need(1);
    return static_cast<unsigned char>(Data[Pos++]);
  }
  std::int32_t Int32() {
    Need(4);
    std::uint32_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(&v, Data.data() + Pos, 4);
    } else {
      for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(Data[Pos + i]);
    }
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
  size_t TextLength() {
    std::int32_t n = Int32();
    if (n < 0) throw DamagedFile("negative text length");
    if (static_cast<size_t>(n) > Data.size() - Pos) throw DamagedFile("text runs past the end of the file");
    return static_cast<size_t>(n);
  }
  size_t Position() const { return Pos; }

 private:
  void Need(size_t n) const {
    if (Data.size() - Pos < n) throw DamagedFile("the file ends early");
  }
  const std::string& Data;
  size_t Pos = 0;
};

void PutInt32(std::string& out, std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

bool FitsCp1252(const std::string& utf8) {
  for (unsigned char c : utf8)
    if (c >= 0x80) {
      std::u32string missing;
      Utf8ToCp1252(utf8, &missing);
      return missing.empty();
    }
  return true;
}

void PutText(std::string& out, const std::string& text) {
  PutInt32(out, static_cast<std::int32_t>(text.size()));
  const size_t at = out.size();
  out.resize(at + text.size());
  ShiftBytes(text.data(), out.data() + at, text.size(), TextShift);
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

namespace {

constexpr int TextsPerRecord = AnswerCount + 3;

// Where one record's parts lie in the file image.
struct RecordSpans {
  std::array<std::uint32_t, TextsPerRecord> TextAt;  // first byte of each text
  std::array<std::uint32_t, TextsPerRecord> TextLength;
  std::uint32_t AnswerTypeAt;
  std::uint32_t CorrectMaskAt;
};

// Walks the record structure without copying any text; throws DamagedFile
// when a record is missing or a text count is impossible.
void FindRecords(Reader& in, std::int32_t last, RecordSpans* spans) {
  for (std::int32_t i = 0; i <= last; ++i) {
    RecordSpans& r = spans[i];
    int t = 0;
    auto text = [&] {
      const size_t n = in.TextLength();
      r.TextAt[t] = static_cast<std::uint32_t>(in.Position());
      r.TextLength[t++] = static_cast<std::uint32_t>(n);
      in.Skip(n);
    };
    text();
    r.AnswerTypeAt = static_cast<std::uint32_t>(in.Position());
    in.Skip(2);
    for (int a = 0; a < AnswerCount; ++a) text();
    r.CorrectMaskAt = static_cast<std::uint32_t>(in.Position());
    in.Skip(1);
    text();
    text();
  }
}

}  // namespace

bool TQuestionSet::Parse(const std::string& bytes, const std::string& fileName) {
  Current = 0;
  if (bytes.empty()) throw EFileError("Damaged question set file " + fileName + ": the file is empty");
  if (bytes.size() > 0xFFFFFFF0u) throw EFileError("Damaged question set file " + fileName + ": the file is too large");
  const bool unicode = static_cast<unsigned char>(bytes[0]) == UnicodeMarker;
  const bool newFormat = unicode || static_cast<unsigned char>(bytes[0]) == NewFormatMarker;
  Reader in(bytes);
  double timeStamp = 0.0;
  std::int32_t owner = 0;
  bool isProtected = true;
  std::int32_t last = -1;
  // The whole file is checked before anything is taken from it, so a damaged
  // file leaves the set in use as it was.
  std::array<RecordSpans, MaxQuestions + 1> spans;
  try {
    if (newFormat) {
      in.Skip(1 + FillerSize);
      timeStamp = in.Double();
      owner = in.Int32();
      isProtected = in.Byte() != 0;
    }
    last = in.Int32();
    if (last < 0 || last > MaxQuestions) throw DamagedFile("the question count is out of range");
    FindRecords(in, last, spans.data());
  } catch (const DamagedFile& e) {
    throw EFileError("Damaged question set file " + fileName + ": " + e.Why);
  }
  if (newFormat && timeStamp == 0.0) timeStamp = LocalTimeOfDay();
  NewFormat = newFormat;
  Encoding = unicode ? TTextEncoding::Utf8 : TTextEncoding::Cp1252;
  TimeStamp = timeStamp;
  OwnerCode = owner;
  ProtectedSet = isProtected;
  LastIndex = last;
  const char* data = bytes.data();
  const unsigned char unshift = newFormat ? static_cast<unsigned char>(256 - TextShift) : 0;
  for (std::int32_t i = 0; i <= last; ++i) {
    const RecordSpans& r = spans[i];
    TQuestion& q = Questions[i];
    std::string* texts[TextsPerRecord] = {&q.Text,       &q.Answers[0], &q.Answers[1], &q.Answers[2],
                                          &q.Answers[3], &q.Answers[4], &q.Answers[5], &q.Answers[6],
                                          &q.Answers[7], &q.Remarks,    &q.ExhibitFile};
    for (int t = 0; t < TextsPerRecord; ++t) {
      texts[t]->resize(r.TextLength[t]);
      ShiftBytes(data + r.TextAt[t], texts[t]->data(), r.TextLength[t], unshift);
    }
    q.AnswerType = static_cast<TAnswerType>(data[r.AnswerTypeAt]);
    q.RandomizeAnswers = static_cast<std::uint8_t>(data[r.AnswerTypeAt + 1]);
    q.CorrectMask = static_cast<AnswerMask>(data[r.CorrectMaskAt]);
    if (unicode) q.ExhibitFile = Utf8ToCp1252(q.ExhibitFile);
  }
  return newFormat;
}

bool TQuestionSet::LoadFromFile(const std::string& fileName) {
  Current = 0;
  std::string bytes;
  std::string reason;
  switch (ReadRegularFile(fileName, MaxSetFileBytes, bytes, &reason)) {
    case TReadResult::Ok:
      return Parse(bytes, fileName);
    case TReadResult::NotRegular:
      throw EFileError("Damaged question set file " + fileName + ": it is not a regular file");
    case TReadResult::TooLarge:
      throw EFileError("Damaged question set file " + fileName + ": the file is too large for a question set");
    case TReadResult::Missing:
    case TReadResult::Failed:
      break;
  }
  throw EFileError("Cannot open file " + fileName);
}

namespace {

// The file image of set behind marker and filler, each text passed through
// convert (which may return its argument or a scratch string).
template <typename Convert, typename ConvertExhibit>
std::string WriteImage(const TQuestionSet& set, unsigned char marker, const char* filler, Convert convert,
                       ConvertExhibit convertExhibit) {
  std::string out;
  size_t size = 26;
  for (std::int32_t i = 0; i <= set.LastIndex; ++i) {
    const TQuestion& q = set.Questions[i];
    size += 47 + q.Text.size() + q.Remarks.size() + q.ExhibitFile.size();
    for (const auto& a : q.Answers) size += a.size();
  }
  out.reserve(size);
  out.push_back(static_cast<char>(marker));
  out.append(filler, FillerSize);
  std::uint64_t stamp;
  std::memcpy(&stamp, &set.TimeStamp, sizeof stamp);
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((stamp >> (8 * i)) & 0xFF));
  PutInt32(out, set.OwnerCode);
  out.push_back(set.ProtectedSet ? 1 : 0);
  PutInt32(out, set.LastIndex);
  for (std::int32_t i = 0; i <= set.LastIndex; ++i) {
    const TQuestion& q = set.Questions[i];
    PutText(out, convert(q.Text));
    out.push_back(static_cast<char>(q.AnswerType));
    out.push_back(static_cast<char>(q.RandomizeAnswers));
    for (const auto& a : q.Answers) PutText(out, convert(a));
    out.push_back(static_cast<char>(q.CorrectMask));
    PutText(out, convert(q.Remarks));
    PutText(out, convertExhibit(q.ExhibitFile));
  }
  return out;
}

}  // namespace

std::string TQuestionSet::Serialize() const {
  if (LastIndex < 0) return std::string();
  static constexpr char Zeros[FillerSize] = {};
  auto same = [](const std::string& text) -> const std::string& { return text; };
  if (Encoding == TTextEncoding::Cp1252) return WriteImage(*this, NewFormatMarker, Zeros, same, same);
  if (NeedsUnicodeFile()) {
    std::string exhibit;
    auto exhibitUtf8 = [&exhibit](const std::string& name) -> const std::string& {
      exhibit = Cp1252ToUtf8(name);
      return exhibit;
    };
    return WriteImage(*this, UnicodeMarker, UnicodeSignature, same, exhibitUtf8);
  }
  std::string text;
  auto cp1252 = [&text](const std::string& utf8) -> const std::string& {
    text = Utf8ToCp1252(utf8);
    return text;
  };
  return WriteImage(*this, NewFormatMarker, Zeros, cp1252, same);
}

bool TQuestionSet::NeedsUnicodeFile() const {
  if (Encoding != TTextEncoding::Utf8) return false;
  for (std::int32_t i = 0; i <= LastIndex; ++i) {
    const TQuestion& q = Questions[i];
    if (!FitsCp1252(q.Text) || !FitsCp1252(q.Remarks)) return true;
    for (const auto& a : q.Answers)
      if (!FitsCp1252(a)) return true;
  }
  return false;
}

void TQuestionSet::UseUtf8() {
  if (Encoding == TTextEncoding::Utf8) return;
  for (TQuestion& q : Questions) {
    q.Text = Cp1252ToUtf8(q.Text);
    for (auto& a : q.Answers) a = Cp1252ToUtf8(a);
    q.Remarks = Cp1252ToUtf8(q.Remarks);
  }
  Encoding = TTextEncoding::Utf8;
}

std::string TQuestionSet::ToUtf8(const std::string& text) const {
  return Encoding == TTextEncoding::Utf8 ? text : Cp1252ToUtf8(text);
}

std::string TQuestionSet::FromUtf8(const std::string& utf8) const {
  return Encoding == TTextEncoding::Utf8 ? utf8 : Utf8ToCp1252(utf8);
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

bool TQuestionSet::Search(const std::string& text, bool fromNext) {
  if (text.empty()) return false;
  for (std::int32_t i = fromNext ? Current + 1 : 1; i <= LastIndex; ++i) {
    if (i < 1) continue;
    if (LocateSearchHit(Questions[i], text, Encoding).Field != THitField::None) {
      Current = i;
      return true;
    }
  }
  return false;
}

}  // namespace proctorium
