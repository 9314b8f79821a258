#include "app/AdminOptions.h"

#include <QLineEdit>
#include <QPainter>
#include <algorithm>

#include "app/NewPasswordDlg.h"
#include "base/Colour.h"
#include "base/Controls.h"
#include "base/FileDialogs.h"
#include "base/MessageDlg.h"
#include "base/ModalSeam.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "base/core/FileIO.h"
#include "candidates/core/ClassList.h"

namespace proctorium {

TAdminOptions* AdminOptions = nullptr;

TColourPanel::TColourPanel(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAutoFillBackground(true);
  SetColor(Color_);
}

void TColourPanel::SetColor(std::uint32_t colour) {
  Color_ = colour;
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ColourToQColor(colour));
  setPalette(pal);
}

void TColourPanel::paintEvent(QPaintEvent* e) {
  QFrame::paintEvent(e);
  // The caption stays readable on dark and light colours alike.
  QPainter p(this);
  const QColor back = palette().color(QPalette::Window);
  p.setPen(back.lightness() < 128 ? Qt::white : Qt::black);
  p.drawText(contentsRect(), Qt::AlignCenter, QStringLiteral("Screen Colour"));
}

TAdminOptions::TAdminOptions(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("AdminOptions"));
  setWindowTitle(QStringLiteral("Administrator Options"));
  SetFixedDialogFrame(this);
  setFixedSize(276, 216);
  SetWindowHelpPage(this, "start.htm");
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setGeometry(8, 8, 257, 145);
  cbEnableAnswers = MakeCheck(panel, "cbEnableAnswers", QStringLiteral("Enable answers button"),
                              QStringLiteral("When enabled allows users to view the correct answer"), {16, 8, 230, 17});
  cbEnableClearResults = MakeCheck(
      panel, "cbEnableClearResults", QStringLiteral("Enable clear results button"),
      QStringLiteral("When enabled allows the user to clear the contents of the result file"), {16, 24, 230, 17});
  cbEnableRunningScore =
      MakeCheck(panel, "cbEnableRunningScore", QStringLiteral("Enable running score"),
                QStringLiteral("When enabled shows running score as each question is answered"), {16, 40, 230, 17});
  cbAllowEdits = MakeCheck(
      panel, "cbAllowEdits", QStringLiteral("Enable question sets Add/Edit buttons"),
      QStringLiteral("When enabled the Add/Edit/Delete question set buttons are visible, otherwise they are hidden"),
      {16, 64, 230, 17});
  cbDeletePermitted =
      MakeCheck(panel, "cbDeletePermitted", QStringLiteral("Enable question sets Delete button"),
                QStringLiteral("If Add/Edit buttons are enabled this allows question sets to be deleted if enabled"),
                {16, 80, 230, 17});
  btnScreenColor = MakeButton(panel, "btnScreenColor", QStringLiteral("Set test screen colour:"),
                              QStringLiteral("Sets the background colour for the test screen"), {16, 109, 120, 20});
  panelColour = new TColourPanel(panel);
  panelColour->setObjectName(QStringLiteral("panelColour"));
  panelColour->setToolTip(QStringLiteral("This shows what the test screen colour will be"));
  panelColour->setGeometry(144, 109, 100, 20);
  Panel2 = new QFrame(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel2->setGeometry(8, 161, 257, 116);
  cbAskCandidateName = MakeCheck(Panel2, "cbAskCandidateName", QStringLiteral("Ask for the candidate's name"),
                                 QStringLiteral("Start asks who is taking the test; the name is kept in the gradebook"),
                                 {16, 8, 230, 17});
  cbAskCandidateId = MakeCheck(Panel2, "cbAskCandidateId", QStringLiteral("\u2026and ID"),
                               QStringLiteral("Also ask for the candidate's ID"), {32, 24, 214, 17});
  lbPassMark = MakeLabel(Panel2, "lbPassMark", QStringLiteral("Pass mark:"), {16, 47});
  sePassMark = new QSpinBox(Panel2);
  sePassMark->setObjectName(QStringLiteral("sePassMark"));
  sePassMark->setRange(0, 100);
  sePassMark->setSuffix(QStringLiteral(" %"));
  sePassMark->setSpecialValueText(QStringLiteral("None"));
  sePassMark->setToolTip(
      QStringLiteral("Per cent needed to pass; with one, the end of a test says Passed or Not passed"));
  sePassMark->setGeometry(100, 44, 70, 20);
  lbPassMark->setBuddy(sePassMark);
  // A screen reader meets the box's own editor first: it says what it is for.
  sePassMark->setAccessibleName(QStringLiteral("Pass mark"));
  if (QLineEdit* edit = sePassMark->findChild<QLineEdit*>()) edit->setAccessibleName(QStringLiteral("Pass mark"));
  lbClassList = MakeLabel(Panel2, "lbClassList", QStringLiteral("Class list: none"), {16, 73});
  btnClassList =
      MakeButton(Panel2, "btnClassList", QStringLiteral("Load\u2026"),
                 QStringLiteral("Load a class list (CSV or text, one \"ID, name\" a line)"), {170, 70, 75, 20});
  cbAllowUnlisted = MakeCheck(Panel2, "cbAllowUnlisted", QStringLiteral("Allow new candidates"),
                              QStringLiteral("Accept a name that is not on the class list"), {16, 94, 230, 17});
  btnChangePassword = MakeButton(this, "btnChangePassword", QStringLiteral("Change Password"),
                                 QStringLiteral("Change the administrator password"), {8, 286, 100, 20});
  btnDefault = MakeButton(this, "btnDefault", QStringLiteral("Set default options"),
                          QStringLiteral("Reset options to their default settings"), {8, 310, 100, 20});
  btnOk = MakeButton(this, "btnOk", QStringLiteral("OK"), QStringLiteral("Exit this dialog, save options as displayed"),
                     {141, 310, 60, 20});
  btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Cancel"),
                         QStringLiteral("Exit this dialog, do not save any changes"), {205, 310, 60, 20});

  FitToFont(panel);

  connect(cbAllowEdits, &QCheckBox::toggled, this, [this] { cbAllowEditsClick(); });
  connect(btnScreenColor, &QPushButton::clicked, this, [this] { btnScreenColorClick(); });
  connect(btnDefault, &QPushButton::clicked, this, [this] { btnDefaultClick(); });
  connect(btnChangePassword, &QPushButton::clicked, this, [this] { btnChangePasswordClick(); });
  connect(cbAskCandidateName, &QCheckBox::toggled, this, [this] { cbAskCandidateNameClick(); });
  connect(btnClassList, &QPushButton::clicked, this, [this] { btnClassListClick(); });
  connect(btnOk, &QPushButton::clicked, this, [this] { done(mrOk); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
  cbAllowEditsClick();
  cbAskCandidateNameClick();
}

// The design sizes suit an 8-point Windows font. Where the platform's font is
// wider, the controls grow to their captions and the dialog grows with them,
// so no caption is cut off.
void TAdminOptions::FitToFont(QFrame* panel) {
  int right = 0;
  for (QCheckBox* cb : {cbEnableAnswers, cbEnableClearResults, cbEnableRunningScore, cbAllowEdits, cbDeletePermitted}) {
    // The design's rows are 16 apart; a box 17 high would reach into the next.
    cb->resize(std::max(cb->width(), cb->sizeHint().width()), 16);
    right = std::max(right, cb->geometry().right());
  }
  const int colourWidth = std::max(120, btnScreenColor->sizeHint().width());
  btnScreenColor->resize(colourWidth, 20);
  panelColour->move(16 + colourWidth + 8, 109);
  right = std::max(right, panelColour->geometry().right());
  for (QCheckBox* cb : {cbAskCandidateName, cbAskCandidateId, cbAllowUnlisted}) {
    cb->resize(std::max(cb->width(), cb->sizeHint().width()), 16);
    right = std::max(right, cb->geometry().right());
  }
  // The pass mark's box and the class list's button stand right of the
  // wider of the two captions.
  const int captions = std::max(lbPassMark->sizeHint().width(), 150);
  sePassMark->setGeometry(16 + captions + 8, 44, std::max(70, sePassMark->sizeHint().width()), 20);
  lbClassList->resize(captions, lbClassList->sizeHint().height());
  btnClassList->setGeometry(16 + captions + 8, 70, std::max(75, btnClassList->sizeHint().width()), 20);
  right = std::max({right, sePassMark->geometry().right(), btnClassList->geometry().right()});
  panel->resize(std::max(257, right + 13), 145);
  Panel2->resize(panel->width(), 116);
  const int leftWidth = std::max({100, btnChangePassword->sizeHint().width(), btnDefault->sizeHint().width()});
  btnChangePassword->resize(leftWidth, 20);
  btnDefault->resize(leftWidth, 20);
  const int width = std::max({276, panel->geometry().right() + 11, 8 + leftWidth + 8 + 124 + 11});
  btnOk->move(width - 135, 310);
  btnCancel->move(width - 71, 310);
  setFixedSize(width, 340);
}

void TAdminOptions::FormShow() {
  SetShowHint(Settings().ShowHints());
  GrowFixedDialog(this, Settings().FontSize());
  cbAllowEditsClick();
}

void TAdminOptions::cbAllowEditsClick() { cbDeletePermitted->setEnabled(cbAllowEdits->isChecked()); }

void TAdminOptions::btnScreenColorClick() {
  // Made on first use: the picker is costly to build and most runs never
  // open it.
  if (!ColorDialog1) {
    ColorDialog1 = new QColorDialog(this);
    ColorDialog1->setObjectName(QStringLiteral("ColorDialog1"));
  }
  ColorDialog1->setCurrentColor(ColourToQColor(panelColour->Color()));
  if (ExecModal(ColorDialog1) == QDialog::Accepted) panelColour->SetColor(QColorToColour(ColorDialog1->currentColor()));
}

void TAdminOptions::btnDefaultClick() {
  cbEnableAnswers->setChecked(true);
  cbEnableClearResults->setChecked(false);
  cbDeletePermitted->setChecked(false);
  cbAllowEdits->setChecked(false);
  cbEnableRunningScore->setChecked(true);
  const TExtraSettings defaults;
  cbAskCandidateName->setChecked(defaults.AskCandidateName);
  cbAskCandidateId->setChecked(defaults.AskCandidateId);
  cbAllowUnlisted->setChecked(defaults.AllowUnlisted);
  sePassMark->setValue(defaults.PassMark);
}

void TAdminOptions::btnChangePasswordClick() {
  // The dialog has stored the new password, with the options as shown.
  ExecModal(NewPasswordDlg);
}

void TAdminOptions::cbAskCandidateNameClick() { cbAskCandidateId->setEnabled(cbAskCandidateName->isChecked()); }

void TAdminOptions::SetExtra(const TExtraSettings& settings) {
  cbAskCandidateName->setChecked(settings.AskCandidateName);
  cbAskCandidateId->setChecked(settings.AskCandidateId);
  cbAllowUnlisted->setChecked(settings.AllowUnlisted);
  sePassMark->setValue(settings.PassMark);
  OtherLines_ = settings.OtherLines;
  cbAskCandidateNameClick();
  ShowClassList();
}

TExtraSettings TAdminOptions::Extra() const {
  TExtraSettings s;
  s.AskCandidateName = cbAskCandidateName->isChecked();
  s.AskCandidateId = cbAskCandidateId->isChecked();
  s.AllowUnlisted = cbAllowUnlisted->isChecked();
  s.PassMark = sePassMark->value();
  s.OtherLines = OtherLines_;
  return s;
}

void TAdminOptions::ShowClassList() {
  const std::size_t n = ReadClassListFile(ProgramPath(ClassListRelative), nullptr).Candidates.size();
  lbClassList->setText(n == 0 ? QStringLiteral("Class list: none")
                              : QStringLiteral("Class list: %1 %2").arg(n).arg(n == 1 ? "candidate" : "candidates"));
}

void TAdminOptions::btnClassListClick() {
  const QString file = GetOpenFileName(this, QStringLiteral("Load class list"), QString(),
                                       QStringLiteral("Class lists (*.csv *.txt);;All files (*)"));
  if (file.isEmpty()) return;
  std::string problem;
  const TClassList list = ReadClassListFile(file.toStdString(), &problem);
  if (!problem.empty()) {
    MessageDlg(QString::fromStdString(problem), TMsgDlgType::Warning, mbOK);
    return;
  }
  if (list.Candidates.empty()) {
    MessageDlg(QString::fromStdString(ClassListSummary(list) + "\n\nNothing was loaded."), TMsgDlgType::Warning, mbOK);
    return;
  }
  if (MessageDlg(QString::fromStdString(ClassListSummary(list) + "\n\nUse this class list?"), TMsgDlgType::Confirmation,
                 mbOK | mbCancel, mbOK) != mrOk)
    return;
  try {
    WriteFileAtomic(ProgramPath(ClassListRelative), ClassListFileBytes(list.Candidates));
  } catch (const std::exception& e) {
    ShowException(e);
  }
  ShowClassList();
}

void TAdminOptions::reject() { done(mrCancel); }

}  // namespace proctorium
