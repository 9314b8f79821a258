#include "test/Form1.h"

namespace proctorium {

TForm1* Form1 = nullptr;

TForm1::TForm1(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Proctorium"));
  resize(640, 480);
  btnView = new QPushButton(QStringLiteral("Answer"), this);
  btnView->setObjectName(QStringLiteral("btnView"));
}

}  // namespace proctorium
