#include "web/core/BrowserCommand.h"

#include "base/core/Ascii.h"

namespace proctorium {

int BrowserShowCommand(int state) {
  switch (state) {
    case gwMaximized:
      return 3;
    case gwNormal:
      return 1;
    default:
      return 0;
  }
}

std::string CleanCommand(const std::string& command) {
  std::string s = command;
  if (s.empty()) return s;
  size_t i = 0;
  do {
    if (s[i] == '%')
      s.erase(i, 2);
    else
      ++i;
  } while (i + 1 < s.size());
  return s;
}

TBrowserCommand SplitBrowserCommand(const std::string& command) {
  const std::string s = UpperAscii(command);
  size_t end = std::string::npos;  // index of the last character of the extension
  for (size_t i = s.size(); i >= 4; --i) {
    const std::string four = s.substr(i - 4, 4);
    if (four == ".EXE" || four == ".BAT" || four == ".COM") {
      end = i - 1;
      break;
    }
  }
  TBrowserCommand r;
  if (end == std::string::npos) {
    // No program extension to split at: the program is the first word, or
    // the quoted part when the command starts with a quote.
    const std::string t = Trim(s);
    size_t stop;
    if (!t.empty() && t.front() == '"') {
      stop = t.find('"', 1);
      r.Program = t.substr(1, stop == std::string::npos ? std::string::npos : stop - 1);
      if (stop != std::string::npos) ++stop;
    } else {
      stop = t.find(' ');
      r.Program = t.substr(0, stop);
    }
    r.Params = stop == std::string::npos ? std::string() : Trim(t.substr(stop));
    return r;
  }
  r.Program = s.substr(0, end + 1);
  if (end + 1 < s.size()) {
    r.Params = Trim(s.substr(end + 1));
    const size_t firstNonQuote = r.Params.find_first_not_of('"');
    r.Params.erase(0, firstNonQuote == std::string::npos ? r.Params.size() : firstNonQuote);
  }
  if (!r.Program.empty() && r.Program.front() == '"') r.Program.erase(0, 1);
  return r;
}

}  // namespace proctorium
