#include "paper/core/PaperJob.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>

#include "base/core/FileIO.h"
#include "session/core/DetailLog.h"
#include "session/core/RandomSource.h"
#include "session/core/TestSession.h"

namespace proctorium {

namespace {

using nlohmann::json;

constexpr const char* kFormat = "proctorium-paper-job";
constexpr int kFormatVersion = 1;

std::uint64_t Mix(std::uint64_t hash, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) {
    hash ^= (value >> (8 * i)) & 0xFF;
    hash *= 0x100000001B3ull;
  }
  return hash;
}

std::string Hex(std::uint64_t value, int digits) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%0*llX", digits, static_cast<unsigned long long>(value));
  return buffer;
}

std::uint64_t ParseHex(const std::string& text, size_t digits, const char* what) {
  if (text.size() != digits || text.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos)
    throw std::invalid_argument(std::string(what) + " is not " + std::to_string(digits) + " hex digits");
  return std::stoull(text, nullptr, 16);
}

json RectJson(const TPaperRect& r) { return json::array({r.X, r.Y, r.W, r.H}); }

TPaperRect RectOf(const json& j) {
  if (!j.is_array() || j.size() != 4) throw std::invalid_argument("a rectangle is not four numbers");
  return {j.at(0).get<double>(), j.at(1).get<double>(), j.at(2).get<double>(), j.at(3).get<double>()};
}

TPaperSize SizeOf(const std::string& name) {
  if (name == PaperSizeName(TPaperSize::A4)) return TPaperSize::A4;
  if (name == PaperSizeName(TPaperSize::Letter)) return TPaperSize::Letter;
  throw std::invalid_argument("unknown page size \"" + name + "\"");
}

json SheetJson(const TSheetLayout& sheet) {
  json j;
  j["sheet"] = sheet.Sheet;
  j["sheetCount"] = sheet.SheetCount;
  j["page"] = PaperSizeName(sheet.Size);
  j["width"] = sheet.Width;
  j["height"] = sheet.Height;
  j["corners"] = json::array();
  for (const TPaperRect& r : sheet.Corners) j["corners"].push_back(RectJson(r));
  j["qr"] = RectJson(sheet.Qr);
  j["title"] = RectJson(sheet.Title);
  j["nameLine"] = RectJson(sheet.NameLine);
  j["idBoxes"] = json::array();
  for (const auto& column : sheet.IdBoxes) {
    json boxes = json::array();
    for (const TPaperRect& r : column) boxes.push_back(RectJson(r));
    j["idBoxes"].push_back(boxes);
  }
  j["rows"] = json::array();
  for (const TSheetRow& row : sheet.Rows) {
    json boxes = json::array();
    for (const TPaperRect& r : row.Boxes) boxes.push_back(RectJson(r));
    j["rows"].push_back({{"position", row.Position}, {"label", RectJson(row.Label)}, {"boxes", boxes}});
  }
  j["labels"] = json::array();
  for (const TSheetLabel& label : sheet.Labels)
    j["labels"].push_back({{"rect", RectJson(label.Rect)}, {"text", label.Text}});
  return j;
}

TSheetLayout SheetOf(const json& j) {
  TSheetLayout sheet;
  sheet.Sheet = j.at("sheet").get<int>();
  sheet.SheetCount = j.at("sheetCount").get<int>();
  if (sheet.Sheet < 1 || sheet.Sheet > sheet.SheetCount) throw std::invalid_argument("sheet number out of range");
  sheet.Size = SizeOf(j.at("page").get<std::string>());
  sheet.Width = j.at("width").get<double>();
  sheet.Height = j.at("height").get<double>();
  const json& corners = j.at("corners");
  if (!corners.is_array() || corners.size() != 4) throw std::invalid_argument("a sheet needs four corner marks");
  for (size_t i = 0; i < 4; ++i) sheet.Corners[i] = RectOf(corners[i]);
  sheet.Qr = RectOf(j.at("qr"));
  sheet.Title = RectOf(j.at("title"));
  sheet.NameLine = RectOf(j.at("nameLine"));
  for (const json& column : j.at("idBoxes")) {
    if (!column.is_array() || column.size() != 10) throw std::invalid_argument("an ID column needs ten boxes");
    auto& boxes = sheet.IdBoxes.emplace_back();
    for (size_t d = 0; d < 10; ++d) boxes[d] = RectOf(column[d]);
  }
  for (const json& r : j.at("rows")) {
    TSheetRow row;
    row.Position = r.at("position").get<int>();
    row.Label = RectOf(r.at("label"));
    for (const json& box : r.at("boxes")) row.Boxes.push_back(RectOf(box));
    if (row.Boxes.empty() || row.Boxes.size() > AnswerCount) throw std::invalid_argument("a row has no boxes");
    sheet.Rows.push_back(std::move(row));
  }
  for (const json& label : j.at("labels")) sheet.Labels.push_back({RectOf(label.at("rect")), label.at("text")});
  return sheet;
}

