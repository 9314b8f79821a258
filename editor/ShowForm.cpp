#include "editor/ShowForm.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "base/Controls.h"
#include "base/MessageDlg.h"
#include "base/Pictures.h"
#include "base/Settings.h"

namespace proctorium {

namespace {

// The window's outer size for a w x h picture in the design: the picture at
// (5, 5), Close 14 pixels below it at left 13.
constexpr int ExtraWidth = 19;
constexpr int ExtraHeight = 71;

}  // namespace

TShowForm::TShowForm(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("ShowForm"));
  setWindowTitle(QStringLiteral("Show exhibit"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setFrameShape(QFrame::NoFrame);
  ScrollBox1->setWidgetResizable(false);
  ScrollBox1->move(5, 5);
  Image1 = MakeImage(nullptr, "Image1", QString(), {0, 0, 0, 0});
  Image1->AutoSize = true;
  ScrollBox1->setWidget(Image1);
  btnClose = MakeAutoDefaultButton(this, "btnClose", QStringLiteral("Close"), QStringLiteral("Close this window"),
                                   {13, 14, 60, 20}, 8);
  connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
  SetWindowHelpPage(this, "edit.htm");
}

void TShowForm::FormShow() {
  SetShowHint(Settings().ShowHints());
  try {
    if (!LoadImageFile(Image1, FileName)) Image1->Clear();
  } catch (const std::exception& e) {
    Image1->Clear();
    ShowException(e);
  }
  const int w = Image1->Empty() ? 0 : Image1->Picture().width();
  const int h = Image1->Empty() ? 0 : Image1->Picture().height();
  Image1->resize(w, h);
  // Never narrower than Close with its margins, never larger than the
  // screen: a larger picture scrolls, and Close stays whole and reachable.
  // The frame is counted as at least a title bar, since a window manager
  // adds it only once the window is on screen.
  const QSize frame = frameGeometry().size() - geometry().size();
  int boxW = w;
  int boxH = h;
  if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
    const QSize room = s->availableGeometry().size() - frame.expandedTo(QSize(0, 32));
    const int maxW = std::max(1, room.width() - ExtraWidth);
    const int maxH = std::max(1, room.height() - ExtraHeight);
    const int bar = ScrollBox1->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const bool tall = boxH > maxH;
    if (tall) {
      boxH = maxH;
      boxW += bar;
    }
    if (boxW > maxW) {
      boxW = maxW;
      if (!tall) boxH = std::min(maxH, boxH + bar);
    }
  }
  ScrollBox1->resize(boxW, boxH);
  ScrollBox1->setVisible(w > 0 && h > 0);
  const int closeRight = btnClose->x() + btnClose->width() + 13;
  setFixedSize(std::max(boxW + ExtraWidth, closeRight), boxH + ExtraHeight);
  btnClose->move(btnClose->x(), boxH + 14);
  // A window placed before its size was known may hang off the screen.
  if (QScreen* s = screen()) {
    const QRect room = s->availableGeometry();
    QRect g = frameGeometry();
    g.moveLeft(std::clamp(g.left(), room.left(), std::max(room.left(), room.right() - g.width() + 1)));
    g.moveTop(std::clamp(g.top(), room.top(), std::max(room.top(), room.bottom() - g.height() + 1)));
    move(g.topLeft());
  }
}

}  // namespace proctorium
