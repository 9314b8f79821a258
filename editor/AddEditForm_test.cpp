#include <QApplication>
#include <QtTest>

#include "app/StartForm.h"
#include "app/UserCode.h"
#include "editor/AddEditForm.h"
#include "editor/EditorHarness.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"

using namespace proctorium;
using namespace proctorium::testkit;

namespace {

// Question 1 single with A; question 2 multiple with B and D; question 3 a
// record with every field set.
TQuestionSet MixedSet() {
  TQuestionSet set = MakeSet(3);
  set.Questions[2].AnswerType = 1;
  set.Questions[2].CorrectMask = 2 | 8;
  TQuestion& q = set.Questions[3];
  q.Text = "Line one\r\nLine two";
  q.RandomizeAnswers = 1;
  q.Remarks = "See chapter 4";
  q.Answers[7] = "Answer H";
  q.CorrectMask = 128;
  return set;
}

}  // namespace

class AddEditFormTest : public QObject {
  Q_OBJECT
 private slots:
  void openedFromTheStartWindow() {
    TEditorHarness h(MakeSet(2, "Described"), "Chemistry.qst");
    const std::string before = h.FileBytes();
    StartForm->FileListBox1->SetDirectory(StartForm->ProgramPath("Tests\\"));
    StartForm->FileListBox1->SetItemIndex(0);
    TModalScript modals;
    modals.Expect("AddEditForm", [](QDialog* d) {
      auto* f = static_cast<TAddEditForm*>(d);
      STEP_COMPARE(f->windowTitle(), QString("Proctorium - Add / edit questions [Chemistry.qst]"));
      STEP_COMPARE(f->lbQuestionTitle->text(), QString("Question #0"));
      STEP_COMPARE(f->memoQuestion->toPlainText(), QString("Described"));
      STEP_COMPARE(f->EditMode, 0);
      STEP_COMPARE(Buttons(f), Browsing(false, false, true));
      return TModalScript::Click(d, "btnClose");
    });
    StartForm->btnEditClick();
    VERIFY_MODALS(modals);
    QVERIFY(!AddEditForm->isVisible());
    QCOMPARE(h.FileBytes(), before);  // only browsed: not rewritten
  }

  void showsEveryFieldOfTheRecord() {
    TEditorHarness h(MixedSet());
    TAddEditForm* f = h.Open();
    f->btnLastClick();
    QCOMPARE(f->lbQuestionTitle->text(), QString("Question #3"));
    QCOMPARE(f->memoQuestion->toPlainText(), QString("Line one\nLine two"));
    QVERIFY(f->cbRandomize->isChecked());
    QCOMPARE(f->memoRemarks->toPlainText(), QString("See chapter 4"));
    QCOMPARE(f->memoOption[0]->toPlainText(), QString("Answer 3.A"));
    QCOMPARE(f->memoOption[7]->toPlainText(), QString("Answer H"));
    QCOMPARE(Marks(f), QString(".......H"));
    for (int i = 0; i < AnswerCount; ++i)
      QCOMPARE(f->SpeedButton[static_cast<size_t>(i)]->property("Tag").toInt(), 1 << i);
    QCOMPARE(f->EditMode, 0);
  }

  void navigationFollowsThePosition() {
    TEditorHarness h(MixedSet());
    TAddEditForm* f = h.Open();
    QCOMPARE(Buttons(f), Browsing(false, false, true));
    f->btnNext->click();
    QCOMPARE(f->lbQuestionTitle->text(), QString("Question #1"));
    QCOMPARE(Buttons(f), Browsing(true, true, true));
    f->btnLast->click();
    QCOMPARE(f->QuestionSet.Current, 3);
    QCOMPARE(Buttons(f), Browsing(true, true, false));
    f->btnPrev->click();
    QCOMPARE(f->QuestionSet.Current, 2);
    f->btnFirst->click();
    QCOMPARE(f->QuestionSet.Current, 0);
  }

