#include "test/ResultsForm.h"

namespace proctorium {

TResultsForm* ResultsForm = nullptr;

TResultsForm::TResultsForm(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("ResultsForm"));
  setWindowTitle(QStringLiteral("Results Summary"));
  resize(440, 375);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  btnClear = new QPushButton(QStringLiteral("Clear"), this);
  btnClear->setObjectName(QStringLiteral("btnClear"));
  btnClose = new QPushButton(QStringLiteral("Close"), this);
  btnClose->setObjectName(QStringLiteral("btnClose"));
}

}  // namespace proctorium
