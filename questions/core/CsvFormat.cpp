#include "questions/core/CsvFormat.h"
#include "base/core/Ascii.h"

#include <algorithm>
#include <map>

#include "base/core/Cp1252.h"

namespace proctorium {

namespace {

struct TRow {
  int Line = 0;
  std::vector<std::string> Fields;
};

std::vector<TRow> Rows(const std::string& s, char sep, const std::string& fileName) {
  std::vector<TRow> rows;
  TRow row;
  std::string field;
  int line = 1;
  row.Line = 1;
  bool quoted = false, wasQuoted = false;
  int quoteLine = 0;
  auto endField = [&] {
    row.Fields.push_back(field);
    field.clear();
    wasQuoted = false;
  };
  auto endRow = [&] {
    endField();
    const bool blank = row.Fields.size() == 1 && row.Fields[0].empty();
    if (!blank) rows.push_back(row);
    row = TRow();
    row.Line = line;
  };
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < s.size() && s[i + 1] == '"') {
          field.push_back('"');
          ++i;
        } else {
          quoted = false;
        }
      } else {
        if (c == '\n') ++line;
        field.push_back(c);
      }
      continue;
    }
    if (c == '"') {
      if (!field.empty() || wasQuoted)
        throw EImportError(fileName, line, "a quote inside an unquoted field (quote the whole field and double it)");
      quoted = wasQuoted = true;
      quoteLine = line;
    } else if (c == sep) {
      endField();
    } else if (c == '\n') {
      ++line;
      endRow();
    } else if (c == '\r') {
      // CR LF ends a row like LF.
    } else {
      if (wasQuoted) throw EImportError(fileName, line, "text after a closing quote");
      field.push_back(c);
    }
  }
  if (quoted) throw EImportError(fileName, quoteLine, "quoted field without its closing quote");
  if (!field.empty() || !row.Fields.empty()) endRow();
  return rows;
}

// A spreadsheet runs a cell starting with one of these as a formula; an
// apostrophe in front makes it text, and so does one before an apostrophe,
// so that reading can take exactly one away.
bool FormulaStart(char c) {
  return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r' || c == '\'';
}

std::string Unguarded(const std::string& field) {
  return field.size() >= 2 && field[0] == '\'' && FormulaStart(field[1]) ? field.substr(1) : field;
}

std::string Quote(const std::string& text) {
  std::string s = !text.empty() && FormulaStart(text[0]) ? "'" + text : text;
  if (s.find_first_of(",;\"\r\n") == std::string::npos && Trim(s) == s) return s;
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  return out + "\"";
}

}  // namespace

namespace {

// The header's columns by lower-case name; throws for a header that is not
// this program's.
struct THeader {
  std::map<std::string, size_t> Column;
  std::vector<std::pair<int, size_t>> AnswerColumns;  // answer index, column
};

THeader ReadHeader(const TRow& header, const std::string& fileName) {
  THeader h;
  for (size_t c = 0; c < header.Fields.size(); ++c) {
    const std::string name = LowerAscii(Trim(header.Fields[c]));
    if (name.empty()) continue;
    if (h.Column.count(name)) throw EImportError(fileName, header.Line, "column " + name + " appears twice");
    h.Column[name] = c;
    if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') {
      h.AnswerColumns.emplace_back(name[0] - 'a', c);
    } else if (name != "question" && name != "correct" && name != "type" && name != "shuffle" && name != "reference" &&
               name != "exhibit") {
      throw EImportError(fileName, header.Line, "unknown column \"" + Trim(header.Fields[c]) + "\"");
    }
  }
  for (const char* needed : {"question", "a", "correct"})
    if (!h.Column.count(needed))
      throw EImportError(fileName, header.Line, std::string("the header has no column ") + needed);
  std::sort(h.AnswerColumns.begin(), h.AnswerColumns.end());
  return h;
}

std::vector<TRow> Table(const std::string& bytes, const std::string& fileName) {
  const std::string text = DecodeText(bytes);
  const std::string header = text.substr(0, text.find('\n'));
  const char sep = header.find(',') == std::string::npos && header.find(';') != std::string::npos ? ';' : ',';
  std::vector<TRow> rows = Rows(text, sep, fileName);
  if (rows.empty()) throw EImportError(fileName, 1, "no header line");
  return rows;
}

}  // namespace

