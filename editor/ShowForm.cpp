#include "editor/ShowForm.h"

#include "app/Controls.h"
#include "app/MessageDlg.h"
#include "app/Pictures.h"
#include "app/Settings.h"

namespace proctorium {

TShowForm::TShowForm(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("ShowForm"));
  setWindowTitle(QStringLiteral("Show exhibit"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  Image1 = MakeImage(this, "Image1", QString(), {5, 5, 0, 0});
  Image1->AutoSize = true;
  btnClose = MakeAutoDefaultButton(this, "btnClose", QStringLiteral("Close"), QStringLiteral("Close this window"),
                                   {13, 14, 60, 20}, 8);
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
