#include <QApplication>
#include <QtTest>

#include "app/ProgramFolder.h"
#include "app/core/UserCode.h"
#include "app/shell/StartForm.h"
#include "editor/AddEditForm.h"
#include "testkit/EditorHarness.h"
#include "testkit/MessageScript.h"

using namespace proctorium;
using namespace proctorium::testkit;

namespace {

// Question 1 single with A; question 2 multiple with B and D; question 3 a
// record with every field set.
TQuestionSet MixedSet() {
  TQuestionSet set = MakeSet(3);
  set.Questions[2].AnswerType = TAnswerType::Multiple;
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

class AddEditFormTest : public TEditorTest {
  Q_OBJECT
 private slots:
  void init() { Open(MixedSet()); }
  void cleanup() { Folder.reset(); }

  // Showing a record never starts an edit, even when it changes the
  // answer type on screen.
  void navigationFollowsThePosition() {
    const struct {
      QAbstractButton* button;
      int current;
      QString buttons, marks;
      int answerType;
    } steps[] = {{F->btnNext, 1, Browsing(true, true, true), "A.......", 0},
                 {F->btnFirst, 0, Browsing(false, false, true), "........", 0},
                 {F->btnLast, 3, Browsing(true, true, false), ".......H", 0},
                 {F->btnPrev, 2, Browsing(true, true, true), ".B.D....", 1},
                 {F->btnNext, 3, Browsing(true, true, false), ".......H", 0}};
    for (const auto& s : steps) {
      s.button->click();
      QCOMPARE(F->QuestionSet.Current, s.current);
      QCOMPARE(F->lbQuestionTitle->text(), QString("Question #%1").arg(s.current));
      QCOMPARE(Buttons(F), s.buttons);
      QCOMPARE(Marks(F), s.marks);
      QCOMPARE(F->rgAnswerType->ItemIndex(), s.answerType);
      QCOMPARE(F->EditMode, TEditMode::Browsing);
    }
    QCOMPARE(F->memoQuestion->toPlainText(), QString("Line one\nLine two"));
    QVERIFY(F->cbRandomize->isChecked());
    QCOMPARE(F->memoRemarks->toPlainText(), QString("See chapter 4"));
    QCOMPARE(F->memoOption[0]->toPlainText(), QString("Answer 3.A"));
    QCOMPARE(F->memoOption[7]->toPlainText(), QString("Answer H"));
  }

  // On question 2 (multiple answers, B and D): type a two-line text, mark F,
  // then Save or Cancel; Add appends an empty single-answer record.
  void saveOrCancel_data() {
    QTest::addColumn<bool>("adding");
    QTest::addColumn<bool>("save");
    QTest::addColumn<int>("shownAfter");
    QTest::addColumn<int>("lastAfter");
    QTest::addColumn<QString>("marks");
    QTest::newRow("add, Save") << true << true << 4 << 4 << ".....F..";
    QTest::newRow("add, Cancel") << true << false << 2 << 3 << ".B.D....";
    QTest::newRow("edit, Save") << false << true << 2 << 3 << ".B.D.F..";
    QTest::newRow("edit, Cancel") << false << false << 2 << 3 << ".B.D....";
  }
  void saveOrCancel() {
    QFETCH(bool, adding);
    QFETCH(bool, save);
    QFETCH(int, shownAfter);
    F->GoToQuestion(2);
    if (adding) {
      F->btnAdd->click();
      QCOMPARE(F->lbQuestionTitle->text(), QString("Question #4"));
      QCOMPARE(F->memoQuestion->toPlainText(), QString());
      QVERIFY(F->cbRandomize->isChecked());
      QCOMPARE(F->rgAnswerType->ItemIndex(), 0);
    }
    F->memoQuestion->setPlainText("New\nquestion");
    F->SpeedButton[5]->click();
    QCOMPARE(F->EditMode, adding ? TEditMode::Adding : TEditMode::Editing);
    QCOMPARE(Buttons(F), Changing());
    (save ? F->btnSave : F->btnCancel)->click();
    QCOMPARE(F->EditMode, TEditMode::Browsing);
    QCOMPARE(F->lbQuestionTitle->text(), QString("Question #%1").arg(shownAfter));
    QTEST(F->QuestionSet.LastIndex, "lastAfter");
    QTEST(Marks(F), "marks");
    QCOMPARE(Buttons(F), Browsing(true, true, shownAfter < 4));
    QCOMPARE(F->memoQuestion->toPlainText(), save ? "New\nquestion" : "Question 2");
    QCOMPARE(F->QuestionSet.Questions[shownAfter].Text, save ? "New\r\nquestion" : "Question 2");
    QCOMPARE(F->SetChanged, save);
  }

  void everyInputStartsEditing_data() {
    QTest::addColumn<QString>("input");
    QStringList names{"memoQuestion", "memoRemarks", "cbRandomize", "SpeedButton3", "rgAnswerType"};
    for (int i = 1; i <= AnswerCount; ++i) names << QString("memoOption%1").arg(i);
    for (const QString& name : names) QTest::newRow(qPrintable(name)) << name;
  }
  void everyInputStartsEditing() {
    QFETCH(QString, input);
    F->GoToQuestion(1);
    QWidget* w = F->findChild<QWidget*>(input);
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
      memo->setFocus();
      QTest::keyClicks(memo, "x");
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      button->click();
    } else {
      F->rgAnswerType->Item(1)->click();
    }
    QCOMPARE(F->EditMode, TEditMode::Editing);
    QCOMPARE(Buttons(F), Changing());
  }

  // Actions: a letter clicks that answer's mark, 's' and 'm' choose single
  // or multiple answers, '-' is Cancel.
  void correctAnswerMarks_data() {
    QTest::addColumn<QString>("actions");
    QTest::addColumn<int>("question");
    QTest::addColumn<QString>("marks");
    QTest::newRow("single: the mark moves") << "C" << 1 << "..C.....";
    QTest::newRow("single: clicking the mark keeps it") << "CC" << 1 << "..C.....";
    QTest::newRow("single: the last click wins") << "CE" << 1 << "....E...";
    QTest::newRow("multiple: marks toggle") << "FB" << 2 << "...D.F..";
    QTest::newRow("to single keeps the first mark") << "s" << 2 << ".B......";
    QTest::newRow("and back brings none back") << "sm" << 2 << ".B......";
    QTest::newRow("Cancel restores the marks") << "s-" << 2 << ".B.D....";
  }
  void correctAnswerMarks() {
    QFETCH(int, question);
    QFETCH(QString, actions);
    F->GoToQuestion(question);
    for (const QChar a : actions) {
      if (a == 's' || a == 'm')
        F->rgAnswerType->Item(a == 'm')->click();
      else if (a == '-')
        F->btnCancel->click();
      else
        F->SpeedButton[static_cast<size_t>(a.unicode() - 'A')]->click();
    }
    QTEST(Marks(F), "marks");
    QCOMPARE(F->EditMode, actions.endsWith('-') ? TEditMode::Browsing : TEditMode::Editing);
  }

  // A set holds from none up to 250 questions.
  void limitOfQuestions_data() {
    QTest::addColumn<int>("questions");
    QTest::newRow("description only") << 0;
    QTest::newRow("249 takes one more") << 249;
    QTest::newRow("250 is full") << 250;
  }
  void limitOfQuestions() {
    QFETCH(int, questions);
    Open(MakeSet(questions, "Described"));
    QCOMPARE(F->memoQuestion->toPlainText(), QString("Described"));
    QCOMPARE(Buttons(F), Browsing(false, false, questions > 0));
    F->btnLast->click();
    TMessageScript messages;
    if (questions == 250) messages.Expect("Limit of 250 questions reached", TMsgDlgType::Warning, mbOK);
    F->btnAdd->click();
    VERIFY_MESSAGES(messages);
    const int last = std::min(questions + 1, 250);
    QCOMPARE(F->lbQuestionTitle->text(), QString("Question #%1").arg(last));
    QCOMPARE(Buttons(F), questions < 250 ? Changing() : Browsing(true, true, false));
    F->btnSave->click();
    QCOMPARE(F->QuestionSet.LastIndex, last);
  }

  void deleteShowsTheFollowingRecord_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("shownAfter");
    QTest::addColumn<QString>("textAfter");
    QTest::addColumn<int>("lastAfter");
    QTest::newRow("first question") << 1 << int(mrYes) << 1 << "Question 2" << 2;
    QTest::newRow("last") << 3 << int(mrYes) << 2 << "Question 2" << 2;
    QTest::newRow("answered No") << 1 << int(mrNo) << 1 << "Question 1" << 3;
  }
  void deleteShowsTheFollowingRecord() {
    QFETCH(int, position);
    QFETCH(int, answer);
    F->GoToQuestion(position);
    TMessageScript messages;
    messages.Expect("Are you sure you want to delete this question ?", TMsgDlgType::Confirmation, mbYes | mbNo, answer);
    F->btnDelete->click();
    VERIFY_MESSAGES(messages);
    QTEST(F->QuestionSet.Current, "shownAfter");
    QCOMPARE(F->lbQuestionTitle->text(), QString("Question #%1").arg(F->QuestionSet.Current));
    QTEST(F->memoQuestion->toPlainText(), "textAfter");
    QTEST(F->QuestionSet.LastIndex, "lastAfter");
    QCOMPARE(F->SetChanged, answer == mrYes);
    QCOMPARE(Buttons(F), Browsing(true, true, F->QuestionSet.Current < F->QuestionSet.LastIndex));
  }

