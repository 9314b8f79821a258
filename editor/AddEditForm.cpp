#include "editor/AddEditForm.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "base/AnsiText.h"
#include "base/Controls.h"
#include "base/FileDialogs.h"
#include "base/MessageDlg.h"
#include "base/ModalSeam.h"
#include "base/Pictures.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "base/core/FileIO.h"
#include "base/core/FileLock.h"
#include "base/core/PathResolver.h"
#include "base/core/UserCode.h"
#include "editor/CsvColumnsDialog.h"
#include "editor/ExhibitManager.h"
#include "editor/ImageFit.h"
#include "editor/ShowForm.h"
#include "questions/Converter.h"
#include "questions/core/CsvColumnMemory.h"
#include "questions/core/QuestionExchange.h"
#include "questions/core/SearchHit.h"
#include "web/HelpPage.h"

namespace proctorium {

TAddEditForm* AddEditForm = nullptr;

namespace {

constexpr int FixedFontSize = 8;
constexpr int ButtonPanelWidth = 92;
constexpr int AnswerRowHeight = 33;
constexpr int AnswerRowsTop = 20;

// Labels, check boxes and buttons keep this size whatever the window's font.
void FixFont(QWidget* w, bool bold = false) {
  SetPointSize(w, FixedFontSize);
  if (!bold) return;
  QFont f = w->font();
  f.setBold(true);
  w->setFont(f);
}

QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, const QString& hint) {
  auto* m = new QPlainTextEdit(parent);
  m->setObjectName(QString::fromLatin1(name));
  m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m->setTabChangesFocus(true);
  if (!hint.isEmpty()) m->setToolTip(hint);
  return m;
}

QToolButton* MakeNavButton(QWidget* parent, const char* name, const QString& hint, int x) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setToolTip(hint);
  b->setGeometry(x, 256, 20, 20);
  b->setIconSize(QSize(12, 12));
  return b;
}

// The lowest set bit: the first marked answer in the order A to H.
AnswerMask LowestBit(AnswerMask m) { return static_cast<AnswerMask>(m & (~m + 1)); }

}  // namespace

