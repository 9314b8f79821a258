#pragma once
// What a scanned file is and how big its pictures are, read from the bytes
// of its header alone: a picture too large to hold is refused before a
// decoder allocates a single row of it.

#include <string_view>

namespace proctorium {

enum class TImageFormat { Unknown, Png, Jpeg, Tiff, Pdf };

struct TImageHeader {
  TImageFormat Format = TImageFormat::Unknown;
  // Of the largest picture in the file; 0 when the header does not tell
  // (a PDF, a damaged file).
  long long Width = 0, Height = 0;
  int Pages = 1;  // pictures in a TIFF; 1 for the others
};

TImageHeader ReadImageHeader(std::string_view bytes);

// The most pixels a page may have: a 600 dpi A3 scan, with room to spare.
inline constexpr long long kMaxScanPixels = 100'000'000;

}  // namespace proctorium
