#include "testkit/TempProgramFolder.h"

#include <QDir>
#include <QImage>

#include "app/core/FileIO.h"
#include "app/shell/StartForm.h"
#include "app/shell/Startup.h"

namespace proctorium::testkit {

TTempProgramFolder::TTempProgramFolder(const TOptionsRecord& options, bool writeOptions) {
  QDir(Dir_.path()).mkpath(QStringLiteral("Tests"));
  if (writeOptions) WriteOptions(options);
}

TTempProgramFolder::~TTempProgramFolder() { DestroyForms(); }

void TTempProgramFolder::WriteFile(const std::string& relative, const std::string& bytes) {
  WriteFileAtomic(Path(relative), bytes);
}

std::string TTempProgramFolder::ReadFile(const std::string& relative) const {
  std::string bytes;
  if (!ReadWholeFile(Path(relative), bytes)) bytes.clear();
  return bytes;
}

void TTempProgramFolder::WriteBitmap(const std::string& name, int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(QColor(200, 220, 240));
  img.save(QString::fromStdString(Path("Tests/" + name)), "BMP");
}

void TTempProgramFolder::CreateForms() {
  DestroyForms();
  proctorium::CreateForms(Folder());
  FormsCreated_ = true;
}

void TTempProgramFolder::ShowStartWindow() {
  CreateForms();
  StartForm->show();
}

void TTempProgramFolder::DestroyForms() {
  if (!FormsCreated_) return;
  proctorium::DestroyForms();
  FormsCreated_ = false;
}

}  // namespace proctorium::testkit
