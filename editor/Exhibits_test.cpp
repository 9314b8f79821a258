#include <QApplication>
#include <QtTest>

#include "app/StartForm.h"
#include "editor/AddEditForm.h"
#include "editor/EditorHarness.h"
#include "editor/ExhibitManager.h"
#include "editor/ShowForm.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"

using namespace proctorium;
using namespace proctorium::testkit;

namespace {

// Question 1 shows "chart.bmp", question 2 "gone.bmp" (missing), question 3
// has no exhibit.
TQuestionSet ExhibitSet() {
  TQuestionSet set = MakeSet(3);
  set.Questions[1].ExhibitFile = "chart.bmp";
  set.Questions[2].ExhibitFile = "gone.bmp";
  return set;
}

TExhibitManager* Picker(QDialog* d) { return static_cast<TExhibitManager*>(d); }

void Highlight(TExhibitManager* m, const QString& name) {
  m->FileListBox1->setCurrentItem(m->FileListBox1->findItems(name, Qt::MatchExactly).value(0));
}

}  // namespace

class ExhibitsTest : public QObject {
  Q_OBJECT
 private slots:
  void thumbnailOfAnExhibit() {
    TEditorHarness h(ExhibitSet());
    h.Folder.WriteBitmap("chart.bmp", 1024, 768);
    TAddEditForm* f = h.Open();
    f->GoToQuestion(1);
    QVERIFY(!f->btnImageShow->isHidden());
    QVERIFY(!f->btnImageDelete->isHidden());
    QCOMPARE(f->btnImageAdd->text(), QString("Change Exhibit"));
    QCOMPARE(f->Panel1->geometry(), QRect(427, 24, 102, 102));
    QCOMPARE(f->Image1->geometry(), QRect(1, 14, 102, 76));
    QVERIFY(f->Image1->Stretch);
    QCOMPARE(f->memoQuestion->width(), 414);
    f->GoToQuestion(3);
    QVERIFY(f->btnImageShow->isHidden());
    QVERIFY(f->btnImageDelete->isHidden());
    QCOMPARE(f->btnImageAdd->text(), QString("Add Exhibit"));
    QCOMPARE(f->memoQuestion->width(), 521);
  }

  void missingExhibitIsReportedOnShowAndResize() {
    TEditorHarness h(ExhibitSet());
    TAddEditForm* f = h.Open();
    TMessageScript messages;
    messages.Expect("Exhibit not found: gone.bmp", TMsgDlgType::Information, mbOK);
    f->GoToQuestion(2);
    VERIFY_MESSAGES(messages);
    QVERIFY(f->btnImageShow->isHidden());
    QVERIFY(!f->btnImageDelete->isHidden());
    QCOMPARE(f->btnImageAdd->text(), QString("Change Exhibit"));
    QCOMPARE(f->memoQuestion->width(), 521);
    QCOMPARE(f->ExhibitName, std::string("gone.bmp"));
    QCOMPARE(f->EditMode, 0);

    messages.Expect("Exhibit not found: gone.bmp", TMsgDlgType::Information, mbOK);
    f->resize(QSize(700, 520) - (f->frameGeometry().size() - f->size()));
    QCoreApplication::processEvents();
    VERIFY_MESSAGES(messages);
    QCOMPARE(f->memoQuestion->width(), 700 - 119);
  }

  void unreadablePictureIsReportedAndTheEditorGoesOn() {
    TEditorHarness h(ExhibitSet());
    h.Folder.WriteFile("Tests/chart.bmp", "BM this is not a bitmap");
    TAddEditForm* f = h.Open();
    TMessageScript messages;
    messages.Answer(mrOk);
    f->GoToQuestion(1);
    QCOMPARE(messages.Shown().size(), size_t(1));
    QCOMPARE(messages.Shown()[0].Type, TMsgDlgType::Error);
    QVERIFY(messages.Shown()[0].Text.contains("chart.bmp"));
    QVERIFY(f->btnImageShow->isHidden());
    QVERIFY(!f->btnImageDelete->isHidden());
    f->btnPrev->click();
    QCOMPARE(f->QuestionSet.Current, 0);
  }

