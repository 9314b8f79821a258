#pragma once
// The optional description of an exhibit picture, for candidates who cannot
// see it: Windows-1252 text with CR LF, in a file beside the picture named
// after it with ".txt" added ("chart.bmp" -> "chart.bmp.txt"). The question
// set file does not change, so older copies of the program still read it.

#include <string>

namespace proctorium {

// The description file of the picture at picturePath (a real path).
std::string ExhibitTextPath(const std::string& picturePath);

// The description, without trailing blanks and line breaks; empty when there
// is none or it cannot be read (the picture is still shown without it).
std::string ReadExhibitText(const std::string& picturePath);

// Writes the description (through a temporary file); an empty or blank one
// removes the file. Throws EFileError when it cannot be written or removed.
void WriteExhibitText(const std::string& picturePath, const std::string& text);

}  // namespace proctorium
