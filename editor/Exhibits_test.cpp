#include <QApplication>
#include <QtTest>

#include "editor/AddEditForm.h"
#include "editor/ExhibitManager.h"
#include "editor/ShowForm.h"
#include "testkit/EditorHarness.h"
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

// A picker step that highlights a file (they are listed by name) and clicks a button.
TModalScript::TStep Choose(int row, const char* button) {
  return [=](QDialog* d) {
    Picker(d)->FileListBox1->setCurrentRow(row);
    return TModalScript::Click(d, button);
  };
}

// Whether the editor offers Show and Delete, and what the Add button says.
QString ExhibitButtons(const TAddEditForm* f) {
  return QString("%1%2%3").arg(f->btnImageShow->isHidden() ? "" : "Show ",
                               f->btnImageDelete->isHidden() ? "" : "Delete ", f->btnImageAdd->text());
}

// The exhibit of the record, whether it is being changed, and the buttons.
QString Exhibit(const TAddEditForm* f) {
  return QString::fromStdString(f->ExhibitName.empty() ? "none" : f->ExhibitName) +
         (f->EditMode == TEditMode::Browsing ? " browsing: " : " changing: ") + ExhibitButtons(f);
}

}  // namespace

class ExhibitsTest : public TEditorTest {
  Q_OBJECT
 private slots:
  void init() { Open(ExhibitSet()); }
  void cleanup() { Folder.reset(); }

  // A thumbnail beside a narrower question; a missing picture is reported
  // whenever the record is shown or laid out again.
  void exhibitArea() {
    Folder->WriteBitmap("chart.bmp", 1024, 768);
    F->GoToQuestion(1);
    QCOMPARE(Exhibit(F), QString("chart.bmp browsing: Show Delete Change Exhibit"));
    QCOMPARE(F->Image1->geometry(), QRect(1, 14, 102, 76));
    QCOMPARE(F->memoQuestion->width(), 414);
    F->GoToQuestion(3);
    QCOMPARE(Exhibit(F), QString("none browsing: Add Exhibit"));
    QCOMPARE(F->memoQuestion->width(), 521);
    TMessageScript messages;
    messages.Expect("Exhibit not found: gone.bmp", TMsgDlgType::Information, mbOK);
    F->GoToQuestion(2);
    VERIFY_MESSAGES(messages);
    QCOMPARE(Exhibit(F), QString("gone.bmp browsing: Delete Change Exhibit"));
    QCOMPARE(F->memoQuestion->width(), 521);
    messages.Expect("Exhibit not found: gone.bmp", TMsgDlgType::Information, mbOK);
    F->resize(QSize(700 - EditorFrameWidth, 520 - EditorFrameHeight));
    QCoreApplication::processEvents();
    VERIFY_MESSAGES(messages);
    QCOMPARE(F->memoQuestion->width(), 700 - 119);
  }

  // Neither the thumbnail nor the viewer fails on a file that is no picture.
  void unreadablePictureIsReported() {
    Folder->WriteFile("Tests/chart.bmp", "BM this is not a bitmap");
    TMessageScript messages;
    messages.Answer(mrOk).Answer(mrOk);
    F->GoToQuestion(1);
    QCOMPARE(ExhibitButtons(F), QString("Delete Change Exhibit"));
    TShowForm viewer;
    viewer.FileName = Folder->Path("Tests/chart.bmp");
    viewer.show();
    QCOMPARE(messages.Shown().size(), size_t(2));
    for (const TShownMessage& m : messages.Shown())
      QVERIFY(m.Type == TMsgDlgType::Error && m.Text.contains("chart.bmp"));
    QVERIFY(viewer.Image1->Empty());
  }

  void chooseCloseAndCancel() {
    Folder->WriteBitmap("chart.bmp", 64, 64);
    Folder->WriteBitmap("photo.bmp", 640, 480);
    F->GoToQuestion(3);
    TModalScript modals;
    modals.Expect("ExhibitManager", Choose(1, "btnClose"));
    F->btnImageAdd->click();
    QCOMPARE(Exhibit(F), QString("none browsing: Add Exhibit"));
    modals.Expect("ExhibitManager", [](QDialog* d) {
      TExhibitManager* m = Picker(d);
      STEP_COMPARE(m->FileListBox1->count(), 2);
      STEP_COMPARE(m->FileListBox1->ItemIndex(), 0);  // the first file is previewed
      STEP_COMPARE(m->FileListBox1->visualItemRect(m->FileListBox1->item(1)).height(), 16);
      m->FileListBox1->setCurrentRow(1);
      STEP_COMPARE(m->Image1->geometry(), QRect(1, 38, 300, 225));
      return TModalScript::Click(d, "btnSelect");
    });
    F->btnImageAdd->click();
    QCOMPARE(Exhibit(F), QString("photo.bmp changing: Show Delete Change Exhibit"));
    QCOMPARE(F->findChildren<TExhibitManager*>().size(), 0);  // freed after use
    F->btnCancel->click();
    QCOMPARE(Exhibit(F), QString("none browsing: Add Exhibit"));

    // Chosen and saved, it is stored by its name alone.
    modals.Expect("ExhibitManager", Choose(0, "btnSelect"));
    F->btnImageAdd->click();
    F->btnSave->click();
    VERIFY_MODALS(modals);
    QCOMPARE(F->QuestionSet.Questions[3].ExhibitFile, std::string("chart.bmp"));
  }

