#pragma once
// The exhibit picker: the bitmaps of the Tests folder with a preview.

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string>

#include "base/FileListBox.h"
#include "base/Form.h"
#include "base/Image.h"

namespace proctorium {

class TExhibitManager : public TForm {
  Q_OBJECT
 public:
  explicit TExhibitManager(QWidget* parent = nullptr);

  TFileListBox* FileListBox1;
  QFrame* Panel1;
  TImage* Image1;
  QPushButton* btnSelect;
  QPushButton* btnBrowse;
  QPushButton* btnClose;
  QFrame* WarningPanel;
  QLabel* Label1;
  // What the highlighted picture shows, for candidates who cannot see it;
  // kept beside the picture (questions/core/ExhibitText.h) when selected.
  QLabel* lblDescription;
  QPlainTextEdit* memoDescription;

  // Full path of the highlighted file; empty when none is.
  std::string FileName() const { return FileListBox1->FileName(); }

  void FileListBox1Click();
  void FileListBox1DblClick();
  // Takes a PNG, JPEG or BMP picture from anywhere into the Tests folder as
  // a bitmap (never over a different file of that name) and highlights it.
  void btnBrowseClick();
  // Keeps the description and closes with the highlighted picture chosen.
  void btnSelectClick();

 protected:
  void FormShow() override;
};

}  // namespace proctorium
