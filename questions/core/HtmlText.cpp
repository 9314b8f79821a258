#include "questions/core/HtmlText.h"
#include "base/core/Ascii.h"
#include "base/core/Cp1252.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "questions/core/ImportResult.h"

namespace proctorium {

namespace {

struct TEntity {
  const char* Name;
  char32_t Code;
};
constexpr TEntity Entities[] = {
    {"amp", '&'},       {"lt", '<'},        {"gt", '>'},        {"quot", '"'},      {"apos", '\''},
    {"nbsp", ' '},      {"ndash", 0x2013},  {"mdash", 0x2014},  {"hellip", 0x2026}, {"lsquo", 0x2018},
    {"rsquo", 0x2019},  {"ldquo", 0x201C},  {"rdquo", 0x201D},  {"laquo", 0xAB},    {"raquo", 0xBB},
    {"euro", 0x20AC},   {"copy", 0xA9},     {"reg", 0xAE},      {"deg", 0xB0},      {"plusmn", 0xB1},
    {"times", 0xD7},    {"divide", 0xF7},   {"middot", 0xB7},   {"bull", 0x2022},   {"shy", 0xAD},
    {"sup2", 0xB2},     {"sup3", 0xB3},     {"frac12", 0xBD},   {"micro", 0xB5},    {"para", 0xB6},
    {"sect", 0xA7},     {"pound", 0xA3},    {"yen", 0xA5},      {"cent", 0xA2},     {"auml", 0xE4},
    {"ouml", 0xF6},     {"uuml", 0xFC},     {"Auml", 0xC4},     {"Ouml", 0xD6},     {"Uuml", 0xDC},
    {"szlig", 0xDF},    {"eacute", 0xE9},   {"egrave", 0xE8},   {"agrave", 0xE0},   {"aacute", 0xE1},
    {"ccedil", 0xE7},   {"ntilde", 0xF1},   {"oacute", 0xF3},   {"iacute", 0xED},   {"uacute", 0xFA},
    {"Eacute", 0xC9},   {"ecirc", 0xEA},    {"acirc", 0xE2},    {"ocirc", 0xF4},    {"icirc", 0xEE},
    {"Agrave", 0xC0},   {"Aacute", 0xC1},   {"Acirc", 0xC2},    {"Atilde", 0xC3},   {"Aring", 0xC5},
    {"AElig", 0xC6},    {"Ccedil", 0xC7},   {"Egrave", 0xC8},   {"Ecirc", 0xCA},    {"Euml", 0xCB},
    {"Igrave", 0xCC},   {"Iacute", 0xCD},   {"Icirc", 0xCE},    {"Iuml", 0xCF},     {"Ntilde", 0xD1},
    {"Ograve", 0xD2},   {"Oacute", 0xD3},   {"Ocirc", 0xD4},    {"Otilde", 0xD5},   {"Oslash", 0xD8},
    {"Ugrave", 0xD9},   {"Uacute", 0xDA},   {"Ucirc", 0xDB},    {"Yacute", 0xDD},   {"atilde", 0xE3},
    {"aring", 0xE5},    {"aelig", 0xE6},    {"euml", 0xEB},     {"igrave", 0xEC},   {"iuml", 0xEF},
    {"ograve", 0xF2},   {"otilde", 0xF5},   {"oslash", 0xF8},   {"ugrave", 0xF9},   {"ucirc", 0xFB},
    {"yacute", 0xFD},   {"yuml", 0xFF},     {"iexcl", 0xA1},    {"iquest", 0xBF},   {"ordf", 0xAA},
    {"ordm", 0xBA},     {"frac14", 0xBC},   {"frac34", 0xBE},   {"sup1", 0xB9},     {"not", 0xAC},
    {"macr", 0xAF},     {"acute", 0xB4},    {"cedil", 0xB8},    {"uml", 0xA8},      {"curren", 0xA4},
    {"brvbar", 0xA6},   {"OElig", 0x152},   {"oelig", 0x153},   {"Scaron", 0x160},  {"scaron", 0x161},
    {"Yuml", 0x178},    {"fnof", 0x192},    {"circ", 0x2C6},    {"tilde", 0x2DC},   {"sbquo", 0x201A},
    {"bdquo", 0x201E},  {"dagger", 0x2020}, {"Dagger", 0x2021}, {"permil", 0x2030}, {"lsaquo", 0x2039},
    {"rsaquo", 0x203A}, {"trade", 0x2122},  {"thinsp", 0x2009}, {"ensp", 0x2002},   {"emsp", 0x2003},
    {"zwnj", 0x200C},   {"zwj", 0x200D},    {"lrm", 0x200E},    {"rlm", 0x200F},    {"prime", 0x2032},
    {"Prime", 0x2033},  {"larr", 0x2190},   {"uarr", 0x2191},   {"rarr", 0x2192},   {"darr", 0x2193},
    {"harr", 0x2194},   {"rArr", 0x21D2},   {"hArr", 0x21D4},   {"le", 0x2264},     {"ge", 0x2265},
    {"ne", 0x2260},     {"minus", 0x2212},  {"asymp", 0x2248},  {"equiv", 0x2261},  {"infin", 0x221E},
    {"radic", 0x221A},  {"sum", 0x2211},    {"prod", 0x220F},   {"part", 0x2202},   {"int", 0x222B},
    {"isin", 0x2208},   {"notin", 0x2209},  {"cap", 0x2229},    {"cup", 0x222A},    {"sub", 0x2282},
    {"sube", 0x2286},   {"forall", 0x2200}, {"exist", 0x2203},  {"empty", 0x2205},  {"nabla", 0x2207},
    {"and", 0x2227},    {"or", 0x2228},     {"ang", 0x2220},    {"perp", 0x22A5},   {"sdot", 0x22C5},
    {"lowast", 0x2217}, {"prop", 0x221D},   {"there4", 0x2234}, {"alpha", 0x3B1},   {"beta", 0x3B2},
    {"gamma", 0x3B3},   {"delta", 0x3B4},   {"epsilon", 0x3B5}, {"zeta", 0x3B6},    {"eta", 0x3B7},
    {"theta", 0x3B8},   {"iota", 0x3B9},    {"kappa", 0x3BA},   {"lambda", 0x3BB},  {"mu", 0x3BC},
    {"nu", 0x3BD},      {"xi", 0x3BE},      {"omicron", 0x3BF}, {"pi", 0x3C0},      {"rho", 0x3C1},
    {"sigma", 0x3C3},   {"sigmaf", 0x3C2},  {"tau", 0x3C4},     {"upsilon", 0x3C5}, {"phi", 0x3C6},
    {"chi", 0x3C7},     {"psi", 0x3C8},     {"omega", 0x3C9},   {"Alpha", 0x391},   {"Beta", 0x392},
    {"Gamma", 0x393},   {"Delta", 0x394},   {"Theta", 0x398},   {"Lambda", 0x39B},  {"Xi", 0x39E},
    {"Pi", 0x3A0},      {"Sigma", 0x3A3},   {"Phi", 0x3A6},     {"Psi", 0x3A8},     {"Omega", 0x3A9},
};

// Decodes the entity at s[i] == '&'; returns its length, or 0 if it is none.
size_t Entity(const std::string& s, size_t i, std::string& out) {
  const size_t semi = s.find(';', i);
  if (semi == std::string::npos || semi - i > 12) return 0;
  const std::string name = s.substr(i + 1, semi - i - 1);
  if (name.size() >= 2 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    char* end = nullptr;
    const unsigned long v = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
    if (*end != 0 || v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
    AppendUtf8(out, static_cast<char32_t>(v));
    return semi - i + 1;
  }
  for (const TEntity& e : Entities) {
    if (name == e.Name) {
      AppendUtf8(out, e.Code);
      return semi - i + 1;
    }
  }
  return 0;
}

// The value of attribute name in a tag's text, or empty.
std::string Attribute(const std::string& tag, const std::string& name) {
  const std::string lower = LowerAscii(tag);
  size_t at = 0;
  while ((at = lower.find(name, at)) != std::string::npos) {
    const bool starts = at > 0 && IsAsciiBlank(lower[at - 1]);
    size_t p = at + name.size();
    while (p < tag.size() && tag[p] == ' ') ++p;
    if (starts && p < tag.size() && tag[p] == '=') {
      ++p;
      while (p < tag.size() && tag[p] == ' ') ++p;
      if (p < tag.size() && (tag[p] == '"' || tag[p] == '\'')) {
        const size_t end = tag.find(tag[p], p + 1);
        return DecodeEntities(tag.substr(p + 1, (end == std::string::npos ? tag.size() : end) - p - 1));
      }
      const size_t end = tag.find_first_of(" \t\n/>", p);
      return DecodeEntities(tag.substr(p, (end == std::string::npos ? tag.size() : end) - p));
    }
    at = p;
  }
  return {};
}

bool IsBlock(const std::string& name) {
  static const char* blocks[] = {"p",  "div", "li", "ul", "ol",  "tr",         "table", "h1", "h2",
                                 "h3", "h4",  "h5", "h6", "pre", "blockquote", "dl",    "dt", "dd"};
  return std::any_of(std::begin(blocks), std::end(blocks), [&](const char* b) { return name == b; });
}

}  // namespace

bool LooksLikeHtml(const std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '<' && i + 1 < s.size()) {
      const char n = s[i + 1];
      const bool opens = std::isalpha(static_cast<unsigned char>(n)) || n == '!' ||
                         (n == '/' && i + 2 < s.size() && std::isalpha(static_cast<unsigned char>(s[i + 2])));
      if (opens && s.find('>', i) != std::string::npos) return true;
    } else if (s[i] == '&') {
      std::string decoded;
      if (Entity(s, i, decoded) > 0) return true;
    }
  }
  return false;
}

