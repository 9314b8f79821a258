#pragma once
// The start window, the program's main window: the list of question sets,
// the summary of the highlighted one, the user's settings menu and the way
// to every other window.

#include <QAction>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string>

#include "base/FileListBox.h"
#include "base/Image.h"
#include "base/Settings.h"
#include "session/core/AttemptJournal.h"
#include "session/core/TestSettings.h"

namespace proctorium {

class TGoToWeb;

class TStartForm : public QMainWindow, public TSettingsHolder {
  Q_OBJECT
 public:
  // programFolder: the folder of the running executable.
  // Sets the program folder (app/ProgramFolder.h) and offers the window's
  // controls as the settings (app/Settings.h) while it exists.
  explicit TStartForm(const std::string& programFolder, QWidget* parent = nullptr);
  ~TStartForm() override;

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
  // Large print: 16, 20 and 24 points.
  QAction* FontSize16;
  QAction* FontSize20;
  QAction* FontSize24;
  QAction* N1;
  QAction* ElapsedTime1;
  QAction* TimeRemaining1;
  QAction* N3;
  QAction* Administrator1;
  QAction* TestSettings1;     // the highlighted set's settings, behind the password
  QAction* UnfinishedTests1;  // attempts cut short by a crash, behind the password
  QAction* N2;
  QAction* MenuExit;
  QAction* MenuResults;
  QMenu* Print1;
  QAction* PrintPaper1;
  QAction* PrintKey1;
  QAction* PdfPaper1;
  QAction* PdfKey1;
  QAction* PaperVersions1;
  QAction* ScoreScans1;
  QMenu* Help1;
  QAction* MenuHelpIndex;
  QAction* N4;
  QAction* About;

  bool ShowHint() const;
  void SetShowHint(bool on);
  void SetFontSize(int points);

  // The settings, read from the controls that hold them.
  bool ShowHints() const override { return ShowHint(); }
  int FontSize() const override { return font().pointSize(); }
  TTimeMode TimeMode() const override;
  bool EnableAnswers() const override;
  bool EnableClearResults() const override;
  bool EnableRunningScore() const override;
  bool AllowEdits() const override;
  bool DeletePermitted() const override;
  std::uint32_t ScreenColour() const override;
  int CountdownMinutes() const override;
  std::string SelectedSetFile() const override;
  QImage SelectedSetPicture() const override;
  QPoint StartButtonAt() const override;

  // A file that cannot be read or is damaged throws, and keeps the
  // administrator options closed and the options unsaved until a later
  // load succeeds.
  void LoadOptions();
  void SaveOptions() override;
  bool OptionsTrusted() const { return OptionsTrusted_; }
  void FormShow();
  void ShowSummary();
  // Copies source to destination byte for byte, through a temporary file.
  void FileCopy(const std::string& source, const std::string& destination);

  void btnStartClick();
  // Reads scanned answer sheets of the highlighted set and opens their review.
  void ScoreScansClick();
  void btnEditClick();
  void btnAddClick();
  void btnDeleteClick();
  // Reads the options anew where they could not be trusted, then asks for
  // the administrator password. True when the right one was given.
  bool AdministratorAdmitted();
  void AdministratorClick();
  void TestSettingsClick();
  void UnfinishedTestsClick();
  // Offers each attempt cut short by a crash on any seat to be resumed here.
  void OfferUnfinishedAttempts();
  void MenuResultsClick();
  void FileListBox1Click();

 protected:
  void showEvent(QShowEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FontSizeClick(QAction* item, int points);
  // Whether the set may be started now: its opening time, its password.
  bool MayStart(const TTestSettings& set);
  // Runs the test window with the start window out of reach.
  void RunExam();
  // Highlights the attempt's set and runs the test window on the attempt.
  bool TakeUpAttempt(TUnfinishedAttempt attempt, bool endAtOnce);
  bool AttemptsScheduled_ = false;
  bool AttemptsOffered_ = false;
  // The design's places hold for the design's font; a wider list font or a
  // taller menu bar widen and heighten the window instead of cutting off.
  void FitToFont();
  void TimeModeClick(QAction* item);
  // Enter, and Ctrl+A with AllowEdits off; true when handled. target: the
  // control the key was sent to.
  bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers, QObject* target);

  bool Placed_ = false;  // shown once: the user may have moved it since
  // The list is being filled or pointed by the program, which shows the
  // summary itself once.
  bool Refreshing_ = false;
  // The file to highlight when the list is next read (a set just added).
  std::string Highlight_;
  // The row showing fileName, or -1.
  int HighlightRow(const std::string& fileName);

  std::string OptionsRestoreAdvice() const;
  // Reads Proctorium.ini into the administrator options; a damaged one is
  // reported (once a run) and replaced by the defaults.
  void LoadExtraSettings();
  bool ExtraReported_ = false;

  bool OptionsTrusted_ = false;
};

extern TStartForm* StartForm;

}  // namespace proctorium
