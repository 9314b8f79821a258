#pragma once
// A list of the files of one folder that match a mask ("*.qst", "*.bmp"),
// sorted ignoring case.

#include <QListWidget>
#include <string>

namespace proctorium {

class TFileListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit TFileListBox(QWidget* parent = nullptr);

  void SetMask(const QString& mask) { Mask_ = mask; }
  // Points the list at a real folder and reads it.
  void SetDirectory(const std::string& folder);
  const std::string& Directory() const { return Directory_; }
  // Reads the folder again.
  void Update();
  // Full path of the highlighted file; empty when none is.
  std::string FileName() const;
  int ItemIndex() const { return currentRow(); }
  void SetItemIndex(int index) { setCurrentRow(index); }
  // Rows at least this high (0: as the style makes them).
  void SetItemHeight(int pixels);
  // Width of the widest name in the list's font.
  int WidestName() const;

 private:
  QString Mask_ = QStringLiteral("*.*");
  std::string Directory_;
  int ItemHeight_ = 0;
};

}  // namespace proctorium
