#pragma once
// Question texts of web-based systems are HTML; a set holds plain text.

#include <string>
#include <vector>

namespace proctorium {

// Plain text of an HTML fragment (UTF-8 in, UTF-8 out with LF breaks):
// tags go, <br> and block ends become line breaks (none at the very end),
// entities are decoded,
// runs of white space count as one space. The src of every <img> is added
// to images in order.
std::string HtmlToText(const std::string& html, std::vector<std::string>* images = nullptr);

// HTML for plain text: &, < and > escaped, line breaks as <br>, and spaces
// that HTML would fold kept as &nbsp;, so HtmlToText gives the text back.
std::string TextToHtml(const std::string& text);

// True when the text holds a tag (<p>, </b>, <br/>, <!-- -->) or an entity
// that decodes: the marks of HTML rather than of a sum like "a < b".
bool LooksLikeHtml(const std::string& text);

// Decodes &amp; &#233; &#xE9; and the common named entities; unknown ones
// stay as written.
std::string DecodeEntities(const std::string& s);

}  // namespace proctorium
