#pragma once
// Shows one exhibit at its natural size; a picture larger than the screen
// scrolls within a window that fits the screen.

#include <QPushButton>
#include <QScrollArea>
#include <string>

#include "base/Form.h"
#include "base/Image.h"
#include "base/MessageDlg.h"

namespace proctorium {

class TShowForm : public TForm {
  Q_OBJECT
 public:
  explicit TShowForm(QWidget* parent = nullptr);

  std::string FileName;  // full path of the picture, set before showing
  QScrollArea* ScrollBox1;
  TImage* Image1;
  QPushButton* btnClose;

  void btnCloseClick() { done(mrOk); }

 protected:
  void FormShow() override;
};

}  // namespace proctorium
