#include "web/HelpPage.h"

#include "base/MessageDlg.h"
#include "base/ProgramFolder.h"
#include "base/core/FileIO.h"
#include "web/GoToWeb.h"

namespace proctorium {

namespace {

TGoToWeb* Launcher = nullptr;

}  // namespace

void SetHelpLauncher(TGoToWeb* launcher) { Launcher = launcher; }

void ShowHelpPage(const std::string& page) {
  const std::string path = ProgramPath("help\\" + page);
  if (FileExists(path)) {
    TGoToWeb spare;
    TGoToWeb* launcher = Launcher ? Launcher : &spare;
    launcher->Url = path;
    // A help button that does nothing leaves the user guessing: say which
    // page could not be shown and why.
    if (!launcher->ExecuteUrl())
      MessageDlg(QStringLiteral("The help page could not be opened:\n\n[%1]\n\n%2")
                     .arg(QString::fromStdString(path), QString::fromStdString(launcher->LastError)),
                 TMsgDlgType::Warning, mbOK);
    return;
  }
  MessageDlg(QStringLiteral("Cannot find help file:\n\n[%1]").arg(QString::fromStdString(path)), TMsgDlgType::Warning,
             mbOK);
}

}  // namespace proctorium