TAddEditForm::TAddEditForm(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("AddEditForm"));
  setWindowTitle(QStringLiteral("Proctorium - Add / edit questions"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  setSizeGripEnabled(true);

  lbQuestionTitle = MakeLabel(this, "lbQuestionTitle", QStringLiteral("Question #0"), {8, 8}, FixedFontSize);
  // The thumbnail panel comes before the question memo so that the memo,
  // when it is widened over it, hides it.
  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Box | QFrame::Plain);
  Panel1->setToolTip(QStringLiteral("This is the exhibit which will be displayed for this question"));
  Image1 = MakeImage(Panel1, "Image1", QStringLiteral("This is the exhibit which will be displayed for this question"),
                     {1, 1, 101, 101});
  memoQuestion = MakeMemo(this, "memoQuestion", QStringLiteral("Enter the question in this box"));
  memoQuestion->move(8, 24);

  lblAnswers = MakeLabel(this, "lblAnswers", QStringLiteral("Possible answers:"), {8, 136}, FixedFontSize);
  cbRandomize = MakeCheck(this, "cbRandomize", QStringLiteral("Randomize"),
                          QStringLiteral("If checked, answers will be displayed in random order"), {96, 134, 72, 17});
  FixFont(cbRandomize);
  cbRandomize->setMinimumWidth(cbRandomize->sizeHint().width());

  panelExhibit = new QFrame(this);
  panelExhibit->setObjectName(QStringLiteral("panelExhibit"));
  panelExhibit->resize(329, 20);
  btnImageShow = MakeButton(panelExhibit, "btnImageShow", QStringLiteral("Show Exhibit"),
                            QStringLiteral("Display the exhibit full size"), {10, 0, 102, 20}, FixedFontSize);
  btnImageDelete =
      MakeButton(panelExhibit, "btnImageDelete", QStringLiteral("Delete Exhibit"),
                 QStringLiteral("Delete the exhibit from this question"), {118, 0, 102, 20}, FixedFontSize);
  btnImageAdd = MakeButton(panelExhibit, "btnImageAdd", QStringLiteral("Add Exhibit"),
                           QStringLiteral("Add (or change an existing) exhibit for this question"), {226, 0, 102, 20},
                           FixedFontSize);

  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setToolTip(QStringLiteral("Answers to choose from"));
  ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  ScrollBox1->setWidgetResizable(false);
  Answers_ = new QWidget();
  Answers_->setObjectName(QStringLiteral("ScrollBox1Contents"));
  Label1 = MakeLabel(Answers_, "Label1", QStringLiteral("Correct"), {8, 2});
  for (int i = 0; i < AnswerCount; ++i) {
    const int top = AnswerRowsTop + AnswerRowHeight * i;
    const QByteArray n = QByteArray::number(i + 1);
    // A real check box: reached by Tab, ticked with Space, and named for
    // a screen reader; a tick, not a red cross that reads as "wrong".
    auto* b = new QCheckBox(Answers_);
    b->setObjectName(QString::fromLatin1("SpeedButton" + n));
    b->setProperty("Tag", 1 << i);
    b->setGeometry(8, top, 33, 33);
    const QChar letter('A' + i);
    b->setAccessibleName(QStringLiteral("Answer %1 is correct").arg(letter));
    b->setToolTip(QStringLiteral("Tick when answer %1 is correct").arg(letter));
    SpeedButton[static_cast<size_t>(i)] = b;
    auto* m = MakeMemo(Answers_, ("memoOption" + n).constData(), QString());
    m->setAccessibleName(QStringLiteral("Answer %1").arg(letter));
    m->setGeometry(44, top, 450, AnswerRowHeight);
    memoOption[static_cast<size_t>(i)] = m;
  }
  ScrollBox1->setWidget(Answers_);

  lblRemarks = MakeLabel(this, "lblRemarks", QStringLiteral("Reference / Comment:"), {8, 374}, FixedFontSize);
  memoRemarks = MakeMemo(this, "memoRemarks", QStringLiteral("Enter any remarks / comments in this box"));

  panelButtons = new QWidget(this);
  panelButtons->setObjectName(QStringLiteral("panelButtons"));
  btnAdd = MakeButton(panelButtons, "btnAdd", QStringLiteral("&Add"), QStringLiteral("Add a question"), {0, 24, 80, 20},
                      FixedFontSize);
  btnDelete = MakeButton(panelButtons, "btnDelete", QStringLiteral("&Delete"),
                         QStringLiteral("Delete the current question"), {0, 48, 80, 20}, FixedFontSize);
  btnSave = MakeButton(panelButtons, "btnSave", QStringLiteral("&Save"),
                       QStringLiteral("Save all additions / amendments"), {0, 82, 80, 20}, FixedFontSize);
  btnCancel = MakeButton(panelButtons, "btnCancel", QStringLiteral("&Cancel"),
                         QStringLiteral("Cancel any changes made"), {0, 106, 80, 20}, FixedFontSize);
  rgAnswerType =
      new TRadioGroup(QStringLiteral("Answers"), {QStringLiteral("Single"), QStringLiteral("Multiple")}, panelButtons);
  rgAnswerType->setObjectName(QStringLiteral("rgAnswerType"));
  rgAnswerType->setToolTip(QStringLiteral("Indicates whether there is one, or more than one, correct answer"));
  FixFont(rgAnswerType);
  rgAnswerType->setGeometry(0, 162, 80, 55);
  rgAnswerType->SetItemIndex(0);
  Label5 = MakeLabel(panelButtons, "Label5", QStringLiteral("Navigate:"), {0, 240}, FixedFontSize);
  btnFirst = MakeNavButton(panelButtons, "btnFirst", QStringLiteral("Goto first question in set"), 0);
  btnFirst->setIcon(style()->standardIcon(QStyle::SP_MediaSkipBackward));
  btnPrev = MakeNavButton(panelButtons, "btnPrev", QStringLiteral("Goto previous question"), 20);
  btnPrev->setArrowType(Qt::LeftArrow);
  btnNext = MakeNavButton(panelButtons, "btnNext", QStringLiteral("Goto next question"), 40);
  btnNext->setArrowType(Qt::RightArrow);
  btnLast = MakeNavButton(panelButtons, "btnLast", QStringLiteral("Goto last question in set"), 60);
  btnLast->setIcon(style()->standardIcon(QStyle::SP_MediaSkipForward));
  // Pictures only on screen; a screen reader says what they do.
  btnFirst->setAccessibleName(QStringLiteral("First question"));
  btnPrev->setAccessibleName(QStringLiteral("Previous question"));
  btnNext->setAccessibleName(QStringLiteral("Next question"));
  btnLast->setAccessibleName(QStringLiteral("Last question"));
  btnFind =
      MakeButton(panelButtons, "btnFind", QStringLiteral("&Find"),
                 QStringLiteral("Find a word/phrase within the whole question set"), {0, 280, 80, 20}, FixedFontSize);
  btnImport =
      MakeButton(panelButtons, "btnImport", QStringLiteral("&Import..."),
                 QStringLiteral("Add questions from an Aiken, GIFT, XML or CSV file"), {0, 304, 80, 20}, FixedFontSize);
  btnExport = MakeButton(panelButtons, "btnExport", QStringLiteral("E&xport..."),
                         QStringLiteral("Write this question set as an Aiken, GIFT, XML or CSV file"), {0, 372, 80, 20},
                         FixedFontSize);
  GroupBox1 = new QGroupBox(QStringLiteral("Module"), panelButtons);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  FixFont(GroupBox1);
  GroupBox1->setGeometry(0, 328, 80, 41);
  cbProtectedSet = MakeCheck(GroupBox1, "cbProtectedSet", QStringLiteral("Protected"),
                             QStringLiteral("Protect this question set from being edited by another user"), {});
  {
    // Wider than designed where the platform font needs it, still inside
    // the group box.
    const int needed = style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                       style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) +
                       cbProtectedSet->fontMetrics().horizontalAdvance(cbProtectedSet->text()) + 2;
    const int width = std::clamp(needed, 72, 78);
    cbProtectedSet->setGeometry(std::min(6, 80 - width - 1), 16, width, 17);
  }
  btnHelp = MakeButton(panelButtons, "btnHelp", QStringLiteral("He&lp"), QString(), {0, 396, 80, 20}, FixedFontSize);
  btnClose = MakeButton(panelButtons, "btnClose", QStringLiteral("Cl&ose"),
                        QStringLiteral("Stop editing and close this window"), {0, 420, 80, 20}, FixedFontSize);

  for (QPlainTextEdit* m : memoOption) connect(m, &QPlainTextEdit::textChanged, this, [this] { memoQuestionChange(); });
  connect(memoQuestion, &QPlainTextEdit::textChanged, this, [this] { memoQuestionChange(); });
  connect(memoRemarks, &QPlainTextEdit::textChanged, this, [this] { memoQuestionChange(); });
  connect(cbRandomize, &QCheckBox::clicked, this, [this] { memoQuestionChange(); });
  for (QCheckBox* b : SpeedButton) connect(b, &QCheckBox::clicked, this, [this, b] { ToggleCorrect(b); });
  connect(rgAnswerType, &TRadioGroup::Click, this, [this] { rgAnswerTypeClick(); });
  connect(btnAdd, &QPushButton::clicked, this, [this] { btnAddClick(); });
  connect(btnDelete, &QPushButton::clicked, this, [this] { btnDeleteClick(); });
  connect(btnSave, &QPushButton::clicked, this, [this] { btnSaveClick(); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
  connect(btnFirst, &QToolButton::clicked, this, [this] { btnFirstClick(); });
  connect(btnPrev, &QToolButton::clicked, this, [this] { btnPrevClick(); });
  connect(btnNext, &QToolButton::clicked, this, [this] { btnNextClick(); });
  connect(btnLast, &QToolButton::clicked, this, [this] { btnLastClick(); });
  connect(btnFind, &QPushButton::clicked, this, [this] { btnFindClick(); });
  connect(btnImport, &QPushButton::clicked, this, [this] { btnImportClick(); });
  connect(btnExport, &QPushButton::clicked, this, [this] { btnExportClick(); });
  connect(btnHelp, &QPushButton::clicked, this, [this] { btnHelpClick(); });
  connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
  connect(cbProtectedSet, &QCheckBox::clicked, this, [this] { cbProtectedSetClick(); });
  connect(btnImageAdd, &QPushButton::clicked, this, [this] { btnImageAddClick(); });
  connect(btnImageDelete, &QPushButton::clicked, this, [this] { btnImageDeleteClick(); });
  connect(btnImageShow, &QPushButton::clicked, this, [this] { btnImageShowClick(); });

  memoQuestion->setAccessibleName(QStringLiteral("Question"));
  memoRemarks->setAccessibleName(QStringLiteral("Reference / Comment"));
  lblRemarks->setBuddy(memoRemarks);
  // Tab runs from the question through the answers, each followed by its
  // key, then the notes; Randomize and the exhibit come after, so a space
  // typed after the question never ticks or opens them.
  QWidget* previous = memoQuestion;
  for (int i = 0; i < AnswerCount; ++i) {
    setTabOrder(previous, memoOption[static_cast<size_t>(i)]);
    setTabOrder(memoOption[static_cast<size_t>(i)], SpeedButton[static_cast<size_t>(i)]);
    previous = SpeedButton[static_cast<size_t>(i)];
  }
  for (QWidget* next :
       std::initializer_list<QWidget*>{memoRemarks, cbRandomize, btnImageShow, btnImageDelete, btnImageAdd, btnAdd}) {
    setTabOrder(previous, next);
    previous = next;
  }
  auto* find = new QShortcut(QKeySequence::Find, this);
  find->setObjectName(QStringLiteral("FindShortcut"));
  connect(find, &QShortcut::activated, this, [this] {
    if (btnFind->isEnabled()) btnFind->click();
  });

  setMinimumSize(EditorMinWidth, EditorMinHeight);
  resize(EditorMinWidth, EditorMinHeight);
  ApplyLayout();
  btnImageShow->hide();
  btnImageDelete->hide();
  SetWindowHelpPage(this, "edit.htm");
  if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->availableGeometry().center() - rect().center());
  SetSearchTarget(this);
}

