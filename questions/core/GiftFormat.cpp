#include "questions/core/GiftFormat.h"
#include "base/core/Ascii.h"

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "base/core/Cp1252.h"
#include "questions/core/HtmlText.h"

namespace proctorium {

namespace {

// Written before a multiple-answer question; other readers skip comments.
constexpr const char* AllOrNothingComment = "// all or nothing: every correct answer must be ticked";

constexpr const char* Specials = "~=#{}:";

// Position of the first c at or after from that no backslash escapes.
size_t FindUnescaped(const std::string& s, char c, size_t from = 0) {
  for (size_t i = from; i < s.size(); ++i) {
    if (s[i] == '\\') {
      ++i;
      continue;
    }
    if (s[i] == c) return i;
  }
  return std::string::npos;
}

size_t FindUnescaped(const std::string& s, const std::string& what, size_t from = 0) {
  for (size_t i = from; i < s.size(); ++i) {
    if (s[i] == '\\') {
      ++i;
      continue;
    }
    if (s.compare(i, what.size(), what) == 0) return i;
  }
  return std::string::npos;
}

// newline: what a \n escape becomes ("<br>" in HTML text, where a line
// break would fold into a space).
std::string Unescape(const std::string& s, const char* newline = "\n") {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      const char n = s[i + 1];
      if (std::strchr(Specials, n) || n == '\\') {
        out.push_back(n);
        ++i;
        continue;
      }
      if (n == 'n') {
        out += newline;
        ++i;
        continue;
      }
    }
    out.push_back(s[i]);
  }
  return out;
}

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : ToLf(s)) {
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    if (std::strchr(Specials, c) || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

int LineOf(const std::string& block, size_t pos, int firstLine) {
  int line = firstLine;
  for (size_t i = 0; i < pos && i < block.size(); ++i)
    if (block[i] == '\n') ++line;
  return line;
}

enum class TTextFormat { Auto, Html, Plain };

// A text as the question writes it: an optional [format] tag first, else
// the question's own format (answers and feedback follow their question, as
// the learning platform reads them). Untagged text is the platform's
// "moodle" format, where HTML counts: it is converted when it holds markup.
// Removes a leading [format] tag from s and gives its format, or otherwise.
TTextFormat FormatTag(std::string& s, TTextFormat otherwise) {
  const std::pair<const char*, TTextFormat> tags[] = {{"[html]", TTextFormat::Html},
                                                      {"[moodle]", TTextFormat::Auto},
                                                      {"[plain]", TTextFormat::Plain},
                                                      {"[markdown]", TTextFormat::Plain}};
  for (const auto& [tag, f] : tags) {
    if (s.compare(0, std::strlen(tag), tag) == 0) {
      s = Trim(s.substr(std::strlen(tag)));
      return f;
    }
  }
  return otherwise;
}

std::string Content(const std::string& raw, TTextFormat format, std::vector<std::string>* images = nullptr) {
  std::string s = Trim(raw);
  format = FormatTag(s, format);
  const bool html = format == TTextFormat::Html || (format == TTextFormat::Auto && LooksLikeHtml(Unescape(s)));
  if (!html) return Unescape(s);
  return HtmlToText(Unescape(s, "<br>"), images);
}

struct TAnswer {
  bool Equals = false;
  bool Weighted = false;
  double Weight = 0;
  std::string Text;
  std::string Feedback;
  bool PictureOnly = false;
};

void ReadBlock(TImportResult& result, const std::string& block, int first, const std::string& fileName,
               bool allOrNothing) {
  const std::string& s = block;
  size_t at = 0;
  if (Trim(s).compare(0, 2, "::") == 0) {
    const size_t open = s.find("::");
    const size_t close = FindUnescaped(s, "::", open + 2);
    if (close == std::string::npos) throw EImportError(fileName, first, "title without closing ::");
    at = close + 2;
  }
  const size_t open = FindUnescaped(s, '{', at);
  if (open == std::string::npos) {
    Skip(result, first, "a description without answers, not a question");
    return;
  }
  const size_t close = FindUnescaped(s, '}', open + 1);
  if (close == std::string::npos) throw EImportError(fileName, LineOf(s, open, first), "{ without }");
  const std::string before = Trim(s.substr(at, open - at));
  const std::string after = Trim(s.substr(close + 1));
  std::string body = Trim(s.substr(open + 1, close - open - 1));

  TQuestionDraft d;
  d.Line = first;
  std::string tagged = before;
  const TTextFormat format = FormatTag(tagged, TTextFormat::Auto);
  std::vector<std::string> pictures;
  d.Text = Content(tagged, format, &pictures);
  if (!after.empty()) d.Text += " _____ " + Content(after, format);  // the missing-word form

  const size_t general = FindUnescaped(body, "####");
  if (general != std::string::npos) {
    d.Remarks = Content(body.substr(general + 4), format);
    body = Trim(body.substr(0, general));
  }
  // The question type as the platform's own importer decides it: no answer
  // text is an essay, a leading # numerical, any ~ multiple choice, = with
  // -> matching, T or F true/false, anything else short answer.
  if (body.empty()) {
    Skip(result, first, "essay question, not multiple choice");
    return;
  }
  if (body[0] == '#') {
    Skip(result, first, "numerical question, not multiple choice");
    return;
  }
  const bool anyTilde = FindUnescaped(body, '~') != std::string::npos;
  if (!anyTilde) {
    std::string upper;
    AppendUpperAscii(upper, body.substr(0, body.find('#')));
    upper = Trim(upper);
    if (upper == "T" || upper == "F" || upper == "TRUE" || upper == "FALSE") {
      const bool isTrue = upper[0] == 'T';
      d.Answers = {"True", "False"};
      d.Correct = {isTrue, !isTrue};
      d.Randomize = false;
      AddDraft(result, d);
      return;
    }
    const bool matching = FindUnescaped(body, '=') != std::string::npos && body.find("->") != std::string::npos;
    Skip(result, first,
         matching ? "matching question, not multiple choice" : "short-answer question, not multiple choice");
    return;
  }
  if (body[0] != '=' && body[0] != '~')
    throw EImportError(fileName, LineOf(s, open, first), "answers must start with = or ~");

  std::vector<TAnswer> answers;
  size_t i = 0;
  while (i < body.size()) {
    TAnswer a;
    a.Equals = body[i] == '=';
    size_t next = i + 1;
    for (; next < body.size(); ++next) {
      if (body[next] == '\\') {
        ++next;
        continue;
      }
      if (body[next] == '=' || body[next] == '~') break;
    }
    std::string piece = Trim(body.substr(i + 1, next - i - 1));
    if (!piece.empty() && piece[0] == '%') {
      const size_t end = piece.find('%', 1);
      char* stop = nullptr;
      const std::string number = end == std::string::npos ? "" : piece.substr(1, end - 1);
      a.Weight = std::strtod(number.c_str(), &stop);
      if (number.empty() || *stop != 0 || a.Weight < -100 || a.Weight > 100)
        throw EImportError(fileName, LineOf(s, open + 1 + i, first),
                           "weight \"" + piece.substr(0, end + 1) + "\" is not a percentage");
      a.Weighted = true;
      piece = Trim(piece.substr(end + 1));
    }
    const size_t hash = FindUnescaped(piece, '#');
    if (hash != std::string::npos) {
      a.Feedback = Content(piece.substr(hash + 1), format);
      piece = piece.substr(0, hash);
    }
    std::vector<std::string> images;
    a.Text = Content(piece, format, &images);
    a.PictureOnly = Trim(a.Text).empty() && !images.empty();
    answers.push_back(a);
    i = next;
  }
  std::vector<double> weights;
  for (const TAnswer& a : answers) {
    d.Answers.push_back(a.Text);
    weights.push_back(a.Weighted ? a.Weight : (a.Equals ? 100.0 : 0.0));
  }
  std::string feedback;
  for (size_t k = 0; k < answers.size(); ++k)
    if (!answers[k].Feedback.empty()) feedback += "\n" + Letter(static_cast<int>(k)) + ": " + answers[k].Feedback;
  if (!feedback.empty()) d.Remarks = d.Remarks.empty() ? feedback.substr(1) : d.Remarks + feedback;
  if (answers.size() > static_cast<size_t>(AnswerCount)) {
    AddDraft(result, d);  // reports the count
    return;
  }
  for (size_t k = 0; k < answers.size(); ++k)
    if (answers[k].PictureOnly) {
      Skip(result, first, PictureOnlyReason(static_cast<int>(k)));
      return;
    }
  // "=" anywhere makes it single-answer, as the platform reads it; weights
  // alone make a multiple-answer question.
  bool anyEquals = false;
  for (const TAnswer& a : answers) anyEquals = anyEquals || a.Equals;
  const TWeightOutcome w = ResolveWeights(weights, anyEquals);
  if (!w.Skip.empty()) {
    Skip(result, first, w.Skip);
    return;
  }
  d.Correct = w.Correct;
  d.Multiple = w.Multiple;
  if (!AddDraft(result, d)) return;
  // This program's own export says when its weights stand for a question
  // scored all or nothing: nothing changes on the way back.
  if (!w.Change.empty() && !(allOrNothing && w.Multiple)) Change(result, first, w.Change);
  // A GIFT file names pictures but cannot carry them.
  for (std::string p : pictures) {
    if (p.compare(0, 15, "@@PLUGINFILE@@/") == 0) p = p.substr(15);
    Change(result, first, "picture " + p + " is not in the file");
  }
}

std::string Weight(double w) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.5f", w);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

}  // namespace

TImportResult ReadGift(const std::string& bytes, const std::string& fileName, int room) {
  TImportResult result;
  result.Room = room;
  std::istringstream in(ToLf(DecodeText(bytes)));
  std::string raw, block;
  int lineNo = 0, first = 0;
  bool inBraces = false;
  bool allOrNothing = false;  // the comment the export writes came before this question
  auto flush = [&] {
    if (!Trim(block).empty()) {
      ReadBlock(result, block, first, fileName, allOrNothing);
      allOrNothing = false;
    }
    block.clear();
  };
  while (std::getline(in, raw)) {
    ++lineNo;
    const std::string line = Trim(raw);
    if (line.compare(0, 2, "//") == 0) {
      if (block.empty() && line == AllOrNothingComment) allOrNothing = true;
      continue;
    }
    if (line.compare(0, 10, "$CATEGORY:") == 0) {
      if (result.Title.empty()) result.Title = CategoryTitle(line.substr(10));
      continue;
    }
    // A blank line ends a question, except inside its answer list.
    if (line.empty() && !inBraces) {
      flush();
      continue;
    }
    if (block.empty()) {
      if (StopAtRoom(result, lineNo)) return result;
      first = lineNo;
    }
    block += (block.empty() ? "" : "\n") + raw;
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '\\') {
        ++i;
      } else if (raw[i] == '{') {
        inBraces = true;
      } else if (raw[i] == '}') {
        inBraces = false;
      }
    }
  }
  if (inBraces) {
    const size_t open = FindUnescaped(block, '{');
    throw EImportError(fileName, LineOf(block, open, first), "{ without }");
  }
  flush();
  return result;
}

