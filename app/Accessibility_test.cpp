// The windows as assistive technology meets them: through Qt's
// accessibility interfaces (which Qt serves to AT-SPI and to UI Automation
// alike) and with the keyboard alone.

#include <QAccessible>
#include <QApplication>
#include <QtTest>
#include <functional>

#include "app/AdminOptions.h"
#include "app/PasswordDlg.h"
#include "app/StartForm.h"
#include "base/ModalSeam.h"
#include "editor/AddEditForm.h"
#include "editor/ExhibitManager.h"
#include "questions/GetFilename.h"
#include "questions/SearchForm.h"
#include "session/Form1.h"
#include "session/Histogram.h"
#include "session/LogView.h"
#include "session/ResultsForm.h"
#include "session/StatisticsForm.h"
#include "session/TimerValue.h"
#include "testkit/EditorHarness.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using testkit::TMessageScript;
using testkit::TModalScript;
using testkit::TTempProgramFolder;

namespace {

// Every control a user can act on, in window, that is shown.
QList<QWidget*> InteractiveControls(QWidget* window) {
  QList<QWidget*> controls;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window) || w->window() != window) continue;
    const bool acts = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                      qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QAbstractItemView*>(w) ||
                      qobject_cast<QComboBox*>(w) || qobject_cast<TLogView*>(w) || qobject_cast<THistogram*>(w);
    if (acts) controls << w;
  }
  return controls;
}

// The controls of window a screen reader would announce without a name.
QStringList Unnamed(QWidget* window) {
  QStringList unnamed;
  for (QWidget* w : InteractiveControls(window)) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    if (!a || a->text(QAccessible::Name).trimmed().isEmpty()) unnamed << w->objectName();
  }
  return unnamed;
}

QAccessibleInterface* Ax(QObject* o) { return QAccessible::queryAccessibleInterface(o); }

// The events assistive technology was sent, as "objectName:event".
struct TEventLog {
  static inline QStringList Seen;
  static void Handler(QAccessibleEvent* e) {
    if (e->object()) Seen << e->object()->objectName() + ":" + QString::number(int(e->type()), 16);
  }
  TEventLog() {
    Seen.clear();
    QAccessible::installUpdateHandler(&Handler);
  }
  ~TEventLog() { QAccessible::installUpdateHandler(nullptr); }
  bool Has(const QString& name, QAccessible::Event type) const {
    return Seen.contains(name + ":" + QString::number(int(type), 16));
  }
};

TQuestionSet ThreeQuestions() {
  TQuestionSet set = testkit::MakeSet(3, "Arithmetic");
  set.Questions[1].Text = "What is 3 + 4?";
  set.Questions[1].Answers = {"Seven", "Eight", "Nine", "", "", "", "", ""};
  set.Questions[1].CorrectMask = 0x01;
  for (TQuestion& q : set.Questions) q.RandomizeAnswers = 0;
  return set;
}

// Keys go to the focused control only in the active window.
bool Activate(QWidget* window) {
  window->activateWindow();
  return QTest::qWaitForWindowActive(window);
}