json VersionJson(const TPaperVersion& version) {
  json questions = json::array();
  for (const TPaperQuestion& q : version.Questions)
    questions.push_back({{"setQuestion", q.SetQuestion}, {"answers", q.Answers}, {"key", SlotLetters(q.Key)}});
  json sheets = json::array();
  for (const TSheetLayout& sheet : version.Sheets) sheets.push_back(SheetJson(sheet));
  return {{"version", std::string(1, version.Letter)}, {"questions", questions}, {"sheets", sheets}};
}

TPaperVersion VersionOf(const json& j, char expected) {
  TPaperVersion version;
  const std::string letter = j.at("version").get<std::string>();
  if (letter != std::string(1, expected))
    throw std::invalid_argument("version \"" + letter + "\" where " + std::string(1, expected) + " belongs");
  version.Letter = expected;
  for (const json& q : j.at("questions")) {
    TPaperQuestion question;
    question.SetQuestion = q.at("setQuestion").get<int>();
    if (question.SetQuestion < 1 || question.SetQuestion > MaxQuestions)
      throw std::invalid_argument("question number out of range");
    question.Answers = q.at("answers").get<std::vector<int>>();
    if (question.Answers.size() > AnswerCount) throw std::invalid_argument("more answers than a question has");
    for (int a : question.Answers)
      if (a < 0 || a >= AnswerCount) throw std::invalid_argument("answer index out of range");
    const std::string key = q.at("key").get<std::string>();
    question.Key = SlotMask(key);
    if (question.Key == 0 && !key.empty()) throw std::invalid_argument("key \"" + key + "\" is not answer letters");
    if (question.Key >> question.Answers.size()) throw std::invalid_argument("key names an answer not printed");
    version.Questions.push_back(std::move(question));
  }
  for (const json& sheet : j.at("sheets")) version.Sheets.push_back(SheetOf(sheet));
  return version;
}

}  // namespace

std::string SlotLetters(AnswerMask mask) {
  std::string letters;
  for (int k = 0; k < AnswerCount; ++k)
    if (mask & (1u << k)) letters += static_cast<char>('A' + k);
  return letters;
}

AnswerMask SlotMask(const std::string& letters) {
  AnswerMask mask = 0;
  for (char ch : letters) {
    if (ch < 'A' || ch >= 'A' + AnswerCount) return 0;
    mask |= static_cast<AnswerMask>(1u << (ch - 'A'));
  }
  return mask;
}

TPaperJob MakePaperJob(const TQuestionSet& set, const std::string& setFile, int versionCount, std::uint64_t seed,
                       const TSheetOptions& options) {
  TPaperJob job;
  job.SetFile = setFile;
  job.Fingerprint = SetFingerprint(set);
  job.Seed = seed;
  job.Options = options;
  versionCount = std::clamp(versionCount, 1, MaxPaperVersions);

  std::uint64_t hash = 0xCBF29CE484222325ull;
  for (std::uint64_t part : {seed, job.Fingerprint, static_cast<std::uint64_t>(versionCount),
                             static_cast<std::uint64_t>(options.Size), static_cast<std::uint64_t>(options.IdDigits)})
    hash = Mix(hash, part);
  job.JobId = static_cast<std::uint32_t>(hash ^ (hash >> 32));

  // The very shuffles a test on screen makes, drawn from one stream that the
  // seed pins, one version after the other.
  TRandomSource random;
  random.Pin(seed);
  for (int v = 0; v < versionCount; ++v) {
    TPaperVersion version;
    version.Letter = static_cast<char>('A' + v);
    auto session = std::make_unique<TTestSession>(random);
    session->Start(set);
    std::vector<int> answersPerQuestion;
    for (int position = 1; position <= session->PositionCount; ++position) {
      const int q = session->TakingOrder[position];
      const TQuestion& question = set.Questions[q];
      session->BuildAnswerOrder(q, question, AnswersInUse(question));
      TPaperQuestion printed;
      printed.SetQuestion = q;
      for (int k = 1; k <= AnswerCount; ++k) {
        const int answer = session->AnswerInSlot(q, k);
        if (answer < 0 || answer >= AnswerCount || question.Answers[answer].empty()) continue;
        if (question.CorrectMask & (1u << answer)) printed.Key |= static_cast<AnswerMask>(1u << printed.Answers.size());
        printed.Answers.push_back(answer);
      }
      answersPerQuestion.push_back(static_cast<int>(printed.Answers.size()));
      version.Questions.push_back(std::move(printed));
    }
    version.Sheets = LayoutAnswerSheets(options, answersPerQuestion);
    job.Versions.push_back(std::move(version));
  }
  return job;
}

