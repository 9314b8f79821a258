#pragma once
// The question editor: browses, changes, adds and deletes the records of one
// question set and writes the file back when closed after a change.

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <array>
#include <cstdint>
#include <string>

#include "base/Form.h"
#include "base/Image.h"
#include "editor/RadioGroup.h"
#include "editor/core/EditorLayout.h"
#include "questions/SearchForm.h"
#include "questions/core/QuestionSet.h"

namespace proctorium {

// Editing means unsaved changes on screen.
enum class TEditMode { Browsing = 0, Editing = 1, Adding = 2 };

class TAddEditForm : public TForm, public TSearchTarget {
  Q_OBJECT
 public:
  explicit TAddEditForm(QWidget* parent = nullptr);
  ~TAddEditForm() override;

  // What the Find dialog searches.
  bool EditPending() const override { return EditMode != TEditMode::Browsing; }
  bool FindAndShow(const std::string& text, bool fromNext) override;
  // Selects a match found by the search in the memo that holds it.
  void SelectMatch(const TSearchHit& hit);

  QLabel* lbQuestionTitle;
  QPlainTextEdit* memoQuestion;
  QFrame* Panel1;
  TImage* Image1;
  QLabel* lblAnswers;
  QCheckBox* cbRandomize;
  QFrame* panelExhibit;
  QPushButton* btnImageShow;
  QPushButton* btnImageDelete;
  QPushButton* btnImageAdd;
  QScrollArea* ScrollBox1;
  QLabel* Label1;
  // The key: ticked when the answer beside it is correct.
  std::array<QCheckBox*, AnswerCount> SpeedButton;      // SpeedButton1 .. SpeedButton8
  std::array<QPlainTextEdit*, AnswerCount> memoOption;  // memoOption1 .. memoOption8
  QLabel* lblRemarks;
  QPlainTextEdit* memoRemarks;
  QWidget* panelButtons;
  QPushButton* btnAdd;
  QPushButton* btnDelete;
  QPushButton* btnSave;
  QPushButton* btnCancel;
  TRadioGroup* rgAnswerType;
  QLabel* Label5;
  QToolButton* btnFirst;
  QToolButton* btnPrev;
  QToolButton* btnNext;
  QToolButton* btnLast;
  QPushButton* btnFind;
  QPushButton* btnImport;
  QPushButton* btnExport;
  QGroupBox* GroupBox1;
  QCheckBox* cbProtectedSet;
  QPushButton* btnHelp;
  QPushButton* btnClose;

  TEditMode EditMode = TEditMode::Browsing;
  bool Loading = false;
  bool SetChanged = false;
  TQuestion EditBuffer;
  AnswerMask EditMask = 0;
  TQuestionSet QuestionSet;
  std::string ExhibitName;  // Windows-1252 bytes, as stored in the record

  void SetEditMode(TEditMode mode);
  void ShowQuestion();
  void GoToQuestion(int index);
  void ShowCorrectMarks();
  void ShowExhibitArea();
  void ShowExhibitThumbnail();
  const TEditorLayout& Layout() const { return Layout_; }

  void memoQuestionChange();
  void ToggleCorrect(QCheckBox* button);
  void rgAnswerTypeClick();
  void btnAddClick();
  void btnDeleteClick();
  void btnSaveClick();
  void btnCancelClick();
  void btnFirstClick() { GoToQuestion(0); }
  void btnPrevClick();
  void btnNextClick();
  void btnLastClick() { GoToQuestion(QuestionSet.LastIndex); }
  void btnFindClick();
  // Questions from a file in another format, added after the last one.
  void btnImportClick();
  // The set in another format.
  void btnExportClick();
  void btnHelpClick();
  void btnCloseClick() { close(); }
  void cbProtectedSetClick() { SetChanged = true; }
  void btnImageAddClick();
  void btnImageDeleteClick();
  void btnImageShowClick();

  void done(int result) override;

  // The copy of the set as edited, written beside it at every record Save,
  // so that work survives a crash until the set is closed.
  static std::string RecoveryFile(const std::string& setFile) { return setFile + ".recover"; }

 protected:
  void FormShow() override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  // True when the window may close; writes the set when it was changed.
  bool FormClose();
  void FormResize();
  void ApplyLayout();
  // Real path of a file in the Tests folder named by stored bytes.
  std::string TestsPath(const std::string& ansiName) const;
  void SetQuestionWidth(int width);

  // Places the answer rows for the window font: the "Correct" heading and a
  // line of the font each need room the design's figures do not give.
  void PlaceAnswerRows();

  TEditorLayout Layout_;
  int AnswerRowsTop_ = 20;
  int AnswerRowHeight_ = 33;
  QWidget* Answers_;         // the scrolled content of ScrollBox1
  bool Sized_ = false;       // given its outer design size on first showing
  bool Shown_ = false;       // the exhibit area may speak only once opened
  bool LoadFailed_ = false;  // the file could not be read: nothing to write back
  // The set came from a Unicode file, or the author has been told it now
  // needs one: either way, saving it so needs no word.
  bool LoadedUnicode_ = false;
  bool UnicodeNoticeGiven_ = false;
  std::string FileName_;  // the set's file as it was opened
  // Writes the recovery copy; a failure is reported, the edit stays.
  void WriteRecovery();
  // Offers the recovery copy a crash left behind; true when it was taken.
  bool OfferRecovery();
  std::string LoadedBytes_;  // its contents then, or as last saved here
};

extern TAddEditForm* AddEditForm;

}  // namespace proctorium
