#pragma once
// Shows one exhibit at its natural size; a picture larger than the screen
// scrolls within a window that fits the screen.

#include <QPushButton>
#include <QScrollArea>
#include <string>

#include "app/Form.h"
#include "app/Image.h"
#include "app/MessageDlg.h"

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