std::string DecodeEntities(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      const size_t n = Entity(s, i, out);
      if (n > 0) {
        i += n - 1;
        continue;
      }
    }
    out.push_back(s[i]);
  }
  return out;
}

std::string HtmlToText(const std::string& html, std::vector<std::string>* images) {
  std::string out;
  bool space = false;  // folded white space waiting for the next text
  bool block = false;  // a block ended: a line break waits for the next text
  auto text = [&](const std::string& piece) {
    if (block && !out.empty())
      out += '\n';
    else if (space && !out.empty() && out.back() != '\n')
      out += ' ';
    block = space = false;
    out += piece;
  };
  for (size_t i = 0; i < html.size();) {
    const char c = html[i];
    if (c == '<') {
      if (html.compare(i, 4, "<!--") == 0) {
        const size_t end = html.find("-->", i + 4);
        i = end == std::string::npos ? html.size() : end + 3;
        continue;
      }
      const size_t end = html.find('>', i);
      if (end == std::string::npos) {
        text(html.substr(i));
        break;
      }
      const std::string tag = html.substr(i + 1, end - i - 1);
      size_t n = tag[0] == '/' ? 1 : 0;
      size_t e = n;
      while (e < tag.size() && std::isalnum(static_cast<unsigned char>(tag[e]))) ++e;
      const std::string name = LowerAscii(tag.substr(n, e - n));
      i = end + 1;
      if (name == "script" || name == "style") {
        if (n == 0) {
          const size_t close = LowerAscii(html).find("</" + name, i);
          i = close == std::string::npos ? html.size() : html.find('>', close) + 1;
        }
        continue;
      }
      if (name == "br") {
        if (block && !out.empty()) out += '\n';
        out += '\n';
        block = space = false;
      } else if (name == "img") {
        if (images) images->push_back(Attribute(tag, "src"));
      } else if (IsBlock(name)) {
        block = true;
        space = false;
      }
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      space = true;
      ++i;
      continue;
    }
    std::string piece;
    if (c == '&') {
      const size_t len = Entity(html, i, piece);
      if (len > 0) {
        text(piece);
        i += len;
        continue;
      }
    }
    // Plain characters up to the next markup or space, in one piece.
    size_t j = i + 1;
    while (j < html.size() && std::strchr("<& \t\r\n", html[j]) == nullptr) ++j;
    text(html.substr(i, j - i));
    i = j;
  }
  // A closing <br> or paragraph adds no line a reader sees.
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::string TextToHtml(const std::string& text) {
  const std::string lf = ToLf(text);
  std::string out;
  for (size_t i = 0; i < lf.size(); ++i) {
    const char c = lf[i];
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '\n':
        out += "<br>";
        break;
      case '\t':
        out += "&#9;";
        break;
      case ' ': {
        const bool lone = i > 0 && lf[i - 1] != ' ' && lf[i - 1] != '\n' && i + 1 < lf.size() && lf[i + 1] != ' ' &&
                          lf[i + 1] != '\n';
        out += lone ? " " : "&nbsp;";
        break;
      }
      default:
        out.push_back(c);
    }
  }
  return out;
}

}  // namespace proctorium
