#pragma once
// The one crossing between the program's stored text (Windows-1252 bytes,
// CR LF line breaks) and Qt's QString (Unicode, LF line breaks).

#include <QString>
#include <string>

namespace proctorium {

QString FromAnsi(const std::string& bytes);
// Characters Windows-1252 lacks become '?'; use ToAnsiChecked where the
// user must be told instead.
std::string ToAnsi(const QString& text);
// As ToAnsi, but returns false and lists the characters that cannot be
// stored (each once, in order of first appearance) in missing.
bool ToAnsiChecked(const QString& text, std::string& bytes, QString& missing);

// Question set texts: Windows-1252 bytes or, in a Unicode set, UTF-8; CR LF
// line breaks in both. utf8 says which.
QString FromSetText(const std::string& bytes, bool utf8);
// UTF-8 with CR LF breaks, for a Unicode set; every character fits.
std::string ToUtf8Text(const QString& text);

}  // namespace proctorium
