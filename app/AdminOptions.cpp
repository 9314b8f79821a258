#include "app/AdminOptions.h"

#include <algorithm>

#include <QPainter>

#include "app/NewPasswordDlg.h"
#include "base/Colour.h"
#include "base/Controls.h"
#include "base/MessageDlg.h"
#include "base/ModalSeam.h"
#include "base/Settings.h"

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
  btnChangePassword = MakeButton(this, "btnChangePassword", QStringLiteral("Change Password"),
                                 QStringLiteral("Change the administrator password"), {8, 162, 100, 20});
  btnDefault = MakeButton(this, "btnDefault", QStringLiteral("Set default options"),
                          QStringLiteral("Reset options to their default settings"), {8, 186, 100, 20});
  btnOk = MakeButton(this, "btnOk", QStringLiteral("OK"), QStringLiteral("Exit this dialog, save options as displayed"),
                     {141, 186, 60, 20});
  btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Cancel"),
                         QStringLiteral("Exit this dialog, do not save any changes"), {205, 186, 60, 20});

  FitToFont(panel);

  connect(cbAllowEdits, &QCheckBox::toggled, this, [this] { cbAllowEditsClick(); });
  connect(btnScreenColor, &QPushButton::clicked, this, [this] { btnScreenColorClick(); });
  connect(btnDefault, &QPushButton::clicked, this, [this] { btnDefaultClick(); });
  connect(btnChangePassword, &QPushButton::clicked, this, [this] { btnChangePasswordClick(); });
  connect(btnOk, &QPushButton::clicked, this, [this] { done(mrOk); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
  cbAllowEditsClick();
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
  panel->resize(std::max(257, right + 13), 145);
  const int leftWidth = std::max({100, btnChangePassword->sizeHint().width(), btnDefault->sizeHint().width()});
  btnChangePassword->resize(leftWidth, 20);
  btnDefault->resize(leftWidth, 20);
  const int width = std::max({276, panel->geometry().right() + 11, 8 + leftWidth + 8 + 124 + 11});
  btnOk->move(width - 135, 186);
  btnCancel->move(width - 71, 186);
  setFixedSize(width, 216);
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
}

void TAdminOptions::btnChangePasswordClick() {
  // The dialog has stored the new password, with the options as shown.
  ExecModal(NewPasswordDlg);
}

void TAdminOptions::reject() { done(mrCancel); }

}  // namespace proctorium
