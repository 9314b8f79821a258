#pragma once
// One saved test's answers question by question, as the detail log holds
// them: what the candidate ticked, the key, and whether it was right.

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "base/Form.h"
#include "candidates/core/Gradebook.h"
#include "session/core/DetailLog.h"

namespace proctorium {

class TAnswersDlg : public TForm {
  Q_OBJECT
 public:
  // detail: the test's record in the detail log, or null when it is not there.
  TAnswersDlg(QWidget* parent, const TGradebookEntry& entry, const TDetailTest* detail);

  QLabel* lbAnswers;
  QTableWidget* tblAnswers;
  QPushButton* btnClose;
};

}  // namespace proctorium
