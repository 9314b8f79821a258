#pragma once
// The Find dialog of the question editor.

#include <QLineEdit>
#include <QPushButton>

#include "app/Form.h"
#include "questions/core/SearchHit.h"

namespace proctorium {

class TSearchForm : public TForm {
  Q_OBJECT
 public:
  explicit TSearchForm(QWidget* parent = nullptr);

  QLineEdit* edSearchString;
  QPushButton* btnFirst;
  QPushButton* btnNext;
  QPushButton* btnClose;

  void btnFirstClick() { SearchStep(false); }
  void btnNextClick() { SearchStep(true); }
  void btnCloseClick() { close(); }

 protected:
  void FormShow() override;

 private:
  void SearchStep(bool fromNext);
  // Selects the match in the editor's memo that holds it.
  void ShowHit(const TSearchHit& hit);
};

extern TSearchForm* SearchForm;

}  // namespace proctorium
