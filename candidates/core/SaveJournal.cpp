#include "candidates/core/SaveJournal.h"

#include <charconv>
#include <filesystem>
#include <system_error>

#include "base/core/FileIO.h"
#include "base/core/PathResolver.h"
#include "session/core/ResultsLog.h"

namespace proctorium {

namespace {

constexpr std::string_view Magic = "Proctorium save journal 1\n";
// A journal holds one test's lines: far below this.
constexpr std::uintmax_t MaxJournalBytes = 64ull << 20;

struct TJournalEntry {
  std::string Name;  // file name in the journal's folder
  std::uintmax_t SizeBefore = 0;
  std::string Bytes;
};

std::function<void(int)>& StepHook() {
  static std::function<void(int)> hook;
  return hook;
}

void Step(int step) {
  if (StepHook()) StepHook()(step);
}

std::uint64_t Checksum(std::string_view bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

std::string Folder(const std::string& journalPath) { return ExtractFilePath(journalPath); }

std::string Encode(const std::vector<TJournalEntry>& entries) {
  std::string out(Magic);
  out += std::to_string(entries.size()) + '\n';
  for (const TJournalEntry& e : entries) {
    out += e.Name + '\n';
    out += std::to_string(e.SizeBefore) + '\n';
    out += std::to_string(e.Bytes.size()) + '\n';
    out += e.Bytes;
    out += '\n';
  }
  out += std::to_string(Checksum(out)) + '\n';
  return out;
}

// Reads one "<number>\n" or one "<text>\n"; false at a damaged spot.
bool ReadLine(std::string_view bytes, std::size_t& pos, std::string_view& line) {
  const std::size_t end = bytes.find('\n', pos);
  if (end == std::string_view::npos) return false;
  line = bytes.substr(pos, end - pos);
  pos = end + 1;
  return true;
}

bool ReadNumber(std::string_view bytes, std::size_t& pos, std::uintmax_t& n) {
  std::string_view line;
  if (!ReadLine(bytes, pos, line) || line.empty()) return false;
  const auto r = std::from_chars(line.data(), line.data() + line.size(), n);
  return r.ec == std::errc() && r.ptr == line.data() + line.size();
}

bool Decode(std::string_view bytes, std::vector<TJournalEntry>& entries) {
  if (bytes.substr(0, Magic.size()) != Magic) return false;
  std::size_t pos = Magic.size();
  std::uintmax_t count = 0;
  if (!ReadNumber(bytes, pos, count) || count > 16) return false;
  for (std::uintmax_t i = 0; i < count; ++i) {
    TJournalEntry e;
    std::string_view name;
    std::uintmax_t size = 0;
    if (!ReadLine(bytes, pos, name) || name.empty() || name.find_first_of("/\\") != std::string_view::npos ||
        name == "." || name == ".." || !ReadNumber(bytes, pos, e.SizeBefore) || !ReadNumber(bytes, pos, size) ||
        size > bytes.size() - pos || bytes.size() - pos - size < 1 || bytes[pos + size] != '\n')
      return false;
    e.Name = name;
    e.Bytes = bytes.substr(pos, size);
    pos += size + 1;
    entries.push_back(std::move(e));
  }
  const std::size_t sumAt = pos;
  std::uintmax_t sum = 0;
  return ReadNumber(bytes, pos, sum) && pos == bytes.size() && sum == Checksum(bytes.substr(0, sumAt));
}

std::uintmax_t SizeOf(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(ToFsPath(path), ec);
  return ec ? 0 : size;
}

// Whatever of the save came before the kill is cut off, so the same bytes
// never go in twice; a log that has since become shorter is left whole.
void Replay(const std::string& folder, const std::vector<TJournalEntry>& entries, bool steps) {
  int step = 0;
  for (const TJournalEntry& e : entries) {
    const std::string path = folder + e.Name;
    RefuseLinkedLog(path);
    if (e.SizeBefore == 0 && e.Bytes.empty()) {
      // An entry of a clear: emptied and flushed, and never created.
      if (FileExists(path)) ClearLog(path);
      if (steps) Step(++step);
      continue;
    }
    if (SizeOf(path) > e.SizeBefore) {
      std::error_code ec;
      std::filesystem::resize_file(ToFsPath(path), e.SizeBefore, ec);
      if (ec) throw EFileError("Cannot create file " + path + ": " + ec.message());
    }
    AppendToLog(path, e.Bytes);
    if (steps) Step(++step);
  }
}

void RemoveJournal(const std::string& journalPath) {
  std::error_code ec;
  std::filesystem::remove(ToFsPath(journalPath), ec);
  if (ec) throw EFileError("Cannot delete file " + journalPath + ": " + ec.message());
}

}  // namespace

bool CompleteInterruptedSave(const std::string& journalPath) {
  std::string bytes, reason;
  switch (ReadRegularFile(journalPath, MaxJournalBytes, bytes, &reason)) {
    case TReadResult::Missing:
      return false;
    case TReadResult::Failed:
      throw EFileError("Cannot open file " + journalPath + ": " + reason);
    case TReadResult::NotRegular:
    case TReadResult::TooLarge:
      // Not one the program wrote.
      RemoveJournal(journalPath);
      return false;
    case TReadResult::Ok:
      break;
  }
  std::vector<TJournalEntry> entries;
  if (!Decode(bytes, entries)) {
    RemoveJournal(journalPath);
    return false;
  }
  Replay(Folder(journalPath), entries, false);
  RemoveJournal(journalPath);
  return true;
}

void AppendAsOneUnit(const std::string& journalPath, const std::vector<TLogAddition>& additions, bool* journalled) {
  if (journalled) *journalled = false;
  CompleteInterruptedSave(journalPath);
  const std::string folder = Folder(journalPath);
  std::vector<TJournalEntry> entries;
  for (const TLogAddition& a : additions) {
    if (Folder(a.Path) != folder) throw EFileError("Cannot create file " + a.Path + ": not beside " + journalPath);
    RefuseLinkedLog(a.Path);
    TJournalEntry e;
    e.Name = ExtractFileName(a.Path);
    e.SizeBefore = SizeOf(a.Path);
    e.Bytes = e.SizeBefore == 0 ? a.HeaderIfEmpty + a.Bytes : a.Bytes;
    entries.push_back(std::move(e));
  }
  if (entries.size() == 1) {
    // One log: a single write of a few lines, which a kill does not split;
    // a busy room is spared the journal's extra flush.
    AppendToLog(additions[0].Path, entries[0].Bytes);
    return;
  }
  // Written in place, not through a temporary file: a kill while it is
  // being written leaves a journal whose checksum fails, which means
  // nothing was appended yet, and no temporary file is left behind.
  AppendToLog(journalPath, Encode(entries));
  if (journalled) *journalled = true;
  Step(0);
  Replay(folder, entries, true);
  RemoveJournal(journalPath);
}

void ClearAsOneUnit(const std::string& journalPath, const std::vector<std::string>& logs) {
  CompleteInterruptedSave(journalPath);
  const std::string folder = Folder(journalPath);
  std::vector<TJournalEntry> entries;
  for (const std::string& path : logs) {
    if (Folder(path) != folder) {
      std::string message = "Cannot create file " + path;
      message += ": not beside ";
      message += journalPath;
      throw EFileError(message);
    }
    RefuseLinkedLog(path);
    TJournalEntry e;
    e.Name = ExtractFileName(path);
    entries.push_back(std::move(e));
  }
  AppendToLog(journalPath, Encode(entries));
  Step(0);
  Replay(folder, entries, true);
  RemoveJournal(journalPath);
}

void SetSaveStepHook(std::function<void(int step)> hook) { StepHook() = std::move(hook); }

}  // namespace proctorium
