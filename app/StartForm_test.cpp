#include <sys/resource.h>
#include <QtTest>
#include <csignal>
#include <filesystem>

#include "app/AboutBox.h"
#include "app/AdminOptions.h"
#include "app/FileIO.h"
#include "app/StartForm.h"
#include "app/UserCode.h"
#include "questions/GetFilename.h"
#include "test/Form1.h"
#include "test/ResultsForm.h"
#include "test/TimerValue.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"
#include "web/GoToWeb.h"

using namespace proctorium;
using testkit::TMessageScript;
using testkit::TModalScript;
using testkit::TTempProgramFolder;

namespace {

std::string Int32(std::int32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
  return s;
}

std::string Str(const std::string& text) { return Int32(static_cast<std::int32_t>(text.size())) + text; }

// An old-format file: no header, plain texts.
std::string OldFormatSet(const std::string& description, int questions) {
  std::string bytes = Int32(questions);
  for (int i = 0; i <= questions; ++i) {
    bytes += Str(i == 0 ? description : "Q" + std::to_string(i));
    bytes += std::string(2, '\0');
    for (int a = 0; a < 8; ++a) bytes += Str(a < 2 && i > 0 ? "ans" : "");
    bytes += std::string(1, i == 0 ? '\0' : '\1');
    bytes += Str("") + Str("");
  }
  return bytes;
}

TOptionsRecord Options(bool allowEdits, bool deletePermitted = false) {
  TOptionsRecord o;
  o.AllowEdits = allowEdits;
  o.DeletePermitted = deletePermitted;
  return o;
}

QStringList Entries() {
  QStringList l;
  for (int i = 0; i < StartForm->FileListBox1->count(); ++i) l << StartForm->FileListBox1->item(i)->text();
  return l;
}

std::string Slurp(const std::string& path) {
  std::string bytes;
  ReadWholeFile(path, bytes);
  return bytes;
}

QStringList FolderEntries(const std::string& folder) {
  QDir d(QString::fromStdString(folder));
  return d.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

int Answer(int result) { return result; }

}  // namespace

class StartFormTest : public QObject {
  Q_OBJECT

  // Shows the start window on folder; its show handler runs.
  static void Show(TTempProgramFolder& folder) {
    folder.CreateForms();
    StartForm->show();
  }

 private slots:
  void emptyTestsFolder() {
    TTempProgramFolder folder(Options(true, true));
    TMessageScript messages;
    Show(folder);
    QCOMPARE(StartForm->Memo1->toPlainText(), QString("No question databases found"));
    QVERIFY(!StartForm->btnStart->isEnabled());
    QVERIFY(!StartForm->btnEdit->isEnabled());
    QVERIFY(!StartForm->btnDelete->isEnabled());
    QVERIFY(StartForm->btnAdd->isEnabled());
    QCOMPARE(StartForm->Image1->height(), 0);
    // A set appearing later gets its picture strip back.
    folder.WriteSet("a.qst", testkit::MakeSet(2));
    StartForm->FormShow();
    QCOMPARE(StartForm->Image1->height(), 50);
    QCOMPARE(StartForm->Image1->Picture().size(), QSize(320, 50));
    VERIFY_MESSAGES(messages);
  }

  void listIsSortedIgnoringCaseAndShowsTheFirstSummary() {
    TTempProgramFolder folder(Options(true, false));
    folder.WriteSet("beta.qst", testkit::MakeSet(1, "Second"));
    folder.WriteSet("Alpha.qst", testkit::MakeSet(3, "First\r\nline two"));
    folder.WriteSet("gamma.QST", testkit::MakeSet(1, "Third"));
    folder.WriteSet("Blank.dat", testkit::MakeSet(0));
    Show(folder);
    QCOMPARE(Entries(), QStringList({"Alpha.qst", "beta.qst", "gamma.QST"}));
    QCOMPARE(StartForm->FileListBox1->ItemIndex(), 0);
    QCOMPARE(StartForm->Memo1->toPlainText(), QString("First\nline two"));
    QVERIFY(StartForm->btnStart->isEnabled());
    QVERIFY(StartForm->btnEdit->isEnabled());
    QVERIFY(!StartForm->btnDelete->isEnabled());
    QCOMPARE(StartForm->Image1->Picture(), TStartForm::Logo());

    StartForm->FileListBox1->SetItemIndex(1);
    StartForm->FileListBox1Click();
    QCOMPARE(StartForm->Memo1->toPlainText(), QString("Second"));
  }

