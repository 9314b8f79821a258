#pragma once
// The test window: runs one question set as a test.

#include <QPushButton>

#include "app/Form.h"

namespace proctorium {

class TForm1 : public TForm {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);

  QPushButton* btnView;
};

extern TForm1* Form1;

}  // namespace proctorium
