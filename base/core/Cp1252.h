#pragma once
// Windows-1252, the 8-bit code page of every text the program stores.

#include <string>

namespace proctorium {

// Unicode code point of a Windows-1252 byte. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of
// the same value, so every byte survives a round trip.
char32_t Cp1252ToUnicode(unsigned char byte);

// The byte for a code point, or -1 when Windows-1252 cannot hold it.
int UnicodeToCp1252(char32_t cp);

// UTF-8 text to and from Windows-1252 bytes. FromUtf8 puts '?' for any
// character the code page lacks and, if asked, lists those characters.
std::string Cp1252ToUtf8(const std::string& bytes);
// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);
std::string Utf8ToCp1252(const std::string& utf8, std::u32string* missing = nullptr);

}  // namespace proctorium
