#pragma once
// The About box: program banner, version, the optional logo.bmp beside the
// program, and the maker's e-mail address and web page.

#include <QLabel>
#include <QPushButton>

#include "base/Form.h"
#include "base/Image.h"

namespace proctorium {

class TGoToWeb;

// The maker's addresses that the About box links to.
extern const char* const MakerEmail;
extern const char* const MakerWebsite;

class TAboutBox : public TForm {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* parent = nullptr);

  TImage* ProgramIcon;  // the built-in banner
  QLabel* Version;
  TImage* LogoImage;  // logo.bmp beside the program, when there is one
  QLabel* lbEmail;
  QLabel* lbWebsite;
  QPushButton* btnOk;
  TGoToWeb* GoToWeb1;

  void lbEmailClick();
  void lbWebsiteClick();

 protected:
  void FormShow() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TAboutBox* AboutBox;

}  // namespace proctorium
