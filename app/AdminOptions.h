#pragma once
// Administrator options dialog: its check boxes and colour panel are the
// administrator's settings themselves.

#include <QCheckBox>
#include <QColorDialog>
#include <QFrame>
#include <QPushButton>
#include <cstdint>

#include "base/Form.h"

namespace proctorium {

// A lowered panel whose colour is a setting, held as the stored value.
class TColourPanel : public QFrame {
  Q_OBJECT
 public:
  explicit TColourPanel(QWidget* parent = nullptr);
  std::uint32_t Color() const { return Color_; }
  void SetColor(std::uint32_t colour);

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  std::uint32_t Color_ = 0x00FFFFFFu;
};

class TAdminOptions : public TForm {
  Q_OBJECT
 public:
  explicit TAdminOptions(QWidget* parent = nullptr);

  QCheckBox* cbEnableAnswers;
  QCheckBox* cbEnableClearResults;
  QCheckBox* cbEnableRunningScore;
  QCheckBox* cbAllowEdits;
  QCheckBox* cbDeletePermitted;
  QPushButton* btnScreenColor;
  TColourPanel* panelColour;
  QPushButton* btnChangePassword;
  QPushButton* btnDefault;
  QPushButton* btnOk;
  QPushButton* btnCancel;
  QColorDialog* ColorDialog1 = nullptr;  // made when first needed

  void cbAllowEditsClick();
  void btnScreenColorClick();
  void btnDefaultClick();
  void btnChangePasswordClick();

 protected:
  void FormShow() override;

 private:
  void FitToFont(QFrame* panel);
  // The title bar's close button and Escape answer Cancel.
  void reject() override;
};

extern TAdminOptions* AdminOptions;

}  // namespace proctorium
