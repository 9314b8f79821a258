#include "questions/core/Base64.h"

namespace proctorium {

namespace {
constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}
}  // namespace

std::string EncodeBase64(const std::string& bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 2]);
    out.push_back(Alphabet[(v >> 18) & 63]);
    out.push_back(Alphabet[(v >> 12) & 63]);
    out.push_back(i + 1 < bytes.size() ? Alphabet[(v >> 6) & 63] : '=');
    out.push_back(i + 2 < bytes.size() ? Alphabet[v & 63] : '=');
  }
  return out;
}

bool DecodeBase64(const std::string& text, std::string& bytes) {
  bytes.clear();
  unsigned v = 0;
  int bits = 0, pad = 0, count = 0;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    if (c == '=') {
      ++pad, ++count;
      continue;
    }
    const int x = Value(c);
    if (x < 0 || pad > 0) return false;
    ++count;
    v = (v << 6) | static_cast<unsigned>(x);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes.push_back(static_cast<char>((v >> bits) & 0xFF));
    }
  }
  return count % 4 == 0 && pad <= 2;
}

}  // namespace proctorium
