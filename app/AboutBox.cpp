#include "app/AboutBox.h"

#include <QEvent>

#include "app/Controls.h"
#include "app/MessageDlg.h"
#include "app/StartForm.h"
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
  ProgramIcon = new TImage(this);
  ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
  ProgramIcon->setGeometry(10, 10, 320, 50);
  ProgramIcon->SetPicture(TStartForm::Logo());
  Version = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(PROCTORIUM_VERSION)), this);
  Version->setObjectName(QStringLiteral("Version"));
  Version->setGeometry(10, 70, 200, 16);
  auto* blurb = new QLabel(QStringLiteral("Multiple-choice tests, written and taken."), this);
  blurb->setObjectName(QStringLiteral("Comments"));
  blurb->setGeometry(10, 90, 200, 32);
  blurb->setWordWrap(true);
  LogoImage = new TImage(this);
  LogoImage->setObjectName(QStringLiteral("LogoImage"));
  LogoImage->setGeometry(230, 70, 100, 50);
  LogoImage->SetStretch(true);
  lbEmail = new QLabel(QStringLiteral("<u>Email</u>"), this);
  lbEmail->setObjectName(QStringLiteral("lbEmail"));
  lbEmail->setGeometry(10, 134, 60, 16);
  lbEmail->setToolTip(QString::fromLatin1(MakerEmail));
  lbEmail->setCursor(Qt::PointingHandCursor);
  lbEmail->installEventFilter(this);
  lbWebsite = new QLabel(QStringLiteral("<u>Website</u>"), this);
  lbWebsite->setObjectName(QStringLiteral("lbWebsite"));
  lbWebsite->setGeometry(80, 134, 60, 16);
  lbWebsite->setToolTip(QString::fromLatin1(MakerWebsite));
  lbWebsite->setCursor(Qt::PointingHandCursor);
  lbWebsite->installEventFilter(this);
  for (QLabel* l : {lbEmail, lbWebsite}) {
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 0xCC));
    l->setPalette(pal);
  }
  btnOk = new QPushButton(QStringLiteral("OK"), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setGeometry(135, 166, 70, 24);
  btnOk->setDefault(true);
  connect(btnOk, &QPushButton::clicked, this, [this] { done(mrOk); });
  GoToWeb1 = new TGoToWeb(this);
  GoToWeb1->BrowserState = gwNormal;
  GoToWeb1->Url = MakerWebsite;
  GoToWeb1->EMail = MakerEmail;
}

void TAboutBox::FormShow() {
  SetShowHint(StartForm->ShowHint());
  LogoImage->Clear();
  Guarded([this] { StartForm->LoadImageFile(LogoImage, StartForm->ProgramPath("\\logo.bmp")); });
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
