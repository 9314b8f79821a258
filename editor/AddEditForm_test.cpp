#include <QApplication>
#include <QtTest>
#include <tuple>

#include "app/FileDialogs.h"
#include "app/ProgramFolder.h"
#include "app/core/FileIO.h"
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

// Plays edits: A-H click that answer's mark, s and m choose single or
// multiple answers, t types a question, + ! - press Add, Save and Cancel,
// < > [ ] move, x and n delete answering Yes or No, p clicks Protected, e
// and c try to close the window with Esc and the close box while changing.
void Play(TAddEditForm* f, const QString& actions) {
  for (const QChar a : actions) {
    const char c = a.toLatin1();
    if (c >= 'A' && c <= 'H') {
      f->SpeedButton[static_cast<size_t>(c - 'A')]->click();
    } else if (c == 's' || c == 'm') {
      f->rgAnswerType->Item(c == 'm')->click();
    } else if (c == 't') {
      f->memoQuestion->setPlainText("New\nquestion");
    } else if (c == 'x' || c == 'n') {
      TMessageScript messages;
      messages.Expect("Are you sure you want to delete this question ?", TMsgDlgType::Confirmation, mbYes | mbNo,
                      c == 'x' ? mrYes : mrNo);
      f->btnDelete->click();
      VERIFY_MESSAGES(messages);
    } else if (c == 'e' || c == 'c') {
      TMessageScript messages;
      messages.Expect("You must save or cancel edit before closing window", TMsgDlgType::Information, mbOK);
      c == 'e' ? QTest::keyClick(f, Qt::Key_Escape) : void(f->close());
      VERIFY_MESSAGES(messages);
    }
    const std::pair<char, QAbstractButton*> buttons[] = {
        {'+', f->btnAdd},  {'!', f->btnSave},  {'-', f->btnCancel}, {'<', f->btnPrev},
        {'>', f->btnNext}, {'[', f->btnFirst}, {']', f->btnLast},   {'p', f->cbProtectedSet}};
    for (const auto& [key, button] : buttons)
      if (key == c) button->click();
  }
}

// Record shown, questions stored, answer type, Randomize, marks, mode, question text and whether
// the set has changed, in one line.
QString State(const TAddEditForm* f) {
  static const char* const modes[] = {"browsing", "editing", "adding"};
  return QString("#%1/%2 %3%4 %5 %6: %7%8")
      .arg(f->lbQuestionTitle->text().mid(10))
      .arg(f->QuestionSet.LastIndex)
      .arg(f->rgAnswerType->ItemIndex() ? "multiple" : "single", f->cbRandomize->isChecked() ? " R" : "", Marks(f),
           modes[static_cast<int>(f->EditMode)], f->memoQuestion->toPlainText().replace('\n', ' '),
           f->SetChanged ? " (changed)" : "");
}

}  // namespace

class AddEditFormTest : public TEditorTest {
  Q_OBJECT

  // The file dialogs answer with this file in the Tests folder.
  void Choose(const std::string& name) {
    const QString path = QString::fromStdString(Folder->Path("Tests/" + name));
    SetFileDialogHook([path](bool, const QString&, const QString&) { return path; });
  }
 private slots:
  void init() { Open(MixedSet()); }
  void cleanup() {
    SetFileDialogHook(nullptr);
    Folder.reset();
  }