  void descriptionPicture() {
    TTempProgramFolder folder;
    TQuestionSet withPicture = testkit::MakeSet(1, "pic");
    withPicture.Questions[0].ExhibitFile = "Banner.bmp";
    folder.WriteSet("a.qst", withPicture);
    TQuestionSet missingPicture = testkit::MakeSet(1, "missing");
    missingPicture.Questions[0].ExhibitFile = "gone.bmp";
    folder.WriteSet("b.qst", missingPicture);
    folder.WriteBitmap("Banner.bmp", 40, 30);
    Show(folder);
    QCOMPARE(StartForm->Image1->Picture().size(), QSize(40, 30));
    StartForm->FileListBox1->SetItemIndex(1);
    StartForm->ShowSummary();
    QCOMPARE(StartForm->Image1->Picture(), TStartForm::Logo());
  }

  void oldFormatSet() {
    TTempProgramFolder folder(Options(true, true));
    folder.WriteFile("Tests/old.qst", OldFormatSet("Old description", 2));
    Show(folder);
    QCOMPARE(StartForm->Memo1->toPlainText(),
             QString("OLD FILE FORMAT - EDITING NOT PERMITTED\n") + QString(40, '=') + "\n\nOld description");
    QVERIFY(StartForm->btnStart->isEnabled());
    QVERIFY(!StartForm->btnEdit->isEnabled());
    QVERIFY(StartForm->btnDelete->isEnabled());
  }

  void ownershipDecidesEdit_data() {
    QTest::addColumn<bool>("isProtected");
    QTest::addColumn<int>("owner");
    QTest::addColumn<bool>("editable");
    QTest::newRow("protected, other owner") << true << (UserCode() == 7 ? 8 : 7) << false;
    QTest::newRow("protected, this user") << true << int(UserCode()) << true;
    QTest::newRow("protected, no owner") << true << 0 << true;
    QTest::newRow("unprotected, other owner") << false << (UserCode() == 7 ? 8 : 7) << true;
  }
  void ownershipDecidesEdit() {
    QFETCH(bool, isProtected);
    QFETCH(int, owner);
    QFETCH(bool, editable);
    TTempProgramFolder folder(Options(true, true));
    TQuestionSet set = testkit::MakeSet(2);
    set.ProtectedSet = isProtected;
    set.OwnerCode = owner;
    folder.WriteSet("s.qst", set);
    Show(folder);
    QCOMPARE(StartForm->btnEdit->isEnabled(), editable);
    QVERIFY(StartForm->btnStart->isEnabled());
    QVERIFY(StartForm->btnDelete->isEnabled());
  }

  void setWithoutQuestions() {
    TTempProgramFolder folder(Options(true));
    folder.WriteSet("empty.qst", testkit::MakeSet(0, "Only a description"));
    Show(folder);
    QVERIFY(!StartForm->btnStart->isEnabled());
    QVERIFY(StartForm->btnEdit->isEnabled());
    // A double-click opens the test window all the same; it tells the user
    // there is nothing to run.
    TModalScript modals;
    TMessageScript messages;
    messages.Answer(mrOk);
    modals.Expect("Form1", [](QDialog*) { return Answer(mrCancel); });
    emit StartForm->FileListBox1->itemDoubleClicked(StartForm->FileListBox1->item(0));
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }

