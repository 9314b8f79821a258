#include <QApplication>
#include <QScrollBar>
#include <QtTest>

#include "app/AdminOptions.h"
#include "app/FileIO.h"
#include "app/ModalSeam.h"
#include "app/StartForm.h"
#include "test/Form1.h"
#include "test/RandomSource.h"
#include "test/ResultsForm.h"
#include "test/TimerValue.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using testkit::TMessageScript;
using testkit::TModalScript;

namespace {

const QString Expired = QStringLiteral("Allocated test time expired");
const QString SavePrompt = QStringLiteral("Do you want to save the results ?");

// A program folder with its windows, the start window shown on one set.
struct TProgram {
  testkit::TTempProgramFolder Folder;
  explicit TProgram(const TOptionsRecord& options = TOptionsRecord()) : Folder(options) {}

  void Start(const std::string& setName) {
    Folder.CreateForms();
    StartForm->show();
    for (int i = 0; i < StartForm->FileListBox1->count(); ++i)
      if (StartForm->FileListBox1->item(i)->text().toStdString() == setName) StartForm->FileListBox1->SetItemIndex(i);
  }
  std::string Results() const {
    std::string bytes;
    ReadWholeFile(Folder.Path("Tests/results.txt"), bytes);
    return bytes;
  }
};

TForm1* W(QDialog* d) { return static_cast<TForm1*>(d); }

QStringList SlotTexts(TForm1* f) {
  QStringList texts;
  for (QLabel* l : f->cbl)
    if (!l->isHidden()) texts << l->text();
  return texts;
}

int SlotOf(TForm1* f, const QString& text) {
  for (int k = 0; k < AnswerCount; ++k)
    if (!f->cbl[k]->isHidden() && f->cbl[k]->text() == text) return k;
  return -1;
}

TQuestion Question(const std::string& text, std::initializer_list<std::string> answers, AnswerMask correct,
                   bool multiple = false, bool randomize = false) {
  TQuestion q;
  q.Text = text;
  int i = 0;
  for (const auto& a : answers) q.Answers[i++] = a;
  q.CorrectMask = correct;
  q.AnswerType = multiple ? 1 : 0;
  q.RandomizeAnswers = randomize ? 1 : 0;
  q.Remarks = "See chapter 2";
  return q;
}

TQuestionSet SetOf(std::initializer_list<TQuestion> questions, bool shuffle = false) {
  TQuestionSet set;
  TQuestion d;
  d.Text = "Description";
  d.CorrectMask = shuffle ? 1 : 0;
  set.Add(d);
  for (const auto& q : questions) set.Add(q);
  set.ProtectedSet = false;
  return set;
}

QString Today() { return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat); }

