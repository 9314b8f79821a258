#include "app/FileListBox.h"

#include <QDir>

#include "app/core/PathResolver.h"

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
}

std::string TFileListBox::FileName() const {
  const QListWidgetItem* item = currentItem();
  if (!item) return std::string();
  return Directory_ + item->text().toStdString();
}

}  // namespace proctorium
