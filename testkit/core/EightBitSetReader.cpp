#include "testkit/core/EightBitSetReader.h"

#include <cstdint>

#include "base/core/FileIO.h"

namespace proctorium::testkit {

namespace {

class Cursor {
 public:
  Cursor(const std::string& bytes, const std::string& fileName) : Data(bytes), File(fileName) {}
  void Skip(std::size_t n) {
    if (Data.size() - Pos < n) Fail("the file ends early");
    Pos += n;
  }
  std::int32_t Int32() {
    Skip(4);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(Data[Pos - 4 + static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(v);
  }
  void Text() {
    const std::int32_t n = Int32();
    if (n < 0) Fail("negative text length");
    if (static_cast<std::size_t>(n) > Data.size() - Pos) Fail("text runs past the end of the file");
    Pos += static_cast<std::size_t>(n);
  }
  [[noreturn]] void Fail(const std::string& why) const {
    throw EFileError("Damaged question set file " + File + ": " + why);
  }

 private:
  const std::string& Data;
  const std::string& File;
  std::size_t Pos = 0;
};

}  // namespace

int EightBitSetLastIndex(const std::string& bytes, const std::string& fileName) {
  Cursor in(bytes, fileName);
  if (bytes.empty()) in.Fail("the file is empty");
  // The first byte alone told the two formats apart.
  if (static_cast<unsigned char>(bytes[0]) == 0xFF) in.Skip(1 + 8 + 8 + 4 + 1);
  const std::int32_t last = in.Int32();
  if (last < 0 || last > 250) in.Fail("the question count is out of range");
  for (std::int32_t i = 0; i <= last; ++i) {
    in.Text();
    in.Skip(2);
    for (int a = 0; a < 8; ++a) in.Text();
    in.Skip(1);
    in.Text();
    in.Text();
  }
  return last;
}

}  // namespace proctorium::testkit