  // Showing a record never starts an edit, whatever the answer type on
  // screen was before.
  void browsingNeverStartsAnEdit() {
    TEditorHarness h(MixedSet());
    TAddEditForm* f = h.Open();
    for (int i = 0; i < 3; ++i) {
      f->btnNext->click();
      QCOMPARE(f->EditMode, 0);
    }
    f->btnPrev->click();
    QCOMPARE(f->rgAnswerType->ItemIndex(), 1);
    QCOMPARE(Marks(f), QString(".B.D...."));
    QCOMPARE(f->EditMode, 0);
  }

  void descriptionOnlySet() {
    TEditorHarness h(MakeSet(0));
    TAddEditForm* f = h.Open();
    QCOMPARE(f->lbQuestionTitle->text(), QString("Question #0"));
    QCOMPARE(Buttons(f), Browsing(false, false, false));
    f->btnAdd->click();
    QCOMPARE(f->EditMode, 2);
    QCOMPARE(f->lbQuestionTitle->text(), QString("Question #1"));
    QCOMPARE(Buttons(f), Changing());
    QVERIFY(f->cbRandomize->isChecked());
    QCOMPARE(f->rgAnswerType->ItemIndex(), 0);
    QCOMPARE(f->btnImageAdd->text(), QString("Add Exhibit"));
    f->memoQuestion->setPlainText("New question");
    f->SpeedButton[1]->click();
    f->btnSave->click();
    QCOMPARE(f->EditMode, 0);
    QCOMPARE(f->QuestionSet.LastIndex, 1);
    QCOMPARE(f->QuestionSet.Current, 1);
    QCOMPARE(f->lbQuestionTitle->text(), QString("Question #1"));
    QCOMPARE(Buttons(f), Browsing(true, true, false));
    const TQuestion saved = f->QuestionSet.GetCurrent();
    QCOMPARE(saved.Text, std::string("New question"));
    QCOMPARE(saved.CorrectMask, AnswerMask(2));
    QCOMPARE(saved.RandomizeAnswers, std::uint8_t(1));
    QVERIFY(f->SetChanged);
  }

  void addThenCancelRestoresTheRecordOnScreen() {
    TEditorHarness h(MixedSet());
    TAddEditForm* f = h.Open();
    f->btnNext->click();
    f->btnNext->click();
    f->btnAdd->click();
    QCOMPARE(f->lbQuestionTitle->text(), QString("Question #4"));
    QCOMPARE(f->memoQuestion->toPlainText(), QString());
    f->memoQuestion->setPlainText("Never stored");
    f->btnCancel->click();
    QCOMPARE(f->EditMode, 0);
    QCOMPARE(f->lbQuestionTitle->text(), QString("Question #2"));
    QCOMPARE(f->memoQuestion->toPlainText(), QString("Question 2"));
    QCOMPARE(f->rgAnswerType->ItemIndex(), 1);
    QCOMPARE(Marks(f), QString(".B.D...."));
    QCOMPARE(f->QuestionSet.LastIndex, 3);
    QVERIFY(!f->SetChanged);
  }

  void editThenSaveReplacesTheRecord() {
    TEditorHarness h(MixedSet());
    TAddEditForm* f = h.Open();
    f->btnNext->click();
    f->memoRemarks->setPlainText("A note\nover two lines");
    QCOMPARE(f->EditMode, 1);
    QCOMPARE(Buttons(f), Changing());
    f->btnSave->click();
    QCOMPARE(f->EditMode, 0);
    QCOMPARE(f->QuestionSet.LastIndex, 3);
    QCOMPARE(f->QuestionSet.Questions[1].Remarks, std::string("A note\r\nover two lines"));
    QCOMPARE(Buttons(f), Browsing(true, true, true));
  }

