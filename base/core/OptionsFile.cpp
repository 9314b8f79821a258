#include "base/core/OptionsFile.h"

namespace proctorium {

namespace {

constexpr size_t FixedSize = 48;

void PutInt32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint32_t GetUInt32(const std::string& in, size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(in[at + i]);
  return v;
}

}  // namespace

std::string EncodeOptions(const TOptionsRecord& o) {
  std::string out;
  out.reserve(FixedSize + o.AdminPassword.size());
  out.append(8, '\0');
  out.push_back(o.ShowHints ? 1 : 0);
  out.push_back(o.DeletePermitted ? 1 : 0);
  out.push_back(o.EnableAnswers ? 1 : 0);
  out.push_back(o.AllowEdits ? 1 : 0);
  out.push_back(o.EnableClearResults ? 1 : 0);
  out.append(8, '\0');
  out.push_back(static_cast<char>(o.FontSize));
  PutInt32(out, o.ScreenColour);
  PutInt32(out, static_cast<std::uint32_t>(o.AdminPassword.size()));
  out.append(o.AdminPassword);
  out.append(4, '\0');
  out.push_back(o.EnableRunningScore ? 1 : 0);
  out.push_back(static_cast<char>(o.TimeMode));
  PutInt32(out, static_cast<std::uint32_t>(o.CountdownMinutes));
  out.append(8, '\0');
  return out;
}

TOptionsRecord DecodeOptions(const std::string& in, const std::string& fileName) {
  auto damaged = [&](const char* why) { return EFileError("Damaged options file " + fileName + ": " + why); };
  // Everything up to and including the minutes must be there; the trailing
  // filler is never read, so a file that lacks it is still accepted.
  constexpr size_t NeededWithoutPassword = 40;
  if (in.size() < NeededWithoutPassword) throw damaged("the file is too short");
  TOptionsRecord o;
  o.ShowHints = in[8] != 0;
  o.DeletePermitted = in[9] != 0;
  o.EnableAnswers = in[10] != 0;
  o.AllowEdits = in[11] != 0;
  o.EnableClearResults = in[12] != 0;
  o.FontSize = static_cast<std::uint8_t>(in[21]);
  o.ScreenColour = GetUInt32(in, 22);
  auto length = static_cast<std::int32_t>(GetUInt32(in, 26));
  if (length < 0) throw damaged("the password length is negative");
  if (static_cast<size_t>(length) > in.size() - NeededWithoutPassword)
    throw damaged("the password length does not fit the file");
  const size_t n = static_cast<size_t>(length);
  o.AdminPassword.assign(in, 30, n);
  o.EnableRunningScore = in[34 + n] != 0;
  o.TimeMode = static_cast<TTimeMode>(in[35 + n]);
  o.CountdownMinutes = static_cast<std::int32_t>(GetUInt32(in, 36 + n));
  return o;
}

TOptionsRecord ReadOptionsFile(const std::string& fileName) {
  std::string bytes;
  if (!ReadWholeFile(fileName, bytes)) throw EFileError("Cannot open file " + fileName);
  return DecodeOptions(bytes, fileName);
}

void WriteOptionsFile(const std::string& fileName, const TOptionsRecord& options) {
  WriteFileAtomic(fileName, EncodeOptions(options));
}

std::string Scramble(const std::string& s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) + static_cast<unsigned char>((i + 1) & 0xFF));
  return out;
}

}  // namespace proctorium