  void startAsksForMinutesInCountdownMode() {
    TOptionsRecord o;
    o.TimeMode = 0;
    TTempProgramFolder folder(o);
    folder.WriteSet("a.qst", testkit::MakeSet(2));
    Show(folder);
    QVERIFY(StartForm->TimeRemaining1->isChecked());
    {
      TModalScript modals;
      modals.Expect("TimerValue", [](QDialog*) { return Answer(mrCancel); });
      StartForm->btnStart->click();
      VERIFY_MODALS(modals);
    }
    {
      TModalScript modals;
      modals.Expect("TimerValue", [](QDialog*) { return Answer(mrOk); });
      modals.Expect("Form1", [](QDialog*) { return Answer(mrOk); });
      StartForm->btnStart->click();
      VERIFY_MODALS(modals);
    }
    StartForm->ElapsedTime1->trigger();
    TModalScript modals;
    modals.Expect("Form1", [](QDialog*) { return Answer(mrOk); });
    StartForm->btnStart->click();
    VERIFY_MODALS(modals);
  }

  void editOpensTheEditorAndRefreshesTheSummary() {
    TTempProgramFolder folder(Options(true));
    folder.WriteSet("a.qst", testkit::MakeSet(2, "Before"));
    Show(folder);
    TModalScript modals;
    modals.Expect("AddEditForm", [&folder](QDialog*) {
      folder.WriteSet("a.qst", testkit::MakeSet(2, "After"));
      return Answer(mrOk);
    });
    StartForm->btnEdit->click();
    VERIFY_MODALS(modals);
    QCOMPARE(StartForm->Memo1->toPlainText(), QString("After"));
  }

  void settingsReachTheOtherWindows_data() {
    QTest::addColumn<bool>("allowEdits");
    QTest::addColumn<bool>("deletePermitted");
    QTest::addColumn<bool>("enableAnswers");
    QTest::addColumn<bool>("enableClear");
    QTest::newRow("all off") << false << false << false << false;
    QTest::newRow("all on") << true << true << true << true;
    QTest::newRow("edits without delete") << true << false << true << false;
    QTest::newRow("delete kept while edits off") << false << true << false << true;
  }
  void settingsReachTheOtherWindows() {
    QFETCH(bool, allowEdits);
    QFETCH(bool, deletePermitted);
    QFETCH(bool, enableAnswers);
    QFETCH(bool, enableClear);
    TOptionsRecord o = Options(allowEdits, deletePermitted);
    o.EnableAnswers = enableAnswers;
    o.EnableClearResults = enableClear;
    TTempProgramFolder folder(o);
    folder.WriteSet("a.qst", testkit::MakeSet(1));
    Show(folder);
    QCOMPARE(!StartForm->btnEdit->isHidden(), allowEdits);
    QCOMPARE(!StartForm->btnAdd->isHidden(), allowEdits);
    QCOMPARE(!StartForm->btnDelete->isHidden(), allowEdits);
    QCOMPARE(StartForm->btnDelete->isEnabled(), deletePermitted);
    QCOMPARE(StartForm->Administrator1->isVisible(), allowEdits);
    QCOMPARE(StartForm->N3->isVisible(), allowEdits);
    QCOMPARE(AdminOptions->cbDeletePermitted->isEnabled(), allowEdits);
    QCOMPARE(AdminOptions->cbDeletePermitted->isChecked(), deletePermitted);
    QCOMPARE(!Form1->btnView->isHidden(), enableAnswers);
    QCOMPARE(!ResultsForm->btnClear->isHidden(), enableClear);
  }