  void closingWhileChangingIsRefused_data() {
    QTest::addColumn<bool>("adding");
    QTest::addColumn<bool>("esc");
    QTest::newRow("editing, Esc") << false << true;
    QTest::newRow("adding, close box") << true << false;
  }
  void closingWhileChangingIsRefused() {
    QFETCH(bool, adding);
    QFETCH(bool, esc);
    const std::string before = FileBytes();
    F->GoToQuestion(1);
    adding ? F->btnAdd->click() : F->memoQuestion->setPlainText("changed");
    TMessageScript messages;
    messages.Expect("You must save or cancel edit before closing window", TMsgDlgType::Information, mbOK);
    esc ? QTest::keyClick(F, Qt::Key_Escape) : void(F->close());
    VERIFY_MESSAGES(messages);
    QVERIFY(F->isVisible());
    QCOMPARE(F->EditMode, adding ? TEditMode::Adding : TEditMode::Editing);
    QCOMPARE(FileBytes(), before);
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
    const std::string before = FileBytes();
    F->GoToQuestion(2);
    TMessageScript messages;
    if (action == 1 || action == 3) F->memoQuestion->setPlainText("Kept");
    if (action == 1) F->btnCancel->click();
    if (action == 2) F->cbProtectedSet->click();
    if (action == 3) F->btnSave->click();
    if (action == 4) {
      messages.Answer(mrYes);
      F->btnDelete->click();
    }
    F->btnClose->click();
    VERIFY_MESSAGES(messages);
    QVERIFY(!F->isVisible());
    if (!written) QCOMPARE(FileBytes(), before);
    TQuestionSet saved;
    QVERIFY(saved.LoadFromFile(SetPath()));
    QCOMPARE(saved.OwnerCode, written ? UserCode() : 0);
    QCOMPARE(saved.ProtectedSet, action == 2);
    if (action == 3) QCOMPARE(saved.Questions[2].Text, std::string("Kept"));
    QCOMPARE(saved.LastIndex, action == 4 ? 2 : 3);
    // Opened again, the editor starts afresh from the file.
    Reopen();
    QCOMPARE(F->QuestionSet.Current, 0);
    QVERIFY(!F->SetChanged);
  }

