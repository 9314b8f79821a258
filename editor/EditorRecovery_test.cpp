#include <QtTest>

#include "base/MessageDlg.h"
#include "base/core/FileIO.h"
#include "editor/AddEditForm.h"
#include "testkit/EditorHarness.h"
#include "testkit/MessageScript.h"

using namespace proctorium;
using namespace proctorium::testkit;

namespace {

QString Offer(int n) {
  return QString(
             "This question set was not closed properly when it was last edited. A recovered copy holds %1 "
             "question%2 saved then.\nRestore the recovered questions ?")
      .arg(n)
      .arg(n == 1 ? "" : "s");
}

// Adds a record with the given text and saves it.
void AddRecord(TAddEditForm* f, const QString& text) {
  f->btnAdd->click();
  f->memoQuestion->setPlainText(text);
  f->memoOption[0]->setPlainText("Yes");
  f->SpeedButton[0]->click();
  f->btnSave->click();
}

}  // namespace

class EditorRecoveryTest : public TEditorTest {
  Q_OBJECT
 private slots:
  void cleanup() { Folder.reset(); }

  // Each record Save refreshes the copy beside the set; Close writes the
  // set and removes the copy.
  void everySaveKeepsACopyUntilClose() {
    Open(MakeSet(3));
    const std::string copy = TAddEditForm::RecoveryFile(SetPath());
    QVERIFY(!FileExists(copy));
    AddRecord(F, "Fourth");
    TQuestionSet recovered;
    QVERIFY(recovered.LoadFromFile(copy));
    QCOMPARE(recovered.LastIndex, 4);
    AddRecord(F, "Fifth");
    QVERIFY(recovered.LoadFromFile(copy));
    QCOMPARE(recovered.LastIndex, 5);
    F->GoToQuestion(1);
    TMessageScript messages;
    messages.Answer(mrYes);  // delete question 1
    F->btnDelete->click();
    QVERIFY(recovered.LoadFromFile(copy));
    QCOMPARE(recovered.LastIndex, 4);
    F->btnClose->click();
    VERIFY_MESSAGES(messages);
    QVERIFY(!F->isVisible());
    QVERIFY(!FileExists(copy));
    TQuestionSet saved;
    QVERIFY(saved.LoadFromFile(SetPath()));
    QCOMPARE(saved.LastIndex, 4);
  }

  // The program ends without Close (the window simply goes): the next
  // opening offers the questions saved, naming how many; Yes takes them and
  // Close writes them, No keeps the set as it was and drops the copy.
  void nextOpeningOffersTheRecoveredQuestions_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("added");
    QTest::newRow("restore one more") << int(mrYes) << 1;
    QTest::newRow("restore two more") << int(mrYes) << 2;
    QTest::newRow("decline") << int(mrNo) << 2;
  }
  void nextOpeningOffersTheRecoveredQuestions() {
    QFETCH(int, answer);
    QFETCH(int, added);
    Open(MakeSet(3));
    const std::string before = FileBytes();
    for (int i = 0; i < added; ++i) AddRecord(F, QString("Added %1").arg(i));
    F->hide();  // what a crash leaves: no Close
    QCOMPARE(FileBytes(), before);

    TMessageScript messages;
    messages.Expect(Offer(3 + added), TMsgDlgType::Confirmation, mbYes | mbNo, answer);
    Reopen();
    VERIFY_MESSAGES(messages);
    QCOMPARE(F->QuestionSet.LastIndex, answer == mrYes ? 3 + added : 3);
    QCOMPARE(F->SetChanged, answer == mrYes);
    QCOMPARE(FileExists(TAddEditForm::RecoveryFile(SetPath())), answer == mrYes);
    F->btnClose->click();
    TQuestionSet saved;
    QVERIFY(saved.LoadFromFile(SetPath()));
    QCOMPARE(saved.LastIndex, answer == mrYes ? 3 + added : 3);
    if (answer == mrYes) QCOMPARE(saved.Questions[3 + added].Text, "Added " + std::to_string(added - 1));
    QVERIFY(!FileExists(TAddEditForm::RecoveryFile(SetPath())));
    // Opened again: nothing more to offer.
    Reopen();
    QCOMPARE(messages.Shown().size(), size_t(1));
  }

  // A copy that cannot be read is reported once and removed; the set opens.
  void damagedCopyIsReportedAndDropped() {
    Open(MakeSet(2));
    F->hide();
    Folder->WriteFile("Tests/" + Name + ".recover", "not a set");
    TMessageScript messages;
    messages.Answer(mrOk);
    Reopen();
    VERIFY_MESSAGES(messages);
    QCOMPARE(messages.Shown()[0].Type, TMsgDlgType::Error);
    QCOMPARE(F->QuestionSet.LastIndex, 2);
    QVERIFY(!FileExists(TAddEditForm::RecoveryFile(SetPath())));
  }
};

QTEST_MAIN(EditorRecoveryTest)
#include "EditorRecovery_test.moc"