  void menuChangesAreWrittenAndSurviveARestart() {
    TTempProgramFolder folder;
    folder.WriteSet("a.qst", testkit::MakeSet(1));
    Show(folder);
    QVERIFY(StartForm->FontSizeMedium1->isChecked());

    StartForm->FontsizeLarge1->trigger();
    QVERIFY(StartForm->FontsizeLarge1->isChecked());
    QVERIFY(!StartForm->FontSizeMedium1->isChecked());
    QVERIFY(!StartForm->FontSizeSmall1->isChecked());
    QCOMPARE(StartForm->FontSize(), 12);
    QCOMPARE(StartForm->FileListBox1->font().pointSize(), 12);
    QCOMPARE(StartForm->Memo1->font().pointSize(), 12);
    QCOMPARE(StartForm->btnStart->font().pointSize(), 8);
    QCOMPARE(int(folder.ReadOptions().FontSize), 12);

    StartForm->ShowHints1->trigger();
    QCOMPARE(folder.ReadOptions().ShowHints, false);
    QVERIFY(!StartForm->ShowHint());

    StartForm->TimeRemaining1->trigger();
    QCOMPARE(int(folder.ReadOptions().TimeMode), 0);
    QVERIFY(!StartForm->ElapsedTime1->isChecked());

    StartForm->FontSizeSmall1->trigger();
    QCOMPARE(int(folder.ReadOptions().FontSize), 8);

    // A fresh start of the windows reads what the menu wrote.
    folder.DestroyForms();
    Show(folder);
    QVERIFY(StartForm->FontSizeSmall1->isChecked());
    QVERIFY(!StartForm->FontsizeLarge1->isChecked());
    QCOMPARE(StartForm->FontSize(), 8);
    QVERIFY(!StartForm->ShowHints1->isChecked());
    QVERIFY(!StartForm->ShowHint());
    QVERIFY(StartForm->TimeRemaining1->isChecked());
    QVERIFY(!StartForm->ElapsedTime1->isChecked());
  }

  void oddFontSizeLeavesTheMenuMarks() {
    TOptionsRecord o;
    o.FontSize = 9;
    TTempProgramFolder folder(o);
    Show(folder);
    QCOMPARE(StartForm->FontSize(), 9);
    QVERIFY(!StartForm->FontSizeSmall1->isChecked());
    QVERIFY(!StartForm->FontSizeMedium1->isChecked());
    QVERIFY(!StartForm->FontsizeLarge1->isChecked());
  }

  void unreadableOptionsAreReported() {
    TTempProgramFolder folder;
    folder.WriteFile("Proctorium.opt", "short");
    TMessageScript messages;
    messages.Answer(mrOk);
    Show(folder);
    QCOMPARE(messages.Shown().size(), size_t(1));
    QCOMPARE(messages.Shown()[0].Type, TMsgDlgType::Error);
  }

  void hiddenKeyOpensThePasswordPrompt_data() {
    QTest::addColumn<bool>("allowEdits");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("prompts");
    QTest::newRow("ctrl+a") << false << int(Qt::ControlModifier) << true;
    QTest::newRow("ctrl+shift+a") << false << int(Qt::ControlModifier | Qt::ShiftModifier) << true;
    QTest::newRow("plain a") << false << int(Qt::NoModifier) << false;
    QTest::newRow("alt+a") << false << int(Qt::AltModifier) << false;
    QTest::newRow("edits allowed") << true << int(Qt::ControlModifier) << false;
  }
  void hiddenKeyOpensThePasswordPrompt() {
    QFETCH(bool, allowEdits);
    QFETCH(int, modifiers);
    QFETCH(bool, prompts);
    TTempProgramFolder folder(Options(allowEdits));
    folder.WriteSet("a.qst", testkit::MakeSet(1));
    Show(folder);
    TModalScript modals;
    if (prompts) modals.Expect("PasswordDlg", [](QDialog* d) { return TModalScript::Click(d, "btnCancel"); });
    // Whichever control has the focus, the window sees the key first.
    QTest::keyClick(StartForm->FileListBox1, Qt::Key_A, Qt::KeyboardModifiers(modifiers));
    QTest::keyClick(StartForm->btnHelp, Qt::Key_B, Qt::KeyboardModifiers(modifiers));
    VERIFY_MODALS(modals);
  }

  void resultsAndAboutOpenTheirWindows() {
    TTempProgramFolder folder;
    Show(folder);
    TModalScript modals;
    modals.Expect("ResultsForm", [](QDialog*) { return Answer(mrOk); });
    modals.Expect("AboutBox", [](QDialog* d) { return TModalScript::Click(d, "btnOk"); });
    StartForm->MenuResults->trigger();
    StartForm->About->trigger();
    VERIFY_MODALS(modals);
  }

  void exitClosesTheWindow() {
    TTempProgramFolder folder;
    Show(folder);
    StartForm->btnClose->click();
    QVERIFY(!StartForm->isVisible());
    StartForm->show();
    StartForm->MenuExit->trigger();
    QVERIFY(!StartForm->isVisible());
  }
};

// Adding and deleting sets, and copying the template.
class SetFilesTest : public QObject {
  Q_OBJECT

