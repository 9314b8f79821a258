#include "app/AboutBox.h"

#include <QEvent>

#include "base/Controls.h"
#include "base/MessageDlg.h"
#include "base/Pictures.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "web/GoToWeb.h"

namespace proctorium {

TAboutBox* AboutBox = nullptr;
const char* const MakerEmail = "support@proctorium.example";
const char* const MakerWebsite = "https://proctorium.example/";

TAboutBox::TAboutBox(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About"));
  SetFixedDialogFrame(this);
  setFixedSize(340, 200);
  SetWindowHelpPage(this, "start.htm");
  move(10, 10);
  ProgramIcon = MakeImage(this, "ProgramIcon", QString(), {10, 10, 320, 50});
  ProgramIcon->SetPicture(Logo());
  Version = MakeLabel(this, "Version", QStringLiteral("Version %1").arg(QStringLiteral(PROCTORIUM_VERSION)), {10, 70});
  Version->resize(200, 16);
  auto* blurb = MakeLabel(this, "Comments", QStringLiteral("Multiple-choice tests, written and taken."), {10, 90});
  blurb->setWordWrap(true);
  blurb->resize(200, 32);
  LogoImage = MakeImage(this, "LogoImage", QString(), {230, 70, 100, 50});
  LogoImage->SetStretch(true);
  lbEmail = MakeLabel(this, "lbEmail", QStringLiteral("<u>Email</u>"), {10, 134});
  lbEmail->resize(60, 16);
  lbEmail->setToolTip(QString::fromLatin1(MakerEmail));
  lbWebsite = MakeLabel(this, "lbWebsite", QStringLiteral("<u>Website</u>"), {80, 134});
  lbWebsite->resize(60, 16);
  lbWebsite->setToolTip(QString::fromLatin1(MakerWebsite));
  // The two links look and answer like links.
  for (QLabel* l : {lbEmail, lbWebsite}) {
    l->setCursor(Qt::PointingHandCursor);
    l->installEventFilter(this);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 0xCC));
    l->setPalette(pal);
  }
  btnOk = MakeAutoDefaultButton(this, "btnOk", QStringLiteral("OK"), QString(), {135, 166, 70, 24});
  btnOk->setDefault(true);
  connect(btnOk, &QPushButton::clicked, this, [this] { done(mrOk); });
  GoToWeb1 = new TGoToWeb(this);
  GoToWeb1->BrowserState = gwNormal;
  GoToWeb1->Url = MakerWebsite;
  GoToWeb1->EMail = MakerEmail;
}

void TAboutBox::FormShow() {
  SetShowHint(Settings().ShowHints());
  GrowFixedDialog(this, Settings().FontSize());
  LogoImage->Clear();
  Guarded([this] { LoadImageFile(LogoImage, ProgramPath("\\logo.bmp")); });
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    if (watched == lbEmail) lbEmailClick();
    if (watched == lbWebsite) lbWebsiteClick();
  }
  return TForm::eventFilter(watched, event);
}

void TAboutBox::lbEmailClick() {
  GoToWeb1->EMail = MakerEmail;
  if (!GoToWeb1->ExecuteMail())
    MessageDlg(QStringLiteral("The e-mail address could not be opened:\n\n[%1]\n\n%2")
                   .arg(QString::fromLatin1(MakerEmail), QString::fromStdString(GoToWeb1->LastError)),
               TMsgDlgType::Warning, mbOK);
}

void TAboutBox::lbWebsiteClick() {
  GoToWeb1->Url = MakerWebsite;
  if (!GoToWeb1->ExecuteUrl())
    MessageDlg(QStringLiteral("The web page could not be opened:\n\n[%1]\n\n%2")
                   .arg(QString::fromLatin1(MakerWebsite), QString::fromStdString(GoToWeb1->LastError)),
               TMsgDlgType::Warning, mbOK);
}

}  // namespace proctorium
