// What a user of any desktop program expects of every window: safe
// defaults in questions that destroy something, F1 for the window's help,
// Alt shortcuts on the buttons and Enter for the start window's main action.

#include <QApplication>
#include <QMenuBar>
#include <QtTest>
#include <functional>
#include <map>

#include "app/ModalSeam.h"
#include "app/shell/AboutBox.h"
#include "app/shell/AdminOptions.h"
#include "app/shell/PasswordDlg.h"
#include "app/shell/StartForm.h"
#include "editor/AddEditForm.h"
#include "editor/ExhibitManager.h"
#include "questions/GetFilename.h"
#include "questions/SearchForm.h"
#include "session/Form1.h"
#include "session/ResultsForm.h"
#include "session/TimerValue.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using testkit::TMessageScript;
using testkit::TModalScript;

namespace {

// A program folder with Quiz.qst (question 1 has an exhibit), a results
// entry, and everything an administrator may allow allowed.
struct TDesk {
  testkit::TTempProgramFolder Folder;
  TMessageScript Messages;
  TModalScript Modals;

  static TOptionsRecord Options(int fontSize) {
    TOptionsRecord o;
    o.FontSize = static_cast<std::uint8_t>(fontSize);
    o.AllowEdits = o.DeletePermitted = o.EnableClearResults = true;
    return o;
  }
  explicit TDesk(int fontSize = 10) : Folder(Options(fontSize)) {
    TQuestionSet set = testkit::MakeSet(3);
    set.Questions[1].ExhibitFile = "chart.bmp";
    Folder.WriteSet("Quiz.qst", set);
    Folder.WriteBitmap("chart.bmp", 40, 30);
    Folder.WriteFile("Tests/results.txt", "a saved result\r\n");
    Folder.ShowStartWindow();
  }
  // Runs the editor on Quiz.qst with drive, then closes it.
  void Editor(const std::function<void(TAddEditForm*)>& drive) {
    Modals.Expect("AddEditForm", [drive](QDialog* d) {
      auto* e = static_cast<TAddEditForm*>(d);
      drive(e);
      e->btnCancel->click();
      e->btnClose->click();
      return d->result();
    });
    StartForm->btnEditClick();
  }
};

QString Mnemonic(const QString& caption) {
  const int at = caption.indexOf(QChar('&'));
  return at < 0 || at + 1 >= caption.size() ? QString() : caption.mid(at + 1, 1).toUpper();
}

}  // namespace

class DesktopTest : public QObject {
  Q_OBJECT
 private slots:
  void questionsThatDestroySomethingDefaultToNo() {
    const std::pair<const char*, std::function<void(TDesk&)>> cases[] = {
        {"Are you sure you want to delete [Quiz.qst] ?", [](TDesk&) { StartForm->btnDeleteClick(); }},
        {"A question set already exists with\nthat name. Overwrite ? ",
         [](TDesk& d) {
           d.Modals.Expect("GetFilename", [](QDialog* dlg) {
             static_cast<TGetFilename*>(dlg)->Edit1->setText("Quiz");
             return int(mrOk);
           });
           StartForm->btnAddClick();
         }},
        {"Are you sure you want to delete this question ?",
         [](TDesk& d) { d.Editor([](TAddEditForm* e) { e->GoToQuestion(2), e->btnDelete->click(); }); }},
        {"Are you sure you want to delete this exhibit ?",
         [](TDesk& d) { d.Editor([](TAddEditForm* e) { e->GoToQuestion(1), e->btnImageDelete->click(); }); }},
        {"Are you sure you want to delete this summary ?", [](TDesk&) { ResultsForm->btnClearClick(); }},
    };
    for (const auto& [text, ask] : cases) {
      TDesk desk;
      desk.Messages.Answer(mrNo);
      ask(desk);
      VERIFY_MODALS(desk.Modals);
      VERIFY_MESSAGES(desk.Messages);
      const testkit::TShownMessage& asked = desk.Messages.Shown().front();
      QCOMPARE(asked.Text + " default " + QString::number(asked.DefaultButton),
               text + QString(" default %1").arg(mbNo));
    }
  }

