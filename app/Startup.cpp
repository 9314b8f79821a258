#include "app/Startup.h"

#include <QApplication>

#include "app/AboutBox.h"
#include "app/AdminOptions.h"
#include "app/NewPasswordDlg.h"
#include "app/PasswordDlg.h"
#include "app/StartForm.h"
#include "base/FocusStyle.h"
#include "base/MessageDlg.h"
#include "base/ProgramFolder.h"
#include "base/core/ExecutablePath.h"
#include "base/core/PathResolver.h"
#include "editor/AddEditForm.h"
#include "questions/SearchForm.h"
#include "session/Form1.h"
#include "session/ResultsForm.h"
#include "session/TimerValue.h"
#include "session/core/AttemptJournal.h"

namespace proctorium {

void CreateForms(const std::string& programFolder) {
  InstallHintFilter();
  TFocusStyle::Install();
  StartForm = new TStartForm(programFolder);
  Form1 = new TForm1();
  AddEditForm = new TAddEditForm();
  SearchForm = new TSearchForm();
  ResultsForm = new TResultsForm();
  NewPasswordDlg = new TNewPasswordDlg();
  PasswordDlg = new TPasswordDlg();
  AdminOptions = new TAdminOptions();
  AboutBox = new TAboutBox();
  TimerValue = new TTimerValue();
}

void DestroyForms() {
  delete TimerValue;
  TimerValue = nullptr;
  delete AboutBox;
  AboutBox = nullptr;
  delete AdminOptions;
  AdminOptions = nullptr;
  delete PasswordDlg;
  PasswordDlg = nullptr;
  delete NewPasswordDlg;
  NewPasswordDlg = nullptr;
  delete ResultsForm;
  ResultsForm = nullptr;
  delete SearchForm;
  SearchForm = nullptr;
  delete AddEditForm;
  AddEditForm = nullptr;
  delete Form1;
  Form1 = nullptr;
  delete StartForm;
  StartForm = nullptr;
}

std::string ExecutableFolder() {
  const std::string folder = FolderOfExecutable(ExecutablePath());
  if (!folder.empty()) return folder;
  return WithTrailingSeparator(QCoreApplication::applicationDirPath().toStdString());
}

bool CheckOptionsFile(const std::string& programFolder) {
  if (FileExists(ResolvePath(programFolder, "Proctorium.opt"))) return true;
  MessageDlg(QStringLiteral("Essential file missing, program aborted:\n\nProctorium.opt"), TMsgDlgType::Warning, mbOK);
  return false;
}

int RunProctorium(const std::string& programFolder) {
  CreateForms(programFolder);
  int code = 1;
  if (CheckOptionsFile(programFolder)) {
    // Leftovers of saves interrupted by a crash or a kill, here or at another
    // seat; files still being written are left alone.
    RemoveStaleTemporaryFiles(ProgramFolder(), StaleTemporaryFileAgeSeconds);
    RemoveStaleTemporaryFiles(ProgramPath("Tests\\"), StaleTemporaryFileAgeSeconds);
    RemoveStaleTemporaryFiles(ProgramPath(AttemptsRelative), StaleTemporaryFileAgeSeconds);
    StartForm->show();
    code = QApplication::exec();
  }
  DestroyForms();
  return code;
}

}  // namespace proctorium
