#pragma once
// The Find dialog of the question editor.

#include "app/Form.h"

namespace proctorium {

class TSearchForm : public TForm {
  Q_OBJECT
 public:
  explicit TSearchForm(QWidget* parent = nullptr);
};

extern TSearchForm* SearchForm;

}  // namespace proctorium
