#pragma once
// Pictures the windows show: files named by a set or the program folder, and
// the built-in banner.

#include <QImage>
#include <string>

namespace proctorium {

class TImage;

// Loads a picture if the file exists; false (picture unchanged) if not.
// A file that exists but is no readable picture throws EFileError.
bool LoadImageFile(TImage* image, const std::string& path);
// The built-in 320 x 50 banner.
QImage Logo();

}  // namespace proctorium
