#pragma once
// The start window, the program's main window: the list of question sets,
// the summary of the highlighted one, the user's settings menu and the way
// to every other window.

#include <QAction>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string>

#include "app/FileListBox.h"
#include "app/Image.h"

namespace proctorium {

class TGoToWeb;

class TStartForm : public QMainWindow {
  Q_OBJECT
 public:
  // programFolder: the folder of the running executable.
  explicit TStartForm(const std::string& programFolder, QWidget* parent = nullptr);

  // The executable's folder, ending with a separator.
  const std::string& ProgramFolder() const { return ProgramFolder_; }
  // ProgramFolder + a relative part written Windows-style ("Tests\x.qst",
  // "\tests\"), resolved to the real file on this platform.
  std::string ProgramPath(const std::string& relative) const;
  // The real path of a picture named in a set: stored names are
  // Windows-1252, file names on disk are UTF-8. Empty for a name that is
  // not a plain file name, so nothing outside the Tests folder is shown.
  std::string PicturePath(const std::string& storedName) const;

  TFileListBox* FileListBox1;
  QFrame* Panel1;
  TImage* Image1;
  QPlainTextEdit* Memo1;
  QPushButton* btnStart;
  QPushButton* btnEdit;
  QPushButton* btnAdd;
  QPushButton* btnDelete;
  QPushButton* btnHelp;
  QPushButton* btnClose;
  TGoToWeb* GoToWeb1;

  QMenu* Application1;
  QAction* ShowHints1;
  QAction* FontSizeSmall1;
  QAction* FontSizeMedium1;
  QAction* FontsizeLarge1;
  QAction* N1;
  QAction* ElapsedTime1;
  QAction* TimeRemaining1;
  QAction* N3;
  QAction* Administrator1;
  QAction* N2;
  QAction* MenuExit;
  QAction* MenuResults;
  QMenu* Help1;
  QAction* MenuHelpIndex;
  QAction* N4;
  QAction* About;

  bool ShowHint() const;
  void SetShowHint(bool on);
  int FontSize() const { return font().pointSize(); }
  void SetFontSize(int points);
  bool ElapsedMode() const { return ElapsedTime1->isChecked(); }

  // A file that cannot be read or is damaged throws, and keeps the
  // administrator options closed and the options unsaved until a later
  // load succeeds.
  void LoadOptions();
  void SaveOptions();
  bool OptionsTrusted() const { return OptionsTrusted_; }
  void FormShow();
  void ShowSummary();
  // Loads a picture if the file exists; false (picture unchanged) if not.
  // A file that exists but is no readable picture throws EFileError.
  bool LoadImageFile(TImage* image, const std::string& path);
  void ShowHelpPage(const std::string& page);
  // Copies source to destination byte for byte, through a temporary file.
  void FileCopy(const std::string& source, const std::string& destination);
  // The built-in 320 x 50 banner.
  static QImage Logo();

  void btnStartClick();
  void btnEditClick();
  void btnAddClick();
  void btnDeleteClick();
  void AdministratorClick();
  void MenuResultsClick();
  void FileListBox1Click();

 protected:
  void showEvent(QShowEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FontSizeClick(QAction* item, int points);
  void TimeModeClick(QAction* item);
  // Ctrl+A with AllowEdits off; true when handled.
  bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

  std::string OptionsRestoreAdvice() const;

  std::string ProgramFolder_;
  bool OptionsTrusted_ = false;
};

extern TStartForm* StartForm;

}  // namespace proctorium
