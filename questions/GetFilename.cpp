#include "questions/GetFilename.h"

#include <algorithm>

#include "base/Controls.h"
#include "base/MessageDlg.h"

namespace proctorium {

TGetFilename::TGetFilename(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("GetFilename"));
  setWindowTitle(QStringLiteral("Add"));
  // A fixed dialog border without a system menu.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(201, 86);
  SetWindowHelpPage(this, "start.htm");
  Label1 = MakeLabel(this, "Label1", QStringLiteral("Enter name for new question set:"), {8, 6});
  Label1->resize(189, 16);
  Edit1 = MakeEdit(this, "Edit1", QString(), {8, 24, 185, 21});
  btnOk = MakeAutoDefaultButton(this, "btnOk", QStringLiteral("OK"), QString(), {24, 56, 75, 22});
  btnOk->setDefault(true);
  btnOk->setEnabled(false);
  btnCancel = MakeAutoDefaultButton(this, "btnCancel", QStringLiteral("Cancel"), QString(), {104, 56, 75, 22});
  // Wider than designed where the platform's font needs it, so the prompt is
  // never cut off; the box and buttons keep their places relative to it.
  const int width = std::max(201, Label1->sizeHint().width() + 16);
  if (width > 201) {
    Label1->resize(width - 12, 16);
    Edit1->resize(width - 16, 21);
    btnOk->move(width / 2 - 77, 56);
    btnCancel->move(width / 2 + 3, 56);
    setFixedSize(width, 86);
  }
  // A family with a taller line (Noto Sans) needs a pixel or two more; the
  // prompt moves up into the margin rather than onto the box.
  if (const int h = Label1->sizeHint().height(); h > Label1->height()) {
    Label1->resize(Label1->width(), h);
    Label1->move(Label1->x(), std::max(1, std::min(Label1->y(), 23 - h)));
  }
  connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
  connect(btnOk, &QPushButton::clicked, this, [this] { done(mrOk); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TGetFilename::Edit1Change() { btnOk->setEnabled(!Edit1->text().isEmpty()); }

std::string TGetFilename::GetSetName() {
  const QString text = Edit1->text();
  const qsizetype stop = text.indexOf(QLatin1Char('.'));
  if (stop >= 0) Edit1->setText(text.left(stop));
  return Edit1->text().toStdString();
}

void TGetFilename::reject() { done(mrCancel); }

bool ValidSetName(const std::string& name) {
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) return false;
    switch (c) {
      case '\\':
      case '/':
      case ':':
      case '*':
      case '?':
      case '"':
      case '<':
      case '>':
      case '|':
        return false;
      default:
        break;
    }
  }
  return true;
}

}  // namespace proctorium
