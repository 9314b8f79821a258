#pragma once
// The code that identifies the user of this installation. The editor
// stamps it into the sets it saves, and a protected set may be edited only
// where the code matches.
//
// It is the 32-bit FNV-1a hash of "<login name>@<host name>", with the
// login name lower-cased (Windows logins ignore case). The same person on
// the same machine therefore gets the same code on every run, whatever
// folder the program was started from. A hash of 0 becomes 1, since 0
// means "no owner".

#include <cstdint>
#include <string>

namespace proctorium {

std::int32_t MakeUserCode(const std::string& loginName, const std::string& hostName);

// The code for the user running this process.
std::int32_t UserCode();

}  // namespace proctorium
