#pragma once
// The help pages: HTML files of the help folder, opened in the web browser.

#include <string>

namespace proctorium {

class TGoToWeb;

// The launcher that opens the pages: the start window's own.
void SetHelpLauncher(TGoToWeb* launcher);
// Opens help\<page> of the program folder, or says that it is missing.
void ShowHelpPage(const std::string& page);

}  // namespace proctorium
