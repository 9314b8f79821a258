#pragma once
// Unicode rules the core needs from a well-kept library: ICU on Linux and
// macOS, the system's own normaliser on Windows, where no ICU is at hand.

#include <string>

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

}  // namespace proctorium
