#include "questions/SearchForm.h"

namespace proctorium {

TSearchForm* SearchForm = nullptr;

TSearchForm::TSearchForm(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("SearchForm"));
  setWindowTitle(QStringLiteral("Find"));
  setFixedSize(213, 85);
}

}  // namespace proctorium
