#pragma once
// Test helper: a program folder with one question set, the program's
// windows created on it, and the editor opened on that set as the start
// window would open it.

#include <QApplication>
#include <QtTest>
#include <memory>

#include "app/StartForm.h"
#include "editor/AddEditForm.h"
#include "testkit/TempProgramFolder.h"

// QCOMPARE and QVERIFY for the steps of a modal script, which return the
// window's result: a failed check ends the step with result 0.
#define STEP_COMPARE(actual, expected)                                                        \
  do {                                                                                        \
    if (!QTest::qCompare(actual, expected, #actual, #expected, __FILE__, __LINE__)) return 0; \
  } while (0)
#define STEP_VERIFY(condition)                                                                       \
  do {                                                                                               \
    if (!QTest::qVerify(static_cast<bool>(condition), #condition, "", __FILE__, __LINE__)) return 0; \
  } while (0)

namespace proctorium::testkit {

class TEditorHarness {
 public:
  explicit TEditorHarness(const TQuestionSet& set, const std::string& name = "set.qst") : Name_(name) {
    Folder.WriteSet(name, set);
    Folder.CreateForms();
  }
  ~TEditorHarness() {
    if (AddEditForm) AddEditForm->hide();
  }

  // Highlights the set in the start window and shows the editor the way
  // ExecModal does under a test hook: shown, show handler run, not blocking.
  TAddEditForm* Open() {
    StartForm->FileListBox1->SetDirectory(StartForm->ProgramPath("Tests\\"));
    const auto items = StartForm->FileListBox1->findItems(QString::fromStdString(Name_), Qt::MatchExactly);
    StartForm->FileListBox1->setCurrentItem(items.value(0));
    AddEditForm->show();
    return AddEditForm;
  }

  std::string SetPath() const { return Folder.Path("Tests/" + Name_); }
  std::string FileBytes() const {
    std::string bytes;
    ReadWholeFile(SetPath(), bytes);
    return bytes;
  }
  TQuestionSet Reload() const {
    TQuestionSet s;
    s.LoadFromFile(SetPath());
    return s;
  }

  TTempProgramFolder Folder;

 private:
  std::string Name_;
};

// What the editor's buttons allow, as one comparable value.
struct TButtonStates {
  bool Add, Delete, Save, Cancel, First, Prev, Next, Last, Find, Close;
  bool operator==(const TButtonStates&) const = default;
};

inline TButtonStates Buttons(const TAddEditForm* f) {
  return {f->btnAdd->isEnabled(),   f->btnDelete->isEnabled(), f->btnSave->isEnabled(), f->btnCancel->isEnabled(),
          f->btnFirst->isEnabled(), f->btnPrev->isEnabled(),   f->btnNext->isEnabled(), f->btnLast->isEnabled(),
          f->btnFind->isEnabled(),  f->btnClose->isEnabled()};
}

// Browsing at a position: only the position decides the navigation.
inline TButtonStates Browsing(bool canDelete, bool back, bool forward) {
  return {true, canDelete, false, false, back, back, forward, forward, true, true};
}
inline TButtonStates Changing() { return {false, false, true, true, false, false, false, false, false, false}; }

inline QString Marks(const TAddEditForm* f) {
  QString s;
  for (int i = 0; i < AnswerCount; ++i)
    s += f->SpeedButton[static_cast<size_t>(i)]->text() == "X" ? QChar('A' + i) : QChar('.');
  return s;
}

// Readable failures in QCOMPARE.
inline char* toString(const proctorium::testkit::TButtonStates& b) {
  auto f = [](bool on) { return on ? '1' : '0'; };
  return qstrdup(QStringLiteral("Add%1 Del%2 Save%3 Cancel%4 First%5 Prev%6 Next%7 Last%8 Find%9 Close%10")
                     .arg(f(b.Add))
                     .arg(f(b.Delete))
                     .arg(f(b.Save))
                     .arg(f(b.Cancel))
                     .arg(f(b.First))
                     .arg(f(b.Prev))
                     .arg(f(b.Next))
                     .arg(f(b.Last))
                     .arg(f(b.Find))
                     .arg(f(b.Close))
                     .toLatin1()
                     .constData());
}

}  // namespace proctorium::testkit
