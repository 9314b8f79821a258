#include "base/core/UserCode.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace proctorium {

std::int32_t MakeUserCode(const std::string& loginName, const std::string& hostName) {
  std::uint32_t h = 2166136261u;
  auto feed = [&h](unsigned char c) {
    h ^= c;
    h *= 16777619u;
  };
  for (char c : loginName) feed(static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c));
  feed('@');
  for (char c : hostName) feed(static_cast<unsigned char>(c));
  if (h == 0) h = 1;
  return static_cast<std::int32_t>(h);
}

namespace {

std::string LoginName() {
#ifdef _WIN32
  char name[256];
  DWORD size = sizeof name;
  if (GetUserNameA(name, &size) && size > 0) return std::string(name, size - 1);
  if (const char* env = std::getenv("USERNAME")) return env;
#else
  if (const passwd* pw = getpwuid(getuid())) return pw->pw_name;
  if (const char* env = std::getenv("USER")) return env;
#endif
  return std::string();
}

std::string HostName() {
#ifdef _WIN32
  char name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = sizeof name;
  if (GetComputerNameA(name, &size)) return std::string(name, size);
  return std::string();
#else
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) == 0) return name;
  return std::string();
#endif
}

}  // namespace

std::int32_t UserCode() {
  static const std::int32_t code = MakeUserCode(LoginName(), HostName());
  return code;
}

}  // namespace proctorium
