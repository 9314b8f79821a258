#pragma once
// Unicode rules the core needs from a well-kept library: ICU on Linux and
// macOS, the system's own normaliser on Windows, where no ICU is at hand.

#include <cstddef>
#include <string>
#include <vector>

namespace proctorium {

// The text in normalisation form C: a letter followed by a combining
// accent (as macOS writes file and text contents) becomes the one composed
// character. UTF-8 in and out; text that is not valid UTF-8 comes back as
// it was.
std::string ComposeNfc(const std::string& utf8);

// A character as a teacher can read it in a message: "≥ (U+2265
// GREATER-THAN OR EQUAL TO)"; marks and spaces that would be invisible are
// shown by their code and name only ("U+0301 COMBINING ACUTE ACCENT").
// Where the library has no names the code alone is given.
std::string DescribeCharacter(char32_t cp);

// The text with letter case taken out, for case-insensitive search in any
// script: Σ, σ and ς fold alike, and with ICU "Straße" folds as "strasse"
// (Windows' own tables map case one character to one, so there ß stays ß).
// Folding goes character by character; when origin is given it receives,
// for each byte of the result, the offset in utf8 of the character it came
// from, so a match in the folded text can be shown in the original. Bytes
// that are not valid UTF-8 pass through unchanged.
std::string FoldCase(const std::string& utf8, std::vector<std::size_t>* origin = nullptr);

}  // namespace proctorium