  void everyInputStartsEditing_data() {
    QTest::addColumn<int>("input");
    for (int i = 0; i < 10; ++i) QTest::newRow(qPrintable(QString("memo %1").arg(i))) << i;
    QTest::newRow("randomize box") << 10;
    QTest::newRow("correct-answer button") << 11;
    QTest::newRow("answer type") << 12;
  }
  void everyInputStartsEditing() {
    QFETCH(int, input);
    TEditorHarness h(MixedSet());
    TAddEditForm* f = h.Open();
    f->btnNext->click();
    QPlainTextEdit* memos[] = {f->memoQuestion,  f->memoOption[0], f->memoOption[1], f->memoOption[2], f->memoOption[3],
                               f->memoOption[4], f->memoOption[5], f->memoOption[6], f->memoOption[7], f->memoRemarks};
    if (input < 10) {
      memos[input]->setFocus();
      QTest::keyClicks(memos[input], "x");
    } else if (input == 10) {
      f->cbRandomize->click();
    } else if (input == 11) {
      f->SpeedButton[2]->click();
    } else {
      f->rgAnswerType->Item(1)->click();
    }
    QCOMPARE(f->EditMode, 1);
    QCOMPARE(Buttons(f), Changing());
  }

  void singleAnswerMarks() {
    TEditorHarness h(MixedSet());
    TAddEditForm* f = h.Open();
    f->btnNext->click();
    f->SpeedButton[2]->click();
    QCOMPARE(Marks(f), QString("..C....."));
    f->SpeedButton[2]->click();
    QCOMPARE(Marks(f), QString("..C....."));
    f->SpeedButton[4]->click();
    QCOMPARE(Marks(f), QString("....E..."));
    QCOMPARE(f->EditMask, AnswerMask(16));
  }

  void multipleAnswerMarksToggle() {
    TEditorHarness h(MixedSet());
    TAddEditForm* f = h.Open();
    f->GoToQuestion(2);
    f->SpeedButton[5]->click();
    QCOMPARE(Marks(f), QString(".B.D.F.."));
    f->SpeedButton[1]->click();
    QCOMPARE(Marks(f), QString("...D.F.."));
  }

  void switchingTheAnswerTypeTrimsMarks() {
    TEditorHarness h(MixedSet());
    TAddEditForm* f = h.Open();
    f->GoToQuestion(2);
    QCOMPARE(Marks(f), QString(".B.D...."));
    f->rgAnswerType->Item(0)->click();
    QCOMPARE(Marks(f), QString(".B......"));
    QCOMPARE(f->EditMode, 1);
    f->rgAnswerType->Item(1)->click();
    QCOMPARE(Marks(f), QString(".B......"));
    f->btnCancel->click();
    QCOMPARE(Marks(f), QString(".B.D...."));
    QCOMPARE(f->EditMode, 0);
  }

  void limitOfQuestions_data() {
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("249 takes one more") << 249 << true;
    QTest::newRow("250 is full") << 250 << false;
  }
  void limitOfQuestions() {
    QFETCH(int, questions);
    QFETCH(bool, accepted);
    TEditorHarness h(MakeSet(questions));
    TAddEditForm* f = h.Open();
    f->btnLast->click();
    TMessageScript messages;
    if (!accepted) messages.Expect("Limit of 250 questions reached", TMsgDlgType::Warning, mbOK);
    f->btnAdd->click();
    VERIFY_MESSAGES(messages);
    if (accepted) {
      QCOMPARE(f->EditMode, 2);
      QCOMPARE(f->lbQuestionTitle->text(), QString("Question #250"));
      f->btnSave->click();
      QCOMPARE(f->QuestionSet.LastIndex, 250);
    } else {
      QCOMPARE(f->EditMode, 0);
      QCOMPARE(f->lbQuestionTitle->text(), QString("Question #250"));
      QCOMPARE(f->memoQuestion->toPlainText(), QString("Question 250"));
      QCOMPARE(Buttons(f), Browsing(true, true, false));
    }
  }