TAddEditForm::~TAddEditForm() { SetSearchTarget(nullptr); }

bool TAddEditForm::FindAndShow(const std::string& text, bool fromNext) {
  if (!QuestionSet.Search(text, fromNext)) return false;
  ShowQuestion();
  SelectMatch(LocateSearchHit(QuestionSet.GetCurrent(), text, QuestionSet.Encoding));
  return true;
}

void TAddEditForm::SelectMatch(const TSearchHit& hit) {
  QPlainTextEdit* memo = nullptr;
  std::string field;
  const TQuestion q = QuestionSet.GetCurrent();
  switch (hit.Field) {
    case THitField::Text:
      memo = memoQuestion;
      field = q.Text;
      break;
    case THitField::Answer:
      memo = memoOption[static_cast<size_t>(hit.Answer)];
      field = q.Answers[static_cast<size_t>(hit.Answer)];
      ScrollBox1->ensureWidgetVisible(memo);
      break;
    case THitField::Remarks:
      memo = memoRemarks;
      field = q.Remarks;
      break;
    case THitField::None:
      return;
  }
  // The memo holds the text with its CR LF breaks as single line breaks.
  const bool utf8 = QuestionSet.Encoding == TTextEncoding::Utf8;
  auto chars = [&field, utf8](std::size_t bytes) {
    return static_cast<int>(FromSetText(field.substr(0, bytes), utf8).size());
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

void TAddEditForm::FormShow() {
  Shown_ = false;
  SetFontSize(Settings().FontSize());
  Label1->adjustSize();  // the one label that follows the window font
  PlaceAnswerRows();
  FileName_ = Settings().SelectedSetFile();
  setWindowTitle(QStringLiteral("Proctorium - Add / edit questions [") +
                 QString::fromStdString(ExtractFileName(FileName_)) + QStringLiteral("]"));
  SetShowHint(Settings().ShowHints());
  // A fresh set first: a file that fails to load must not leave the
  // previous opening's records here to be written over it.
  QuestionSet = TQuestionSet();
  LoadFailed_ = false;
  try {
    QuestionSet.LoadFromFile(FileName_);
    // What was loaded, to notice another seat's save before writing over it.
    LoadedBytes_.clear();
    ReadRegularFile(FileName_, MaxSetFileBytes, LoadedBytes_);
  } catch (const std::exception& e) {
    LoadFailed_ = true;
    ShowException(e);
  }
  cbProtectedSet->setChecked(QuestionSet.ProtectedSet);
  LoadedUnicode_ = QuestionSet.Encoding == TTextEncoding::Utf8;
  UnicodeNoticeGiven_ = false;
  Loading = false;
  SetChanged = false;
  if (!LoadFailed_ && OfferRecovery()) {
    cbProtectedSet->setChecked(QuestionSet.ProtectedSet);
    SetChanged = true;
  }
  SetEditMode(TEditMode::Browsing);
  if (!Sized_) {
    // A large window font opens a larger window, so the question and the
    // remarks show more of their text.
    OpenGrownForFont(this, {EditorMinWidth - EditorFrameWidth, EditorMinHeight - EditorFrameHeight});
    Sized_ = true;
  }
  ApplyLayout();
  GoToQuestion(0);
  Shown_ = true;
  if (LoadFailed_) {
    // Nothing to edit: leave again once the error has been seen.
    QMetaObject::invokeMethod(
        this, [this] { done(mrCancel); }, Qt::QueuedConnection);
  }
}

void TAddEditForm::SetEditMode(TEditMode mode) {
  EditMode = mode;
  const bool browsing = EditMode == TEditMode::Browsing;
  const bool changing = EditMode == TEditMode::Editing || EditMode == TEditMode::Adding;
  const int current = QuestionSet.Current;
  btnSave->setEnabled(changing);
  btnCancel->setEnabled(changing);
  btnAdd->setEnabled(browsing);
  btnClose->setEnabled(browsing);
  btnFind->setEnabled(browsing);
  btnImport->setEnabled(browsing);
  btnExport->setEnabled(browsing);
  btnDelete->setEnabled(browsing && current != 0);
  btnFirst->setEnabled(browsing && current > 0);
  btnPrev->setEnabled(browsing && current > 0);
  btnNext->setEnabled(browsing && current < QuestionSet.LastIndex);
  btnLast->setEnabled(browsing && current < QuestionSet.LastIndex);
}

void TAddEditForm::ShowQuestion() {
  Loading = true;
  SetEditMode(EditMode);
  lbQuestionTitle->setText(QStringLiteral("Question #") + QString::number(QuestionSet.Current));
  lbQuestionTitle->adjustSize();
  const TQuestion r = QuestionSet.GetCurrent();
  rgAnswerType->SetItemIndex(r.AnswerType != TAnswerType::Single ? 1 : 0);
  cbRandomize->setChecked(r.RandomizeAnswers != 0);
  const bool utf8 = QuestionSet.Encoding == TTextEncoding::Utf8;
  memoQuestion->setPlainText(FromSetText(r.Text, utf8));
  for (int i = 0; i < AnswerCount; ++i)
    memoOption[static_cast<size_t>(i)]->setPlainText(FromSetText(r.Answers[static_cast<size_t>(i)], utf8));
  memoRemarks->setPlainText(FromSetText(r.Remarks, utf8));
  EditMask = r.CorrectMask;
  ExhibitName = r.ExhibitFile;
  ShowCorrectMarks();
  ShowExhibitArea();
  Loading = false;
}

void TAddEditForm::GoToQuestion(int index) {
  QuestionSet.SetCurrent(index);
  ShowQuestion();
}

void TAddEditForm::ShowCorrectMarks() {
  for (QCheckBox* b : SpeedButton) b->setChecked((EditMask & b->property("Tag").toInt()) != 0);
}

void TAddEditForm::memoQuestionChange() {
  if (EditMode == TEditMode::Browsing && !Loading) SetEditMode(TEditMode::Editing);
}

void TAddEditForm::ToggleCorrect(QCheckBox* button) {
  const auto t = static_cast<AnswerMask>(button->property("Tag").toInt());
  if (rgAnswerType->ItemIndex() == 0)
    EditMask = t;
  else
    EditMask ^= t;
  if (EditMode == TEditMode::Browsing) SetEditMode(TEditMode::Editing);
  ShowCorrectMarks();
}

void TAddEditForm::rgAnswerTypeClick() {
  const int selected = rgAnswerType->ItemIndex();
  if (selected == 0) {
    EditMask = LowestBit(EditMask);
    ShowCorrectMarks();
  }
  const int stored = QuestionSet.GetCurrent().AnswerType != TAnswerType::Single ? 1 : 0;
  if (EditMode == TEditMode::Browsing && selected != stored) SetEditMode(TEditMode::Editing);
}

void TAddEditForm::btnAddClick() {
  if (QuestionSet.LastIndex >= MaxQuestions) {
    MessageDlg(QStringLiteral("Limit of 250 questions reached"), TMsgDlgType::Warning, mbOK);
    return;
  }
  SetEditMode(TEditMode::Adding);
  rgAnswerType->SetItemIndex(0);
  cbRandomize->setChecked(true);
  memoQuestion->clear();
  for (QPlainTextEdit* m : memoOption) m->clear();
  memoRemarks->clear();
  EditMask = 0;
  ExhibitName.clear();
  ShowCorrectMarks();
  ShowExhibitArea();
  lbQuestionTitle->setText(QStringLiteral("Question #") + QString::number(QuestionSet.LastIndex + 1));
  lbQuestionTitle->adjustSize();
  memoQuestion->setFocus();
}

void TAddEditForm::btnSaveClick() {
  const std::array<const QPlainTextEdit*, AnswerCount + 2> memos{
      memoQuestion,  memoOption[0], memoOption[1], memoOption[2], memoOption[3],
      memoOption[4], memoOption[5], memoOption[6], memoOption[7], memoRemarks};
  // A character Windows-1252 lacks turns the set into a Unicode one, which
  // holds every text as UTF-8 from then on.
  if (QuestionSet.Encoding == TTextEncoding::Cp1252) {
    std::string bytes;
    QString missing;
    for (const QPlainTextEdit* memo : memos)
      if (!ToAnsiChecked(memo->toPlainText(), bytes, missing)) QuestionSet.UseUtf8();
  }
  const bool utf8 = QuestionSet.Encoding == TTextEncoding::Utf8;
  auto take = [utf8](const QPlainTextEdit* memo) {
    return utf8 ? ToUtf8Text(memo->toPlainText()) : ToAnsi(memo->toPlainText());
  };
  TQuestion q;
  q.AnswerType = rgAnswerType->ItemIndex() == 1 ? TAnswerType::Multiple : TAnswerType::Single;
  q.RandomizeAnswers = cbRandomize->isChecked() ? 1 : 0;
  q.Text = take(memoQuestion);
  for (int i = 0; i < AnswerCount; ++i) q.Answers[static_cast<size_t>(i)] = take(memoOption[static_cast<size_t>(i)]);
  q.Remarks = take(memoRemarks);
  q.CorrectMask = EditMask;
  q.ExhibitFile = ExhibitName;
  SetChanged = true;
  EditBuffer = q;
  if (EditMode == TEditMode::Adding)
    QuestionSet.Add(EditBuffer);
  else
    QuestionSet.ReplaceCurrent(EditBuffer);
  SetEditMode(TEditMode::Browsing);
  WriteRecovery();
}

void TAddEditForm::WriteRecovery() {
  if (LoadFailed_ || FileName_.empty()) return;
  Guarded([this] { WriteFileAtomic(RecoveryFile(FileName_), QuestionSet.Serialize()); });
}

bool TAddEditForm::OfferRecovery() {
  const std::string path = RecoveryFile(FileName_);
  if (!FileExists(path)) return false;
  TQuestionSet recovered;
  try {
    recovered.LoadFromFile(path);
  } catch (const std::exception& e) {
    // A copy that cannot be read helps nobody; the set itself is intact.
    ShowException(e);
    std::error_code ec;
    std::filesystem::remove(ToFsPath(path), ec);
    return false;
  }
  const int n = recovered.LastIndex;
  const QString text =
      QStringLiteral(
          "This question set was not closed properly when it was last edited. A recovered copy holds %1 "
          "question%2 saved then.\nRestore the recovered questions ?")
          .arg(n)
          .arg(n == 1 ? QString() : QStringLiteral("s"));
  if (MessageDlg(text, TMsgDlgType::Confirmation, mbYes | mbNo, mbYes) != mrYes) {
    std::error_code ec;
    std::filesystem::remove(ToFsPath(path), ec);
    return false;
  }
  QuestionSet = recovered;
  return true;
}

void TAddEditForm::btnCancelClick() {
  SetEditMode(TEditMode::Browsing);
  GoToQuestion(QuestionSet.Current);
}

void TAddEditForm::btnDeleteClick() {
  if (QuestionSet.Current == 0) return;
  if (MessageDlg(QStringLiteral("Are you sure you want to delete this question ?"), TMsgDlgType::Confirmation,
                 mbYes | mbNo, mbNo) != mrYes)
    return;
  QuestionSet.DeleteCurrent();
  GoToQuestion(QuestionSet.Current);
  SetChanged = true;
  WriteRecovery();
}

void TAddEditForm::btnPrevClick() {
  if (QuestionSet.Current > 0) GoToQuestion(QuestionSet.Current - 1);
}

void TAddEditForm::btnNextClick() {
  if (QuestionSet.Current < QuestionSet.LastIndex) GoToQuestion(QuestionSet.Current + 1);
}

void TAddEditForm::btnFindClick() {
  if (!SearchForm) return;
  // A child of the editor, so that the editor's modality does not block it.
  if (SearchForm->parentWidget() != this) SearchForm->setParent(this, SearchForm->windowFlags() | Qt::Dialog);
  if (!SearchForm->isVisible()) {
    // Beside the editor where the screen has room, else over its remarks.
    const QRect editor = frameGeometry();
    const QSize size = SearchForm->frameGeometry().size();
    QPoint at(editor.right() + 1, editor.top() + 40);
    if (QScreen* screen = this->screen()) {
      const QRect room = screen->availableGeometry();
      if (at.x() + size.width() > room.right()) {
        at.setX(editor.left() - size.width() - 1);
        if (at.x() < room.left()) at = mapToGlobal(QPoint(memoRemarks->x() + 8, memoRemarks->y() - 8 - size.height()));
      }
    }
    SearchForm->move(at);
  }
  SearchForm->show();
  SearchForm->raise();
  SearchForm->activateWindow();
}

namespace {
const QString ExchangeFilter = QStringLiteral(
    "Question files (*.txt *.gift *.xml *.csv);;Aiken text (*.txt);;GIFT (*.gift);;XML (*.xml);;CSV (*.csv)");
}  // namespace

void TAddEditForm::btnImportClick() {
  if (EditMode != TEditMode::Browsing) return;
  const QString file = GetOpenFileName(this, QStringLiteral("Import questions"),
                                       QString::fromStdString(ProgramPath("Tests\\")), ExchangeFilter);
  if (file.isEmpty()) return;
  const std::string path = file.toStdString();
  TImportResult r;
  try {
    const std::string bytes = ReadImportFile(path);
    const TExchangeFormat format = FormatOfFile(path);
    const std::vector<std::string> header =
        format == TExchangeFormat::Csv ? ForeignCsvHeader(bytes, ExtractFileName(path)) : std::vector<std::string>();
    if (header.empty()) {
      r = ImportQuestions(format, bytes, ExtractFileName(path));
    } else {
      // A table from another tool: its columns as chosen for this header
      // before, or as the teacher chooses them now.
      const std::string memoryPath = ProgramPath(CsvColumnsFileName);
      TCsvColumnMemory memory;
      memory.Load(memoryPath);
      std::optional<TCsvColumns> columns = memory.Find(header);
      if (!columns) {
        TCsvColumnsDialog dlg(this, header, GuessCsvColumns(header));
        if (ExecModal(&dlg) != mrOk) return;
        columns = dlg.Columns();
        memory.Remember(header, *columns);
        Guarded([&] { memory.Save(memoryPath); });
      }
      r = ReadCsv(bytes, ExtractFileName(path), *columns);
    }
    RefuseOutsideExhibits(r);
    ConvertImages(r, ToBitmap);
    LimitToRoom(r, MaxQuestions - QuestionSet.LastIndex);
    // A set too large to open again is never made.
    TQuestionSet grown = QuestionSet;
    MatchEncodings(grown, r);
    for (const TQuestion& q : r.Questions) grown.Add(q);
    CheckSetSize(path, grown.Serialize());
  } catch (const std::exception& e) {
    MessageDlg(QStringLiteral("The file cannot be imported:\n") + QString::fromStdString(e.what()),
               TMsgDlgType::Warning, mbOK);
    return;
  }
  CheckExhibits(r, [](const std::string& name) { return FileExists(PicturePath(name)); });
  const QString summary = QString::fromStdString(ImportSummary(r));
  if (r.Questions.empty()) {
    MessageDlg(summary, TMsgDlgType::Information, mbOK);
    return;
  }
  if (MessageDlg(summary + QStringLiteral("\n\nAdd them to the question set ?"), TMsgDlgType::Confirmation,
                 mbYes | mbNo) != mrYes)
    return;
  // Pictures first: a folder that cannot take them leaves the set as it was.
  if (!Guarded([&] { WriteImages(r, ProgramPath("Tests\\")); })) return;
  const int first = QuestionSet.LastIndex + 1;
  MatchEncodings(QuestionSet, r);
  DescribeFromImport(QuestionSet, r, ExtractFileName(path));
  for (const TQuestion& q : r.Questions) QuestionSet.Add(q);
  SetChanged = true;
  WriteRecovery();
  GoToQuestion(first);
}

void TAddEditForm::btnExportClick() {
  if (EditMode != TEditMode::Browsing) return;
  const QString file = GetSaveFileName(this, QStringLiteral("Export set"),
                                       QString::fromStdString(ProgramPath("Tests\\")), ExchangeFilter);
  if (file.isEmpty()) return;
  const std::string path = file.toStdString();
  const TExchangeFormat format = FormatOfFile(path);
  if (format != TExchangeFormat::Aiken && format != TExchangeFormat::Gift && format != TExchangeFormat::MoodleXml &&
      format != TExchangeFormat::Csv) {
    MessageDlg(QStringLiteral("Please name the file .txt (Aiken), .gift, .xml or .csv."), TMsgDlgType::Warning, mbOK);
    return;
  }
  const TExportResult r = ExportQuestions(format, QuestionSet, [](const std::string& name, std::string& bytes) {
    return ReadWholeFile(PicturePath(name), bytes);
  });
  if (!Guarded([&] { WriteOutputFile(path, r.Bytes); })) return;
  MessageDlg(QString::fromStdString(ExportSummary(r)), TMsgDlgType::Information, mbOK);
}

void TAddEditForm::btnHelpClick() { ShowHelpPage("edit.htm"); }

void TAddEditForm::done(int result) {
  if (!FormClose()) return;
  Shown_ = false;
  TForm::done(result);
}

bool TAddEditForm::FormClose() {
  if (EditMode != TEditMode::Browsing) {
    MessageDlg(QStringLiteral("You must save or cancel edit before closing window"), TMsgDlgType::Information, mbOK);
    return false;
  }
  if (SearchForm && SearchForm->isVisible()) SearchForm->close();
  if (LoadFailed_) return true;
  std::error_code gone;
  if (!SetChanged) {
    std::filesystem::remove(ToFsPath(RecoveryFile(FileName_)), gone);
    return true;
  }
  QuestionSet.ProtectedSet = cbProtectedSet->isChecked();
  QuestionSet.OwnerCode = UserCode();
  try {
    if (QuestionSet.NeedsUnicodeFile() && !LoadedUnicode_ && !UnicodeNoticeGiven_) {
      UnicodeNoticeGiven_ = true;
      MessageDlg(QStringLiteral("This question set now holds characters outside Windows-1252, so it is saved in the "
                                "Unicode format. Older copies of Proctorium cannot open it."),
                 TMsgDlgType::Information, mbOK);
    }
    // Checked and replaced under one lock on the set: of two seats saving
    // at once, the second sees the first one's file and is told.
    const std::string bytes = QuestionSet.Serialize();
    if (QuestionSet.LastIndex >= 0 && ReplaceFileIfUnchanged(FileName_, LoadedBytes_, bytes, MaxSetFileBytes,
                                                             SharedFileLockTimeoutMs) == TReplaceResult::Changed)
      throw EFileError("The question set " + FileName_ +
                       " was changed by another seat or program since it was opened here. It has not been saved, so "
                       "that the other changes are not overwritten.");
    LoadedBytes_ = bytes;
    // Saved: the copy has done its work. A set left unsaved keeps it.
    std::filesystem::remove(ToFsPath(RecoveryFile(FileName_)), gone);
  } catch (const std::exception& e) {
    // The set in memory is the only copy of the work: stay open unless the
    // author chooses to give it up.
    ShowException(e);
    return MessageDlg(QStringLiteral("The question set could not be saved. Close without saving ?"),
                      TMsgDlgType::Confirmation, mbYes | mbNo, mbNo) == mrYes;
  }
  return true;
}

void TAddEditForm::resizeEvent(QResizeEvent* e) {
  TForm::resizeEvent(e);
  FormResize();
}

void TAddEditForm::FormResize() {
  const TEditorLayout before = Layout_;
  ApplyLayout();
  // A resize that ends at the size already laid out (the window manager
  // confirming it, or the minimum applied) is no new size.
  if (!Shown_ || (before.WindowWidth == Layout_.WindowWidth && before.WindowHeight == Layout_.WindowHeight)) return;
  ShowExhibitArea();
}

void TAddEditForm::PlaceAnswerRows() {
  AnswerRowsTop_ = std::max(AnswerRowsTop, Label1->y() + Label1->height() + 1);
  const QPlainTextEdit* memo = memoOption[0];
  const int oneLine = memo->fontMetrics().lineSpacing() + 2 * memo->frameWidth() +
                      2 * static_cast<int>(memo->document()->documentMargin());
  AnswerRowHeight_ = std::max(AnswerRowHeight, oneLine);
  for (int i = 0; i < AnswerCount; ++i) {
    const int top = AnswerRowsTop_ + AnswerRowHeight_ * i;
    SpeedButton[static_cast<size_t>(i)]->setGeometry(8, top, 33, AnswerRowHeight_);
    memoOption[static_cast<size_t>(i)]->move(44, top);
  }
}

void TAddEditForm::ApplyLayout() {
  // The layout works on the outer size with the design's frame (see
  // EditorFrameWidth): measuring the real frame laid the editor out
  // differently the first time, before the window was on screen.
  const QSize frame(EditorFrameWidth, EditorFrameHeight);
  const QSize outer = size() + frame;
  const int fullHeight = AnswerRowsTop_ + AnswerRowHeight_ * AnswerCount + 13;
  Layout_ = LayoutEditor(outer.width(), outer.height(), std::max(AnswerBoxFullHeight, fullHeight));
  const TEditorLayout& l = Layout_;
  setMinimumSize(EditorMinWidth - frame.width(), EditorMinHeight - frame.height());
  const QSize client(l.WindowWidth - frame.width(), l.WindowHeight - frame.height());
  if (client != size()) resize(client);

  ScrollBox1->setGeometry(8, l.ScrollBoxTop, l.ScrollBoxWidth, l.ScrollBoxHeight);
  for (QPlainTextEdit* m : memoOption) m->resize(l.AnswerWidth, AnswerRowHeight_);
  Answers_->resize(44 + l.AnswerWidth, AnswerRowsTop_ + AnswerRowHeight_ * AnswerCount + 2);
  ScrollBox1->verticalScrollBar()->setValue(0);
  memoQuestion->resize(memoQuestion->width(), l.QuestionHeight);
  Panel1->setGeometry(l.PanelLeft, l.PanelTop, l.PanelSize, l.PanelSize);
  memoRemarks->setGeometry(8, l.RemarksTop, l.RemarksWidth, l.RemarksHeight);
  lblRemarks->move(8, l.RemarksLabelTop);
  panelButtons->setGeometry(client.width() - ButtonPanelWidth, 0, ButtonPanelWidth, client.height());
  btnClose->move(0, l.CloseTop);
  btnHelp->move(0, l.HelpTop);
  // The question memo's width belongs to the exhibit area; without a
  // refresh it follows the state last shown.
  SetQuestionWidth(ExhibitName.empty() || btnImageShow->isHidden() ? l.QuestionWidthNoExhibit
                                                                   : l.QuestionWidthWithExhibit);
  lblAnswers->move(8, l.AnswersLabelTop);
  // The design's spot for the box assumes a narrower font than some
  // systems have; it never covers the label it follows.
  cbRandomize->move(std::max(96, lblAnswers->geometry().right() + 6), l.RandomizeTop);
  panelExhibit->move(l.ExhibitPanelLeft, l.ExhibitPanelTop);
  if (!ExhibitName.empty() && !btnImageShow->isHidden()) FitPictureBox(Image1, Panel1->width());
}

void TAddEditForm::SetQuestionWidth(int width) {
  memoQuestion->setGeometry(8, 24, width, Layout_.QuestionHeight);
  // Widened over the thumbnail, the memo hides it; hidden, it cannot show
  // through or take clicks either.
  Panel1->setVisible(width < Layout_.QuestionWidthNoExhibit);
}

std::string TAddEditForm::TestsPath(const std::string& ansiName) const { return PicturePath(ansiName); }

void TAddEditForm::ShowExhibitArea() {
  if (ExhibitName.empty()) {
    SetQuestionWidth(Layout_.QuestionWidthNoExhibit);
    btnImageDelete->hide();
    btnImageShow->hide();
    btnImageAdd->setText(QStringLiteral("Add Exhibit"));
    return;
  }
  SetQuestionWidth(Layout_.QuestionWidthWithExhibit);
  btnImageDelete->show();
  btnImageAdd->setText(QStringLiteral("Change Exhibit"));
  ShowExhibitThumbnail();
}

void TAddEditForm::ShowExhibitThumbnail() {
  const int p = Panel1->width();
  bool loaded = false;
  std::string failure;
  try {
    loaded = LoadImageFile(Image1, TestsPath(ExhibitName));
  } catch (const std::exception& e) {
    failure = e.what();
  }
  if (loaded) {
    FitPictureBox(Image1, p);
    btnImageShow->show();
    return;
  }
  SetQuestionWidth(Layout_.QuestionWidthNoExhibit);
  Image1->Clear();
  btnImageShow->hide();
  if (failure.empty())
    MessageDlg(QStringLiteral("Exhibit not found: ") + FromAnsi(ExhibitName), TMsgDlgType::Information, mbOK);
  else
    ShowException(EFileError(failure));
}

void TAddEditForm::btnImageAddClick() {
  auto picker = std::make_unique<TExhibitManager>(this);
  if (ExecModal(picker.get()) == mrOk) {
    const std::string chosen = picker->FileName();
    if (!chosen.empty()) {
      std::string name;
      QString missing;
      if (!ToAnsiChecked(QString::fromStdString(ExtractFileName(chosen)), name, missing)) {
        MessageDlg(QStringLiteral("The file name cannot be stored in a question set: ") +
                       QString::fromStdString(ExtractFileName(chosen)) + QStringLiteral("\nPlease rename the file."),
                   TMsgDlgType::Warning, mbOK);
      } else {
        ExhibitName = name;
        if (EditMode == TEditMode::Browsing) SetEditMode(TEditMode::Editing);
      }
    }
  }
  picker.reset();
  ShowExhibitArea();
}

void TAddEditForm::btnImageDeleteClick() {
  if (MessageDlg(QStringLiteral("Are you sure you want to delete this exhibit ?"), TMsgDlgType::Confirmation,
                 mbYes | mbNo, mbNo) != mrYes)
    return;
  ExhibitName.clear();
  if (EditMode == TEditMode::Browsing) SetEditMode(TEditMode::Editing);
  ShowExhibitArea();
}

void TAddEditForm::btnImageShowClick() {
  auto viewer = std::make_unique<TShowForm>(this);
  viewer->FileName = TestsPath(ExhibitName);
  ExecModal(viewer.get());
}

}  // namespace proctorium
