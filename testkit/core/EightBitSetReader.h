#pragma once
// The question set reader as it was before sets could hold Unicode text:
// it knows the old format and the 0xFF format only. Tests feed it newer
// files to prove that a copy of the program from then refuses them with an
// error instead of reading nonsense.

#include <string>

namespace proctorium::testkit {

// Walks the file image by that reader's rules and gives the index of its
// last record; throws EFileError where that reader stops.
int EightBitSetLastIndex(const std::string& bytes, const std::string& fileName);

}  // namespace proctorium::testkit
