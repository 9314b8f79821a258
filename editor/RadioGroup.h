#pragma once
// A framed group of radio buttons read and set by item index.

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>
#include <vector>

namespace proctorium {

class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

  // -1 when no item is selected.
  int ItemIndex() const;
  void SetItemIndex(int index);
  QRadioButton* Item(int index) const { return Items_.at(static_cast<size_t>(index)); }

 signals:
  // The selection changed, by the user or by SetItemIndex.
  void Click();

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  QButtonGroup* Group_;
  std::vector<QRadioButton*> Items_;
};

}  // namespace proctorium