  static void Show(TTempProgramFolder& folder) {
    folder.CreateForms();
    StartForm->show();
  }

  // Answers the name dialog with name (OK) or cancels it (empty name).
  static TModalScript::TStep TypeName(const QString& name) {
    return [name](QDialog* d) {
      auto* dlg = qobject_cast<TGetFilename*>(d);
      if (!dlg) return 0;
      if (name.isEmpty()) return TModalScript::Click(d, "btnCancel");
      dlg->Edit1->setText(name);
      return TModalScript::Click(d, "btnOk");
    };
  }

 private slots:
  void nameDialogOkFollowsTheText() {
    TTempProgramFolder folder(Options(true));
    Show(folder);
    TModalScript modals;
    modals.Expect("GetFilename", [](QDialog* d) {
      auto* dlg = qobject_cast<TGetFilename*>(d);
      bool ok = dlg && dlg->windowTitle() == "Add" && dlg->Edit1->text().isEmpty() && !dlg->btnOk->isEnabled() &&
                dlg->Label1->text() == "Enter name for new question set:";
      QTest::keyClick(dlg->Edit1, Qt::Key_X);
      ok = ok && dlg->btnOk->isEnabled();
      QTest::keyClick(dlg->Edit1, Qt::Key_Backspace);
      ok = ok && !dlg->btnOk->isEnabled();
      return ok ? TModalScript::Click(d, "btnCancel") : -1;
    });
    StartForm->btnAdd->click();
    VERIFY_MODALS(modals);
  }

  void cancelChangesNothing() {
    TTempProgramFolder folder(Options(true));
    folder.WriteSet("Blank.dat", testkit::MakeSet(0, "New"));
    folder.WriteSet("a.qst", testkit::MakeSet(1));
    folder.WriteSet("b.qst", testkit::MakeSet(1));
    Show(folder);
    StartForm->FileListBox1->SetItemIndex(1);
    TModalScript modals;
    modals.Expect("GetFilename", TypeName(QString()));
    StartForm->btnAdd->click();
    VERIFY_MODALS(modals);
    QCOMPARE(StartForm->FileListBox1->ItemIndex(), 1);  // not refreshed
    QCOMPARE(FolderEntries(folder.Path("Tests")), QStringList({"Blank.dat", "a.qst", "b.qst"}));
  }

  void addCopiesTheTemplate_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");
    QTest::newRow("plain") << "Zoology"
                           << "Zoology.qst";
    QTest::newRow("extension dropped") << "notes.txt.bak"
                                       << "notes.qst";
    QTest::newRow("starts with a full stop") << ".hidden"
                                             << ".qst";
    QTest::newRow("spaces and accents") << "Café quiz"
                                        << "Café quiz.qst";
  }
  void addCopiesTheTemplate() {
    QFETCH(QString, typed);
    QFETCH(QString, file);
    TTempProgramFolder folder(Options(true));
    TQuestionSet blank = testkit::MakeSet(0, "Template");
    blank.ProtectedSet = false;
    folder.WriteSet("Blank.dat", blank);
    folder.WriteSet("a.qst", testkit::MakeSet(1));
    Show(folder);
    StartForm->FileListBox1->SetItemIndex(0);
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("GetFilename", TypeName(typed));
    StartForm->btnAdd->click();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    const std::string created = folder.Path("Tests/" + file.toStdString());
    QVERIFY(FileExists(created));
    QCOMPARE(Slurp(created), Slurp(folder.Path("Tests/Blank.dat")));
    QVERIFY(Entries().contains(file));
    QCOMPARE(StartForm->FileListBox1->ItemIndex(), 0);
    QCOMPARE(FolderEntries(folder.Path("Tests")).size(), 3);  // no temporary file left
  }

