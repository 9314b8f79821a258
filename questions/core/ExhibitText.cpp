#include "questions/core/ExhibitText.h"

#include <filesystem>
#include <system_error>

#include "base/core/FileIO.h"

namespace proctorium {

namespace {

// A description is a few sentences; anything larger is not one.
constexpr std::uintmax_t MaxDescriptionBytes = std::uintmax_t{64} * 1024;

std::string Trimmed(std::string text) {
  const size_t end = text.find_last_not_of(" \t\r\n");
  text.resize(end == std::string::npos ? 0 : end + 1);
  return text;
}

}  // namespace

std::string ExhibitTextPath(const std::string& picturePath) { return picturePath + ".txt"; }

std::string ReadExhibitText(const std::string& picturePath) {
  std::string bytes;
  if (ReadRegularFile(ExhibitTextPath(picturePath), MaxDescriptionBytes, bytes) != TReadResult::Ok) return {};
  return Trimmed(std::move(bytes));
}

void WriteExhibitText(const std::string& picturePath, const std::string& text) {
  const std::string path = ExhibitTextPath(picturePath);
  const std::string kept = Trimmed(text);
  if (kept.empty()) {
    std::error_code ec;
    std::filesystem::remove(ToFsPath(path), ec);
    if (ec) throw EFileError("Cannot delete file " + path + "\n" + ec.message());
    return;
  }
  // Stored texts keep the program's line ends whatever the editor gave.
  std::string crlf;
  for (size_t i = 0; i < kept.size(); ++i) {
    if (kept[i] == '\n' && (i == 0 || kept[i - 1] != '\r')) crlf += '\r';
    crlf += kept[i];
  }
  WriteFileAtomic(path, crlf + "\r\n");
}

}  // namespace proctorium