  void f1OpensTheHelpOfTheWindowInHand() {
    TDesk desk;
    std::string opened;
    SetHelpHandler([&opened](const std::string& page) { opened = page; });
    TExhibitManager picker(AddEditForm);
    const std::map<QWidget*, std::string> pages{
        {StartForm->FileListBox1, "main.htm"},    {Form1->btnNext, "run.htm"},
        {TimerValue->edTimeLimit, "run.htm"},     {ResultsForm->Memo1, "run.htm"},
        {AddEditForm->memoQuestion, "edit.htm"},  {SearchForm->edSearchString, "edit.htm"},
        {picker.FileListBox1, "edit.htm"},        {AdminOptions->cbAllowEdits, "start.htm"},
        {PasswordDlg->EditPassword, "start.htm"}, {AboutBox->btnOk, "start.htm"},
    };
    for (const auto& [widget, page] : pages) {
      opened.clear();
      QTest::keyClick(widget, Qt::Key_F1);
      QCOMPARE(QString::fromStdString(opened), QString::fromStdString(page));
    }
  }

  // Every button of the main windows has an Alt shortcut, and no two
  // controls of one window share a letter.
  void buttonsHaveDistinctMnemonics() {
    TDesk desk;
    for (QWidget* window : std::initializer_list<QWidget*>{StartForm, Form1, AddEditForm, ResultsForm}) {
      QStringList taken;
      if (window == StartForm)
        for (QAction* menu : StartForm->menuBar()->actions()) taken << Mnemonic(menu->text());
      for (QPushButton* b : window->findChildren<QPushButton*>()) {
        if (b->objectName().startsWith(QStringLiteral("SpeedButton")) || b->objectName().startsWith("btnImage"))
          continue;  // the correct-answer marks and the exhibit strip
        const QString letter = Mnemonic(b->text());
        QVERIFY2(!letter.isEmpty(), qPrintable(window->objectName() + "/" + b->objectName()));
        QVERIFY2(!taken.contains(letter), qPrintable(window->objectName() + "/" + b->objectName() + " " + letter));
        taken << letter;
      }
    }
  }

  // Enter starts the test, or presses the focused button.
  void enterInTheStartWindow() {
    const std::pair<const char*, const char*> cases[] = {
        {"FileListBox1", "Form1"}, {"Memo1", "Form1"}, {"btnEdit", "AddEditForm"}};
    for (const auto& [focus, opens] : cases) {
      TDesk desk;
      StartForm->activateWindow();
      auto* w = StartForm->findChild<QWidget*>(focus);
      w->setFocus();
      desk.Modals.Expect(opens, [](QDialog* d) {
        d->hide();
        return int(mrCancel);
      });
      QTest::keyClick(w, Qt::Key_Return);
      VERIFY_MODALS(desk.Modals);
    }
  }

  // The frame a window manager reports changes once a window is on screen;
  // the editor's layout must not follow it.
  void editorLaysOutTheSameAtEveryOpening() {
    TDesk desk;
    QList<QRect> opened[2];
    for (QList<QRect>& into : opened)
      desk.Editor([&into](TAddEditForm* e) {
        for (QWidget* w : e->findChildren<QWidget*>()) into << w->geometry();
        into << QRect(QPoint(), e->size());
      });
    QCOMPARE(opened[1], opened[0]);
  }

  // A large font opens the resizable windows larger, as far as the screen
  // has room; the default font keeps their design size.
  void largeFontsOpenLargerWindowsOnTheScreen() {
    const QMap<QString, QSize> design{{"editor", {640, 480}}, {"results", {440, 375}}};
    for (int points : {10, 20}) {
      TDesk desk(points);
      QMap<QString, QRect> opened;
      desk.Editor([&](TAddEditForm* e) { opened["editor"] = e->frameGeometry(); });
      desk.Modals.Expect("ResultsForm", [&](QDialog* d) {
        opened["results"] = d->frameGeometry();
        d->close();
        return int(mrCancel);
      });
      ExecModal(ResultsForm);
      VERIFY_MODALS(desk.Modals);
      const QRect screen = StartForm->screen()->availableGeometry();
      for (auto [name, frame] : opened.asKeyValueRange()) {
        const QSize grown = frame.size() - design[name];
        // The default font: within what a window frame may add or take.
        if (points == 10)
          QVERIFY2(std::abs(grown.width()) <= 40 && std::abs(grown.height()) <= 40, qPrintable(name));
        else
          QVERIFY2(grown.width() > 0 && grown.height() > 0 && screen.contains(frame), qPrintable(name));
      }
    }
  }
};

QTEST_MAIN(DesktopTest)
#include "Desktop_test.moc"