  void existingNameAsksBeforeOverwriting() {
    TTempProgramFolder folder(Options(true));
    folder.WriteSet("Blank.dat", testkit::MakeSet(0, "Template"));
    folder.WriteSet("keep.qst", testkit::MakeSet(3, "Mine"));
    folder.WriteSet("a.qst", testkit::MakeSet(1));
    Show(folder);
    const std::string before = Slurp(folder.Path("Tests/keep.qst"));
    const QString question = "A question set already exists with\nthat name. Overwrite ? ";
    {
      StartForm->FileListBox1->SetItemIndex(1);
      TMessageScript messages;
      messages.Expect(question, TMsgDlgType::Warning, mbYes | mbNo, mrNo);
      TModalScript modals;
      modals.Expect("GetFilename", TypeName("KEEP"));  // names match regardless of case
      StartForm->btnAdd->click();
      VERIFY_MODALS(modals);
      VERIFY_MESSAGES(messages);
      QCOMPARE(Slurp(folder.Path("Tests/keep.qst")), before);
      QCOMPARE(StartForm->FileListBox1->ItemIndex(), 0);  // refreshed all the same
    }
    TMessageScript messages;
    messages.Expect(question, TMsgDlgType::Warning, mbYes | mbNo, mrYes);
    TModalScript modals;
    modals.Expect("GetFilename", TypeName("keep"));
    StartForm->btnAdd->click();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QCOMPARE(Slurp(folder.Path("Tests/keep.qst")), Slurp(folder.Path("Tests/Blank.dat")));
  }

