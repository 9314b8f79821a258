#include "base/FileListBox.h"

#include <QDir>
#include <algorithm>

#include "base/core/PathResolver.h"

namespace proctorium {

TFileListBox::TFileListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void TFileListBox::SetDirectory(const std::string& folder) {
  Directory_ = WithTrailingSeparator(folder);
  Update();
}

void TFileListBox::Update() {
  clear();
  if (Directory_.empty()) return;
  QDir dir(QString::fromStdString(Directory_));
  // The mask matches regardless of case, as it does on Windows.
  QStringList names = dir.entryList({Mask_}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
  addItems(names);
  for (int i = 0; i < count(); ++i) {
    QListWidgetItem* it = item(i);
    // A name cut off by a narrow list is still readable whole.
    it->setToolTip(it->text());
    if (ItemHeight_ > 0) it->setSizeHint(QSize(0, std::max(ItemHeight_, fontMetrics().height())));
  }
}

void TFileListBox::SetItemHeight(int pixels) {
  ItemHeight_ = pixels;
  setUniformItemSizes(pixels > 0);
  Update();
}

int TFileListBox::WidestName() const {
  int widest = 0;
  for (int i = 0; i < count(); ++i) widest = std::max(widest, fontMetrics().horizontalAdvance(item(i)->text()));
  return widest;
}

std::string TFileListBox::FileName() const {
  const QListWidgetItem* item = currentItem();
  if (!item) return std::string();
  return Directory_ + item->text().toStdString();
}

}  // namespace proctorium