  void chooseThenCancelRestoresTheExhibit() {
    TEditorHarness h(ExhibitSet());
    h.Folder.WriteBitmap("chart.bmp", 64, 64);
    h.Folder.WriteBitmap("photo.bmp", 640, 480);
    TAddEditForm* f = h.Open();
    f->GoToQuestion(3);
    TModalScript modals;
    modals.Expect("ExhibitManager", [](QDialog* d) {
      TExhibitManager* m = Picker(d);
      STEP_COMPARE(m->FileListBox1->count(), 2);
      STEP_COMPARE(m->FileListBox1->ItemIndex(), 0);  // first file previewed
      Highlight(m, "photo.bmp");
      STEP_VERIFY(m->Image1->Stretch);
      STEP_COMPARE(m->Image1->geometry(), QRect(1, 38, 300, 225));
      return TModalScript::Click(d, "btnSelect");
    });
    f->btnImageAdd->click();
    VERIFY_MODALS(modals);
    QCOMPARE(f->ExhibitName, std::string("photo.bmp"));
    QCOMPARE(f->EditMode, 1);
    QVERIFY(!f->btnImageShow->isHidden());
    QCOMPARE(f->btnImageAdd->text(), QString("Change Exhibit"));
    QCOMPARE(f->findChildren<TExhibitManager*>().size(), 0);  // freed after use
    f->btnCancel->click();
    QCOMPARE(f->ExhibitName, std::string());
    QVERIFY(f->btnImageDelete->isHidden());

    // Chosen and saved, it is stored by its name alone.
    modals.Expect("ExhibitManager", [](QDialog* d) {
      Highlight(Picker(d), "chart.bmp");
      return TModalScript::Click(d, "btnSelect");
    });
    f->btnImageAdd->click();
    f->btnSave->click();
    VERIFY_MODALS(modals);
    QCOMPARE(f->QuestionSet.Questions[3].ExhibitFile, std::string("chart.bmp"));
  }

  void pickerDoubleClickSelects() {
    TEditorHarness h(ExhibitSet());
    h.Folder.WriteBitmap("a.bmp", 200, 100);
    TAddEditForm* f = h.Open();
    f->GoToQuestion(3);
    TModalScript modals;
    modals.Expect("ExhibitManager", [](QDialog* d) {
      TExhibitManager* m = Picker(d);
      STEP_VERIFY(!m->Image1->Stretch);
      STEP_COMPARE(m->Image1->geometry(), QRect(1, 76, 300, 150));
      emit m->FileListBox1->itemDoubleClicked(m->FileListBox1->item(0));
      return d->result();
    });
    f->btnImageAdd->click();
    VERIFY_MODALS(modals);
    QCOMPARE(f->ExhibitName, std::string("a.bmp"));
  }

  void closingThePickerChangesNothing() {
    TEditorHarness h(ExhibitSet());
    h.Folder.WriteBitmap("chart.bmp", 64, 64);
    h.Folder.WriteBitmap("other.bmp", 64, 64);
    TAddEditForm* f = h.Open();
    f->GoToQuestion(1);
    TModalScript modals;
    modals.Expect("ExhibitManager", [](QDialog* d) {
      Highlight(Picker(d), "other.bmp");
      return TModalScript::Click(d, "btnClose");
    });
    f->btnImageAdd->click();
    VERIFY_MODALS(modals);
    QCOMPARE(f->ExhibitName, std::string("chart.bmp"));
    QCOMPARE(f->EditMode, 0);
  }

  void pickerWithoutBitmaps() {
    TEditorHarness h(ExhibitSet());
    h.Folder.WriteFile("Tests/notes.txt", "x");
    TAddEditForm* f = h.Open();
    f->GoToQuestion(3);
    TModalScript modals;
    modals.Expect("ExhibitManager", [](QDialog* d) {
      TExhibitManager* m = Picker(d);
      STEP_VERIFY(m->WarningPanel->isVisible());
      STEP_COMPARE(m->Label1->text(),
                   QString("WARNING - No BMP Images can be found in the 'Proctorium\\Tests' directory "
                           "for use as exhibits"));
      STEP_VERIFY(!m->btnSelect->isEnabled());
      STEP_VERIFY(m->btnClose->isEnabled());
      return TModalScript::Click(d, "btnClose");
    });
    f->btnImageAdd->click();
    VERIFY_MODALS(modals);
    QCOMPARE(f->EditMode, 0);
  }

