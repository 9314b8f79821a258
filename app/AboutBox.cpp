#include "app/AboutBox.h"

#include <QEvent>

#include "app/MessageDlg.h"
#include "app/Settings.h"
#include "app/ProgramFolder.h"
#include "app/Pictures.h"
#include "web/GoToWeb.h"

namespace proctorium {

TAboutBox* AboutBox = nullptr;
const char* const MakerEmail = "support@proctorium.example";
const char* const MakerWebsite = "https://proctorium.example/";

TAboutBox::TAboutBox(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About"));
  setFixedSize(340, 200);
  move(10, 10);
  ProgramIcon = new TImage(this);
  ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
  ProgramIcon->setGeometry(10, 10, 320, 50);
  ProgramIcon->SetPicture(Logo());
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
  SetShowHint(Settings().ShowHints());
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
  GoToWeb1->ExecuteMail();
}

void TAboutBox::lbWebsiteClick() {
  GoToWeb1->Url = MakerWebsite;
  GoToWeb1->ExecuteUrl();
}

}  // namespace proctorium