  void badNamesAreRefusedBeforeAnythingIsWritten_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("colon") << "a:b";
    QTest::newRow("question mark") << "what?";
    QTest::newRow("slash") << "sub/evil";
    QTest::newRow("backslash") << "x\\evil";
    QTest::newRow("star") << "a*";
    QTest::newRow("quote") << "say \"hi\"";
    QTest::newRow("angles and bar") << "a<b>c|d";
    QTest::newRow("control character") << QString("tab") + QChar(9) + "name";
  }
  void badNamesAreRefusedBeforeAnythingIsWritten() {
    QFETCH(QString, typed);
    TTempProgramFolder folder(Options(true));
    folder.WriteSet("Blank.dat", testkit::MakeSet(0, "Template"));
    QDir(QString::fromStdString(folder.Path("Tests"))).mkdir("sub");
    Show(folder);
    TMessageScript messages;
    messages.Expect("Cannot create file " + QString::fromStdString(folder.Path("Tests/")) + typed + ".qst",
                    TMsgDlgType::Error, mbOK);
    TModalScript modals;
    modals.Expect("GetFilename", [typed](QDialog* d) {
      qobject_cast<TGetFilename*>(d)->Edit1->setText(typed);
      return TModalScript::Click(d, "btnOk");
    });
    StartForm->btnAdd->click();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QCOMPARE(FolderEntries(folder.Path("Tests")), QStringList({"Blank.dat", "sub"}));
    QCOMPARE(FolderEntries(folder.Path("Tests/sub")), QStringList());
    QCOMPARE(FolderEntries(folder.Folder()), QStringList({"Proctorium.opt", "Tests"}));
  }

  void missingTemplateNamesItsPath() {
    TTempProgramFolder folder(Options(true));
    folder.WriteSet("a.qst", testkit::MakeSet(1));
    Show(folder);
    TMessageScript messages;
    messages.Expect("Cannot open file " + QString::fromStdString(folder.Path("Tests/Blank.dat")), TMsgDlgType::Error,
                    mbOK);
    TModalScript modals;
    modals.Expect("GetFilename", TypeName("new"));
    StartForm->FileListBox1->SetItemIndex(-1);
    StartForm->btnAdd->click();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QCOMPARE(FolderEntries(folder.Path("Tests")), QStringList({"a.qst"}));
    QCOMPARE(StartForm->FileListBox1->ItemIndex(), 0);  // the window was still refreshed
  }

  void deleteAsksAndRemoves() {
    TTempProgramFolder folder(Options(true, true));
    folder.WriteSet("a.qst", testkit::MakeSet(1, "First"));
    folder.WriteSet("b.qst", testkit::MakeSet(1, "Second"));
    folder.WriteBitmap("pic.bmp", 4, 4);
    Show(folder);
    StartForm->FileListBox1->SetItemIndex(1);
    {
      TMessageScript messages;
      messages.Expect("Are you sure you want to delete [b.qst] ?", TMsgDlgType::Confirmation, mbYes | mbNo, mrNo);
      StartForm->btnDelete->click();
      VERIFY_MESSAGES(messages);
      QCOMPARE(Entries(), QStringList({"a.qst", "b.qst"}));
      QCOMPARE(StartForm->FileListBox1->ItemIndex(), 1);
    }
    {
      TMessageScript messages;
      messages.Expect("Are you sure you want to delete [b.qst] ?", TMsgDlgType::Confirmation, mbYes | mbNo, mrYes);
      StartForm->btnDelete->click();
      VERIFY_MESSAGES(messages);
      QCOMPARE(Entries(), QStringList({"a.qst"}));
      QCOMPARE(StartForm->Memo1->toPlainText(), QString("First"));
    }
    TMessageScript messages;
    messages.Expect("Are you sure you want to delete [a.qst] ?", TMsgDlgType::Confirmation, mbYes | mbNo, mrYes);
    StartForm->btnDelete->click();
    VERIFY_MESSAGES(messages);
    QCOMPARE(StartForm->Memo1->toPlainText(), QString("No question databases found"));
    QVERIFY(!StartForm->btnDelete->isEnabled());
    QVERIFY(StartForm->btnAdd->isEnabled() && !StartForm->btnAdd->isHidden());
    QCOMPARE(FolderEntries(folder.Path("Tests")), QStringList({"pic.bmp"}));
  }

  void copyReportsAReadError() {
    TTempProgramFolder folder;
    Show(folder);
    QDir(QString::fromStdString(folder.Path("Tests"))).mkdir("notafile");
    const std::string source = folder.Path("Tests/notafile");
    const std::string target = folder.Path("Tests/out.qst");
    try {
      StartForm->FileCopy(source, target);
      QFAIL("no error");
    } catch (const EFileError& e) {
      QCOMPARE(QString(e.what()), QString::fromStdString("Cannot read file " + source));
    }
    QCOMPARE(FolderEntries(folder.Path("Tests")), QStringList({"notafile"}));
  }

  void copyReportsAWriteErrorAndKeepsTheOldFile() {
    TTempProgramFolder folder;
    Show(folder);
    const std::string big(100000, 'x');
    folder.WriteFile("Tests/big.dat", big);
    folder.WriteFile("Tests/old.qst", "old contents");
    // Files may not grow beyond 20000 bytes for a moment: the copy fails
    // in the middle of writing.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 20000;
    setrlimit(RLIMIT_FSIZE, &small);
    QString error;
    try {
      StartForm->FileCopy(folder.Path("Tests/big.dat"), folder.Path("Tests/old.qst"));
    } catch (const EFileError& e) {
      error = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    QCOMPARE(error, QString::fromStdString("Cannot create file " + folder.Path("Tests/old.qst")));
    QCOMPARE(Slurp(folder.Path("Tests/old.qst")), std::string("old contents"));
    QCOMPARE(FolderEntries(folder.Path("Tests")), QStringList({"big.dat", "old.qst"}));
    // Without the limit the same copy goes through, across several buffers.
    StartForm->FileCopy(folder.Path("Tests/big.dat"), folder.Path("Tests/old.qst"));
    QCOMPARE(Slurp(folder.Path("Tests/old.qst")), big);
  }
};

// Help pages and the launcher behind them.
class HelpTest : public QObject {
  Q_OBJECT
  struct TLaunch {
    std::string Program;
    std::vector<std::string> Args;
  };
  std::vector<TLaunch> launched;
  QTemporaryDir xdg;

