#include <QApplication>
#include <QtTest>

#include "editor/AddEditForm.h"
#include "questions/SearchForm.h"
#include "testkit/EditorHarness.h"
#include "testkit/MessageScript.h"

using namespace proctorium;
using namespace proctorium::testkit;

namespace {

// "needle" in question 2's text, question 4's remarks and question 5's
// answer C.
TQuestionSet SearchSet() {
  TQuestionSet set = MakeSet(5);
  set.Questions[2].Text = "Where is the NEEDLE?";
  set.Questions[4].Remarks = "a needle in the remarks";
  set.Questions[5].Answers[2] = "Needlework";
  return set;
}

}  // namespace

class SearchFormTest : public TEditorTest {
  Q_OBJECT
 private slots:
  void init() {
    Open(SearchSet())->btnFind->click();
    SearchForm->edSearchString->setText("needle");
  }
  void cleanup() {
    SearchForm->close();
    Folder.reset();
  }

  // Where each hit lies is the core's; here the editor shows the record and
  // selects the match in the memo that holds it, without wrapping round.
  void firstThenNextWithoutWrapAround() {
    SearchForm->btnFirst->click();
    QCOMPARE(F->memoQuestion->textCursor().selectedText(), QString("NEEDLE"));
    SearchForm->btnNext->click();
    QCOMPARE(F->memoRemarks->textCursor().selectedText(), QString("needle"));
    SearchForm->btnNext->click();
    QCOMPARE(F->memoOption[2]->textCursor().selectedText(), QString("Needle"));
    TMessageScript messages;
    messages.Expect("Text not found", TMsgDlgType::Information, mbOK);
    SearchForm->btnNext->click();
    VERIFY_MESSAGES(messages);
    QCOMPARE(F->QuestionSet.Current, 5);
  }

  // While a record is being changed, a hit would overwrite the input on
  // screen: the dialog asks for Save or Cancel first.
  void searchingWhileChangingIsRefused() {
    F->btnAdd->click();
    F->memoQuestion->setPlainText("unsaved input");
    TMessageScript messages;
    messages.Expect("You must save or cancel edit before searching", TMsgDlgType::Information, mbOK);
    SearchForm->btnFirst->click();
    VERIFY_MESSAGES(messages);
    QCOMPARE(F->memoQuestion->toPlainText(), QString("unsaved input"));
    QCOMPARE(F->EditMode, TEditMode::Adding);
  }
};

QTEST_MAIN(SearchFormTest)
#include "SearchForm_test.moc"