std::vector<std::string> ForeignCsvHeader(const std::string& bytes, const std::string& fileName) {
  const std::vector<TRow> rows = Table(bytes, fileName);
  try {
    ReadHeader(rows[0], fileName);
    return {};
  } catch (const EImportError&) {
    std::vector<std::string> cells;
    for (const std::string& f : rows[0].Fields) cells.push_back(Trim(f));
    return cells;
  }
}

TCsvColumns GuessCsvColumns(const std::vector<std::string>& header) {
  TCsvColumns c;
  auto named = [&](std::initializer_list<const char*> words, int skip) {
    for (size_t i = 0; i < header.size(); ++i) {
      if (static_cast<int>(i) == skip) continue;
      const std::string name = LowerAscii(Trim(header[i]));
      for (const char* w : words)
        if (name.find(w) != std::string::npos) return static_cast<int>(i);
    }
    return -1;
  };
  c.Question = named({"question", "frage", "pregunta", "domanda", "vraag", "prompt", "stem"}, -1);
  if (c.Question < 0 && !header.empty()) c.Question = 0;
  c.Key = named({"correct", "key", "richtig", "correcta", "corrett", "solution", "l\xC3\xB6sung", "right"}, c.Question);
  if (c.Key < 0) c.Key = named({"answer", "antwort", "respuesta", "r\xC3\xA9ponse"}, c.Question);
  for (int i = 0; i < static_cast<int>(header.size()); ++i)
    if (i != c.Question && i != c.Key && c.Answers.size() < static_cast<size_t>(AnswerCount) &&
        !Trim(header[static_cast<size_t>(i)]).empty())
      c.Answers.push_back(i);
  return c;
}

TImportResult ReadCsv(const std::string& bytes, const std::string& fileName, const TCsvColumns& columns, int room) {
  TImportResult result;
  result.Room = room;
  const std::vector<TRow> rows = Table(bytes, fileName);
  const int width = static_cast<int>(rows[0].Fields.size());
  auto valid = [&](int c) { return c >= 0 && c < width; };
  if (!valid(columns.Question) || !valid(columns.Key) || columns.Answers.empty())
    throw EImportError(fileName, rows[0].Line, "choose the question, answer and key columns");
  for (int c : columns.Answers)
    if (!valid(c)) throw EImportError(fileName, rows[0].Line, "the header has no column " + std::to_string(c + 1));
  for (size_t r = 1; r < rows.size(); ++r) {
    const TRow& row = rows[r];
    if (StopAtRoom(result, row.Line)) break;
    auto cell = [&](int c) {
      return static_cast<size_t>(c) < row.Fields.size() ? Trim(row.Fields[static_cast<size_t>(c)]) : std::string();
    };
    TQuestionDraft d;
    d.Line = row.Line;
    d.Text = cell(columns.Question);
    for (int c : columns.Answers) d.Answers.push_back(cell(c));
    if (d.Text.empty() &&
        std::all_of(d.Answers.begin(), d.Answers.end(), [](const std::string& a) { return a.empty(); }))
      continue;  // an empty row of the spreadsheet
    // The key: letters or numbers, else the text of the one correct answer.
    const std::string key = cell(columns.Key);
    d.Correct.assign(d.Answers.size(), false);
    int marks = 0;
    bool understood = !key.empty();
    for (char ch : key) {
      if (ch == ' ' || ch == ',' || ch == ';' || ch == '/') continue;
      const char u = AsciiUpper(ch);
      const int i = u >= 'A' && u <= 'Z' ? u - 'A' : ch >= '1' && ch <= '9' ? ch - '1' : -1;
      if (i < 0 || i >= static_cast<int>(d.Answers.size()) || d.Answers[static_cast<size_t>(i)].empty()) {
        understood = false;
        break;
      }
      if (!d.Correct[static_cast<size_t>(i)]) ++marks;
      d.Correct[static_cast<size_t>(i)] = true;
    }
    if (!understood) {
      d.Correct.assign(d.Answers.size(), false);
      marks = 0;
      for (size_t i = 0; i < d.Answers.size() && marks == 0; ++i)
        if (!d.Answers[i].empty() && LowerAscii(d.Answers[i]) == LowerAscii(key)) d.Correct[i] = true, marks = 1;
      understood = marks > 0;
    }
    if (marks == 0 || !understood) {
      Skip(result, row.Line,
           key.empty() ? std::string("no correct answer given") : "key \"" + key + "\" names no answer");
      continue;
    }
    d.Multiple = marks > 1;
    AddDraft(result, d);
  }
  return result;
}

