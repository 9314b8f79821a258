#pragma once
// The results window: the results log, and the working copy of it.

#include <QPlainTextEdit>
#include <QPushButton>

#include "app/Form.h"

namespace proctorium {

class TResultsForm : public TForm {
  Q_OBJECT
 public:
  explicit TResultsForm(QWidget* parent = nullptr);

  QPlainTextEdit* Memo1;
  QPushButton* btnClear;
  QPushButton* btnClose;
};

extern TResultsForm* ResultsForm;

}  // namespace proctorium