void Press(QWidget* w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(w, static_cast<Qt::Key>(key), modifiers);
  QApplication::processEvents();
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { QAccessible::setActive(true); }

  // Every window's every shown control has a name a screen reader says.
  void everyControlIsNamed() {
    TOptionsRecord o;
    o.AllowEdits = o.DeletePermitted = o.EnableAnswers = o.EnableClearResults = true;
    TTempProgramFolder folder(o);
    folder.WriteSet("Arithmetic.qst", ThreeQuestions());
    folder.WriteFile("Tests/results.txt", "7 Dec 2026  Arithmetic.qst     Time taken: 00:01:00\r\n");
    folder.ShowStartWindow();
    TModalScript modals;
    TMessageScript messages;
    QStringList faults;
    auto check = [&faults](const char* name, QWidget* w) {
      QApplication::processEvents();
      if (const QStringList u = Unnamed(w); !u.isEmpty()) faults << name + QString(": ") + u.join(' ');
    };
    check("start window", StartForm);
    modals.Expect("Form1", [&](QDialog* d) {
      auto* f = static_cast<TForm1*>(d);
      check("test window", f);
      f->btnGoto->click();
      check("test window, question list", f);
      f->btnEndReview->click();
      f->btnEndReview->click();
      check("test window, review", f);
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    modals.Expect("AddEditForm", [&](QDialog* d) {
      check("editor", d);
      static_cast<TAddEditForm*>(d)->btnClose->click();
      return d->result();
    });
    StartForm->btnEditClick();
    for (QDialog* dlg : std::initializer_list<QDialog*>{ResultsForm, TimerValue, PasswordDlg, AdminOptions}) {
      modals.Expect(dlg->objectName(), [&](QDialog* d) {
        check(qPrintable(d->objectName()), d);
        d->hide();
        return int(mrCancel);
      });
      ExecModal(dlg);
    }
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
  }

  // The answer buttons carry their letter and text, the labels point at
  // them, ticking shows in the state and the chosen row, and the key is
  // stated in words in the review.
  void answersAreNamedTickedAndMarkedCorrect_data() {
    QTest::addColumn<bool>("multiple");
    QTest::addRow("single answer") << false;
    QTest::addRow("several answers") << true;
  }
  void answersAreNamedTickedAndMarkedCorrect() {
    QFETCH(bool, multiple);
    TQuestionSet set = ThreeQuestions();
    if (multiple) set.Questions[1].AnswerType = TAnswerType::Multiple;
    TTempProgramFolder folder;
    folder.WriteSet("Arithmetic.qst", set);
    folder.ShowStartWindow();
    TModalScript modals;
    TMessageScript messages;
    modals.Expect("Form1", [&](QDialog* d) {
      auto* f = static_cast<TForm1*>(d);
      QAbstractButton* a = multiple ? static_cast<QAbstractButton*>(f->cb[0]) : f->rb[0];
      QAbstractButton* b = multiple ? static_cast<QAbstractButton*>(f->cb[1]) : f->rb[1];
      STEP_COMPARE(Ax(a)->text(QAccessible::Name), QString("A. Seven"));
      STEP_COMPARE(Ax(b)->text(QAccessible::Name), QString("B. Eight"));
      STEP_COMPARE(Ax(a)->role(), multiple ? QAccessible::CheckBox : QAccessible::RadioButton);
      // The letter and the text label the button.
      for (QLabel* label : {static_cast<QLabel*>(f->cbl[1]), static_cast<QLabel*>(f->id[1])}) {
        const auto labelled = Ax(label)->relations(QAccessible::Labelled);
        STEP_COMPARE(labelled.size(), qsizetype(1));
        STEP_COMPARE(labelled[0].first->object(), static_cast<QObject*>(b));
      }
      Press(f, Qt::Key_B);
      STEP_COMPARE(bool(Ax(b)->state().checked), true);
      // The chosen row stands out by more than the button's dot.
      STEP_COMPARE(f->cbl[1]->autoFillBackground(), true);
      STEP_COMPARE(f->cbl[0]->autoFillBackground(), false);
      STEP_COMPARE(f->cbl[1]->palette().color(QPalette::Window), f->cbl[0]->palette().color(QPalette::WindowText));
      f->btnEndReview->click();
      f->btnEndReview->click();  // review: the wrong one is shown
      STEP_COMPARE(Ax(a)->text(QAccessible::Description), QString("correct answer"));
      STEP_COMPARE(Ax(b)->text(QAccessible::Description), QString());
      STEP_COMPARE(f->cbl[0]->text().endsWith(QString::fromUtf8("\u2713 correct")), true);
      STEP_COMPARE(f->cbl[1]->text(), QString("Eight"));
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }

  // The question number and the score are announced when they change:
  // their labels' names follow, and where the platform serves
  // accessibility (not on the offscreen one) the change events are sent.
  void changesAreAnnounced() {
    TTempProgramFolder folder;
    folder.WriteSet("Arithmetic.qst", ThreeQuestions());
    folder.ShowStartWindow();
    TModalScript modals;
    TMessageScript messages;
    modals.Expect("Form1", [&](QDialog* d) {
      auto* f = static_cast<TForm1*>(d);
      TEventLog events;
      const bool delivered = QAccessible::isActive();
      f->btnNext->click();
      STEP_COMPARE(Ax(f->lbTitle)->text(QAccessible::Name), QString("Question 2 of 3"));
      if (delivered) STEP_COMPARE(events.Has("lbTitle", QAccessible::NameChanged), true);
      f->btnEndReview->click();
      STEP_COMPARE(Ax(f->lbResults)->text(QAccessible::Name), QString("0 of 2 Correct [0%]"));
      if (delivered) STEP_COMPARE(events.Has("lbResults", QAccessible::NameChanged), true);
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }

  // The question list by keyboard: it takes the focus, says which
  // questions are unanswered or marked, arrows go, Enter goes and closes,
  // Escape closes, and the letters still tick.
  void gotoListByKeyboard() {
    TTempProgramFolder folder;
    folder.WriteSet("Arithmetic.qst", ThreeQuestions());
    folder.ShowStartWindow();
    TModalScript modals;
    TMessageScript messages;
    modals.Expect("Form1", [&](QDialog* d) {
      auto* f = static_cast<TForm1*>(d);
      QListWidget* list = f->ListBox1;
      STEP_COMPARE(Activate(f), true);
      f->btnMark->click();
      f->btnGoto->click();
      STEP_COMPARE(list->isVisible(), true);
      STEP_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));
      STEP_COMPARE(list->currentRow(), 1);
      STEP_COMPARE(list->item(1)->text(), QString(" 1 Unanswered, Marked"));
      STEP_COMPARE(list->item(2)->text(), QString(" 2 Unanswered"));
      Press(list, Qt::Key_A);  // ticks, even with the list in focus
      STEP_COMPARE(f->rb[0]->isChecked(), true);
      Press(list, Qt::Key_Down);
      STEP_COMPARE(f->Session.CurrentPosition, 2);
      STEP_COMPARE(list->isVisible(), true);
      STEP_COMPARE(list->item(1)->text(), QString(" 1 Marked"));
      Press(list, Qt::Key_Down);
      Press(list, Qt::Key_Return);
      STEP_COMPARE(f->Session.CurrentPosition, 3);
      STEP_COMPARE(list->isVisible(), false);
      f->btnGoto->click();
      Press(list, Qt::Key_Escape);
      STEP_COMPARE(list->isVisible(), false);
      STEP_COMPARE(f->isVisible(), true);  // Escape closed the list only
      STEP_COMPARE(messages.Shown().size(), qsizetype(0));
      // The list leaves the question at least two thirds of the window.
      f->btnGoto->click();
      STEP_COMPARE(list->width() <= f->width() / 3, true);
      f->btnEndReview->click();
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }

  // The start window follows the keyboard, and a set just added is the
  // highlighted one.
  void startWindowFollowsKeysAndAdd() {
    TOptionsRecord o;
    o.AllowEdits = true;
    TTempProgramFolder folder(o);
    folder.WriteSet("a.qst", testkit::MakeSet(1, "First set"));
    folder.WriteSet("c.qst", testkit::MakeSet(1, "Third set"));
    folder.WriteSet("Blank.dat", testkit::MakeSet(1, "New set"));
    folder.ShowStartWindow();
    QCOMPARE(StartForm->Memo1->toPlainText(), QString("First set"));
    StartForm->FileListBox1->setFocus();
    Press(StartForm->FileListBox1, Qt::Key_Down);
    QCOMPARE(StartForm->FileListBox1->ItemIndex(), 1);
    QCOMPARE(StartForm->Memo1->toPlainText(), QString("Third set"));
    TModalScript modals;
    modals.Expect("GetFilename", [](QDialog* d) {
      qobject_cast<TGetFilename*>(d)->Edit1->setText("b");
      return TModalScript::Click(d, "btnOk");
    });
    StartForm->btnAdd->click();
    VERIFY_MODALS(modals);
    QCOMPARE(StartForm->FileListBox1->currentItem()->text(), QString("b.qst"));
    QCOMPARE(StartForm->SelectedSetFile(), folder.Path("Tests/b.qst"));
  }

  // Tab runs left to right through the results window and leaves the
  // statistics table; the password field is named and labelled.
  void tabOrderAndNoTraps() {
    TOptionsRecord o;
    o.EnableClearResults = true;
    TTempProgramFolder folder(o);
    folder.WriteFile("Tests/results.txt", "one\r\ntwo\r\n");
    folder.ShowStartWindow();
    TModalScript modals;
    modals.Expect("ResultsForm", [](QDialog* d) {
      auto* r = static_cast<TResultsForm*>(d);
      QStringList order;
      STEP_COMPARE(Activate(r), true);
      r->Memo1->setFocus();
      for (int i = 0; i < 4; ++i) {
        Press(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
      }
      STEP_COMPARE(order, QStringList({"btnExport", "btnStatistics", "btnClear", "btnClose"}));
      d->hide();
      return int(mrCancel);
    });
    ExecModal(ResultsForm);
    TStatisticsForm statistics(StartForm);
    modals.Expect("StatisticsForm", [](QDialog* d) {
      auto* s = static_cast<TStatisticsForm*>(d);
      STEP_COMPARE(Activate(s), true);
      s->tblQuestions->setFocus();
      Press(s->tblQuestions, Qt::Key_Tab);
      STEP_COMPARE(QApplication::focusWidget() != s->tblQuestions, true);
      d->hide();
      return int(mrCancel);
    });
    ExecModal(&statistics);
    VERIFY_MODALS(modals);
    QCOMPARE(PasswordDlg->windowTitle(), QString("Administrator Options"));
    QCOMPARE(Ax(PasswordDlg->EditPassword)->text(QAccessible::Name), QString("Administrator password"));
    const auto labels = Ax(PasswordDlg->EditPassword)->relations(QAccessible::Label);
    QCOMPARE(labels.size(), qsizetype(1));
    QCOMPARE(labels[0].first->text(QAccessible::Name), QString("Enter password:"));
  }

  // A picture's description is its name for a screen reader, shows under it
  // on Space, and is written beside the picture by the exhibit picker.
  void exhibitDescriptions() {
    TQuestionSet set = ThreeQuestions();
    set.Questions[1].ExhibitFile = "arrows.bmp";
    TTempProgramFolder folder;
    folder.WriteSet("Arithmetic.qst", set);
    folder.WriteBitmap("arrows.bmp", 40, 30);
    folder.WriteFile("Tests/arrows.bmp.txt", "Two arrows, 5 N left and 12 N right\r\n");
    folder.ShowStartWindow();
    TModalScript modals;
    TMessageScript messages;
    modals.Expect("Form1", [&](QDialog* d) {
      auto* f = static_cast<TForm1*>(d);
      STEP_COMPARE(Ax(f->Image1)->text(QAccessible::Name), QString("Exhibit: Two arrows, 5 N left and 12 N right"));
      STEP_COMPARE(f->lbExhibitText->isVisible(), false);
      STEP_COMPARE(Activate(f), true);
      f->Image1->setFocus();
      Press(f->Image1, Qt::Key_Space);
      STEP_COMPARE(f->lbExhibitText->isVisible(), true);
      STEP_COMPARE(f->lbExhibitText->text(), QString("Two arrows, 5 N left and 12 N right"));
      STEP_COMPARE(f->lbQuestion->geometry().intersects(f->lbExhibitText->geometry()), false);
      f->btnEndReview->click();
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    TExhibitManager picker(StartForm);
    modals.Expect("ExhibitManager", [](QDialog* d) {
      auto* p = static_cast<TExhibitManager*>(d);
      STEP_COMPARE(p->memoDescription->toPlainText(), QString("Two arrows, 5 N left and 12 N right"));
      p->memoDescription->setPlainText("Two forces\nopposite");
      return TModalScript::Click(d, "btnSelect");
    });
    QCOMPARE(ExecModal(&picker), int(mrOk));
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QCOMPARE(folder.ReadFile("Tests/arrows.bmp.txt"), std::string("Two forces\r\nopposite\r\n"));
  }

  // The results log reads line by line through the text interface, the
  // current line being the caret; the chart's figures are its description.
  void logAndChartReadAsText() {
    TLogView log;
    log.setObjectName("log");
    log.setAccessibleName("Saved results");
    log.SetText("first line\r\nsecond\r\nthird");
    QAccessibleInterface* a = Ax(&log);
    QVERIFY(a);
    QAccessibleTextInterface* text = a->textInterface();
    QVERIFY(text);
    QCOMPARE(a->role(), QAccessible::EditableText);
    QVERIFY(a->state().readOnly && a->state().multiLine && a->state().focusable);
    QCOMPARE(text->characterCount(), 23);
    int start = 0, end = 0;
    QCOMPARE(text->textAtOffset(13, QAccessible::LineBoundary, &start, &end).trimmed(), QString("second"));
    QCOMPARE(start, 11);
    log.GoToLine(2);
    QCOMPARE(text->cursorPosition(), 18);
    QCOMPARE(text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end), QString("third"));
    text->setCursorPosition(0);
    QCOMPARE(log.CurrentLine(), 0);
    QCOMPARE(log.SelectedText(), QString("first line"));

    THistogram chart;
    TSeriesStatistics series;
    series.Takers = 2;
    series.Histogram[5] = 2;
    series.MeanPercent = 50;
    chart.SetSeries(&series);
    QCOMPARE(Ax(&chart)->text(QAccessible::Name), QString("Score chart"));
    QVERIFY(Ax(&chart)->text(QAccessible::Description).contains("50 to 59 per cent: 2 tests."));
    QVERIFY(chart.focusPolicy() & Qt::TabFocus);
  }
};

// The editor by keyboard: Tab from the question goes through the answers
// and their keys, the keys are check boxes Space ticks, Ctrl+F finds.
class EditorKeysTest : public testkit::TEditorTest {
  Q_OBJECT
 private slots:
  void tabGoesThroughAnswersAndSpaceSetsTheKey() {
    TQuestionSet set = testkit::MakeSet(2);
    TAddEditForm* f = Open(set);
    f->GoToQuestion(1);
    QVERIFY(Activate(f));
    f->memoQuestion->setFocus();
    QStringList order;
    for (int i = 0; i < 4; ++i) {
      Press(QApplication::focusWidget(), Qt::Key_Tab);
      order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order, QStringList({"memoOption1", "SpeedButton1", "memoOption2", "SpeedButton2"}));
    QCheckBox* keyB = f->SpeedButton[1];
    QCOMPARE(Ax(keyB)->role(), QAccessible::CheckBox);
    QCOMPARE(Ax(keyB)->text(QAccessible::Name), QString("Answer B is correct"));
    QCOMPARE(testkit::Marks(f), QString("A......."));
    Press(keyB, Qt::Key_Space);
    QCOMPARE(testkit::Marks(f), QString(".B......"));  // one answer: B replaces A
    QVERIFY(Ax(keyB)->state().checked);
    f->btnCancel->click();
    QVERIFY(!SearchForm->isVisible());
    Press(f->memoQuestion, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(SearchForm->isVisible());
    SearchForm->close();
    f->btnClose->click();
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int status = 0;
  {
    AccessibilityTest t;
    status |= QTest::qExec(&t, argc, argv);
  }
  {
    EditorKeysTest t;
    status |= QTest::qExec(&t, argc, argv);
  }
  return status;
}

#include "Accessibility_test.moc"
