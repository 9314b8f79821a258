// The steps around the editor's Import and the exhibit picker that a
// teacher bringing questions and pictures from elsewhere goes through.
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QtTest>

#include "base/FileDialogs.h"
#include "base/ProgramFolder.h"
#include "editor/AddEditForm.h"
#include "editor/CsvColumnsDialog.h"
#include "editor/ExhibitManager.h"
#include "questions/core/CsvColumnMemory.h"
#include "testkit/EditorHarness.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"

using namespace proctorium;
using namespace proctorium::testkit;

namespace {

TCsvColumnsDialog* Columns(QDialog* d) { return static_cast<TCsvColumnsDialog*>(d); }
TExhibitManager* Picker(QDialog* d) { return static_cast<TExhibitManager*>(d); }

// The new-set template's description, as a fresh set holds it.
TQuestionSet TemplateSet() {
  TQuestionSet set;
  TQuestion d;
  d.Text = "New question set\r\n\r\nThis set has no questions yet. To write it:\r\n1. Highlight it...";
  set.Add(d);
  return set;
}

std::string Png(int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32);
  img.fill(QColor(10, 200, 30, 128));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  img.save(&buffer, "PNG");
  return bytes.toStdString();
}

}  // namespace

class ImportStepsTest : public TEditorTest {
  Q_OBJECT

  // The file dialogs answer with this path.
  void Answer(const std::string& path) {
    const QString p = QString::fromStdString(path);
    SetFileDialogHook([p](bool, const QString&, const QString&) { return p; });
  }
 private slots:
  void cleanup() {
    SetFileDialogHook(nullptr);
    Folder.reset();
  }

  // A table whose header is not ours asks for its columns once; Cancel
  // imports nothing; OK imports and remembers the choice, so the next table
  // with that header comes in without asking.
  void foreignTableAsksForColumnsOnce() {
    Open(TemplateSet());
    const std::string table = "Nr,Frage,Eins,Zwei,Drei,Richtig\n1,Wie?,so,anders,gar nicht,B\n";
    Folder->WriteFile("Tests/bank.csv", table);
    Folder->WriteFile("Tests/more.csv", table + "2,Wo?,hier,dort,nirgends,1\n");
    Answer(Folder->Path("Tests/bank.csv"));
    TModalScript modals;
    modals.Expect("CsvColumnsDialog", TModalScript::Press("btnCancel"));
    F->btnImport->click();
    QCOMPARE(F->QuestionSet.LastIndex, 0);

    modals.Expect("CsvColumnsDialog", [](QDialog* d) {
      TCsvColumnsDialog* c = Columns(d);
      STEP_COMPARE(c->cbQuestion->currentIndex(), 1);
      STEP_COMPARE(c->cbKey->currentIndex(), 5);
      c->lstAnswers->item(0)->setCheckState(Qt::Unchecked);  // the number column is no answer
      STEP_COMPARE(c->btnOK->isEnabled(), true);
      return TModalScript::Click(d, "btnOK");
    });
    TMessageScript messages;
    messages.Expect("1 question will be added\n\nAdd them to the question set ?", TMsgDlgType::Confirmation,
                    mbYes | mbNo, mrYes);
    F->btnImport->click();
    QCOMPARE(F->QuestionSet.LastIndex, 1);
    QCOMPARE(F->QuestionSet.Questions[1].Answers[1], std::string("anders"));
    QCOMPARE(F->QuestionSet.Questions[1].CorrectMask, AnswerMask(2));
    // A new set takes the file's name as its description.
    QCOMPARE(F->QuestionSet.Questions[0].Text, std::string("bank"));
    QVERIFY(Folder->ReadFile(CsvColumnsFileName).find("q=2 a=3,4,5 k=6\tNr\tFrage") == 0);

    messages.Expect("2 questions will be added\n\nAdd them to the question set ?", TMsgDlgType::Confirmation,
                    mbYes | mbNo, mrYes);
    Answer(Folder->Path("Tests/more.csv"));
    F->btnImport->click();
    VERIFY_MESSAGES(messages);
    VERIFY_MODALS(modals);
    QCOMPARE(F->QuestionSet.LastIndex, 3);
    QCOMPARE(F->QuestionSet.Questions[3].CorrectMask, AnswerMask(1));
    QCOMPARE(F->QuestionSet.Questions[0].Text, std::string("bank"));  // no longer new: kept
  }

  // Too few answer columns cannot be confirmed.
  void columnsNeedTwoAnswers() {
    TCsvColumnsDialog d(nullptr, {"q", "a", "k"}, TCsvColumns{0, {1}, 2});
    QVERIFY(!d.btnOK->isEnabled());
    QCOMPARE(d.Columns(), (TCsvColumns{0, {1}, 2}));
  }

  // A GIFT bank imported into a new set describes it by its category.
  void newSetTakesTheCategory() {
    Open(TemplateSet());
    Folder->WriteFile("Tests/bio.gift", "$CATEGORY: $course$/top/Cell biology\n\nQ? {=a ~b}\n");
    Answer(Folder->Path("Tests/bio.gift"));
    TMessageScript messages;
    messages.Answer(mrYes);
    F->btnImport->click();
    QCOMPARE(F->QuestionSet.LastIndex, 1);
    QCOMPARE(F->QuestionSet.Questions[0].Text, std::string("Cell biology"));
  }

  // Browse takes a picture from anywhere into the Tests folder as a bitmap,
  // beside (never over) a different file of the same name, and highlights it.
  void browseCopiesPicturesIn() {
    TQuestionSet set = TemplateSet();
    TQuestion q;
    q.Text = "Q";
    q.Answers[0] = "a";
    q.Answers[1] = "b";
    q.CorrectMask = 1;
    set.Add(q);
    Open(set);
    Folder->WriteBitmap("leaf.bmp", 8, 8);
    const std::string before = Folder->ReadFile("Tests/leaf.bmp");
    Folder->WriteFile("leaf.png", Png(40, 30));
    Folder->WriteFile("broken.jpg", "no picture");
    F->GoToQuestion(1);
    TModalScript modals;
    TMessageScript messages;
    messages.Expect("The picture cannot be read: " + QString::fromStdString(Folder->Path("broken.jpg")),
                    TMsgDlgType::Warning, mbOK);
    modals.Expect("ExhibitManager", [this](QDialog* d) {
      Answer(Folder->Path("broken.jpg"));
      Picker(d)->btnBrowse->click();
      Answer(Folder->Path("leaf.png"));
      Picker(d)->btnBrowse->click();
      STEP_COMPARE(Picker(d)->FileListBox1->currentItem()->text(), QString("leaf_2.bmp"));
      return TModalScript::Click(d, "btnSelect");
    });
    F->btnImageAdd->click();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QCOMPARE(F->ExhibitName, std::string("leaf_2.bmp"));
    QCOMPARE(Folder->ReadFile("Tests/leaf.bmp"), before);
    QImage copied;
    QVERIFY(copied.load(QString::fromStdString(Folder->Path("Tests/leaf_2.bmp")), "BMP"));
    QCOMPARE(copied.size(), QSize(40, 30));
  }
};

QTEST_MAIN(ImportStepsTest)
#include "ImportSteps_test.moc"
