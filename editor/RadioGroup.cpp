#include "editor/RadioGroup.h"

#include <algorithm>

namespace proctorium {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), Group_(new QButtonGroup(this)) {
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], this);
    Group_->addButton(b, i);
    Items_.push_back(b);
  }
  connect(Group_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) emit Click();
  });
}

int TRadioGroup::ItemIndex() const { return Group_->checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
  if (index < 0 || index >= static_cast<int>(Items_.size())) return;
  Items_[static_cast<size_t>(index)]->setChecked(true);
}

void TRadioGroup::resizeEvent(QResizeEvent* e) {
  QGroupBox::resizeEvent(e);
  // Items share the room below the caption evenly, as a radio group does.
  const int top = 14;
  const int n = static_cast<int>(Items_.size());
  if (n == 0) return;
  const int rowHeight = std::max(1, (height() - top - 2) / n);
  for (int i = 0; i < n; ++i)
    Items_[static_cast<size_t>(i)]->setGeometry(8, top + i * rowHeight, width() - 12, rowHeight);
}

}  // namespace proctorium