  void deleteShowsTheFollowingRecord_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("shownAfter");
    QTest::addColumn<QString>("textAfter");
    QTest::addColumn<int>("lastAfter");
    QTest::newRow("middle") << 3 << int(mrYes) << 3 << "Question 4" << 4;
    QTest::newRow("last") << 5 << int(mrYes) << 4 << "Question 4" << 4;
    QTest::newRow("first question") << 1 << int(mrYes) << 1 << "Question 2" << 4;
    QTest::newRow("answered No") << 3 << int(mrNo) << 3 << "Question 3" << 5;
  }
  void deleteShowsTheFollowingRecord() {
    QFETCH(int, position);
    QFETCH(int, answer);
    TEditorHarness h(MakeSet(5));
    TAddEditForm* f = h.Open();
    f->GoToQuestion(position);
    TMessageScript messages;
    messages.Expect("Are you sure you want to delete this question ?", TMsgDlgType::Confirmation, mbYes | mbNo, answer);
    f->btnDelete->click();
    VERIFY_MESSAGES(messages);
    QTEST(f->QuestionSet.Current, "shownAfter");
    QCOMPARE(f->lbQuestionTitle->text(), QString("Question #%1").arg(f->QuestionSet.Current));
    QTEST(f->memoQuestion->toPlainText(), "textAfter");
    QTEST(f->QuestionSet.LastIndex, "lastAfter");
    QCOMPARE(f->SetChanged, answer == mrYes);
    QCOMPARE(f->EditMode, 0);
  }

  void descriptionRecordCannotBeDeleted() {
    TEditorHarness h(MakeSet(2));
    TAddEditForm* f = h.Open();
    QVERIFY(!f->btnDelete->isEnabled());
    f->GoToQuestion(1);
    QVERIFY(f->btnDelete->isEnabled());
    f->GoToQuestion(0);
    QVERIFY(!f->btnDelete->isEnabled());
  }

  void closingWhileChangingIsRefused_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("close box") << 0;
    QTest::newRow("Esc") << 1;
    QTest::newRow("adding, close box") << 2;
  }
  void closingWhileChangingIsRefused() {
    QFETCH(int, how);
    TEditorHarness h(MakeSet(2));
    const std::string before = h.FileBytes();
    TAddEditForm* f = h.Open();
    f->GoToQuestion(1);
    if (how == 2)
      f->btnAdd->click();
    else
      f->memoQuestion->setPlainText("changed");
    TMessageScript messages;
    messages.Expect("You must save or cancel edit before closing window", TMsgDlgType::Information, mbOK);
    if (how == 1)
      QTest::keyClick(f, Qt::Key_Escape);
    else
      f->close();
    VERIFY_MESSAGES(messages);
    QVERIFY(f->isVisible());
    QCOMPARE(f->EditMode, how == 2 ? 2 : 1);
    QCOMPARE(h.FileBytes(), before);
  }

  void fileWrittenOnlyAfterAChange_data() {
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("written");
    QTest::newRow("browsing only") << 0 << false;
    QTest::newRow("edited and cancelled") << 1 << false;
    QTest::newRow("protection box clicked") << 2 << true;
    QTest::newRow("record saved") << 3 << true;
    QTest::newRow("record deleted") << 4 << true;
  }
  void fileWrittenOnlyAfterAChange() {
    QFETCH(int, action);
    QFETCH(bool, written);
    TQuestionSet set = MakeSet(3);
    set.OwnerCode = 0;
    set.ProtectedSet = false;
    TEditorHarness h(set);
    const std::string before = h.FileBytes();
    TAddEditForm* f = h.Open();
    QVERIFY(!f->cbProtectedSet->isChecked());
    QVERIFY(!f->SetChanged);  // setting the box on opening is no change
    f->GoToQuestion(2);
    TMessageScript messages;
    switch (action) {
      case 1:
        f->memoQuestion->setPlainText("dropped");
        f->btnCancel->click();
        break;
      case 2:
        f->cbProtectedSet->click();
        break;
      case 3:
        f->memoQuestion->setPlainText("Kept");
        f->btnSave->click();
        break;
      case 4:
        messages.Answer(mrYes);
        f->btnDelete->click();
        break;
    }
    f->btnClose->click();
    VERIFY_MESSAGES(messages);
    QVERIFY(!f->isVisible());
    if (!written) {
      QCOMPARE(h.FileBytes(), before);
      return;
    }
    const TQuestionSet saved = h.Reload();
    QCOMPARE(saved.OwnerCode, UserCode());
    QCOMPARE(saved.ProtectedSet, action == 2);
    if (action == 3) QCOMPARE(saved.Questions[2].Text, std::string("Kept"));
    QCOMPARE(saved.LastIndex, action == 4 ? 2 : 3);
  }

  void reopeningReloadsTheFile() {
    TEditorHarness h(MakeSet(3));
    TAddEditForm* f = h.Open();
    f->GoToQuestion(1);
    f->memoQuestion->setPlainText("Changed");
    f->btnSave->click();
    f->btnClose->click();
    f = h.Open();
    QCOMPARE(f->QuestionSet.Current, 0);
    QCOMPARE(f->QuestionSet.Questions[1].Text, std::string("Changed"));
    QVERIFY(!f->SetChanged);
    QCOMPARE(f->EditMode, 0);
    f->btnClose->click();
  }

  // Text that Windows-1252 cannot hold is refused by name instead of being
  // stored as question marks.
  void textTheFileCannotHold() {
    TEditorHarness h(MakeSet(2));
    TAddEditForm* f = h.Open();
    f->GoToQuestion(1);
    f->memoQuestion->setPlainText(QString::fromUtf8("Price in \u20ac and \u2603"));
    f->memoOption[2]->setPlainText(QString::fromUtf8("\u0394 x \u2603"));
    TMessageScript messages;
    messages.Expect(QString::fromUtf8("The question cannot be saved: these characters cannot be stored in a question "
                                      "set: \u2603 \u0394\nPlease remove or replace them."),
                    TMsgDlgType::Warning, mbOK);
    f->btnSave->click();
    VERIFY_MESSAGES(messages);
    QCOMPARE(f->EditMode, 1);
    QVERIFY(!f->SetChanged);
    QCOMPARE(f->QuestionSet.Questions[1].Text, std::string("Question 1"));
    // Once the text can be stored, the euro sign goes in as its byte.
    f->memoQuestion->setPlainText(QString::fromUtf8("Price in \u20ac"));
    f->memoOption[2]->setPlainText("fine");
    f->btnSave->click();
    QCOMPARE(f->EditMode, 0);
    QCOMPARE(f->QuestionSet.Questions[1].Text, std::string("Price in \x80"));
  }

  // A failed write keeps the editor open with the work in memory, unless
  // the author chooses to give it up.
  void failedWriteKeepsTheEditorOpen_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("stay") << int(mrNo);
    QTest::newRow("give up") << int(mrYes);
  }
  void failedWriteKeepsTheEditorOpen() {
    QFETCH(int, answer);
    TEditorHarness h(MakeSet(2));
    TAddEditForm* f = h.Open();
    f->cbProtectedSet->click();
    // Nothing can be renamed over a folder: the write must fail.
    QVERIFY(QFile::remove(QString::fromStdString(h.SetPath())));
    QVERIFY(QDir().mkdir(QString::fromStdString(h.SetPath())));
    TMessageScript messages;
    messages.Answer(mrOk);
    messages.Expect("The question set could not be saved. Close without saving ?", TMsgDlgType::Confirmation,
                    mbYes | mbNo, answer);
    f->btnClose->click();
    VERIFY_MESSAGES(messages);
    QCOMPARE(messages.Shown()[0].Type, TMsgDlgType::Error);
    QCOMPARE(f->isVisible(), answer != mrYes);
    QVERIFY(f->SetChanged);
  }

  void unreadableFileIsReportedAndNotWrittenOver() {
    TEditorHarness h(MakeSet(2));
    h.Folder.WriteFile("Tests/set.qst", "this is no question set");
    TMessageScript messages;
    messages.Answer(mrOk);
    TAddEditForm* f = h.Open();
    QCOMPARE(messages.Shown().size(), size_t(1));
    QCOMPARE(messages.Shown()[0].Type, TMsgDlgType::Error);
    QTRY_VERIFY(!f->isVisible());
    QCOMPARE(h.FileBytes(), std::string("this is no question set"));
  }

  void takesFontAndHintsFromTheStartWindow() {
    TEditorHarness h(MakeSet(1));
    StartForm->SetFontSize(12);
    StartForm->SetShowHint(false);
    TAddEditForm* f = h.Open();
    QCOMPARE(f->font().pointSize(), 12);
    QCOMPARE(f->memoQuestion->font().pointSize(), 12);
    QCOMPARE(f->Label1->font().pointSize(), 12);
    QCOMPARE(f->btnAdd->font().pointSize(), 8);
    QCOMPARE(f->lblAnswers->font().pointSize(), 8);
    QCOMPARE(f->SpeedButton[0]->font().pointSize(), 8);
    QVERIFY(f->SpeedButton[0]->font().bold());
    QVERIFY(!f->ShowHint());
    QCOMPARE(f->btnSave->toolTip(), QString("Save all additions / amendments"));
  }

  void layoutFollowsTheWindowSize_data() {
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QRect>("scrollBox");
    QTest::addColumn<QRect>("remarks");
    QTest::addColumn<QRect>("question");
    QTest::addColumn<int>("answerWidth");
    QTest::addColumn<int>("closeTop");
    QTest::newRow("640x480") << QSize(640, 480) << QRect(8, 156, 521, 204) << QRect(8, 390, 521, 51)
                             << QRect(8, 24, 521, 102) << 450 << 420;
    QTest::newRow("800x700") << QSize(800, 700) << QRect(8, 242, 681, 297) << QRect(8, 569, 681, 94)
                             << QRect(8, 24, 681, 188) << 626 << 640;
    QTest::newRow("below minimum") << QSize(500, 300) << QRect(8, 156, 521, 204) << QRect(8, 390, 521, 51)
                                   << QRect(8, 24, 521, 102) << 450 << 420;
  }
  void layoutFollowsTheWindowSize() {
    QFETCH(QSize, requested);
    TEditorHarness h(MakeSet(1));
    TAddEditForm* f = h.Open();
    // The layout goes by the outer size, frame included.
    const QSize frame = f->frameGeometry().size() - f->size();
    f->resize(requested - frame);
    QCoreApplication::processEvents();
    QCOMPARE(f->Layout().WindowWidth, std::max(requested.width(), 640));
    QCOMPARE(f->Layout().WindowHeight, std::max(requested.height(), 480));
    QCOMPARE(f->frameGeometry().size(), QSize(f->Layout().WindowWidth, f->Layout().WindowHeight));
    QTEST(f->ScrollBox1->geometry(), "scrollBox");
    QTEST(f->memoRemarks->geometry(), "remarks");
    QTEST(f->memoQuestion->geometry(), "question");
    QTEST(f->memoOption[7]->width(), "answerWidth");
    QTEST(f->btnClose->y(), "closeTop");
    QCOMPARE(f->panelButtons->geometry().right(), f->width() - 1);
    QCOMPARE(f->panelButtons->height(), f->height());
    QCOMPARE(f->Panel1->width(), f->Panel1->height());
  }
};

QTEST_MAIN(AddEditFormTest)
#include "AddEditForm_test.moc"
