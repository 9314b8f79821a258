#include <QApplication>
#include <QtTest>
#include <tuple>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/FileDialogs.h"
#include "base/ProgramFolder.h"
#include "base/core/UserCode.h"
#include "editor/AddEditForm.h"
#include "editor/ExhibitManager.h"
#include "editor/ShowForm.h"
#include "testkit/EditorHarness.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"

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

// Plays edits: A-H click that answer's mark, s m choose single or multiple, t r o type a question,
// a remark and answer H, + ! - press Add, Save and Cancel, [ < > ] go to the first, back, on and to
// the last, x n delete answering Yes or No, p clicks Protected, e c try Esc and the close box.
void Play(TAddEditForm* f, const QString& actions) {
  for (const QChar a : actions) {
    const char c = a.toLatin1();
    if (c >= 'A' && c <= 'H') {
      f->SpeedButton[static_cast<size_t>(c - 'A')]->click();
    } else if (c == 's' || c == 'm') {
      f->rgAnswerType->Item(c == 'm')->click();
    } else if (c == 't') {
      f->memoQuestion->setPlainText("New\nquestion");
    } else if (c == 'r' || c == 'o') {
      (c == 'r' ? f->memoRemarks : f->memoOption[7])->setPlainText("typed");
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
        {'+', f->btnAdd},  {'!', f->btnSave}, {'-', f->btnCancel}, {'[', f->btnFirst},
        {'<', f->btnPrev}, {'>', f->btnNext}, {']', f->btnLast},   {'p', f->cbProtectedSet}};
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

// Question 1 shows "chart.bmp", question 2 "gone.bmp" (missing), question 3
// has no exhibit.
TQuestionSet ExhibitSet() {
  TQuestionSet set = MakeSet(3);
  set.Questions[1].ExhibitFile = "chart.bmp";
  set.Questions[2].ExhibitFile = "gone.bmp";
  return set;
}

TExhibitManager* Picker(QDialog* d) { return static_cast<TExhibitManager*>(d); }

// A picker step that highlights a file (they are listed by name) and clicks a button.
TModalScript::TStep Pick(int row, const char* button) {
  return [=](QDialog* d) {
    Picker(d)->FileListBox1->setCurrentRow(row);
    return TModalScript::Click(d, button);
  };
}

// The exhibit of the record, whether it is being changed, whether Show and
// Delete are offered, and what the Add button says.
QString Exhibit(const TAddEditForm* f) {
  return QString("%1 %2: %3%4%5")
      .arg(QString::fromStdString(f->ExhibitName.empty() ? "none" : f->ExhibitName),
           f->EditMode == TEditMode::Browsing ? "browsing" : "changing", f->btnImageShow->isHidden() ? "" : "Show ",
           f->btnImageDelete->isHidden() ? "" : "Delete ", f->btnImageAdd->text());
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
        {"last", 0, "]", "#3/3 single R .......H browsing: Line one Line two"},
        {"back to multiple", 3, "<", "#2/3 multiple .B.D.... browsing: Question 2"},
        {"on to multiple", 1, ">", "#2/3 multiple .B.D.... browsing: Question 2"},
        {"on from the description", 0, ">>", "#2/3 multiple .B.D.... browsing: Question 2"},
        {"first: the description", 3, "[", "#0/3 single ........ browsing: A test set"},
        {"add, Save", 2, "+tF!", "#4/4 single R .....F.. browsing: New question (changed)"},
        {"add, Cancel", 2, "+tF-", "#2/3 multiple .B.D.... browsing: Question 2"},
        {"edit, Save", 2, "tF!", "#2/3 multiple .B.D.F.. browsing: New question (changed)"},
        {"edit, Cancel", 2, "tF-", "#2/3 multiple .B.D.... browsing: Question 2"},
        {"single: the mark moves", 1, "C", "#1/3 single ..C..... editing: Question 1"},
        {"typing a remark starts an edit", 1, "r", "#1/3 single A....... editing: Question 1"},
        {"so does typing an answer", 1, "o", "#1/3 single A....... editing: Question 1"},
        {"multiple: marks toggle", 2, "FB", "#2/3 multiple ...D.F.. editing: Question 2"},
        {"to single keeps the first mark", 2, "s", "#2/3 single .B...... editing: Question 2"},
        {"Cancel restores the marks", 2, "s-", "#2/3 multiple .B.D.... browsing: Question 2"},
        {"delete the first: the next shows", 1, "x", "#1/2 multiple .B.D.... browsing: Question 2 (changed)"},
        {"delete the last: the one before", 3, "x", "#2/2 multiple .B.D.... browsing: Question 2 (changed)"},
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
    // Only the position decides the navigation.
    const int at = F->QuestionSet.Current;
    QCOMPARE(Buttons(F), F->EditMode == TEditMode::Browsing ? Browsing(at != 0, at > 0, at < F->QuestionSet.LastIndex)
                                                            : Changing());
  }

  // A set holds from none up to 250 questions.
  void limitOfQuestions() {
    Open(MakeSet(0, "Described"));
    QCOMPARE(State(F) + " " + Buttons(F), "#0/0 single ........ browsing: Described " + Browsing(false, false, false));
    Open(MakeSet(250));
    F->btnLast->click();
    TMessageScript messages;
    messages.Expect("Limit of 250 questions reached", TMsgDlgType::Warning, mbOK);
    F->btnAdd->click();
    VERIFY_MESSAGES(messages);
    QCOMPARE(Buttons(F), Browsing(true, true, false));
  }

  void fileWrittenOnlyAfterAChange_data() {
    QTest::addColumn<QString>("actions");
    QTest::addColumn<bool>("written");
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
  }

  // Any character can be typed: the set turns Unicode, the author is told
  // once when it is first saved so, and it comes back as typed. A set that
  // needs no more than Windows-1252 keeps the 8-bit file.
  void textInAnyScript_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("unicode");
    QTest::newRow("Windows-1252") << QString::fromUtf8("Price in \u20ac, caf\u00e9") << false;
    QTest::newRow("maths") << QString::fromUtf8("x \u2265 0, y \u2264 1, a \u2260 b, \u221a2, \u03c0, 5 \u2212 3")
                           << true;
    QTest::newRow("chemistry") << QString::fromUtf8("H\u2082O") << true;
    QTest::newRow("Greek") << QString::fromUtf8("\u03a3\u03bf\u03c6\u03af\u03b1") << true;
    QTest::newRow("Cyrillic") << QString::fromUtf8("\u041f\u0440\u0438\u0432\u0435\u0442") << true;
    QTest::newRow("Hebrew") << QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd") << true;
    QTest::newRow("CJK") << QString::fromUtf8("\u6f22\u5b57") << true;
  }
  void textInAnyScript() {
    QFETCH(QString, typed);
    QFETCH(bool, unicode);
    F->GoToQuestion(1);
    F->memoQuestion->setPlainText(typed + QStringLiteral("\nline two"));
    F->memoOption[2]->setPlainText(typed);
    F->btnSave->click();
    QCOMPARE(F->EditMode, TEditMode::Browsing);
    QVERIFY(F->SetChanged);
    F->GoToQuestion(2);
    F->GoToQuestion(1);
    QCOMPARE(F->memoQuestion->toPlainText(), typed + QStringLiteral("\nline two"));
    QCOMPARE(F->memoOption[2]->toPlainText(), typed);
    {
      TMessageScript messages;
      if (unicode)
        messages.Expect(
            "This question set now holds characters outside Windows-1252, so it is saved in the Unicode "
            "format. Older copies of Proctorium cannot open it.",
            TMsgDlgType::Information, mbOK);
      F->btnClose->click();
      VERIFY_MESSAGES(messages);
    }
    QVERIFY(!F->isVisible());
    QCOMPARE(static_cast<unsigned char>(FileBytes()[0]), unicode ? 0xFE : 0xFF);
    // Opened again: the same text, found by search in either case, and no
    // second word about the format.
    Reopen();
    QCOMPARE(F->memoQuestion->toPlainText(), QStringLiteral("A test set"));
    QVERIFY(F->FindAndShow(typed.toLower().toStdString(), false));
    QCOMPARE(F->QuestionSet.Current, 1);
    QCOMPARE(F->memoQuestion->textCursor().selectedText(), typed);
    F->memoRemarks->setPlainText(QStringLiteral("changed"));
    F->btnSave->click();
    TMessageScript none;
    F->btnClose->click();
    VERIFY_MESSAGES(none);
    QVERIFY(!F->isVisible());
  }

  // A failed write keeps the editor open with the work in memory, unless
  // the author chooses to give it up; a set another seat saved meanwhile is
  // never written over.
  void failedWriteKeepsTheEditorOpen_data() {
    QTest::addColumn<bool>("changedElsewhere");
    QTest::addColumn<int>("answer");
    QTest::newRow("folder in the way, stay") << false << int(mrNo);
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
    QVERIFY(messages.Shown().size() == 1 && messages.Shown()[0].Type == TMsgDlgType::Error);
    QTRY_VERIFY_WITH_TIMEOUT(!F->isVisible(), 60000);
    QCOMPARE(FileBytes(), std::string("this is no question set"));
  }

  // Import: a refused file is reported and leaves the set as it was; else
  // the summary comes first and the questions are added on Yes.
  void importAddsOnlyOnYes() {
    Folder->WriteFile("Tests/more.csv", "question,A,B,correct\nOne,a,b,A\nTwo,a,b,B\n");
    Folder->WriteFile("Tests/broken.txt", "Q?\nA. x\nB. y\n");
    TMessageScript msgs;
    msgs.Expect("The file cannot be imported:\nbroken.txt: line 3: the last question has no ANSWER: line",
                TMsgDlgType::Warning, mbOK);
    msgs.Expect("2 questions will be added\n\nAdd them to the question set ?", TMsgDlgType::Confirmation, mbYes | mbNo,
                mrYes);
    Choose("broken.txt");
    F->btnImport->click();
    QVERIFY(F->QuestionSet.LastIndex == 3 && !F->SetChanged);
    Choose("more.csv");
    F->btnImport->click();
    VERIFY_MESSAGES(msgs);
    QVERIFY(F->QuestionSet.LastIndex == 5 && F->SetChanged);
    QCOMPARE(F->memoQuestion->toPlainText(), QStringLiteral("One"));
  }

  // What is no file, or too much for a set, is refused by name before the
  // editor waits on it or fills the memory with it; the set stays as it was
  // and no picture of the import is left.
  void importRefusesWhatIsNoFileOrTooLarge_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder") << "folder.csv"
                            << "not a regular file";
    QTest::newRow("over the cap") << "big.gift"
                                  << "larger than 32 MiB";
    QTest::newRow("too large for a set") << "large.csv"
                                         << "the questions need 20 MiB, more than the 16 MiB a question set holds";
#ifndef _WIN32
    QTest::newRow("pipe") << "pipe.txt"
                          << "not a regular file";
#endif
  }
  void importRefusesWhatIsNoFileOrTooLarge() {
    QFETCH(QString, name);
    QFETCH(QString, reason);
    const std::string path = Folder->Path("Tests/" + name.toStdString());
    if (name == "folder.csv") QVERIFY(QDir().mkdir(QString::fromStdString(path)));
    if (name == "big.gift") {
      QFile f(QString::fromStdString(path));
      QVERIFY(f.open(QIODevice::WriteOnly) && f.resize((32 << 20) + 1));
    }
    if (name == "large.csv") {
      std::string csv = "question,A,B,correct,exhibit\n";
      for (int i = 0; i < 200; ++i) csv += std::string(100 * 1024, 'x') + ",a,b,A,\n";
      Folder->WriteFile("Tests/large.csv", csv);
    }
#ifndef _WIN32
    if (name == "pipe.txt") QCOMPARE(mkfifo(path.c_str(), 0600), 0);
#endif
    const QStringList before = QDir(QString::fromStdString(Folder->Path("Tests"))).entryList(QDir::Files);
    TMessageScript msgs;
    msgs.Expect("The file cannot be imported:\n" + QString::fromStdString(path) + ": " + reason, TMsgDlgType::Warning,
                mbOK);
    Choose(name.toStdString());
    F->btnImport->click();
    VERIFY_MESSAGES(msgs);
    QVERIFY(F->QuestionSet.LastIndex == 3 && !F->SetChanged);
    QCOMPARE(QDir(QString::fromStdString(Folder->Path("Tests"))).entryList(QDir::Files), before);
  }

  // A thumbnail beside the question; a missing picture is reported, also
  // when the record is laid out again, and cannot be shown.
  void exhibitArea() {
    Open(ExhibitSet());
    Folder->WriteBitmap("chart.bmp", 1024, 768);
    F->GoToQuestion(1);
    QCOMPARE(Exhibit(F), QString("chart.bmp browsing: Show Delete Change Exhibit"));
    QCOMPARE(F->Image1->geometry(), QRect(1, 14, 102, 76));
    TMessageScript messages;
    messages.Expect("Exhibit not found: gone.bmp", TMsgDlgType::Information, mbOK);
    F->GoToQuestion(2);
    VERIFY_MESSAGES(messages);
    QCOMPARE(Exhibit(F), QString("gone.bmp browsing: Delete Change Exhibit"));
    messages.Expect("Exhibit not found: gone.bmp", TMsgDlgType::Information, mbOK);
    F->resize(QSize(700, 520));
    VERIFY_MESSAGES(messages);
  }

  // Neither the thumbnail nor the viewer fails on a file that is no picture.
  void unreadablePictureIsReported() {
    Open(ExhibitSet());
    Folder->WriteFile("Tests/chart.bmp", "BM this is not a bitmap");
    TMessageScript messages;
    messages.Answer(mrOk).Answer(mrOk);
    F->GoToQuestion(1);
    QCOMPARE(Exhibit(F), QString("chart.bmp browsing: Delete Change Exhibit"));
    TShowForm viewer;
    viewer.FileName = Folder->Path("Tests/chart.bmp");
    viewer.show();
    QCOMPARE(messages.Shown().size(), size_t(2));
    for (const TShownMessage& m : messages.Shown())
      QVERIFY(m.Type == TMsgDlgType::Error && m.Text.contains("chart.bmp"));
    QVERIFY(viewer.Image1->Empty());
  }

  // Chosen, the exhibit is on the record until Cancel; saved, it is stored by
  // its name alone.
  void chooseCancelAndSave() {
    Open(ExhibitSet());
    Folder->WriteBitmap("chart.bmp", 64, 64);
    Folder->WriteBitmap("photo.bmp", 640, 480);
    F->GoToQuestion(3);
    TModalScript modals;
    modals.Expect("ExhibitManager", Pick(1, "btnSelect"));
    F->btnImageAdd->click();
    QCOMPARE(Exhibit(F), QString("photo.bmp changing: Show Delete Change Exhibit"));
    F->btnCancel->click();
    QCOMPARE(Exhibit(F), QString("none browsing: Add Exhibit"));

    modals.Expect("ExhibitManager", Pick(0, "btnSelect"));
    F->btnImageAdd->click();
    F->btnSave->click();
    VERIFY_MODALS(modals);
    QCOMPARE(F->QuestionSet.Questions[3].ExhibitFile, std::string("chart.bmp"));
  }

  // Without bitmaps the picker warns and offers nothing; an unreadable file
  // cannot be chosen, not even by a double click; a readable one can.
  void pickerOffersOnlyReadableBitmaps() {
    Open(ExhibitSet());
    F->GoToQuestion(3);
    TModalScript modals;
    modals.Expect("ExhibitManager", [](QDialog* d) {
      STEP_COMPARE(Picker(d)->WarningPanel->isVisible() && !Picker(d)->btnSelect->isEnabled(), true);
      return TModalScript::Click(d, "btnClose");
    });
    F->btnImageAdd->click();
    Folder->WriteFile("Tests/broken.bmp", "not a picture");
    Folder->WriteBitmap("good.bmp", 50, 50);
    TMessageScript messages;
    messages.Answer(mrOk);
    modals.Expect("ExhibitManager", [](QDialog* d) {
      QListWidget* files = Picker(d)->FileListBox1;
      STEP_COMPARE(files->currentItem()->text(), QString("broken.bmp"));
      STEP_COMPARE(Picker(d)->btnSelect->isEnabled(), false);
      emit files->itemDoubleClicked(files->item(0));
      if (d->result() != 0) return d->result();
      files->setCurrentRow(1);
      emit files->itemDoubleClicked(files->item(1));
      return d->result();
    });
    F->btnImageAdd->click();
    VERIFY_MODALS(modals);
    QVERIFY(messages.Shown().size() == 1 && messages.Shown()[0].Type == TMsgDlgType::Error);
    QCOMPARE(F->ExhibitName, std::string("good.bmp"));
  }

  // Deleting takes the exhibit off the record; the file stays.
  void deleteExhibit() {
    Open(ExhibitSet());
    Folder->WriteBitmap("chart.bmp", 64, 64);
    F->GoToQuestion(1);
    TMessageScript messages;
    messages.Expect("Are you sure you want to delete this exhibit ?", TMsgDlgType::Confirmation, mbYes | mbNo, mrYes);
    F->btnImageDelete->click();
    VERIFY_MESSAGES(messages);
    QCOMPARE(Exhibit(F), QString("none changing: Add Exhibit"));
    QVERIFY(FileExists(Folder->Path("Tests/chart.bmp")));
  }
  // Export writes the set in the format its name asks for, and importing
  // that file adds the same questions again; a name of no known format is
  // refused and nothing written.
  void exportThenImportGivesTheSameQuestions() {
    // The multiple-answer question goes out marked all or nothing, so it
    // comes back without a note about partial credit.
    const std::pair<const char*, const char*> files[] = {
        {"out.gift", "3 questions will be added"},
        {"out.xml", "3 questions will be added"},
        {"out.csv", "3 questions will be added"},
        {"out.doc", ""},
    };
    for (const auto& [name, summary] : files) {
      Open(MixedSet());
      const bool known = !QString(name).endsWith(".doc");
      TMessageScript messages;
      if (known) {
        messages.Expect("3 questions exported", TMsgDlgType::Information, mbOK);
        messages.Expect(QString::fromUtf8(summary) + "\n\nAdd them to the question set ?", TMsgDlgType::Confirmation,
                        mbYes | mbNo, mrYes);
      } else {
        messages.Expect("Please name the file .txt (Aiken), .gift, .xml or .csv.", TMsgDlgType::Warning, mbOK);
      }
      Choose(name);
      F->btnExport->click();
      QCOMPARE(Folder->ReadFile(std::string("Tests/") + name).empty(), !known);
      if (known) F->btnImport->click();
      VERIFY_MESSAGES(messages);
      if (!known) continue;
      QCOMPARE(F->memoQuestion->toPlainText() + " " + Marks(F), "Question 1 A.......");
      F->GoToQuestion(5);
      QCOMPARE(Marks(F) + " " + F->memoQuestion->toPlainText(), ".B.D.... Question 2");
    }
  }

  // Show opens the viewer on the record's picture.
  void showExhibitOpensTheViewer() {
    Open(ExhibitSet());
    Folder->WriteBitmap("chart.bmp", 64, 48);
    F->GoToQuestion(1);
    TModalScript modals;
    QSize shown;
    modals.Expect("ShowForm", [&](QDialog* d) {
      shown = static_cast<TShowForm*>(d)->Image1->Picture().size();
      return int(mrOk);
    });
    F->btnImageShow->click();
    VERIFY_MODALS(modals);
    QCOMPARE(shown, QSize(64, 48));
  }
};

QTEST_MAIN(AddEditFormTest)
#include "AddEditForm_test.moc"