  // Text that Windows-1252 cannot hold is refused by name instead of being
  // stored as question marks.
  void textTheFileCannotHold() {
    F->GoToQuestion(1);
    F->memoQuestion->setPlainText(QString::fromUtf8("Price in \u20ac and \u2603"));
    F->memoOption[2]->setPlainText(QString::fromUtf8("\u0394 x \u2603"));
    TMessageScript messages;
    messages.Expect(QString::fromUtf8("The question cannot be saved: these characters cannot be stored in a question "
                                      "set: \u2603 \u0394\nPlease remove or replace them."),
                    TMsgDlgType::Warning, mbOK);
    F->btnSave->click();
    VERIFY_MESSAGES(messages);
    QCOMPARE(F->EditMode, TEditMode::Editing);
    QVERIFY(!F->SetChanged);
    QCOMPARE(F->QuestionSet.Questions[1].Text, std::string("Question 1"));
    // Once the text can be stored, the euro sign goes in as its byte.
    F->memoQuestion->setPlainText(QString::fromUtf8("Price in \u20ac"));
    F->memoOption[2]->setPlainText("fine");
    F->btnSave->click();
    QCOMPARE(F->EditMode, TEditMode::Browsing);
    QCOMPARE(F->QuestionSet.Questions[1].Text, std::string("Price in \x80"));
  }

