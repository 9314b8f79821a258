#pragma once
// The Find dialog of the question editor.

#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "base/Form.h"
#include "questions/core/SearchHit.h"

namespace proctorium {

// What the Find dialog searches: the question editor offers its set here.
class TSearchTarget {
 public:
  virtual ~TSearchTarget() = default;
  // True while a record is being changed or added.
  virtual bool EditPending() const = 0;
  // Moves to the next record holding text (the first one when !fromNext)
  // and shows it; false, leaving the position alone, when there is none.
  virtual bool FindAndShow(const std::string& text, bool fromNext) = 0;
};

// The editor registers itself while it exists.
void SetSearchTarget(TSearchTarget* target);

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
};

extern TSearchForm* SearchForm;

}  // namespace proctorium
