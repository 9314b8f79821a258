#include "questions/SearchForm.h"

#include "base/AnsiText.h"
#include "base/Controls.h"
#include "base/MessageDlg.h"
#include "base/Settings.h"

namespace proctorium {

TSearchForm* SearchForm = nullptr;

namespace {

TSearchTarget* Target = nullptr;

}  // namespace

void SetSearchTarget(TSearchTarget* target) { Target = target; }

TSearchForm::TSearchForm(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("SearchForm"));
  setWindowTitle(QStringLiteral("Find"));
  SetFixedDialogFrame(this);
  setFixedSize(213, 85);
  SetWindowHelpPage(this, "edit.htm");
  edSearchString = MakeEdit(this, "edSearchString",
                            QStringLiteral("Enter search text to be looked for (case irrelevant)"), {8, 14, 197, 22});
  edSearchString->setPlaceholderText(QStringLiteral("Text to find"));
  btnFirst =
      MakeButton(this, "btnFirst", QStringLiteral("First"),
                 QStringLiteral("Find the first instance of the search text in the question set"), {8, 52, 60, 22});
  btnFirst->setDefault(true);
  btnNext =
      MakeButton(this, "btnNext", QStringLiteral("Next"),
                 QStringLiteral("Find the next occurrence of the search text in the question set"), {76, 52, 60, 22});
  btnClose =
      MakeButton(this, "btnClose", QStringLiteral("Close"), QStringLiteral("Close this dialog box"), {145, 52, 60, 22});
  connect(btnFirst, &QPushButton::clicked, this, [this] { btnFirstClick(); });
  connect(btnNext, &QPushButton::clicked, this, [this] { btnNextClick(); });
  connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
}

void TSearchForm::FormShow() { SetShowHint(Settings().ShowHints()); }

void TSearchForm::SearchStep(bool fromNext) {
  if (!Target) return;
  // Showing a hit would overwrite the record being changed or added, and
  // moving the set's cursor would make Cancel return to the wrong record.
  if (Target->EditPending()) {
    MessageDlg(QStringLiteral("You must save or cancel edit before searching"), TMsgDlgType::Information, mbOK);
    return;
  }
  const std::string text = edSearchString->text().toStdString();
  if (text.empty()) MessageDlg(QStringLiteral("No search text specified !"), TMsgDlgType::Information, mbOK);
  if (!Target->FindAndShow(text, fromNext))
    MessageDlg(QStringLiteral("Text not found"), TMsgDlgType::Information, mbOK);
}

}  // namespace proctorium
