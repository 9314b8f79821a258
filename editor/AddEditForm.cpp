#include "editor/AddEditForm.h"

namespace proctorium {

TAddEditForm* AddEditForm = nullptr;

TAddEditForm::TAddEditForm(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("AddEditForm"));
  setWindowTitle(QStringLiteral("Proctorium - Add / edit questions"));
  resize(640, 480);
}

}  // namespace proctorium
