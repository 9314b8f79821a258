#pragma once
// Administrator options dialog: its check boxes and colour panel are the
// administrator's settings themselves.

#include <QCheckBox>
#include <QColorDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <cstdint>

#include "base/Form.h"
#include "base/core/ExtraSettings.h"

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
  // Candidates: who takes the test, the class list and the pass mark.
  QFrame* Panel2;
  QCheckBox* cbAskCandidateName;
  QCheckBox* cbAskCandidateId;
  QLabel* lbPassMark;
  QSpinBox* sePassMark;  // 0 shows "None"
  QLabel* lbClassList;
  QPushButton* btnClassList;
  QCheckBox* cbAllowUnlisted;
  QPushButton* btnChangePassword;
  QPushButton* btnDefault;
  QPushButton* btnOk;
  QPushButton* btnCancel;
  QColorDialog* ColorDialog1 = nullptr;  // made when first needed

  void cbAllowEditsClick();
  void btnScreenColorClick();
  void btnDefaultClick();
  void btnChangePasswordClick();
  void cbAskCandidateNameClick();
  // Reads a class list the administrator picks, shows what it holds, and
  // only when that is accepted stores it as the Tests folder's class list.
  void btnClassListClick();
  // Says how many candidates the stored class list has.
  void ShowClassList();

  // The settings kept in Proctorium.ini, as the controls hold them.
  void SetExtra(const TExtraSettings& settings);
  TExtraSettings Extra() const;

 protected:
  void FormShow() override;

 private:
  void FitToFont(QFrame* panel);
  // Keys of the settings file this program does not know, kept as read.
  std::vector<std::string> OtherLines_;
  // The title bar's close button and Escape answer Cancel.
  void reject() override;
};

extern TAdminOptions* AdminOptions;

}  // namespace proctorium
