#pragma once
// Test helper: a program folder with one question set, the program's
// windows created on it, and the editor opened on that set as the start
// window would open it.

#include <QApplication>
#include <QtTest>
#include <memory>

#include "app/StartForm.h"
#include "base/ProgramFolder.h"
#include "editor/AddEditForm.h"
#include "testkit/TempProgramFolder.h"

// QCOMPARE for the steps of a modal script, which return the window's
// result: a failed check ends the step with result 0.
#define STEP_COMPARE(actual, expected)                                                        \
  do {                                                                                        \
    if (!QTest::qCompare(actual, expected, #actual, #expected, __FILE__, __LINE__)) return 0; \
  } while (0)

namespace proctorium::testkit {

// Base of the editor's test classes: each test opens the editor on a set
// in a fresh program folder.
class TEditorTest : public QObject {
 protected:
  TAddEditForm* Open(const TQuestionSet& set, const std::string& name = "set.qst") {
    Folder.reset();  // the program's windows are global: one folder at a time
    Folder = std::make_unique<TTempProgramFolder>();
    Folder->WriteSet(Name = name, set);
    Folder->CreateForms();
    return Reopen();
  }
  // Highlights the set in the start window and shows the editor the way
  // ExecModal does under a test hook: shown, show handler run, not blocking.
  TAddEditForm* Reopen() {
    StartForm->FileListBox1->SetDirectory(ProgramPath("Tests\\"));
    const auto items = StartForm->FileListBox1->findItems(QString::fromStdString(Name), Qt::MatchExactly);
    {
      // The start window's summary is not what these tests are about: it
      // would report an unreadable set a second time.
      const QSignalBlocker quiet(StartForm->FileListBox1);
      StartForm->FileListBox1->setCurrentItem(items.value(0));
    }
    AddEditForm->show();
    return F = AddEditForm;
  }

  std::string SetPath() const { return Folder->Path("Tests/" + Name); }
  std::string FileBytes() const {
    std::string bytes;
    ReadWholeFile(SetPath(), bytes);
    return bytes;
  }

  std::unique_ptr<TTempProgramFolder> Folder;
  std::string Name;
  TAddEditForm* F = nullptr;
};

// The enabled buttons of the editor, by name, so that a failure reads well.
inline QString Buttons(const TAddEditForm* f) {
  const QAbstractButton* const all[] = {f->btnAdd,  f->btnDelete, f->btnSave, f->btnCancel, f->btnFirst,  f->btnPrev,
                                        f->btnNext, f->btnLast,   f->btnFind, f->btnImport, f->btnExport, f->btnClose};
  QStringList on;
  for (const QAbstractButton* b : all)
    if (b->isEnabled()) on << b->objectName().mid(3);
  return on.join(' ');
}

// Browsing at a position: only the position decides the navigation.
inline QString Browsing(bool canDelete, bool back, bool forward) {
  return QString("Add%1%2%3 Find Import Export Close")
      .arg(canDelete ? " Delete" : "", back ? " First Prev" : "", forward ? " Next Last" : "");
}
inline QString Changing() { return "Save Cancel"; }

// The correct-answer marks as letters: ".B.D...." marks B and D.
inline QString Marks(const TAddEditForm* f) {
  QString s;
  for (int i = 0; i < AnswerCount; ++i)
    s += f->SpeedButton[static_cast<size_t>(i)]->isChecked() ? QChar('A' + i) : QChar('.');
  return s;
}

}  // namespace proctorium::testkit
