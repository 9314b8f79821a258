#pragma once
// The command Windows has registered for opening HTML files, read from the
// registry without any GUI toolkit.

#ifdef _WIN32

#include <string>

namespace proctorium {

// The open command of the first of ".HTM", ".HTML", ".SHTML" and ".SHTM"
// that has one, through the extension's file type or the extension's own
// "shell\open\command" key, cleaned of its placeholders ("%1"). Empty when
// none of them has a command.
std::string FindRegisteredBrowserCommand();

}  // namespace proctorium

#endif
