#pragma once
// The options file: the user's and administrator's settings, stored
// binary, little-endian, 48 bytes plus the password's length.

#include <cstdint>
#include <string>

#include "base/core/Ascii.h"

#include "base/core/FileIO.h"

namespace proctorium {

// How a test is timed; stored in the options file as this byte. Any stored
// value but Countdown counts as elapsed time.
enum class TTimeMode : std::uint8_t { Countdown = 0, Elapsed = 1 };

struct TOptionsRecord {
  bool ShowHints = true;
  bool DeletePermitted = false;
  bool EnableAnswers = true;
  bool AllowEdits = false;
  bool EnableClearResults = false;
  std::uint8_t FontSize = 10;
  std::uint32_t ScreenColour = 0x00FFFFFFu;  // Windows layout: red in the low byte
  std::string AdminPassword;                 // as held: already scrambled
  bool EnableRunningScore = true;
  TTimeMode TimeMode = TTimeMode::Elapsed;
  std::int32_t CountdownMinutes = 60;

  bool operator==(const TOptionsRecord&) const = default;
};

// The file image, and its reader. A short or damaged image throws
// EFileError naming the file.
std::string EncodeOptions(const TOptionsRecord& options);
TOptionsRecord DecodeOptions(const std::string& bytes, const std::string& fileName);

// Throws EFileError "Cannot open file <name>" when it cannot be read.
TOptionsRecord ReadOptionsFile(const std::string& fileName);
// Written through a temporary file; EFileError "Cannot create file <name>".
void WriteOptionsFile(const std::string& fileName, const TOptionsRecord& options);

// Byte at 1-based position i becomes (byte + i) mod 256.
std::string Scramble(const std::string& s);

}  // namespace proctorium
