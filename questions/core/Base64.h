#pragma once
// Base64 as files embed pictures in XML.

#include <string>

namespace proctorium {

std::string EncodeBase64(const std::string& bytes);
// White space is skipped; false for any other character outside the
// alphabet or a wrong length.
bool DecodeBase64(const std::string& text, std::string& bytes);

}  // namespace proctorium