  // A failed write keeps the editor open with the work in memory, unless
  // the author chooses to give it up; a set another seat saved meanwhile is
  // never written over.
  void failedWriteKeepsTheEditorOpen_data() {
    QTest::addColumn<bool>("changedElsewhere");
    QTest::addColumn<int>("answer");
    QTest::newRow("folder in the way, stay") << false << int(mrNo);
    QTest::newRow("folder in the way, give up") << false << int(mrYes);
    QTest::newRow("changed by another seat, stay") << true << int(mrNo);
    QTest::newRow("changed by another seat, give up") << true << int(mrYes);
  }
  void failedWriteKeepsTheEditorOpen() {
    QFETCH(bool, changedElsewhere);
    QFETCH(int, answer);
    F->cbProtectedSet->click();
    std::string otherSeat;
    if (changedElsewhere) {
      TQuestionSet other = MakeSet(1);
      other.Questions[1].Text = "saved by another seat";
      otherSeat = other.Serialize();
      Folder->WriteFile("Tests/" + Name, otherSeat);
    } else {
      // Nothing can be renamed over a folder: the write must fail.
      QVERIFY(QFile::remove(QString::fromStdString(SetPath())));
      QVERIFY(QDir().mkdir(QString::fromStdString(SetPath())));
    }
    TMessageScript messages;
    messages.Answer(mrOk);
    messages.Expect("The question set could not be saved. Close without saving ?", TMsgDlgType::Confirmation,
                    mbYes | mbNo, answer);
    F->btnClose->click();
    VERIFY_MESSAGES(messages);
    QCOMPARE(messages.Shown()[0].Type, TMsgDlgType::Error);
    if (changedElsewhere) QVERIFY(messages.Shown()[0].Text.contains("changed by another seat"));
    QCOMPARE(F->isVisible(), answer != mrYes);
    QVERIFY(F->SetChanged);
    if (changedElsewhere) QVERIFY(FileBytes() == otherSeat);
  }

  // Stored picture names come from files anyone can write: only plain names
  // inside the Tests folder are ever opened.
  void pictureNamesStayInTheTestsFolder() {
    const std::string tests = ProgramPath("Tests\\");
    QVERIFY(PicturePath("pic.bmp").rfind(tests, 0) == 0);
    for (const char* name :
         {"../outside.bmp", "..\\..\\outside.bmp", "sub/pic.bmp", "C:pic.bmp", "/etc/passwd", "..", "."})
      QVERIFY2(PicturePath(name).empty(), name);
  }

  void unreadableFileIsReportedAndNotWrittenOver() {
    F->hide();
    Folder->WriteFile("Tests/set.qst", "this is no question set");
    TMessageScript messages;
    messages.Answer(mrOk);
    Reopen();
    QCOMPARE(messages.Shown().size(), size_t(1));
    QCOMPARE(messages.Shown()[0].Type, TMsgDlgType::Error);
    QTRY_VERIFY(!F->isVisible());
    QCOMPARE(FileBytes(), std::string("this is no question set"));
  }

  void takesFontAndHintsFromTheStartWindow() {
    F->hide();
    StartForm->SetFontSize(12);
    StartForm->SetShowHint(false);
    Reopen();
    QCOMPARE(F->memoQuestion->font().pointSize(), 12);
    QCOMPARE(F->btnAdd->font().pointSize(), 8);  // the button panel keeps its own size
    QVERIFY(!F->ShowHint());
  }

  // The layout goes by the outer size with the design's frame, whatever
  // frame a window manager adds, and never below the minimum.
  void layoutFollowsTheWindowSize() {
    const QSize frame(EditorFrameWidth, EditorFrameHeight);
    F->resize(QSize(500, 300));
    QCoreApplication::processEvents();
    QCOMPARE(F->size() + frame, QSize(640, 480));
    QCOMPARE(F->ScrollBox1->geometry(), QRect(8, 156, 521, 204));
    QCOMPARE(F->memoRemarks->geometry(), QRect(8, 390, 521, 51));
    QCOMPARE(F->panelButtons->geometry().right(), F->width() - 1);
    // Captions of the answers' heading row stay clear of one another.
    QVERIFY(F->lblAnswers->geometry().right() < F->cbRandomize->x());
    QVERIFY(F->cbRandomize->geometry().right() < F->panelExhibit->x() + F->btnImageShow->x());
  }
};

QTEST_MAIN(AddEditFormTest)
#include "AddEditForm_test.moc"