 private slots:
  void init() {
    launched.clear();
    SetLaunchHook([this](const std::string& p, const std::vector<std::string>& a) {
      launched.push_back({p, a});
      return true;
    });
    // No desktop handler and no $BROWSER: the launcher falls back to xdg-open.
    const QByteArray base = xdg.path().toUtf8();
    qputenv("HOME", base);
    qputenv("XDG_CONFIG_HOME", base + "/config");
    qputenv("XDG_CONFIG_DIRS", base + "/etc");
    qputenv("XDG_DATA_HOME", base + "/data");
    qputenv("XDG_DATA_DIRS", base + "/share");
    qunsetenv("BROWSER");
  }
  void cleanup() { SetLaunchHook(nullptr); }

  void missingPageIsReported() {
    TTempProgramFolder folder;
    folder.CreateForms();
    TMessageScript messages;
    messages.Expect("Cannot find help file:\n\n[" + QString::fromStdString(folder.Path("help/main.htm")) + "]",
                    TMsgDlgType::Warning, mbOK);
    StartForm->btnHelp->click();
    VERIFY_MESSAGES(messages);
    QVERIFY(launched.empty());
  }

  void pagesOpenInTheBrowser() {
    TTempProgramFolder folder;
    QDir().mkpath(QString::fromStdString(folder.Path("help")));
    folder.WriteFile("help/main.htm", "<html></html>");
    folder.WriteFile("help/start.htm", "<html></html>");
    folder.CreateForms();
    TMessageScript messages;
    StartForm->btnHelp->click();
    StartForm->MenuHelpIndex->trigger();
    VERIFY_MESSAGES(messages);
    QCOMPARE(launched.size(), size_t(2));
    QCOMPARE(QString::fromStdString(launched[0].Program), QString("xdg-open"));
    QVERIFY(launched[0].Args == std::vector<std::string>{folder.Path("help/main.htm")});
    QVERIFY(launched[1].Args == std::vector<std::string>{folder.Path("help/start.htm")});
    QCOMPARE(QString::fromStdString(StartForm->GoToWeb1->Url), QString::fromStdString(folder.Path("help/start.htm")));
  }

  void desktopDefaultBrowserIsPreferred() {
    TTempProgramFolder folder;
    QDir().mkpath(QString::fromStdString(folder.Path("help")));
    folder.WriteFile("help/main.htm", "<html></html>");
    QDir().mkpath(xdg.path() + "/share/applications");
    QFile desktop(xdg.path() + "/share/applications/webby.desktop");
    QVERIFY(desktop.open(QIODevice::WriteOnly));
    desktop.write("[Desktop Entry]\nType=Application\nExec=webby --new-window %u\n");
    desktop.close();
    QDir().mkpath(xdg.path() + "/config");
    QFile list(xdg.path() + "/config/mimeapps.list");
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("[Default Applications]\ntext/html=webby.desktop\n");
    list.close();
    folder.CreateForms();
    StartForm->btnHelp->click();
    QCOMPARE(launched.size(), size_t(1));
    QCOMPARE(QString::fromStdString(launched[0].Program), QString("webby"));
    QVERIFY((launched[0].Args == std::vector<std::string>{"--new-window", folder.Path("help/main.htm")}));
    QFile::remove(list.fileName());
    QFile::remove(desktop.fileName());
  }

  void aboutBoxLinks() {
    TTempProgramFolder folder;
    folder.CreateForms();
    qputenv("BROWSER", "lynx");
    AboutBox->lbWebsiteClick();
    AboutBox->lbEmailClick();
    qunsetenv("BROWSER");
    QCOMPARE(launched.size(), size_t(2));
    QVERIFY((launched[0].Args == std::vector<std::string>{MakerWebsite}));
    QVERIFY((launched[1].Args == std::vector<std::string>{std::string("mailto:") + MakerEmail}));
    QCOMPARE(AboutBox->lbEmail->toolTip(), QString(MakerEmail));
    QCOMPARE(AboutBox->lbWebsite->toolTip(), QString(MakerWebsite));
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int status = 0;
  {
    StartFormTest t;
    status |= QTest::qExec(&t, argc, argv);
  }
  {
    SetFilesTest t;
    status |= QTest::qExec(&t, argc, argv);
  }
  {
    HelpTest t;
    status |= QTest::qExec(&t, argc, argv);
  }
  return status;
}

#include "StartForm_test.moc"