  // Each row starts on a question of the mixed set and plays the actions.
  // Showing a record never starts an edit, even when it changes the answer
  // type on screen; Add starts an empty single-answer record.
  void editing_data() {
    QTest::addColumn<int>("question");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QString>("state");
    const std::tuple<const char*, int, const char*, const char*> rows[] = {
        {"next", 0, ">", "#1/3 single A....... browsing: Question 1"},
        {"first", 2, "[", "#0/3 single ........ browsing: A test set"},
        {"last", 0, "]", "#3/3 single R .......H browsing: Line one Line two"},
        {"back to multiple", 3, "<", "#2/3 multiple .B.D.... browsing: Question 2"},
        {"on to single", 2, ">", "#3/3 single R .......H browsing: Line one Line two"},
        {"add", 2, "+", "#4/3 single R ........ adding: "},
        {"add, Save", 2, "+tF!", "#4/4 single R .....F.. browsing: New question (changed)"},
        {"add, Cancel", 2, "+tF-", "#2/3 multiple .B.D.... browsing: Question 2"},
        {"edit, Save", 2, "tF!", "#2/3 multiple .B.D.F.. browsing: New question (changed)"},
        {"edit, Cancel", 2, "tF-", "#2/3 multiple .B.D.... browsing: Question 2"},
        {"single: the mark moves", 1, "C", "#1/3 single ..C..... editing: Question 1"},
        {"single: clicking the mark keeps it", 1, "CC", "#1/3 single ..C..... editing: Question 1"},
        {"single: the last click wins", 1, "CE", "#1/3 single ....E... editing: Question 1"},
        {"multiple: marks toggle", 2, "FB", "#2/3 multiple ...D.F.. editing: Question 2"},
        {"to single keeps the first mark", 2, "s", "#2/3 single .B...... editing: Question 2"},
        {"and back brings none back", 2, "sm", "#2/3 multiple .B...... editing: Question 2"},
        {"Cancel restores the marks", 2, "s-", "#2/3 multiple .B.D.... browsing: Question 2"},
        {"delete the first: the next shows", 1, "x", "#1/2 multiple .B.D.... browsing: Question 2 (changed)"},
        {"delete the last: the one before", 3, "x", "#2/2 multiple .B.D.... browsing: Question 2 (changed)"},
        {"delete answered No", 1, "n", "#1/3 single A....... browsing: Question 1"},
        {"no closing while editing", 1, "te", "#1/3 single A....... editing: New question"},
        {"nor while adding", 1, "+c", "#4/3 single R ........ adding: "},
    };
    for (const auto& [name, question, actions, state] : rows)
      QTest::newRow(name) << question << QString(actions) << QString(state);
  }
  void editing() {
    QFETCH(int, question);
    QFETCH(QString, actions);
    const std::string before = FileBytes();
    F->GoToQuestion(question);
    Play(F, actions);
    QTEST(State(F), "state");
    QVERIFY(F->isVisible());
    QCOMPARE(FileBytes(), before);  // only closing writes the file
    const int at = F->QuestionSet.Current, last = F->QuestionSet.LastIndex;
    // Only the position decides the navigation; browsing, what is shown is what is stored.
    const bool browsing = F->EditMode == TEditMode::Browsing;
    QCOMPARE(Buttons(F), browsing ? Browsing(at != 0, at > 0, at < last) : Changing());
    if (!browsing) return;
    const TQuestion& q = F->QuestionSet.Questions[at];
    QCOMPARE(F->lbQuestionTitle->text(), QString("Question #%1").arg(at));
    QCOMPARE(F->memoQuestion->toPlainText().replace('\n', "\r\n").toStdString(), q.Text);
    QCOMPARE(F->memoRemarks->toPlainText().toStdString() + F->memoOption[0]->toPlainText().toStdString() +
                 F->memoOption[7]->toPlainText().toStdString(),
             q.Remarks + q.Answers[0] + q.Answers[7]);
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

  void fileWrittenOnlyAfterAChange_data() {
    QTest::addColumn<QString>("actions");
    QTest::addColumn<bool>("written");
    QTest::newRow("browsing only") << "" << false;
    QTest::newRow("edited and cancelled") << "t-" << false;
    QTest::newRow("protection box clicked") << "p" << true;
    QTest::newRow("record saved") << "t!" << true;
    QTest::newRow("record deleted") << "x" << true;
  }
  void fileWrittenOnlyAfterAChange() {
    QFETCH(QString, actions);
    QFETCH(bool, written);
    const std::string before = FileBytes();
    F->GoToQuestion(2);
    Play(F, actions);
    F->btnClose->click();
    QVERIFY(!F->isVisible());
    if (!written) QCOMPARE(FileBytes(), before);
    TQuestionSet saved;
    QVERIFY(saved.LoadFromFile(SetPath()));
    QCOMPARE(saved.OwnerCode, written ? UserCode() : 0);
    QCOMPARE(saved.ProtectedSet, actions == "p");
    QCOMPARE(saved.LastIndex, actions == "x" ? 2 : 3);
    if (actions == "t!") QCOMPARE(saved.Questions[2].Text, std::string("New\r\nquestion"));
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
    QCOMPARE(F->memoRemarks->geometry(), QRect(8, 390, 521, 51));  // the figures are the layout's
    QCOMPARE(F->panelButtons->geometry().right(), F->width() - 1);
    // Captions of the answers' heading row stay clear of one another.
    QVERIFY(F->lblAnswers->geometry().right() < F->cbRandomize->x());
    QVERIFY(F->cbRandomize->geometry().right() < F->panelExhibit->x() + F->btnImageShow->x());
  }

  // Import and export: the summary comes first, nothing changes unless it is
  // accepted, and a refused file leaves the set as it was.
  void importShowsTheSummaryAndAddsOnlyOnYes_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("answer");  // 0: a refused file, reported
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("after");
    const QString three = "3 questions will be added; 1 question skipped: line 5: 10 answers, at most 8 fit";
    QTest::newRow("yes") << 1 << "more.csv" << int(mrYes) << three << 4;
    QTest::newRow("no") << 1 << "more.csv" << int(mrNo) << three << 1;
    QTest::newRow("full at 250") << 248 << "more.csv" << int(mrYes)
                                 << "2 questions will be added; 2 questions skipped: line 5: 10 answers, at most 8 "
                                    "fit; line 4: a set holds at most 250 questions"
                                 << 250;
    QTest::newRow("refused, naming the line")
        << 2 << "broken.txt" << 0
        << "The file cannot be imported:\nbroken.txt: line 3: the last question has no ANSWER: line" << 2;
  }
  void importShowsTheSummaryAndAddsOnlyOnYes() {
    QFETCH(int, before);
    QFETCH(QString, file);
    QFETCH(int, answer);
    QFETCH(QString, message);
    Open(MakeSet(before));
    Folder->WriteFile("Tests/more.csv",
                      "question,A,B,C,D,E,F,G,H,I,J,correct\nOne,a,b,,,,,,,,,A\nTwo,a,b,,,,,,,,,B\nThree,a,b,,,,,,,,,"
                      "AB\nTen,1,2,3,4,5,6,7,8,9,10,A\n");
    Folder->WriteFile("Tests/broken.txt", "Q?\nA. x\nB. y\n");
    Choose(file.toStdString());
    TMessageScript msgs;
    if (answer)
      msgs.Expect(message + "\n\nAdd them to the question set ?", TMsgDlgType::Confirmation, mbYes | mbNo, answer);
    else
      msgs.Expect(message, TMsgDlgType::Warning, mbOK);
    F->btnImport->click();
    VERIFY_MESSAGES(msgs);
    QTEST(F->QuestionSet.LastIndex, "after");
    QCOMPARE(F->SetChanged, answer == mrYes);
    if (answer == mrYes) {
      QCOMPARE(F->QuestionSet.Current, before + 1);
      QCOMPARE(F->memoQuestion->toPlainText(), QStringLiteral("One"));
      QCOMPARE(F->QuestionSet.Questions[before + 2].CorrectMask, AnswerMask(2));
    }
  }
  void exportWritesTheFileAndReports() {
    Open(MakeSet(3));
    Choose("out.gift");
    TMessageScript msgs;
    msgs.Expect("3 questions exported", TMsgDlgType::Information, mbOK);
    F->btnExport->click();
    VERIFY_MESSAGES(msgs);
    std::string bytes;
    QVERIFY(ReadWholeFile(Folder->Path("Tests/out.gift"), bytes));
    QCOMPARE(std::count(bytes.begin(), bytes.end(), '{'), 3);
    QVERIFY(!F->SetChanged);
  }
};

QTEST_MAIN(AddEditFormTest)
#include "AddEditForm_test.moc"