std::string PaperJobToJson(const TPaperJob& job) {
  json j;
  j["format"] = kFormat;
  j["formatVersion"] = kFormatVersion;
  j["jobId"] = Hex(job.JobId, 8);
  j["setFile"] = job.SetFile;
  j["fingerprint"] = Hex(job.Fingerprint, 16);
  // As text: a 64-bit number does not survive every JSON reader.
  j["seed"] = std::to_string(job.Seed);
  j["created"] = job.Created;
  j["page"] = PaperSizeName(job.Options.Size);
  j["idDigits"] = job.Options.IdDigits;
  j["versions"] = json::array();
  for (const TPaperVersion& version : job.Versions) j["versions"].push_back(VersionJson(version));
  return j.dump(1, ' ', false, json::error_handler_t::replace) + "\n";
}

TPaperJob PaperJobFromJson(const std::string& text) {
  try {
    const json j = json::parse(text);
    if (!j.is_object() || j.value("format", std::string()) != kFormat)
      throw std::invalid_argument("not a paper job file");
    if (j.at("formatVersion").get<int>() != kFormatVersion)
      throw std::invalid_argument("written by a newer version of the program");
    TPaperJob job;
    job.JobId = static_cast<std::uint32_t>(ParseHex(j.at("jobId").get<std::string>(), 8, "the job id"));
    job.SetFile = j.at("setFile").get<std::string>();
    job.Fingerprint = ParseHex(j.at("fingerprint").get<std::string>(), 16, "the fingerprint");
    const std::string seed = j.at("seed").get<std::string>();
    if (seed.empty() || seed.size() > 20 || seed.find_first_not_of("0123456789") != std::string::npos)
      throw std::invalid_argument("the seed is not a number");
    job.Seed = std::stoull(seed);
    job.Created = j.at("created").get<std::string>();
    job.Options.Size = SizeOf(j.at("page").get<std::string>());
    job.Options.IdDigits = j.at("idDigits").get<int>();
    const json& versions = j.at("versions");
    if (!versions.is_array() || versions.empty() || versions.size() > MaxPaperVersions)
      throw std::invalid_argument("no versions, or more than " + std::to_string(MaxPaperVersions));
    for (size_t v = 0; v < versions.size(); ++v)
      job.Versions.push_back(VersionOf(versions[v], static_cast<char>('A' + v)));
    return job;
  } catch (const json::exception& e) {
    throw EFileError(std::string("Damaged paper job file: ") + e.what());
  } catch (const std::exception& e) {
    throw EFileError(std::string("Damaged paper job file: ") + e.what());
  }
}

std::string PaperJobFileName(const std::string& setFile, std::uint32_t jobId) {
  std::string base = setFile;
  const size_t slash = base.find_last_of("\\/");
  const size_t dot = base.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) base.resize(dot);
  return base + "." + Hex(jobId, 8) + ".paper.json";
}

namespace {

// Imported questions keep each answer's feedback in the remarks as lines
// "B: ..." after the set's own letters; on a version's key they must name
// the letters that version prints.
std::string RelabelFeedback(const std::string& remarks, const std::vector<int>& slots) {
  std::string out;
  size_t start = 0;
  while (start <= remarks.size()) {
    size_t end = remarks.find('\n', start);
    if (end == std::string::npos) end = remarks.size();
    std::string line = remarks.substr(start, end - start);
    if (line.size() >= 3 && line[0] >= 'A' && line[0] < 'A' + AnswerCount && line[1] == ':' && line[2] == ' ') {
      const auto slot = std::find(slots.begin(), slots.end(), line[0] - 'A');
      if (slot != slots.end()) line[0] = static_cast<char>('A' + (slot - slots.begin()));
    }
    out += line;
    if (end < remarks.size()) out += '\n';
    start = end + 1;
  }
  return out;
}

}  // namespace

TQuestionSet VersionSet(const TQuestionSet& set, const TPaperVersion& version) {
  TQuestionSet out = set;
  const int count = std::min(static_cast<int>(version.Questions.size()), MaxQuestions);
  for (int i = 0; i < count; ++i) {
    const TPaperQuestion& printed = version.Questions[i];
    const TQuestion& source = set.Questions[printed.SetQuestion];
    TQuestion& q = out.Questions[i + 1];
    q = source;
    q.Answers = {};
    for (size_t k = 0; k < printed.Answers.size(); ++k) q.Answers[k] = source.Answers[printed.Answers[k]];
    q.CorrectMask = printed.Key;
    q.Remarks = RelabelFeedback(source.Remarks, printed.Answers);
    // The order is fixed on paper: a later shuffle would part it from the key.
    q.RandomizeAnswers = 0;
  }
  for (int i = count + 1; i <= MaxQuestions; ++i) out.Questions[i] = TQuestion{};
  out.LastIndex = count;
  out.Current = 0;
  return out;
}

}  // namespace proctorium
