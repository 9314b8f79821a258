#pragma once
// The small dialog that asks for the name of a new question set. It is
// made each time a set is added and freed afterwards.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "base/Form.h"

namespace proctorium {

class TGetFilename : public TForm {
  Q_OBJECT
 public:
  explicit TGetFilename(QWidget* parent = nullptr);

  QLabel* Label1;
  QLineEdit* Edit1;
  QPushButton* btnOk;
  QPushButton* btnCancel;

  void Edit1Change();
  // The typed name cut before its first full stop; the box shows the cut
  // name afterwards. It becomes part of a path, so it is UTF-8 like every
  // path of the program.
  std::string GetSetName();

 protected:
  void reject() override;
};

// True when name can stand as a file name on Windows and Linux alike: no
// \ / : * ? " < > | and no control character.
bool ValidSetName(const std::string& name);

}  // namespace proctorium
