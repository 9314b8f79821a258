#pragma once
// "Paper versions…": how many versions of a set to print, the length of the
// candidate ID, the page size and the seed the versions are drawn from.

#include <QDialog>
#include <cstdint>

#include "paper/core/SheetLayout.h"

class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace proctorium {

struct TPaperPrintChoice {
  int Versions = 2;
  std::uint64_t Seed = 0;
  TSheetOptions Options;
};

// A fresh seed for a new job: short enough to read out and type again.
std::uint64_t NewPaperSeed();

class TPaperVersionsDialog : public QDialog {
  Q_OBJECT
 public:
  // setTitle names the set in the dialog's heading.
  explicit TPaperVersionsDialog(const QString& setTitle, QWidget* parent = nullptr);

  // What the teacher chose; meaningful after the dialog was accepted.
  TPaperPrintChoice Choice() const;
  void SetChoice(const TPaperPrintChoice& choice);

  QSpinBox* paperVersions;
  QSpinBox* paperIdDigits;
  QComboBox* paperPageSize;
  QLineEdit* paperSeed;
  QPushButton* paperNewSeed;
  QDialogButtonBox* paperButtons;
  QPushButton* paperOk;
  QPushButton* paperCancel;

 private:
  void SeedEdited();
};

}  // namespace proctorium
