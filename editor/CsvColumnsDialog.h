#pragma once
// The column-mapping step of a table from a spreadsheet or another tool:
// which column holds the question, which the answers (in order) and which
// the key. Shown by the editor's Import when the header is not the
// program's own and no choice was remembered for it.

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <string>
#include <vector>

#include "base/Form.h"
#include "questions/core/CsvFormat.h"

namespace proctorium {

class TCsvColumnsDialog : public TForm {
  Q_OBJECT
 public:
  // header: the table's first line (UTF-8); guess: the columns offered.
  TCsvColumnsDialog(QWidget* parent, const std::vector<std::string>& header, const TCsvColumns& guess);

  QLabel* lbHint;
  QComboBox* cbQuestion;
  QListWidget* lstAnswers;  // one checkable item a column, in the table's order
  QComboBox* cbKey;
  QPushButton* btnOK;
  QPushButton* btnCancel;

  // The choice as it stands; answers in the table's order.
  TCsvColumns Columns() const;

 private:
  void UpdateOk();
};

}  // namespace proctorium
