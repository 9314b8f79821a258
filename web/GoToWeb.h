#pragma once
// The web launcher: opens a page or an e-mail address in the user's web
// browser. On Windows it starts the program registered for ".htm" files;
// elsewhere the desktop's default handler.

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "web/core/BrowserCommand.h"

namespace proctorium {

// The parameter part of the browser command found by the last GetBrowser;
// shared by every launcher and valid only until the program is started.
extern std::string BrowserParams;

class TGoToWeb : public QObject {
  Q_OBJECT
 public:
  explicit TGoToWeb(QObject* parent = nullptr);

  std::string Url;
  std::string EMail;
  TBrowserState BrowserState = gwNormal;
  // Why the last ExecuteUrl or ExecuteMail failed, for the user; empty after
  // a success.
  std::string LastError;

  // Starts the browser with Url; true when it could be started.
  bool ExecuteUrl();
  // Starts the browser with "mailto:" and EMail.
  bool ExecuteMail();

#ifdef _WIN32
  // The cleaned command that opens ".htm" files, from the registry.
  static std::string FindBrowserCommand();
  // The browser program, upper case; sets BrowserParams.
  static std::string GetBrowser();
#endif
};

// Starting a program is a seam: with a hook installed nothing is started;
// the hook gets the program and its arguments (on Windows the one
// parameter string) and returns whether the start succeeded.
using TLaunchHook = std::function<bool(const std::string& program, const std::vector<std::string>& args)>;
void SetLaunchHook(TLaunchHook hook);

}  // namespace proctorium