TImportResult ReadCsv(const std::string& bytes, const std::string& fileName, int room) {
  TImportResult result;
  result.Room = room;
  const std::vector<TRow> rows = Table(bytes, fileName);
  const THeader h = ReadHeader(rows[0], fileName);
  const std::map<std::string, size_t>& column = h.Column;
  const std::vector<std::pair<int, size_t>>& answerColumns = h.AnswerColumns;

  for (size_t r = 1; r < rows.size(); ++r) {
    const TRow& row = rows[r];
    if (StopAtRoom(result, row.Line)) break;
    auto field = [&](const std::string& name) {
      const auto it = column.find(name);
      return it == column.end() || it->second >= row.Fields.size() ? std::string() : Unguarded(row.Fields[it->second]);
    };
    TQuestionDraft d;
    d.Line = row.Line;
    d.Text = Trim(field("question"));
    for (const auto& [index, c] : answerColumns) {
      if (d.Answers.size() <= static_cast<size_t>(index)) d.Answers.resize(static_cast<size_t>(index) + 1);
      if (c < row.Fields.size()) d.Answers[static_cast<size_t>(index)] = Trim(Unguarded(row.Fields[c]));
    }
    const std::string correct = Trim(field("correct"));
    d.Correct.assign(std::max<size_t>(d.Answers.size(), AnswerCount), false);
    int marks = 0;
    std::string bad;
    for (char c : correct) {
      const char u = AsciiUpper(c);
      if (c == ' ' || c == ',' || c == ';') continue;
      if (u < 'A' || u > 'H') {
        bad.push_back(c);
        continue;
      }
      if (!d.Correct[static_cast<size_t>(u - 'A')]) ++marks;
      d.Correct[static_cast<size_t>(u - 'A')] = true;
    }
    if (!bad.empty()) {
      Skip(result, row.Line, "correct letters \"" + correct + "\" are not A to H");
      continue;
    }
    const std::string type = LowerAscii(Trim(field("type")));
    if (type == "single" || type == "s") {
      d.Multiple = false;
    } else if (type == "multiple" || type == "m") {
      d.Multiple = true;
    } else if (type.empty()) {
      d.Multiple = marks > 1;
    } else {
      Skip(result, row.Line, "type \"" + type + "\" is neither single nor multiple");
      continue;
    }
    if (!d.Multiple && marks > 1) {
      Skip(result, row.Line, "a single-answer question with " + std::to_string(marks) + " correct letters");
      continue;
    }
    const std::string shuffle = LowerAscii(Trim(field("shuffle")));
    if (shuffle.empty() || shuffle == "yes" || shuffle == "y" || shuffle == "1" || shuffle == "true") {
      d.Randomize = true;
    } else if (shuffle == "no" || shuffle == "n" || shuffle == "0" || shuffle == "false") {
      d.Randomize = false;
    } else {
      Skip(result, row.Line, "shuffle \"" + shuffle + "\" is neither yes nor no");
      continue;
    }
    d.Remarks = field("reference");
    d.Exhibit = Trim(field("exhibit"));
    if (d.Text.empty() &&
        std::all_of(d.Answers.begin(), d.Answers.end(), [](const std::string& a) { return a.empty(); }))
      continue;  // an empty row of the spreadsheet
    if (AddDraft(result, d) && marks == 0) Change(result, row.Line, "no correct answer marked");
  }
  return result;
}

TExportResult WriteCsv(const TQuestionSet& set) {
  TExportResult out;
  out.Bytes = "\xEF\xBB\xBFquestion,A,B,C,D,E,F,G,H,correct,type,shuffle,reference,exhibit\r\n";
  for (int i = 1; i <= set.LastIndex; ++i) {
    const TQuestion& q = set.Questions[static_cast<size_t>(i)];
    std::string line = Quote(ToCrLf(set.ToUtf8(q.Text)));
    std::string letters;
    for (int a = 0; a < AnswerCount; ++a) {
      line += "," + Quote(ToCrLf(set.ToUtf8(q.Answers[static_cast<size_t>(a)])));
      if (q.CorrectMask & (1u << a)) letters += Letter(a);
    }
    line += "," + letters + "," + (q.AnswerType != TAnswerType::Single ? "multiple" : "single") + "," +
            (q.RandomizeAnswers ? "yes" : "no");
    line += "," + Quote(ToCrLf(set.ToUtf8(q.Remarks))) + "," + Quote(Cp1252ToUtf8(q.ExhibitFile)) + "\r\n";
    out.Bytes += line;
    ++out.Written;
  }
  return out;
}

}  // namespace proctorium
