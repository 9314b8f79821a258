#pragma once
// Settings added after the options file's layout was fixed. The options
// file keeps its exact bytes for the programs that read it; these live
// beside it in a small UTF-8 text file of key=value lines, one a line.
// Keys this program does not know are kept when it rewrites the file, so a
// newer seat's settings survive an older seat's save.

#include <string>
#include <string_view>
#include <vector>

namespace proctorium {

// Beside Proctorium.opt in the program folder.
inline constexpr const char* ExtraSettingsFileName = "Proctorium.ini";

struct TExtraSettings {
  // Start asks who is taking the test, and also for an ID.
  bool AskCandidateName = false;
  bool AskCandidateId = false;
  // With a class list, a name that is not on it is still accepted.
  bool AllowUnlisted = false;
  // Per cent needed to pass, 1 to 100; 0 for no pass mark.
  int PassMark = 0;

  // "key=value" lines of keys not known here, as read.
  std::vector<std::string> OtherLines{};

  bool operator==(const TExtraSettings&) const = default;
};

// The file image: a comment line, then every known key.
std::string EncodeExtraSettings(const TExtraSettings& settings);

// Reads the image. Blank lines and lines starting with ';' or '#' are
// comments. Throws EFileError "<fileName>, line <n>: <reason>" for a line
// that is not key=value or a known key with a value it cannot take.
TExtraSettings DecodeExtraSettings(std::string_view bytes, const std::string& fileName);

struct TExtraSettingsLoad {
  TExtraSettings Settings;
  // Empty when the file was read or is missing (the defaults apply);
  // otherwise what is wrong with it, for the user, and the defaults apply.
  std::string Problem;
};

// Never throws: a missing file gives the defaults, an unreadable or damaged
// one the defaults and the reason.
TExtraSettingsLoad ReadExtraSettings(const std::string& fileName);

// Through a temporary file renamed over the old one. Throws EFileError
// "Cannot create file <fileName>: <reason>".
void WriteExtraSettings(const std::string& fileName, const TExtraSettings& settings);

}  // namespace proctorium
