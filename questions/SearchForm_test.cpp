#include <QApplication>
#include <QtTest>

#include "app/StartForm.h"
#include "editor/AddEditForm.h"
#include "editor/EditorHarness.h"
#include "questions/SearchForm.h"
#include "testkit/MessageScript.h"

using namespace proctorium;
using namespace proctorium::testkit;

namespace {

// "needle" in question 2's text, question 4's remarks and question 5's
// answer C; "only here" in the description; "picture" only in an exhibit name.
TQuestionSet SearchSet() {
  TQuestionSet set = MakeSet(5, "Description: only here");
  set.Questions[2].Text = "Where is the NEEDLE?";
  set.Questions[4].Remarks = "a needle in the remarks";
  set.Questions[5].Answers[2] = "Needlework";
  set.Questions[3].ExhibitFile = "picture.bmp";
  return set;
}

const char* const NotFound = "Text not found";

}  // namespace

class SearchFormTest : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    Harness_ = std::make_unique<TEditorHarness>(SearchSet());
    Editor_ = Harness_->Open();
    Editor_->btnFind->click();
  }
  void cleanup() {
    SearchForm->close();
    Harness_.reset();
  }

  void findIsShownBesideTheEditorWithoutBlockingIt() {
    QVERIFY(SearchForm->isVisible());
    QVERIFY(!SearchForm->isModal());
    QCOMPARE(SearchForm->windowTitle(), QString("Find"));
    QCOMPARE(SearchForm->btnFirst->toolTip(),
             QString("Find the first instance of the search text in the question set"));
    QVERIFY(!QApplication::activeModalWidget() || QApplication::activeModalWidget() != SearchForm);
  }

  void firstThenNextWithoutWrapAround() {
    TMessageScript messages;
    SearchForm->edSearchString->setText("needle");
    SearchForm->btnFirst->click();
    QCOMPARE(Editor_->QuestionSet.Current, 2);
    QCOMPARE(Editor_->lbQuestionTitle->text(), QString("Question #2"));
    QCOMPARE(Editor_->memoQuestion->toPlainText(), QString("Where is the NEEDLE?"));
    SearchForm->btnNext->click();
    QCOMPARE(Editor_->QuestionSet.Current, 4);  // found in the remarks
    SearchForm->btnNext->click();
    QCOMPARE(Editor_->QuestionSet.Current, 5);
    messages.Expect(NotFound, TMsgDlgType::Information, mbOK);
    SearchForm->btnNext->click();
    VERIFY_MESSAGES(messages);
    QCOMPARE(Editor_->QuestionSet.Current, 5);
    SearchForm->btnFirst->click();
    QCOMPARE(Editor_->QuestionSet.Current, 2);
    QCOMPARE(Editor_->EditMode, 0);
    QCOMPARE(Buttons(Editor_), Browsing(true, true, true));
  }

  void textsThatAreNotFound_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("only in the description") << "only here";
    QTest::newRow("only in an exhibit name") << "picture";
    QTest::newRow("nowhere") << "zebra";
  }
  void textsThatAreNotFound() {
    QFETCH(QString, text);
    Editor_->GoToQuestion(1);
    TMessageScript messages;
    messages.Expect(NotFound, TMsgDlgType::Information, mbOK);
    SearchForm->edSearchString->setText(text);
    SearchForm->btnFirst->click();
    VERIFY_MESSAGES(messages);
    QCOMPARE(Editor_->QuestionSet.Current, 1);
    QCOMPARE(Editor_->lbQuestionTitle->text(), QString("Question #1"));
  }

  void emptySearchTextGivesBothMessages() {
    TMessageScript messages;
    messages.Expect("No search text specified !", TMsgDlgType::Information, mbOK);
    messages.Expect(NotFound, TMsgDlgType::Information, mbOK);
    SearchForm->edSearchString->clear();
    SearchForm->btnNext->click();
    VERIFY_MESSAGES(messages);
    QCOMPARE(Editor_->QuestionSet.Current, 0);
  }

  // While a record is being changed or added, a hit would overwrite the
  // input on screen: the dialog asks for Save or Cancel first.
  void searchingWhileChangingIsRefused_data() {
    QTest::addColumn<bool>("adding");
    QTest::newRow("editing") << false;
    QTest::newRow("adding") << true;
  }
  void searchingWhileChangingIsRefused() {
    QFETCH(bool, adding);
    Editor_->GoToQuestion(1);
    if (adding) Editor_->btnAdd->click();
    Editor_->memoQuestion->setPlainText("unsaved input");
    TMessageScript messages;
    messages.Expect("You must save or cancel edit before searching", TMsgDlgType::Information, mbOK);
    SearchForm->edSearchString->setText("needle");
    SearchForm->btnFirst->click();
    VERIFY_MESSAGES(messages);
    QCOMPARE(Editor_->memoQuestion->toPlainText(), QString("unsaved input"));
    QCOMPARE(Editor_->QuestionSet.Current, 1);
    QCOMPARE(Editor_->EditMode, adding ? 2 : 1);
    Editor_->btnCancel->click();
    QCOMPARE(Editor_->memoQuestion->toPlainText(), QString("Question 1"));
    SearchForm->btnFirst->click();
    QCOMPARE(Editor_->QuestionSet.Current, 2);
  }

  void closingTheEditorClosesFindAndKeepsTheText() {
    SearchForm->edSearchString->setText("needle");
    Editor_->btnClose->click();
    QVERIFY(!Editor_->isVisible());
    QVERIFY(!SearchForm->isVisible());
    Editor_ = Harness_->Open();
    Editor_->btnFind->click();
    QCOMPARE(SearchForm->edSearchString->text(), QString("needle"));
  }

 private:
  std::unique_ptr<TEditorHarness> Harness_;
  TAddEditForm* Editor_ = nullptr;
};

QTEST_MAIN(SearchFormTest)
#include "SearchForm_test.moc"
