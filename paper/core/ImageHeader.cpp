#include "paper/core/ImageHeader.h"

#include <algorithm>
#include <cstdint>

namespace proctorium {

namespace {

std::uint32_t Get(std::string_view b, std::size_t at, int size, bool bigEndian) {
  if (at + size > b.size()) return 0;
  std::uint32_t v = 0;
  for (int i = 0; i < size; ++i) {
    const std::uint32_t byte = static_cast<unsigned char>(b[at + (bigEndian ? i : size - 1 - i)]);
    v = (v << 8) | byte;
  }
  return v;
}

void ReadJpeg(std::string_view b, TImageHeader& h) {
  std::size_t at = 2;
  while (at + 4 <= b.size()) {
    if (static_cast<unsigned char>(b[at]) != 0xFF) return;
    const unsigned marker = static_cast<unsigned char>(b[at + 1]);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      at += 2;
      continue;
    }
    const std::uint32_t len = Get(b, at + 2, 2, true);
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      h.Height = Get(b, at + 5, 2, true);
      h.Width = Get(b, at + 7, 2, true);
      return;
    }
    if (len < 2) return;
    at += 2 + len;
  }
}

void ReadTiff(std::string_view b, TImageHeader& h) {
  const bool be = b[0] == 'M';
  std::uint32_t ifd = Get(b, 4, 4, be);
  int pages = 0;
  // A loop in the chain of directories would never end: a page count far
  // beyond any scanner's stops it.
  while (ifd != 0 && ifd + 2 <= b.size() && pages < 10000) {
    const std::uint32_t entries = Get(b, ifd, 2, be);
    long long w = 0, hgt = 0;
    for (std::uint32_t i = 0; i < entries; ++i) {
      const std::size_t e = ifd + 2 + 12 * std::size_t(i);
      if (e + 12 > b.size()) break;
      const std::uint32_t tag = Get(b, e, 2, be), type = Get(b, e + 2, 2, be);
      const std::uint32_t value = type == 3 ? Get(b, e + 8, 2, be) : Get(b, e + 8, 4, be);
      if (tag == 256) w = value;
      if (tag == 257) hgt = value;
    }
    ++pages;
    if (w * hgt > h.Width * h.Height) h.Width = w, h.Height = hgt;
    const std::size_t next = ifd + 2 + 12 * std::size_t(entries);
    ifd = Get(b, next, 4, be);
  }
  h.Pages = std::max(pages, 1);
}

}  // namespace

TImageHeader ReadImageHeader(std::string_view b) {
  TImageHeader h;
  if (b.size() >= 24 && b.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8)) {
    h.Format = TImageFormat::Png;
    h.Width = Get(b, 16, 4, true);
    h.Height = Get(b, 20, 4, true);
  } else if (b.size() >= 4 && static_cast<unsigned char>(b[0]) == 0xFF && static_cast<unsigned char>(b[1]) == 0xD8) {
    h.Format = TImageFormat::Jpeg;
    ReadJpeg(b, h);
  } else if (b.size() >= 8 &&
             (b.substr(0, 4) == std::string_view("II*\0", 4) || b.substr(0, 4) == std::string_view("MM\0*", 4))) {
    h.Format = TImageFormat::Tiff;
    ReadTiff(b, h);
  } else if (b.substr(0, std::min<std::size_t>(b.size(), 1024)).find("%PDF-") != std::string_view::npos) {
    h.Format = TImageFormat::Pdf;
  }
  return h;
}

}  // namespace proctorium
