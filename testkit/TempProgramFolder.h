#pragma once
// A throw-away program folder for a test: options file, Tests folder and
// whatever sets the test writes into it, with the ten windows created on it.

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <string>

#include "app/StartForm.h"
#include "app/Startup.h"
#include "base/core/FileIO.h"
#include "base/core/OptionsFile.h"
#include "questions/core/QuestionSet.h"
#include "testkit/core/SampleSet.h"

namespace proctorium::testkit {

class TTempProgramFolder {
 public:
  // Creates the folder with a "Tests" subfolder and an options file.
  explicit TTempProgramFolder(const TOptionsRecord& options = TOptionsRecord(), bool writeOptions = true) {
    QDir(Dir_.path()).mkpath(QStringLiteral("Tests"));
    if (writeOptions) WriteOptions(options);
  }
  ~TTempProgramFolder() { DestroyForms(); }

  // The folder, ending with a separator.
  std::string Folder() const { return Dir_.path().toStdString() + "/"; }
  // Real path of a file below the folder ("Tests/x.qst").
  std::string Path(const std::string& relative) const { return Folder() + relative; }

  void WriteOptions(const TOptionsRecord& options) { WriteOptionsFile(Path("Proctorium.opt"), options); }
  TOptionsRecord ReadOptions() const { return ReadOptionsFile(Path("Proctorium.opt")); }
  // Writes a set into Tests/<name>.
  void WriteSet(const std::string& name, const TQuestionSet& set) { set.SaveToFile(Path("Tests/" + name)); }
  void WriteFile(const std::string& relative, const std::string& bytes) { WriteFileAtomic(Path(relative), bytes); }
  // The whole file's bytes; empty when it cannot be read.
  std::string ReadFile(const std::string& relative) const {
    std::string bytes;
    if (!ReadWholeFile(Path(relative), bytes)) bytes.clear();
    return bytes;
  }
  // Writes a w x h bitmap into Tests/<name>.
  void WriteBitmap(const std::string& name, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(200, 220, 240));
    img.save(QString::fromStdString(Path("Tests/" + name)), "BMP");
  }

  // Creates the program's windows on this folder (and frees them again).
  void CreateForms() {
    DestroyForms();
    proctorium::CreateForms(Folder());
    FormsCreated_ = true;
  }
  void DestroyForms() {
    if (FormsCreated_) proctorium::DestroyForms();
    FormsCreated_ = false;
  }
  // Creates the windows and shows the start window; its show handler runs.
  void ShowStartWindow() {
    CreateForms();
    StartForm->show();
  }

 private:
  QTemporaryDir Dir_;
  bool FormsCreated_ = false;
};

}  // namespace proctorium::testkit