// Answers the question on screen: its correct slot, or the one after it.
void AnswerShown(TForm1* f, bool right) {
  const int q = f->CurrentQuestionNumber();
  const AnswerMask correct = f->Session.QuestionStates[q].DisplayCorrectMask;
  int slot = 0;
  while (slot < 8 && !(correct & (1 << slot))) ++slot;
  if (!right) slot = (slot + 1) % 4;
  f->rb[slot]->click();
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT
 private slots:
  void init() { SessionRandom().Pin(1234); }
  void cleanup() { SessionRandom().Unpin(); }

  void wholeTestFromStartToSavedResults() {
    TProgram p;
    p.Folder.WriteSet("Quiz.qst", testkit::MakeSet(3));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [](QDialog* d) {
      TForm1* f = W(d);
      [&] {
        QCOMPARE(f->windowTitle(), QString("Proctorium [Quiz.qst]"));
        QCOMPARE(f->lbTitle->text(), QString("Question 1 of 3"));
        QCOMPARE(f->lbTime->text(), QString("Elapsed time: 00:00:01"));
        QCOMPARE(f->lbQuestion->text(), QString("Question 1"));
        QCOMPARE(SlotTexts(f), QStringList({"Answer 1.A", "Answer 1.B", "Answer 1.C", "Answer 1.D"}));
        QVERIFY(!f->btnPrevious->isEnabled());
        QVERIFY(!f->btnClose->isEnabled());
        QVERIFY(!f->btnSave->isEnabled());
        QVERIFY(f->Timer1->isActive());
        QVERIFY(!f->rb[0]->isHidden());
        QVERIFY(f->cb[0]->isHidden());
      }();
      f->rb[0]->click();  // right
      f->btnNext->click();
      [&] { QCOMPARE(f->lbResults->text(), QString("1 of 1 Correct [100%]")); }();
      f->rb[2]->click();  // wrong
      f->btnNext->click();
      [&] { QVERIFY(!f->btnNext->isEnabled()); }();
      QTest::mouseClick(f->cbl[0], Qt::LeftButton);  // right, by its text
      f->btnEndReview->click();
      [&] {
        QCOMPARE(f->lbResults->text(), QString("2 of 3 Correct [66%]"));
        QVERIFY(!f->Timer1->isActive());
        QCOMPARE(f->btnEndReview->text(), QString("Review"));
        QVERIFY(f->btnEndReview->isEnabled());
      }();
      f->btnSave->click();
      [&] { QVERIFY(!f->btnSave->isEnabled()); }();
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QVERIFY(!Form1->isVisible());
    QVERIFY(!Form1->QuestionSet);
    const std::string expected = Today().toStdString() +
                                 "  Quiz.qst     Time taken: 00:00:01\r\n"
                                 "   2 of 3 Correct [66%]  Incorrect; 2\r\n"
                                 "\r\n";
    QCOMPARE(QString::fromStdString(p.Results()), QString::fromStdString(expected));
    QCOMPARE(ResultsForm->Lines().size(), 3);
  }

  void scorePercentagesAreTruncated_data() {
    QTest::addColumn<int>("right");
    QTest::addColumn<QString>("score");
    QTest::newRow("1 of 3") << 1 << "1 of 3 Correct [33%]";
    QTest::newRow("2 of 3") << 2 << "2 of 3 Correct [66%]";
  }
  void scorePercentagesAreTruncated() {
    QFETCH(int, right);
    QFETCH(QString, score);
    TProgram p;
    p.Folder.WriteSet("Quiz.qst", testkit::MakeSet(3));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      for (int i = 1; i <= 3; ++i) {
        AnswerShown(f, i <= right);
        if (i < 3) f->btnNext->click();
      }
      f->btnEndReview->click();
      [&] { QCOMPARE(f->lbResults->text(), score); }();
      messages.Expect(SavePrompt, TMsgDlgType::Confirmation, mbYes | mbNo, mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QCOMPARE(p.Results(), std::string());  // No: nothing written
  }

  void questionOrder_data() {
    QTest::addColumn<bool>("shuffle");
    QTest::newRow("in set order") << false;
    QTest::newRow("shuffled") << true;
  }
  void questionOrder() {
    QFETCH(bool, shuffle);
    TProgram p;
    TQuestionSet set = testkit::MakeSet(8);
    set.Questions[0].CorrectMask = shuffle ? 1 : 0;
    p.Folder.WriteSet("Quiz.qst", set);
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    QStringList shown;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      for (int i = 1; i <= 8; ++i) {
        shown << f->lbQuestion->text();
        [&] { QCOMPARE(f->lbTitle->text(), QString("Question %1 of 8").arg(i)); }();
        f->btnNext->click();
      }
      f->btnEndReview->click();
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QStringList inOrder;
    for (int i = 1; i <= 8; ++i) inOrder << QString("Question %1").arg(i);
    if (shuffle) {
      QVERIFY(shown != inOrder);
      QStringList sorted = shown;
      std::sort(sorted.begin(), sorted.end());
      QCOMPARE(sorted, inOrder);
    } else {
      QCOMPARE(shown, inOrder);
    }
  }

  void answerOrderIsKeptWithinATestAndDrawnAfreshInTheNext() {
    TProgram p;
    p.Folder.WriteSet("Quiz.qst", SetOf({Question("Pick", {"A", "B", "C", "D", "E", "F", "G", "H"}, 1, false, true),
                                         Question("Other", {"x", "y"}, 1)}));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    QList<QStringList> firstShown;
    for (int run = 0; run < 2; ++run) {
      modals.Expect("Form1", [&](QDialog* d) {
        TForm1* f = W(d);
        const QStringList first = SlotTexts(f);
        f->btnNext->click();
        f->btnPrevious->click();
        [&] {
          QCOMPARE(SlotTexts(f), first);
          // Letters belong to the rows, not to the answers.
          QCOMPARE(f->id[0]->text(), QString("A."));
          QCOMPARE(f->id[7]->text(), QString("H."));
        }();
        firstShown << first;
        f->btnEndReview->click();
        messages.Answer(mrNo);
        f->btnClose->click();
        return d->result();
      });
      StartForm->btnStartClick();
    }
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QCOMPARE(firstShown.size(), 2);
    QVERIFY(firstShown[0] != firstShown[1]);
    QVERIFY(firstShown[0] != QStringList({"A", "B", "C", "D", "E", "F", "G", "H"}));
  }

  void shuffledMultipleAnswerIsScoredBySlots_data() {
    QTest::addColumn<bool>("extraTick");
    QTest::addColumn<QString>("score");
    QTest::newRow("exactly the correct ones") << false << "1 of 1 Correct [100%]";
    QTest::newRow("one tick too many") << true << "0 of 1 Correct [0%]";
  }
  void shuffledMultipleAnswerIsScoredBySlots() {
    QFETCH(bool, extraTick);
    QFETCH(QString, score);
    TProgram p;
    p.Folder.WriteSet("Quiz.qst", SetOf({Question("Pick two", {"A", "B", "C", "D"}, 1 | 4, true, true)}));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      const int a = SlotOf(f, "A"), c = SlotOf(f, "C");
      [&] {
        QVERIFY(a >= 0 && c >= 0);
        QVERIFY(!f->cb[a]->isHidden());
        QVERIFY(f->rb[a]->isHidden());
        QCOMPARE(int(f->Session.QuestionStates[1].DisplayCorrectMask), (1 << a) | (1 << c));
      }();
      f->cb[a]->click();
      QTest::mouseClick(f->id[c], Qt::LeftButton);  // the letter ticks too
      if (extraTick) f->cb[SlotOf(f, "B")]->click();
      f->btnEndReview->click();
      [&] { QCOMPARE(f->lbResults->text(), score); }();
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }

  void clickingTheSelectedAnswerTextClearsIt() {
    TProgram p;
    p.Folder.WriteSet("Quiz.qst", testkit::MakeSet(1));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      QTest::mouseClick(f->cbl[1], Qt::LeftButton);
      QTest::mouseClick(f->cbl[0], Qt::LeftButton);
      [&] {
        QVERIFY(f->rb[0]->isChecked());
        QVERIFY(!f->rb[1]->isChecked());
      }();
      QTest::mouseClick(f->cbl[0], Qt::LeftButton);
      [&] { QVERIFY(!f->rb[0]->isChecked()); }();
      f->btnEndReview->click();
      [&] { QCOMPARE(f->lbResults->text(), QString("0 of 1 Correct [0%]")); }();
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }

  void endedAfterFourOfTenThenReviewed() {
    TProgram p;
    p.Folder.WriteSet("Quiz.qst", testkit::MakeSet(10));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      for (int i = 1; i <= 4; ++i) {
        AnswerShown(f, i != 3);
        if (i < 4) f->btnNext->click();
      }
      f->btnEndReview->click();
      [&] {
        QCOMPARE(f->lbResults->text(), QString("3 of 4 Correct [75%]"));
        for (QPushButton* b : {f->btnView, f->btnNext, f->btnPrevious, f->btnGoto, f->btnMark})
          QVERIFY(!b->isEnabled());
        QVERIFY(f->btnClose->isEnabled());
        QVERIFY(f->btnSave->isEnabled());
      }();
      f->btnEndReview->click();  // Review
      [&] {
        QVERIFY(!f->btnEndReview->isEnabled());
        QCOMPARE(f->lbTitle->text(), QString("Question 3"));
        QCOMPARE(f->lbQuestion->text(), QString("Question 3"));
        QVERIFY(!f->btnNext->isEnabled());
        QVERIFY(!f->btnPrevious->isEnabled());
        QVERIFY(!f->lbReference->isHidden());
        QCOMPARE(f->lbReference->text(), QString("Notes: "));
        QCOMPARE(f->cbl[0]->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(f->cbl[1]->palette().color(QPalette::WindowText) != QColor(Qt::red));
      }();
      f->btnSave->click();
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QVERIFY(QString::fromStdString(p.Results()).contains("   3 of 4 Correct [75%]  Incorrect; 3\r\n"));
  }

  void allRightLeavesNothingToReview() {
    TProgram p;
    p.Folder.WriteSet("Quiz.qst", testkit::MakeSet(2));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      f->rb[0]->click();
      f->btnEndReview->click();
      [&] { QVERIFY(!f->btnEndReview->isEnabled()); }();
      f->btnSave->click();
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MESSAGES(messages);
    QVERIFY(QString::fromStdString(p.Results()).contains("\r\n   1 of 1 Correct [100%]  \r\n\r\n"));
  }

  void answerShownAndHidden() {
    TProgram p;
    p.Folder.WriteSet("Quiz.qst", SetOf({Question("One", {"A", "B", "C"}, 2 | 4, true), Question("Two", {"x"}, 1)}));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      f->btnView->click();
      [&] {
        QCOMPARE(f->btnView->text(), QString("Hide"));
        QCOMPARE(f->lbReference->text(), QString("Notes: See chapter 2"));
        QVERIFY(!f->Line2->isHidden());
        QCOMPARE(f->cbl[1]->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(f->cbl[2]->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(f->cbl[0]->palette().color(QPalette::WindowText) != QColor(Qt::red));
        for (QPushButton* b : {f->btnNext, f->btnPrevious, f->btnGoto, f->btnEndReview, f->btnClose})
          QVERIFY(!b->isEnabled());
        QVERIFY(f->btnMark->isEnabled());
      }();
      f->btnView->click();
      [&] {
        QCOMPARE(f->btnView->text(), QString("Answer"));
        QVERIFY(f->lbReference->isHidden());
        QVERIFY(f->cbl[1]->palette().color(QPalette::WindowText) != QColor(Qt::red));
        QVERIFY(f->btnNext->isEnabled());
        QVERIFY(!f->btnPrevious->isEnabled());
        QVERIFY(f->btnEndReview->isEnabled());
        QVERIFY(!f->btnClose->isEnabled());
      }();
      f->btnEndReview->click();
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }

  void gotoListAndMarks() {
    TProgram p;
    p.Folder.WriteSet("Quiz.qst", testkit::MakeSet(6));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      for (int i = 0; i < 4; ++i) f->btnNext->click();
      f->btnMark->click();
      [&] {
        QCOMPARE(f->lbTitle->text(), QString("Question 5 of 6 (Marked)"));
        QCOMPARE(f->btnMark->text(), QString("Unmark"));
      }();
      const int narrow = f->ScrollBox1->width();
      f->btnGoto->click();
      [&] {
        QVERIFY(!f->ListBox1->isHidden());
        QCOMPARE(f->ListBox1->count(), 7);
        QCOMPARE(f->ListBox1->item(0)->text(), QString("Select question:"));
        QCOMPARE(f->ListBox1->item(5)->text(), QString(" 5 Marked"));
        QCOMPARE(f->ListBox1->currentRow(), 5);
        QCOMPARE(f->ScrollBox1->width(), narrow - 100);
        QCOMPARE(f->lbQuestion->width(), f->ScrollBox1->width() - 32);
      }();
      f->ListBox1->setCurrentRow(2);
      f->ListBox1Click();
      [&] {
        QCOMPARE(f->lbTitle->text(), QString("Question 2 of 6"));
        QVERIFY(!f->ListBox1->isHidden());
      }();
      f->ListBox1->setCurrentRow(5);
      f->ListBox1DblClick();
      f->btnMark->click();
      f->btnGoto->click();
      [&] { QCOMPARE(f->ListBox1->item(5)->text(), QString(" 5 ")); }();
      f->btnEndReview->click();
      [&] { QVERIFY(f->ListBox1->isHidden()); }();
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }

  void countdownRunsOutAndEndsTheTest() {
    TOptionsRecord o;
    o.TimeMode = 0;
    o.CountdownMinutes = 1;
    TProgram p(o);
    p.Folder.WriteSet("Quiz.qst", testkit::MakeSet(3));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("TimerValue", [](QDialog* d) { return TModalScript::Click(d, "btnOk"); });
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      [&] { QCOMPARE(f->lbTime->text(), QString("Time left: 00:00:59")); }();
      for (int i = 0; i < 58; ++i) f->Timer1Timer();
      [&] {
        QCOMPARE(f->lbTime->text(), QString("Time left: 00:00:01"));
        QVERIFY(f->Taking());
      }();
      f->btnNext->click();
      messages.Expect(Expired, TMsgDlgType::Custom, mbOK);
      f->Timer1Timer();
      [&] {
        QCOMPARE(f->lbTime->text(), QString("Time left: 00:00:00"));
        QVERIFY(!f->Taking());
        QVERIFY(!f->Timer1->isActive());
        QCOMPARE(f->btnEndReview->text(), QString("Review"));
        QCOMPARE(f->lbResults->text(), QString("0 of 2 Correct [0%]"));
      }();
      f->Timer1Timer();  // a stray tick after the end changes nothing
      [&] { QCOMPARE(f->lbTime->text(), QString("Time left: 00:00:00")); }();
      f->btnSave->click();
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QVERIFY(QString::fromStdString(p.Results()).contains("  Quiz.qst     Time taken: 00:01:00\r\n"));
  }

  void countdownEndedEarlyRecordsTheTimeUsed() {
    TOptionsRecord o;
    o.TimeMode = 0;
    o.CountdownMinutes = 60;
    TProgram p(o);
    p.Folder.WriteSet("Quiz.qst", testkit::MakeSet(1));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      for (int i = 1; i < 17 * 60 + 50; ++i) f->Timer1Timer();
      [&] { QCOMPARE(f->lbTime->text(), QString("Time left: 00:42:10")); }();
      f->btnEndReview->click();
      f->btnSave->click();
      f->btnClose->click();
      return d->result();
    });
    ExecModal(Form1);
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QVERIFY(QString::fromStdString(p.Results()).contains("Time taken: 00:17:50\r\n"));
  }

  void zeroMinuteLimitExpiresAtOnce() {
    TOptionsRecord o;
    o.TimeMode = 0;
    o.CountdownMinutes = 0;
    TProgram p(o);
    p.Folder.WriteSet("Quiz.qst", testkit::MakeSet(3));
    p.Start("Quiz.qst");
    TMessageScript messages;
    messages.Expect(Expired, TMsgDlgType::Custom, mbOK);
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      [&] {
        QVERIFY(!f->Taking());
        QVERIFY(!f->Timer1->isActive());
        QCOMPARE(f->lbTime->text(), QString("Time left: 00:00:00"));
        QCOMPARE(f->lbResults->text(), QString("0 of 1 Correct [0%]"));
      }();
      f->btnSave->click();
      f->btnClose->click();
      return d->result();
    });
    // The minutes dialog refuses 0, so the window is opened directly, as it
    // would be with a limit that slipped past it.
    ExecModal(Form1);
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QVERIFY(QString::fromStdString(p.Results()).contains("Time taken: 00:00:00\r\n"));
  }

  void closingIsRefusedWhileTakingAndOffersTheSaveAfter() {
    TProgram p;
    p.Folder.WriteSet("Quiz.qst", testkit::MakeSet(2));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      const QString refusal = "End Test and select Close button to exit";
      messages.Expect(refusal, TMsgDlgType::Warning, mbOK);
      f->close();  // title bar
      messages.Expect(refusal, TMsgDlgType::Warning, mbOK);
      QTest::keyClick(f, Qt::Key_Escape);
      [&] {
        QVERIFY(f->isVisible());
        QVERIFY(f->Taking());
      }();
      f->btnEndReview->click();
      messages.Expect(SavePrompt, TMsgDlgType::Confirmation, mbYes | mbNo, mrYes);
      f->close();  // after the end the title bar closes like the button
      [&] { QVERIFY(!f->isVisible()); }();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QVERIFY(QString::fromStdString(p.Results()).contains("   0 of 1 Correct [0%]  Incorrect; 1\r\n"));
  }

  void secondTestStartsClean() {
    TProgram p;
    p.Folder.WriteSet("Quiz.qst", testkit::MakeSet(3));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      f->btnMark->click();
      f->rb[1]->click();
      f->btnView->click();
      f->btnView->click();
      f->btnEndReview->click();
      f->btnEndReview->click();  // review
      f->btnSave->click();
      f->btnClose->click();
      return d->result();
    });
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      [&] {
        QVERIFY(f->Taking());
        QVERIFY(!f->ReviewMode);
        QVERIFY(!f->btnSave->isEnabled());
        QVERIFY(!f->btnClose->isEnabled());
        QCOMPARE(f->btnView->text(), QString("Answer"));
        QCOMPARE(f->btnEndReview->text(), QString("End Test"));
        QVERIFY(f->btnEndReview->isEnabled());
        QVERIFY(f->btnMark->isEnabled());
        QCOMPARE(f->btnMark->text(), QString("Mark"));
        QCOMPARE(f->lbResults->text(), QString());
        QCOMPARE(f->lbTitle->text(), QString("Question 1 of 3"));
        QCOMPARE(f->lbTime->text(), QString("Elapsed time: 00:00:01"));
        QVERIFY(!f->rb[1]->isChecked());
        QVERIFY(f->lbReference->isHidden());
        QVERIFY(!f->Session.AnswerOrderBuilt(2));
      }();
      f->btnEndReview->click();
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QCOMPARE(ResultsForm->Lines().size(), 3);
  }

  void exhibitPlacement_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<bool>("above");
    QTest::newRow("300 x 100 goes above") << 300 << 100 << true;
    QTest::newRow("200 x 100 stands at the right") << 200 << 100 << false;
  }
  void exhibitPlacement() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(bool, above);
    TProgram p;
    TQuestion q = Question("Look at the picture", {"A", "B"}, 1);
    q.ExhibitFile = "pic.bmp";
    p.Folder.WriteSet("Quiz.qst", SetOf({q}));
    p.Folder.WriteBitmap("pic.bmp", w, h);
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      [&] {
        QVERIFY(!f->Image1->isHidden());
        QCOMPARE(f->Image1->size(), QSize(w, h));
        QCOMPARE(f->Image1->y(), 8);
        const int full = f->ScrollBox1->width() - 8 - 24;
        if (above) {
          QCOMPARE(f->Image1->x(), 8);
          QCOMPARE(f->lbQuestion->y(), 8 + h + 6);
          QCOMPARE(f->lbQuestion->width(), full);
        } else {
          QCOMPARE(f->Image1->x(), f->ScrollBox1->width() - w - 24);
          QCOMPARE(f->lbQuestion->y(), 8);
          QCOMPARE(f->lbQuestion->width(), full - w - 8);
        }
      }();
      f->btnEndReview->click();
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }

  void missingExhibitIsReportedAtEachDisplay() {
    TProgram p;
    TQuestion q = Question("Look", {"A", "B"}, 1);
    q.ExhibitFile = "gone.bmp";
    p.Folder.WriteSet("Quiz.qst", SetOf({q, Question("Next", {"A"}, 1)}));
    p.Start("Quiz.qst");
    TMessageScript messages;
    const QString missing = "Exhibit not found: gone.bmp";
    messages.Expect(missing, TMsgDlgType::Information, mbOK);
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      [&] {
        QVERIFY(f->Image1->isHidden());
        QCOMPARE(f->lbQuestion->y(), 8);
      }();
      f->btnNext->click();
      messages.Expect(missing, TMsgDlgType::Information, mbOK);
      f->btnPrevious->click();
      f->btnEndReview->click();
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }

  void setWithoutQuestionsIsNotStarted() {
    TProgram p;
    p.Folder.WriteSet("Empty.qst", testkit::MakeSet(0, "Only a description"));
    p.Start("Empty.qst");
    QVERIFY(!StartForm->btnStart->isEnabled());
    TMessageScript messages;
    messages.Expect("This question set has no questions, so it cannot be run as a test.", TMsgDlgType::Information,
                    mbOK);
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      [&] {
        QVERIFY(!f->Taking());
        QVERIFY(!f->Timer1->isActive());
        QTRY_VERIFY(!f->isVisible());
        QVERIFY(f->lbQuestion->text() != QString("Only a description"));
      }();
      return d->result();
    });
    StartForm->btnStartClick();  // what a double click does
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QCOMPARE(Form1->result(), int(mrCancel));
  }

  void resizeKeepsTheMinimumMovesTheButtonsAndTheTicks() {
    TProgram p;
    p.Folder.WriteSet("Quiz.qst", SetOf({Question("Multiple", {"A", "B", "C"}, 3, true)}));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      f->cb[1]->click();
      f->resize(500, 200);
      QApplication::processEvents();
      [&] {
        QCOMPARE(f->size(), QSize(640, 240));
        QCOMPARE(f->btnClose->x(), 560);
      }();
      f->resize(800, 500);
      QApplication::processEvents();
      [&] {
        QCOMPARE(f->btnClose->x(), 720);
        QCOMPARE(f->btnSave->x(), 640);
        QCOMPARE(f->btnHelp->x(), 576);
        QCOMPARE(f->btnEndReview->x(), 208);
        QVERIFY(f->cb[1]->isChecked());
        QCOMPARE(f->lbQuestion->width(), f->ScrollBox1->width() - 32);
      }();
      f->btnEndReview->click();
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }

  void presentationFollowsTheSettings() {
    TOptionsRecord o;
    o.FontSize = 12;
    o.ShowHints = false;
    o.ScreenColour = 0x00C0FFEE;  // stored as blue-green-red
    o.EnableRunningScore = false;
    TProgram p(o);
    p.Folder.WriteSet("Quiz.qst", testkit::MakeSet(2));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      [&] {
        QCOMPARE(f->font().pointSize(), 12);
        QCOMPARE(f->btnNext->font().pointSize(), 8);
        QCOMPARE(f->lbTitle->font().pixelSize(), 16);
        QVERIFY(!f->ShowHint());
        QCOMPARE(f->Panel2->palette().color(QPalette::Window), StartForm->Image1->Picture().pixelColor(0, 0));
        QCOMPARE(f->ScrollContents->palette().color(QPalette::Window), QColor(0xEE, 0xFF, 0xC0));
        QCOMPARE(f->minimumSize(), QSize(640, 240));
      }();
      f->rb[0]->click();
      f->btnNext->click();
      [&] { QCOMPARE(f->lbResults->text(), QString()); }();  // no running score
      f->btnEndReview->click();
      [&] { QCOMPARE(f->lbResults->text(), QString("1 of 2 Correct [50%]")); }();
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }

  void answersChangedInReviewAreSaved() {
    TProgram p;
    p.Folder.WriteSet("Quiz.qst", testkit::MakeSet(2));
    p.Start("Quiz.qst");
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("Form1", [&](QDialog* d) {
      TForm1* f = W(d);
      f->btnNext->click();
      f->rb[0]->click();
      f->btnEndReview->click();
      // Resizing between End Test and Review must not move the ticks on
      // screen into another question.
      f->resize(700, 500);
      QApplication::processEvents();
      f->btnEndReview->click();
      [&] { QCOMPARE(f->lbTitle->text(), QString("Question 1")); }();
      f->rb[0]->click();
      f->btnSave->click();
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QVERIFY(QString::fromStdString(p.Results()).contains("   2 of 2 Correct [100%]  \r\n"));
  }
};

QTEST_MAIN(Form1Test)
#include "Form1_test.moc"
