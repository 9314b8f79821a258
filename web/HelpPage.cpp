#include "web/HelpPage.h"

#include "app/MessageDlg.h"
#include "app/ProgramFolder.h"
#include "app/core/FileIO.h"
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
    launcher->ExecuteUrl();
    return;
  }
  MessageDlg(QStringLiteral("Cannot find help file:\n\n[%1]").arg(QString::fromStdString(path)), TMsgDlgType::Warning,
             mbOK);
}

}  // namespace proctorium
