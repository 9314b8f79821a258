#include "questions/core/XmlReader.h"

#include <cstring>

#include "questions/core/HtmlText.h"

namespace proctorium {

const TXmlNode* TXmlNode::Child(const std::string& name) const {
  for (const TXmlNode& c : Children)
    if (c.Name == name) return &c;
  return nullptr;
}

std::string TXmlNode::Attribute(const std::string& name) const {
  for (const auto& [k, v] : Attributes)
    if (k == name) return v;
  return {};
}

namespace {

constexpr int MaxDepth = 100;

class TParser {
 public:
  explicit TParser(const std::string& s) : S_(s) {}

  TXmlNode Document() {
    Misc();
    if (Eof() || S_[P_] != '<') Fail("no root element");
    TXmlNode root = Element(0);
    Misc();
    if (!Eof()) Fail("text after the root element");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& reason) const { throw EXmlError(Line_, reason); }
  bool Eof() const { return P_ >= S_.size(); }
  bool At(const char* s) const { return S_.compare(P_, std::strlen(s), s) == 0; }
  void Advance(size_t n) {
    for (size_t i = 0; i < n && P_ < S_.size(); ++i, ++P_)
      if (S_[P_] == '\n') ++Line_;
  }
  void SkipTo(const char* end, const char* what) {
    const size_t at = S_.find(end, P_);
    if (at == std::string::npos) Fail(std::string("unterminated ") + what);
    Advance(at + std::strlen(end) - P_);
  }
  void Space() {
    while (!Eof() && std::strchr(" \t\r\n", S_[P_])) Advance(1);
  }
  // Prolog, comments and processing instructions between elements.
  void Misc() {
    for (;;) {
      Space();
      if (At("<?")) {
        SkipTo("?>", "processing instruction");
      } else if (At("<!--")) {
        SkipTo("-->", "comment");
      } else if (At("<!DOCTYPE")) {
        const size_t gt = S_.find('>', P_);
        const size_t bracket = S_.find('[', P_);
        if (bracket != std::string::npos && (gt == std::string::npos || bracket < gt))
          Fail("document type definitions are not accepted");
        SkipTo(">", "document type");
      } else {
        return;
      }
    }
  }
  std::string Name() {
    const size_t start = P_;
    while (!Eof() && (std::isalnum(static_cast<unsigned char>(S_[P_])) || std::strchr("_:-.", S_[P_]) ||
                      static_cast<unsigned char>(S_[P_]) >= 0x80))
      Advance(1);
    if (P_ == start) Fail("a name was expected");
    return S_.substr(start, P_ - start);
  }
  // Character data with entities resolved, up to the character stop.
  std::string Decode(const std::string& raw) {
    std::string out;
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '&') {
        out.push_back(raw[i]);
        continue;
      }
      const size_t semi = raw.find(';', i);
      if (semi == std::string::npos) Fail("& without ;");
      const std::string entity = raw.substr(i, semi - i + 1);
      static const char* known[] = {"&lt;", "&gt;", "&amp;", "&quot;", "&apos;"};
      bool ok = entity.size() > 3 && entity[1] == '#';
      for (const char* k : known) ok = ok || entity == k;
      if (!ok) Fail("unknown entity " + entity);
      const std::string decoded = DecodeEntities(entity);
      if (decoded == entity) Fail("bad character reference " + entity);
      out += decoded;
      i = semi;
    }
    return out;
  }
  TXmlNode Element(int depth) {
    if (depth > MaxDepth) Fail("elements nested too deeply");
    TXmlNode node;
    node.Line = Line_;
    Advance(1);  // <
    node.Name = Name();
    for (;;) {
      Space();
      if (Eof()) Fail("unterminated start tag <" + node.Name + ">");
      if (At("/>")) {
        Advance(2);
        return node;
      }
      if (S_[P_] == '>') {
        Advance(1);
        break;
      }
      const std::string key = Name();
      Space();
      if (Eof() || S_[P_] != '=') Fail("attribute " + key + " without a value");
      Advance(1);
      Space();
      if (Eof() || (S_[P_] != '"' && S_[P_] != '\'')) Fail("attribute " + key + " without quotes");
      const char q = S_[P_];
      const size_t end = S_.find(q, P_ + 1);
      if (end == std::string::npos) Fail("unterminated attribute " + key);
      const std::string raw = S_.substr(P_ + 1, end - P_ - 1);
      Advance(end + 1 - P_);
      node.Attributes.emplace_back(key, Decode(raw));
    }
    for (;;) {
      if (Eof()) Fail("element <" + node.Name + "> is not closed");
      if (At("</")) {
        Advance(2);
        const std::string name = Name();
        if (name != node.Name) Fail("</" + name + "> closes <" + node.Name + ">");
        Space();
        if (Eof() || S_[P_] != '>') Fail("unterminated end tag");
        Advance(1);
        return node;
      }
      if (At("<![CDATA[")) {
        Advance(9);
        const size_t end = S_.find("]]>", P_);
        if (end == std::string::npos) Fail("unterminated CDATA section");
        node.Text += S_.substr(P_, end - P_);
        Advance(end + 3 - P_);
      } else if (At("<!--")) {
        SkipTo("-->", "comment");
      } else if (At("<?")) {
        SkipTo("?>", "processing instruction");
      } else if (S_[P_] == '<') {
        node.Children.push_back(Element(depth + 1));
      } else {
        const size_t end = S_.find('<', P_);
        const size_t stop = end == std::string::npos ? S_.size() : end;
        node.Text += Decode(S_.substr(P_, stop - P_));
        Advance(stop - P_);
      }
    }
  }

  const std::string& S_;
  size_t P_ = 0;
  int Line_ = 1;
};

}  // namespace

TXmlNode ParseXml(const std::string& text) { return TParser(text).Document(); }

}  // namespace proctorium
