#include "questions/core/MoodleXmlFormat.h"

#include <cstdlib>
#include <cstring>

#include "base/core/Cp1252.h"
#include "questions/core/Base64.h"
#include "questions/core/HtmlText.h"
#include "questions/core/XmlReader.h"

namespace proctorium {

namespace {

constexpr const char* AllOrNothingTag = "all-or-nothing";

// The plain text of a <questiontext>, <answer>, <feedback> ... element.
std::string TextOf(const TXmlNode* n, std::vector<std::string>* images = nullptr) {
  if (!n) return {};
  const TXmlNode* t = n->Child("text");
  const std::string raw = t ? t->Text : std::string();
  const std::string format = n->Attribute("format");
  if (format == "plain_text" || format == "markdown") return Trim(raw);
  return HtmlToText(raw, images);
}

bool Flag(const TXmlNode* n, bool otherwise) {
  if (!n) return otherwise;
  const std::string v = Trim(n->Text);
  if (v == "true" || v == "1") return true;
  if (v == "false" || v == "0") return false;
  return otherwise;
}

// "@@PLUGINFILE@@/my%20picture.png" -> "my picture.png".
std::string PluginFile(const std::string& src) {
  const std::string prefix = "@@PLUGINFILE@@/";
  if (src.compare(0, prefix.size(), prefix) != 0) return {};
  std::string out;
  for (size_t i = prefix.size(); i < src.size(); ++i) {
    if (src[i] == '%' && i + 2 < src.size()) {
      out.push_back(static_cast<char>(std::strtol(src.substr(i + 1, 2).c_str(), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(src[i]);
    }
  }
  return out;
}

void ReadQuestion(TImportResult& result, const TXmlNode& q, const std::string& fileName) {
  const std::string type = q.Attribute("type");
  if (type == "category") {
    if (result.Title.empty()) result.Title = CategoryTitle(TextOf(q.Child("category")));
    return;
  }
  if (type != "multichoice" && type != "truefalse") {
    Skip(result, q.Line, (type.empty() ? std::string("untyped") : type) + " question, not multiple choice");
    return;
  }
  TQuestionDraft d;
  d.Line = q.Line;
  std::vector<std::string> images;
  const TXmlNode* text = q.Child("questiontext");
  d.Text = TextOf(text, &images);
  d.Remarks = TextOf(q.Child("generalfeedback"));
  std::vector<double> weights;
  std::string feedback;
  int pictureOnly = -1;
  std::string answerPictures;  // answers with a picture beside their text
  for (const TXmlNode& a : q.Children) {
    if (a.Name != "answer") continue;
    const std::string f = a.Attribute("fraction");
    char* end = nullptr;
    const double w = std::strtod(f.c_str(), &end);
    if (f.empty() || *end != 0 || w < -100.0001 || w > 100.0001)
      throw EImportError(fileName, a.Line, "fraction \"" + f + "\" is not a percentage");
    std::vector<std::string> answerImages;
    std::string answer = TextOf(&a, &answerImages);
    if (pictureOnly < 0 && Trim(answer).empty() && !answerImages.empty())
      pictureOnly = static_cast<int>(d.Answers.size());
    else if (!answerImages.empty())
      answerPictures += (answerPictures.empty() ? "" : ", ") + Letter(static_cast<int>(d.Answers.size()));
    if (type == "truefalse") {
      if (answer == "true") answer = "True";
      if (answer == "false") answer = "False";
    }
    const std::string fb = TextOf(a.Child("feedback"));
    if (!fb.empty()) feedback += "\n" + Letter(static_cast<int>(d.Answers.size())) + ": " + fb;
    d.Answers.push_back(answer);
    weights.push_back(w);
  }
  if (!feedback.empty()) d.Remarks = d.Remarks.empty() ? feedback.substr(1) : d.Remarks + feedback;
  if (d.Answers.size() > static_cast<size_t>(AnswerCount)) {
    AddDraft(result, d);  // reports the count
    return;
  }
  if (pictureOnly >= 0) {
    Skip(result, q.Line, PictureOnlyReason(pictureOnly));
    return;
  }
  std::optional<bool> single = true;
  if (type == "multichoice") single = Flag(q.Child("single"), true);
  d.Randomize = type == "multichoice" && Flag(q.Child("shuffleanswers"), true);
  const TWeightOutcome w = ResolveWeights(weights, single);
  if (!w.Skip.empty()) {
    Skip(result, q.Line, w.Skip);
    return;
  }
  d.Correct = w.Correct;
  d.Multiple = w.Multiple;
  if (!AddDraft(result, d)) return;
  const int index = static_cast<int>(result.Questions.size()) - 1;
  // This program's own export tags a question it scores all or nothing:
  // its weights give nothing away on the way back.
  bool allOrNothing = false;
  if (const TXmlNode* tags = q.Child("tags"))
    for (const TXmlNode& tag : tags->Children)
      allOrNothing = allOrNothing || (tag.Name == "tag" && Trim(TextOf(&tag)) == AllOrNothingTag);
  if (!w.Change.empty() && !(allOrNothing && w.Multiple)) Change(result, q.Line, w.Change);
  if (!answerPictures.empty()) Change(result, q.Line, "pictures in answers " + answerPictures + " left out");

  // Older exports carry the picture beside the text, not inside it.
  const TXmlNode* old = q.Child("image_base64");
  if (old && !Trim(old->Text).empty()) {
    const TXmlNode* named = q.Child("image");
    std::string name = named ? Trim(named->Text) : std::string();
    if (name.empty()) name = "picture";
    if (!images.empty()) {
      Change(result, q.Line, "only the first picture is kept; " + name + " left out");
    } else {
      TEmbeddedImage im;
      im.Question = index;
      im.Name = name;
      if (DecodeBase64(old->Text, im.Bytes) && !im.Bytes.empty())
        result.Images.push_back(std::move(im));
      else
        Change(result, q.Line, "picture " + name + " cannot be decoded");
    }
  }
  // The first picture is the exhibit; others have no place in a set.
  for (size_t k = 0; k < images.size(); ++k) {
    const std::string name = PluginFile(images[k]);
    if (k > 0) {
      Change(result, q.Line, "only the first picture is kept; " + (name.empty() ? images[k] : name) + " left out");
      continue;
    }
    const TXmlNode* file = nullptr;
    if (text && !name.empty())
      for (const TXmlNode& c : text->Children)
        if (c.Name == "file" && c.Attribute("name") == name) file = &c;
    if (!file) {
      Change(result, q.Line, "picture " + (name.empty() ? images[k] : name) + " is not in the file");
      continue;
    }
    TEmbeddedImage im;
    im.Question = index;
    im.Name = name;
    if (file->Attribute("encoding") != "base64" || !DecodeBase64(file->Text, im.Bytes) || im.Bytes.empty()) {
      Change(result, q.Line, "picture " + name + " cannot be decoded");
      continue;
    }
    result.Images.push_back(std::move(im));
  }
}

std::string Cdata(const std::string& s) {
  std::string out = "<![CDATA[";
  size_t from = 0, at;
  while ((at = s.find("]]>", from)) != std::string::npos) {
    out += s.substr(from, at - from) + "]]]]><![CDATA[>";
    from = at + 3;
  }
  return out + s.substr(from) + "]]>";
}

std::string XmlEscape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else if (c == '"')
      out += "&quot;";
    else
      out.push_back(c);
  }
  return out;
}

std::string Fraction(double f) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.7g", f);
  return buf;
}

}  // namespace

TImportResult ReadMoodleXml(const std::string& bytes, const std::string& fileName, int room) {
  TImportResult result;
  result.Room = room;
  TXmlNode root;
  try {
    root = ParseXml(DecodeText(bytes));
  } catch (const EXmlError& e) {
    throw EImportError(fileName, e.Line, e.what());
  }
  if (root.Name != "quiz") throw EImportError(fileName, root.Line, "<quiz> expected, not <" + root.Name + ">");
  for (const TXmlNode& q : root.Children) {
    if (q.Name != "question") continue;
    if (StopAtRoom(result, q.Line)) break;
    ReadQuestion(result, q, fileName);
  }
  return result;
}

TExportResult WriteMoodleXml(const TQuestionSet& set, const TExhibitReader& readExhibit) {
  TExportResult out;
  std::string& s = out.Bytes;
  s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n";
  for (int i = 1; i <= set.LastIndex; ++i) {
    const TQuestion& q = set.Questions[static_cast<size_t>(i)];
    const std::optional<TExportAnswers> answers = ExportAnswers(q, i, out);
    if (!answers) continue;
    const auto [used, m, correct, multiple] = *answers;
    std::string html = TextToHtml(set.ToUtf8(q.Text));
    std::string file;
    if (!q.ExhibitFile.empty()) {
      const std::string name = Cp1252ToUtf8(q.ExhibitFile);
      std::string bytes;
      if (readExhibit && readExhibit(q.ExhibitFile, bytes)) {
        std::string url;
        for (unsigned char c : name) {
          if (std::isalnum(c) || std::strchr("-_.~", c)) {
            url.push_back(static_cast<char>(c));
          } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            url += hex;
          }
        }
        html += "<p><img src=\"@@PLUGINFILE@@/" + url + "\" alt=\"" + XmlEscape(name) + "\"></p>";
        file = "      <file name=\"" + XmlEscape(name) + "\" path=\"/\" encoding=\"base64\">" + EncodeBase64(bytes) +
               "</file>\n";
      } else {
        out.Notes.push_back({i, "exhibit " + name + " not found; left out"});
      }
    }
    s += "  <question type=\"multichoice\">\n";
    s += "    <name><text>Question " + std::to_string(i) + "</text></name>\n";
    s +=
        "    <questiontext format=\"html\">\n      <text>" + Cdata(html) + "</text>\n" + file + "    </questiontext>\n";
    s += "    <generalfeedback format=\"html\">\n      <text>" + Cdata(TextToHtml(set.ToUtf8(q.Remarks))) +
         "</text>\n    </generalfeedback>\n";
    s += "    <defaultgrade>1</defaultgrade>\n    <penalty>0</penalty>\n    <hidden>0</hidden>\n";
    s += std::string("    <single>") + (multiple ? "false" : "true") + "</single>\n";
    s += std::string("    <shuffleanswers>") + (q.RandomizeAnswers ? "true" : "false") + "</shuffleanswers>\n";
    s += "    <answernumbering>ABCD</answernumbering>\n";
    for (int a = 0; a < used; ++a) {
      const bool right = (m >> a) & 1;
      // Ticking a wrong answer of a multiple-answer question loses it all.
      const double f = right ? (multiple ? 100.0 / correct : 100.0) : (multiple ? -100.0 : 0.0);
      s += "    <answer fraction=\"" + Fraction(f) + "\" format=\"html\">\n      <text>" +
           Cdata(TextToHtml(set.ToUtf8(q.Answers[static_cast<size_t>(a)]))) +
           "</text>\n      <feedback format=\"html\"><text></text></feedback>\n    </answer>\n";
    }
    // The platform scores these weights with partial credit; the tag says
    // how this program scores the question, to a teacher there and to this
    // program's own import.
    if (multiple && correct > 1) s += std::string("    <tags><tag><text>") + AllOrNothingTag + "</text></tag></tags>\n";
    s += "  </question>\n";
    ++out.Written;
    if (!multiple && correct > 1) out.Notes.push_back({i, "a single-answer question with several marks"});
  }
  s += "</quiz>\n";
  return out;
}

}  // namespace proctorium