  // Without bitmaps the picker warns and offers nothing; an unreadable file
  // cannot be chosen, not even by a double click; a readable one can.
  void pickerOffersOnlyReadableBitmaps() {
    Folder->WriteFile("Tests/notes.txt", "x");
    F->GoToQuestion(3);
    TModalScript modals;
    modals.Expect("ExhibitManager", [](QDialog* d) {
      TExhibitManager* m = Picker(d);
      STEP_COMPARE(m->WarningPanel->isVisible(), true);
      STEP_COMPARE(m->Label1->height() >= m->Label1->heightForWidth(m->Label1->width()), true);  // not clipped
      STEP_COMPARE(m->btnSelect->isEnabled(), false);
      return TModalScript::Click(d, "btnClose");
    });
    F->btnImageAdd->click();
    QCOMPARE(F->EditMode, TEditMode::Browsing);
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
    QCOMPARE(messages.Shown().size(), size_t(1));
    QCOMPARE(messages.Shown()[0].Type, TMsgDlgType::Error);
    QCOMPARE(F->ExhibitName, std::string("good.bmp"));
  }

  // Deleting takes the exhibit off the record until Cancel; the file stays.
  void deleteExhibit_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("after");
    QTest::newRow("Yes") << int(mrYes) << "none changing: Add Exhibit";
    QTest::newRow("No") << int(mrNo) << "chart.bmp browsing: Show Delete Change Exhibit";
  }
  void deleteExhibit() {
    QFETCH(int, answer);
    Folder->WriteBitmap("chart.bmp", 64, 64);
    F->GoToQuestion(1);
    TMessageScript messages;
    messages.Expect("Are you sure you want to delete this exhibit ?", TMsgDlgType::Confirmation, mbYes | mbNo, answer);
    F->btnImageDelete->click();
    VERIFY_MESSAGES(messages);
    QTEST(Exhibit(F), "after");
    F->btnCancel->click();
    QCOMPARE(Exhibit(F), QString("chart.bmp browsing: Show Delete Change Exhibit"));
    QVERIFY(FileExists(Folder->Path("Tests/chart.bmp")));
  }

  // The viewer takes the picture's size; a tiny picture still leaves Close
  // whole, and a photo larger than the screen scrolls inside a window that
  // fits the screen.
  void viewerStaysUsableForAnyPictureSize_data() {
    QTest::addColumn<QSize>("picture");
    QTest::newRow("320 x 200") << QSize(320, 200);
    QTest::newRow("narrow") << QSize(20, 20);
    QTest::newRow("larger than the screen") << QSize(4000, 3000);
    QTest::newRow("taller than the screen") << QSize(200, 3000);
  }
  void viewerStaysUsableForAnyPictureSize() {
    QFETCH(QSize, picture);
    Folder->WriteBitmap("chart.bmp", picture.width(), picture.height());
    F->GoToQuestion(1);
    TModalScript modals;
    modals.Expect("ShowForm", [&](QDialog* d) {
      auto* v = static_cast<TShowForm*>(d);
      const QRect room = v->screen()->availableGeometry();
      STEP_COMPARE(v->width() <= room.width() && v->height() <= room.height(), true);
      STEP_COMPARE(v->rect().contains(v->btnClose->geometry()), true);
      STEP_COMPARE(v->btnClose->geometry().intersects(v->ScrollBox1->geometry()), false);
      if (picture == QSize(320, 200)) {
        STEP_COMPARE(v->size(), QSize(320 + 19, 200 + 71));
        STEP_COMPARE(v->ScrollBox1->geometry(), QRect(5, 5, 320, 200));
        STEP_COMPARE(v->Image1->size(), picture);
      }
      return TModalScript::Click(d, "btnClose");
    });
    F->btnImageShow->click();
    VERIFY_MODALS(modals);
    QCOMPARE(F->findChildren<TShowForm*>().size(), 0);  // freed after use
    QCOMPARE(F->EditMode, TEditMode::Browsing);
  }
};

QTEST_MAIN(ExhibitsTest)
#include "Exhibits_test.moc"
