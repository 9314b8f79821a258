#include "editor/ShowForm.h"

#include "app/MessageDlg.h"
#include "app/Settings.h"
#include "app/Pictures.h"

namespace proctorium {

TShowForm::TShowForm(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("ShowForm"));
  setWindowTitle(QStringLiteral("Show exhibit"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  Image1 = new TImage(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->AutoSize = true;
  Image1->move(5, 5);
  Image1->resize(0, 0);
  btnClose = new QPushButton(QStringLiteral("Close"), this);
  btnClose->setObjectName(QStringLiteral("btnClose"));
  btnClose->setToolTip(QStringLiteral("Close this window"));
  btnClose->setGeometry(13, 14, 60, 20);
  QFont f = btnClose->font();
  f.setPointSize(8);
  btnClose->setFont(f);
  connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
}

void TShowForm::FormShow() {
  SetShowHint(Settings().ShowHints());
  try {
    if (!LoadImageFile(Image1, FileName)) Image1->Clear();
  } catch (const std::exception& e) {
    Image1->Clear();
    ShowException(e);
  }
  int w = Image1->Picture().width();
  int h = Image1->Picture().height();
  Image1->resize(w, h);
  // Without a picture the window still keeps its Close button on screen.
  if (Image1->Empty()) {
    w = 60;
    h = 0;
  }
  const QSize frame = frameGeometry().size() - geometry().size();
  setFixedSize(w + 19 - frame.width(), h + 71 - frame.height());
  btnClose->move(btnClose->x(), h + 14);
}

}  // namespace proctorium
