// Fuzz target: the options reader must refuse short or damaged files with
// an error, never over-read or allocate from an untrusted length; what it
// accepts must write and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/core/OptionsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace proctorium;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  TOptionsRecord o;
  try {
    o = DecodeOptions(bytes, "fuzz.opt");
  } catch (const EFileError&) {
    return 0;
  }
  if (o.AdminPassword.size() > size) std::abort();
  const std::string encoded = EncodeOptions(o);
  if (!(DecodeOptions(encoded, "again.opt") == o)) std::abort();
  (void)Scramble(o.AdminPassword);
  return 0;
}