  void pickerSkipsUnreadableFiles() {
    TEditorHarness h(ExhibitSet());
    h.Folder.WriteFile("Tests/broken.bmp", "not a picture");
    h.Folder.WriteBitmap("good.bmp", 50, 50);
    TAddEditForm* f = h.Open();
    f->GoToQuestion(3);
    TMessageScript messages;
    messages.Answer(mrOk);
    TModalScript modals;
    modals.Expect("ExhibitManager", [](QDialog* d) {
      TExhibitManager* m = Picker(d);
      STEP_COMPARE(m->FileListBox1->currentItem()->text(), QString("broken.bmp"));
      STEP_VERIFY(!m->btnSelect->isEnabled());
      emit m->FileListBox1->itemDoubleClicked(m->FileListBox1->item(0));
      if (d->result() != 0) return d->result();
      Highlight(m, "good.bmp");
      STEP_VERIFY(m->btnSelect->isEnabled());
      STEP_COMPARE(m->Image1->geometry(), QRect(1, 1, 300, 300));
      return TModalScript::Click(d, "btnSelect");
    });
    f->btnImageAdd->click();
    VERIFY_MODALS(modals);
    QCOMPARE(messages.Shown().size(), size_t(1));
    QCOMPARE(messages.Shown()[0].Type, TMsgDlgType::Error);
    QCOMPARE(f->ExhibitName, std::string("good.bmp"));
  }

  void deleteExhibit_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes") << int(mrYes);
    QTest::newRow("No") << int(mrNo);
  }
  void deleteExhibit() {
    QFETCH(int, answer);
    TEditorHarness h(ExhibitSet());
    h.Folder.WriteBitmap("chart.bmp", 64, 64);
    TAddEditForm* f = h.Open();
    f->GoToQuestion(1);
    TMessageScript messages;
    messages.Expect("Are you sure you want to delete this exhibit ?", TMsgDlgType::Confirmation, mbYes | mbNo, answer);
    f->btnImageDelete->click();
    VERIFY_MESSAGES(messages);
    if (answer != mrYes) {
      QCOMPARE(f->ExhibitName, std::string("chart.bmp"));
      QCOMPARE(f->EditMode, 0);
      return;
    }
    QCOMPARE(f->ExhibitName, std::string());
    QCOMPARE(f->EditMode, 1);
    QVERIFY(f->btnSave->isEnabled() && f->btnCancel->isEnabled());
    QVERIFY(f->btnImageDelete->isHidden());
    QCOMPARE(f->btnImageAdd->text(), QString("Add Exhibit"));
    f->btnCancel->click();
    QCOMPARE(f->ExhibitName, std::string("chart.bmp"));
    QVERIFY(!f->btnImageShow->isHidden());
    QVERIFY(FileExists(h.Folder.Path("Tests/chart.bmp")));  // the file itself stays
  }

  void viewerTakesThePictureSize() {
    TEditorHarness h(ExhibitSet());
    h.Folder.WriteBitmap("chart.bmp", 320, 200);
    TAddEditForm* f = h.Open();
    f->GoToQuestion(1);
    TModalScript modals;
    modals.Expect("ShowForm", [](QDialog* d) {
      auto* v = static_cast<TShowForm*>(d);
      STEP_COMPARE(v->windowTitle(), QString("Show exhibit"));
      STEP_COMPARE(v->frameGeometry().size(), QSize(320 + 19, 200 + 71));
      STEP_COMPARE(v->Image1->geometry(), QRect(5, 5, 320, 200));
      STEP_COMPARE(v->btnClose->geometry(), QRect(13, 214, 60, 20));
      return TModalScript::Click(d, "btnClose");
    });
    f->btnImageShow->click();
    VERIFY_MODALS(modals);
    QCOMPARE(f->findChildren<TShowForm*>().size(), 0);
    QCOMPARE(f->EditMode, 0);
  }

  void viewerOfAnUnreadableFileStaysClosable() {
    TEditorHarness h(MakeSet(0));
    h.Folder.WriteFile("Tests/bad.bmp", "garbage");
    h.Open();
    TMessageScript messages;
    messages.Answer(mrOk);
    TShowForm viewer;
    viewer.FileName = h.Folder.Path("Tests/bad.bmp");
    viewer.show();
    QCOMPARE(messages.Shown().size(), size_t(1));
    QCOMPARE(messages.Shown()[0].Type, TMsgDlgType::Error);
    QVERIFY(viewer.Image1->Empty());
    QVERIFY(viewer.rect().contains(viewer.btnClose->geometry()));
    viewer.btnClose->click();
    QVERIFY(!viewer.isVisible());
  }
};

QTEST_MAIN(ExhibitsTest)
#include "Exhibits_test.moc"