TExportResult WriteGift(const TQuestionSet& set) {
  TExportResult out;
  for (int i = 1; i <= set.LastIndex; ++i) {
    const TQuestion& q = set.Questions[static_cast<size_t>(i)];
    const std::optional<TExportAnswers> answers = ExportAnswers(q, i, out);
    if (!answers) continue;
    const auto [used, m, correct, multiple] = *answers;
    // Text that would read as HTML is marked plain; its answers follow it.
    bool markup = LooksLikeHtml(set.ToUtf8(q.Text)) || LooksLikeHtml(set.ToUtf8(q.Remarks));
    for (int a = 0; a < used; ++a) markup = markup || LooksLikeHtml(set.ToUtf8(q.Answers[static_cast<size_t>(a)]));
    // Answers all marked "=" read back as a short-answer question: weights
    // keep them multiple choice.
    const bool weighted = multiple || correct == used;
    // Other systems read the weights as partial credit; the comment tells
    // this program's own import that the question is all or nothing.
    std::string s = std::string(multiple && correct > 1 ? AllOrNothingComment + std::string("\r\n") : "") +
                    "::Question " + std::to_string(i) + ":: " + (markup ? "[plain]" : "") + Escape(set.ToUtf8(q.Text)) +
                    " {\r\n";
    for (int a = 0; a < used; ++a) {
      const bool right = (m >> a) & 1;
      const std::string text = Escape(set.ToUtf8(q.Answers[static_cast<size_t>(a)]));
      if (!weighted)
        s += std::string("\t") + (right ? "=" : "~") + text + "\r\n";
      else
        s += "\t~%" + (right ? Weight(100.0 / correct) : std::string("-100")) + "%" + text + "\r\n";
    }
    if (!q.Remarks.empty()) s += "\t####" + Escape(set.ToUtf8(q.Remarks)) + "\r\n";
    s += "}\r\n\r\n";
    out.Bytes += s;
    ++out.Written;
    if (!multiple && correct > 1) out.Notes.push_back({i, "a single-answer question with several marks"});
    if (!multiple && correct == used && correct == 1)
      out.Notes.push_back({i, "its only answer is written weighted, so it reads back as a multiple-answer question"});
    if (!q.ExhibitFile.empty()) out.Notes.push_back({i, "exhibit not carried"});
  }
  return out;
}

}  // namespace proctorium
