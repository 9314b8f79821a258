#pragma once
// The question editor.

#include "app/Form.h"
#include "questions/QuestionSet.h"

namespace proctorium {

class TAddEditForm : public TForm {
  Q_OBJECT
 public:
  explicit TAddEditForm(QWidget* parent = nullptr);

  TQuestionSet QuestionSet;
  void ShowQuestion() {}
};

extern TAddEditForm* AddEditForm;

}  // namespace proctorium
