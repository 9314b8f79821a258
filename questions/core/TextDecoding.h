#pragma once
// Turning the bytes of a file from another program into UTF-8 text with
// known line breaks, before any import rule looks at it.

#include <string>

namespace proctorium {

// Text of a file in UTF-8: a UTF-8 or UTF-16 byte order mark is honoured
// and removed; bytes that are not UTF-8 are read as Windows-1252.
std::string DecodeText(const std::string& bytes);
bool IsValidUtf8(const std::string& s);
// CR LF, lone CR and lone LF all become CR LF.
std::string ToCrLf(const std::string& s);
// CR LF and lone CR become LF.
std::string ToLf(const std::string& s);

}  // namespace proctorium
