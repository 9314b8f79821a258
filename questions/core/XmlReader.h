#pragma once
// The small part of XML that question files use: elements, attributes,
// character data, CDATA sections, comments, processing instructions and
// the predefined and numeric entities. Document types with their own
// entity definitions are refused, so no file can make the reader expand
// text without bound.

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace proctorium {

struct TXmlNode {
  std::string Name;
  std::vector<std::pair<std::string, std::string>> Attributes;
  std::vector<TXmlNode> Children;
  std::string Text;  // the character data directly inside, CDATA included
  int Line = 0;      // where the start tag is

  // The first child of that name, or nullptr.
  const TXmlNode* Child(const std::string& name) const;
  std::string Attribute(const std::string& name) const;
};

class EXmlError : public std::runtime_error {
 public:
  EXmlError(int line, const std::string& reason) : std::runtime_error(reason), Line(line) {}
  int Line;
};

// The root element of a UTF-8 document. Throws EXmlError.
TXmlNode ParseXml(const std::string& text);

}  // namespace proctorium
