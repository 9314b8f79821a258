#include "questions/SearchForm.h"

#include "app/AnsiText.h"
#include "app/Controls.h"
#include "app/MessageDlg.h"
#include "app/StartForm.h"
#include "editor/AddEditForm.h"
#include "questions/core/SearchHit.h"

#include <QTextCursor>

namespace proctorium {

TSearchForm* SearchForm = nullptr;

TSearchForm::TSearchForm(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("SearchForm"));
  setWindowTitle(QStringLiteral("Find"));
  SetFixedDialogFrame(this);
  setFixedSize(213, 85);
  SetWindowHelpPage(this, "edit.htm");
  edSearchString = new QLineEdit(this);
  edSearchString->setObjectName(QStringLiteral("edSearchString"));
  edSearchString->setToolTip(QStringLiteral("Enter search text to be looked for (case irrelevant)"));
  edSearchString->setGeometry(8, 14, 197, 22);
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

void TSearchForm::FormShow() {
  if (StartForm) SetShowHint(StartForm->ShowHint());
}

void TSearchForm::ShowHit(const TSearchHit& hit) {
  QPlainTextEdit* memo = nullptr;
  std::string field;
  const TQuestion q = AddEditForm->QuestionSet.GetCurrent();
  switch (hit.Field) {
    case THitField::Text:
      memo = AddEditForm->memoQuestion;
      field = q.Text;
      break;
    case THitField::Answer:
      memo = AddEditForm->memoOption[static_cast<size_t>(hit.Answer)];
      field = q.Answers[static_cast<size_t>(hit.Answer)];
      AddEditForm->ScrollBox1->ensureWidgetVisible(memo);
      break;
    case THitField::Remarks:
      memo = AddEditForm->memoRemarks;
      field = q.Remarks;
      break;
    case THitField::None:
      return;
  }
  // The memo holds the text with its CR LF breaks as single line breaks.
  auto chars = [&field](std::size_t bytes) {
    return static_cast<int>(
        FromAnsi(field.substr(0, bytes)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).size());
  };
  const int from = chars(hit.Offset);
  const int to = chars(hit.Offset + hit.Length);
  QTextCursor cursor = memo->textCursor();
  cursor.setPosition(from);
  cursor.setPosition(to, QTextCursor::KeepAnchor);
  memo->setTextCursor(cursor);
  memo->ensureCursorVisible();
  // The selection shows even though the focus stays in this dialog.
  QPalette p = memo->palette();
  p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
  p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
  memo->setPalette(p);
}

void TSearchForm::SearchStep(bool fromNext) {
  if (!AddEditForm) return;
  // Showing a hit would overwrite the record being changed or added, and
  // moving the set's cursor would make Cancel return to the wrong record.
  if (AddEditForm->EditMode != 0) {
    MessageDlg(QStringLiteral("You must save or cancel edit before searching"), TMsgDlgType::Information, mbOK);
    return;
  }
  std::string text;
  QString missing;
  // A character the set's texts cannot hold cannot be in them; its '?'
  // stand-in must not match a real question mark.
  const bool storable = ToAnsiChecked(edSearchString->text(), text, missing);
  if (text.empty()) MessageDlg(QStringLiteral("No search text specified !"), TMsgDlgType::Information, mbOK);
  if (storable && AddEditForm->QuestionSet.Search(text, fromNext)) {
    AddEditForm->ShowQuestion();
    ShowHit(LocateSearchHit(AddEditForm->QuestionSet.GetCurrent(), text));
  } else
    MessageDlg(QStringLiteral("Text not found"), TMsgDlgType::Information, mbOK);
}

}  // namespace proctorium
