#include <QtTest>

#include "app/Pictures.h"
#include "app/core/FileIO.h"
#include "app/core/UserCode.h"
#include "app/shell/AboutBox.h"
#include "app/shell/AdminOptions.h"
#include "app/shell/StartForm.h"
#include "questions/GetFilename.h"
#include "session/Form1.h"
#include "session/ResultsForm.h"
#include "session/TimerValue.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"
#include "testkit/core/FileSizeLimit.h"
#include "web/GoToWeb.h"

using namespace proctorium;
using testkit::TMessageScript;
using testkit::TModalScript;
using testkit::TTempProgramFolder;

namespace {

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

// The start window's buttons that can be pressed, in screen order.
QString Enabled() {
  QStringList l;
  for (QPushButton* b : {StartForm->btnStart, StartForm->btnEdit, StartForm->btnAdd, StartForm->btnDelete})
    if (b->isEnabled()) l << b->objectName().mid(3).toLower();
  return l.join(' ');
}

QStringList FolderEntries(const std::string& folder) {
  QDir d(QString::fromStdString(folder));
  return d.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// What FileCopy reports, empty when it went through.
QString CopyError(const std::string& source, const std::string& destination) {
  try {
    StartForm->FileCopy(source, destination);
  } catch (const EFileError& e) {
    return e.what();
  }
  return QString();
}

}  // namespace

class StartFormTest : public QObject {
  Q_OBJECT
  QTemporaryDir xdg;
  QList<QStringList> launched;  // program, then arguments

 private slots:
  void initTestCase() {
    // No desktop handler and no $BROWSER: the launcher falls back to xdg-open.
    const QByteArray base = xdg.path().toUtf8();
    qputenv("HOME", base);
    qputenv("XDG_CONFIG_HOME", base + "/config");
    qputenv("XDG_CONFIG_DIRS", base + "/etc");
    qputenv("XDG_DATA_HOME", base + "/data");
    qputenv("XDG_DATA_DIRS", base + "/share");
    qunsetenv("BROWSER");
  }
  void init() {
    launched.clear();
    SetLaunchHook([this](const std::string& program, const std::vector<std::string>& args) {
      launched << QStringList{QString::fromStdString(program)};
      for (const auto& a : args) launched.back() << QString::fromStdString(a);
      return true;
    });
  }
  void cleanup() { SetLaunchHook(nullptr); }

  void startWindowStates_data() {
    QTest::addColumn<QString>("kind");  // "none", "old" or "new"
    QTest::addColumn<bool>("isProtected");
    QTest::addColumn<int>("owner");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QString>("enabled");
    const int other = UserCode() == 7 ? 8 : 7;
    const QString summary = "A test set";
    QTest::newRow("empty Tests folder") << "none" << false << 0 << 0 << "No question databases found"
                                        << "add";
    QTest::newRow("old format") << "old" << false << 0 << 2
                                << "OLD FILE FORMAT - EDITING NOT PERMITTED\n" + QString(40, '=') +
                                       "\n\nOld description"
                                << "start add delete";
    QTest::newRow("protected, other owner") << "new" << true << other << 2 << summary << "start add delete";
    QTest::newRow("protected, this user")
        << "new" << true << int(UserCode()) << 2 << summary << "start edit add delete";
    QTest::newRow("protected, no owner") << "new" << true << 0 << 2 << summary << "start edit add delete";
    QTest::newRow("unprotected, other owner") << "new" << false << other << 2 << summary << "start edit add delete";
    QTest::newRow("no questions") << "new" << false << 0 << 0 << summary << "edit add delete";
  }
  void startWindowStates() {
    QFETCH(QString, kind);
    QFETCH(int, questions);
    TTempProgramFolder folder(Options(true, true));
    TQuestionSet set = testkit::MakeSet(questions, "Old description");
    if (kind == "old") folder.WriteFile("Tests/old.qst", testkit::OldFormatBytes(set));
    if (kind == "new") {
      set = testkit::MakeSet(questions);
      QFETCH(bool, isProtected);
      QFETCH(int, owner);
      set.ProtectedSet = isProtected;
      set.OwnerCode = owner;
      folder.WriteSet("s.qst", set);
    }
    TMessageScript messages;
    folder.ShowStartWindow();
    VERIFY_MESSAGES(messages);
    QTEST(StartForm->Memo1->toPlainText(), "memo");
    QTEST(Enabled(), "enabled");
    QCOMPARE(StartForm->Image1->height(), kind == "none" ? 0 : 50);
  }

  void listAndSummaries() {
    TTempProgramFolder folder(Options(true, false));
    folder.ShowStartWindow();
    QCOMPARE(StartForm->Image1->height(), 0);
    // Sets appearing later bring the picture strip back.
    TQuestionSet withPicture = testkit::MakeSet(3, "First\r\nline two");
    withPicture.Questions[0].ExhibitFile = "Banner.bmp";
    folder.WriteSet("Alpha.qst", withPicture);
    folder.WriteBitmap("Banner.bmp", 40, 30);
    TQuestionSet missingPicture = testkit::MakeSet(1, "Second");
    missingPicture.Questions[0].ExhibitFile = "gone.bmp";
    folder.WriteSet("beta.qst", missingPicture);
    folder.WriteSet("gamma.QST", testkit::MakeSet(1, "Third"));
    folder.WriteSet("Blank.dat", testkit::MakeSet(0));
    StartForm->FormShow();
    QCOMPARE(Entries(), QStringList({"Alpha.qst", "beta.qst", "gamma.QST"}));
    QCOMPARE(StartForm->FileListBox1->ItemIndex(), 0);
    QCOMPARE(StartForm->Memo1->toPlainText(), QString("First\nline two"));
    QCOMPARE(StartForm->Image1->height(), 50);
    QCOMPARE(StartForm->Image1->Picture().size(), QSize(40, 30));
    for (int i : {1, 2}) {
      StartForm->FileListBox1->SetItemIndex(i);
      StartForm->FileListBox1Click();
      QCOMPARE(StartForm->Memo1->toPlainText(), QString(i == 1 ? "Second" : "Third"));
      QCOMPARE(StartForm->Image1->Picture(), Logo());
    }
  }

  void startAndEdit() {
    TOptionsRecord o = Options(true);
    o.TimeMode = TTimeMode::Countdown;
    TTempProgramFolder folder(o);
    folder.WriteSet("a.qst", testkit::MakeSet(2, "Before"));
    folder.WriteSet("b.qst", testkit::MakeSet(0));
    folder.ShowStartWindow();
    QVERIFY(StartForm->TimeRemaining1->isChecked());
    // Cancelling the minutes runs no test; elapsed-time mode does not ask.
    // A set without questions opens the test window all the same, which
    // tells the user there is nothing to run.
    TModalScript modals;
    modals.Expect("TimerValue", TModalScript::Return(mrCancel))
        .Expect("TimerValue", TModalScript::Return(mrOk))
        .Expect("Form1", TModalScript::Return(mrOk));
    modals.Expect("Form1", TModalScript::Return(mrOk)).Expect("Form1", TModalScript::Return(mrCancel));
    modals.Expect("AddEditForm", [&folder](QDialog*) {
      folder.WriteSet("a.qst", testkit::MakeSet(2, "After"));
      return mrOk;
    });
    TMessageScript messages;
    messages.Answer(mrOk);
    StartForm->btnStart->click();
    StartForm->btnStart->click();
    StartForm->ElapsedTime1->trigger();
    StartForm->btnStart->click();
    StartForm->FileListBox1->SetItemIndex(1);
    emit StartForm->FileListBox1->itemDoubleClicked(StartForm->FileListBox1->item(1));
    StartForm->FileListBox1->SetItemIndex(0);
    StartForm->btnEdit->click();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QCOMPARE(StartForm->Memo1->toPlainText(), QString("After"));
  }

  // The settings a row turns on, out of "edits delete answers clear".
  void settingsReachTheOtherWindows_data() {
    QTest::addColumn<QString>("on");
    QTest::newRow("all off") << "";
    QTest::newRow("all on") << "edits delete answers clear";
    QTest::newRow("edits without delete") << "edits answers";
    QTest::newRow("delete kept while edits off") << "delete clear";
  }
  void settingsReachTheOtherWindows() {
    QFETCH(QString, on);
    const bool edits = on.contains("edits"), remove = on.contains("delete");
    TOptionsRecord o = Options(edits, remove);
    o.EnableAnswers = on.contains("answers");
    o.EnableClearResults = on.contains("clear");
    TTempProgramFolder folder(o);
    folder.WriteSet("a.qst", testkit::MakeSet(1));
    folder.ShowStartWindow();
    for (QWidget* w : std::initializer_list<QWidget*>{StartForm->btnEdit, StartForm->btnAdd, StartForm->btnDelete})
      QCOMPARE(!w->isHidden(), edits);
    QCOMPARE(StartForm->btnDelete->isEnabled(), remove);
    QCOMPARE(StartForm->Administrator1->isVisible(), edits);
    QCOMPARE(AdminOptions->cbDeletePermitted->isEnabled(), edits);
    QCOMPARE(AdminOptions->cbDeletePermitted->isChecked(), remove);
    QCOMPARE(!Form1->btnView->isHidden(), o.EnableAnswers);
    QCOMPARE(!ResultsForm->btnClear->isHidden(), o.EnableClearResults);
  }

  void menuChangesAreWrittenAndSurviveARestart() {
    TOptionsRecord o;
    o.FontSize = 9;  // no menu item of its own
    TTempProgramFolder folder(o);
    folder.ShowStartWindow();
    QCOMPARE(StartForm->FontSize(), 9);
    for (QAction* a : {StartForm->FontSizeSmall1, StartForm->FontSizeMedium1, StartForm->FontsizeLarge1})
      QVERIFY(!a->isChecked());
    StartForm->FontSizeMedium1->trigger();
    StartForm->FontsizeLarge1->trigger();
    QVERIFY(!StartForm->FontSizeMedium1->isChecked());
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
    folder.ShowStartWindow();
    QVERIFY(StartForm->FontSizeSmall1->isChecked() && !StartForm->FontsizeLarge1->isChecked());
    QCOMPARE(StartForm->FontSize(), 8);
    QVERIFY(!StartForm->ShowHints1->isChecked() && !StartForm->ShowHint());
    QVERIFY(StartForm->TimeRemaining1->isChecked() && !StartForm->ElapsedTime1->isChecked());
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
    folder.ShowStartWindow();
    TModalScript modals;
    if (prompts) modals.Expect("PasswordDlg", TModalScript::Return(mrCancel));
    // Whichever control has the focus, the window sees the key first.
    QTest::keyClick(StartForm->FileListBox1, Qt::Key_A, Qt::KeyboardModifiers(modifiers));
    QTest::keyClick(StartForm->btnHelp, Qt::Key_B, Qt::KeyboardModifiers(modifiers));
    VERIFY_MODALS(modals);
  }

  void menuCommands() {
    TTempProgramFolder folder;
    folder.ShowStartWindow();
    TModalScript modals;
    modals.Expect("ResultsForm", TModalScript::Return(mrOk)).Expect("AboutBox", TModalScript::Return(mrOk));
    StartForm->MenuResults->trigger();
    StartForm->About->trigger();
    VERIFY_MODALS(modals);
    qputenv("BROWSER", "lynx");
    AboutBox->lbWebsiteClick();
    AboutBox->lbEmailClick();
    qunsetenv("BROWSER");
    QCOMPARE(launched, (QList<QStringList>{{"lynx", MakerWebsite}, {"lynx", QString("mailto:") + MakerEmail}}));
    StartForm->btnClose->click();
    QVERIFY(!StartForm->isVisible());
    StartForm->show();
    StartForm->MenuExit->trigger();
    QVERIFY(!StartForm->isVisible());
  }

  // Answers the name dialog with OK. An empty name is typed and erased
  // again: OK must be greyed then, so pressing it leaves the dialog open
  // and nothing is added.
  static TModalScript::TStep TypeName(const QString& name) {
    return [name](QDialog* d) {
      QLineEdit* edit = qobject_cast<TGetFilename*>(d)->Edit1;
      edit->setText(name.isEmpty() ? "x" : name);
      if (name.isEmpty()) edit->clear();
      return TModalScript::Click(d, "btnOk");
    };
  }

  void addASet_data() {
    QTest::addColumn<bool>("withTemplate");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("overwrite");    // the answer to the overwrite question, 0 for none
    QTest::addColumn<QString>("error");    // %1 stands for the Tests folder
    QTest::addColumn<QString>("created");  // holds the template's bytes afterwards
    QTest::newRow("extension dropped") << true << "notes.txt.bak" << 0 << "" << QString("notes.qst");
    QTest::newRow("starts with a full stop") << true << ".hidden" << 0 << "" << QString(".qst");
    QTest::newRow("spaces and accents") << true << "Café quiz" << 0 << "" << QString("Café quiz.qst");
    QTest::newRow("nothing typed") << true << "" << 0 << "" << QString();
    // Names match regardless of case.
    QTest::newRow("existing, kept") << true << "KEEP" << int(mrNo) << "" << QString();
    QTest::newRow("existing, overwritten") << true << "keep" << int(mrYes) << "" << QString("keep.qst");
    QTest::newRow("missing template") << false << "new" << 0
                                      << QString("Cannot open file %1Blank.dat: ") +
                                             QString::fromStdString(SystemReason(ENOENT))
                                      << QString();
    for (const char* bad : {"a:b", "what?", "sub/evil", "x\\evil", "a*", "say \"hi\"", "a<b>c|d", "tab\tname"})
      QTest::newRow(qPrintable(QString("bad name ") + bad))
          << true << QString(bad) << 0 << QString("Cannot create file %1") + bad + ".qst" << QString();
  }
  void addASet() {
    QFETCH(bool, withTemplate);
    QFETCH(QString, typed);
    QFETCH(int, overwrite);
    QFETCH(QString, error);
    QFETCH(QString, created);
    TTempProgramFolder folder(Options(true));
    if (withTemplate) folder.WriteSet("Blank.dat", testkit::MakeSet(0, "Template"));
    folder.WriteSet("a.qst", testkit::MakeSet(1));
    folder.WriteSet("keep.qst", testkit::MakeSet(3, "Mine"));
    const QString tests = QString::fromStdString(folder.Path("Tests/"));
    QDir(tests).mkdir("sub");
    folder.ShowStartWindow();
    const QStringList before = FolderEntries(folder.Path("Tests"));
    const std::string kept = folder.ReadFile("Tests/keep.qst");
    StartForm->FileListBox1->SetItemIndex(1);

    TMessageScript messages;
    if (overwrite)
      messages.Expect("A question set already exists with\nthat name. Overwrite ? ", TMsgDlgType::Warning, mbYes | mbNo,
                      overwrite);
    if (!error.isEmpty()) messages.Expect(error.arg(tests), TMsgDlgType::Error, mbOK);
    TModalScript modals;
    modals.Expect("GetFilename", TypeName(typed));
    StartForm->btnAdd->click();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);

    // The window is refreshed unless the dialog was cancelled.
    QCOMPARE(StartForm->FileListBox1->ItemIndex(), typed.isEmpty() ? 1 : 0);
    if (!created.isEmpty())
      QCOMPARE(folder.ReadFile("Tests/" + created.toStdString()), folder.ReadFile("Tests/Blank.dat"));
    QCOMPARE(Entries().contains(created), !created.isEmpty());
    if (created != "keep.qst") QCOMPARE(folder.ReadFile("Tests/keep.qst"), kept);
    // Nothing else is written: no temporary file, nothing below or beside.
    QCOMPARE(FolderEntries(folder.Path("Tests")).size(),
             before.size() + (created.isEmpty() || before.contains(created) ? 0 : 1));
    QCOMPARE(FolderEntries(folder.Path("Tests/sub")), QStringList());
    QCOMPARE(FolderEntries(folder.Folder()), QStringList({"Proctorium.opt", "Tests"}));
  }

  void deleteAsksAndRemoves() {
    TTempProgramFolder folder(Options(true, true));
    folder.WriteSet("a.qst", testkit::MakeSet(1, "First"));
    folder.WriteSet("b.qst", testkit::MakeSet(1, "Second"));
    folder.WriteBitmap("pic.bmp", 4, 4);
    folder.ShowStartWindow();
    StartForm->FileListBox1->SetItemIndex(1);
    auto remove = [](const QString& name, int answer) {
      TMessageScript messages;
      messages.Expect("Are you sure you want to delete [" + name + "] ?", TMsgDlgType::Confirmation, mbYes | mbNo,
                      answer);
      StartForm->btnDelete->click();
      return messages.Verify();
    };
    QCOMPARE(remove("b.qst", mrNo), QString());
    QCOMPARE(Entries(), QStringList({"a.qst", "b.qst"}));
    QCOMPARE(StartForm->FileListBox1->ItemIndex(), 1);
    QCOMPARE(remove("b.qst", mrYes), QString());
    QCOMPARE(Entries(), QStringList({"a.qst"}));
    QCOMPARE(StartForm->Memo1->toPlainText(), QString("First"));
    QCOMPARE(remove("a.qst", mrYes), QString());
    QCOMPARE(StartForm->Memo1->toPlainText(), QString("No question databases found"));
    QVERIFY(!StartForm->btnDelete->isEnabled());
    QVERIFY(StartForm->btnAdd->isEnabled() && !StartForm->btnAdd->isHidden());
    QCOMPARE(FolderEntries(folder.Path("Tests")), QStringList({"pic.bmp"}));
  }

  void fileCopyErrorsLeaveNoPartialCopy() {
    TTempProgramFolder folder;
    folder.ShowStartWindow();
    const std::string big(100000, 'x');
    folder.WriteFile("Tests/big.dat", big);
    folder.WriteFile("Tests/old.qst", "old contents");
    // A full disk in the middle of writing: files may not grow beyond 20000 bytes.
    QString error;
    {
      testkit::TFileSizeLimit limit(20000);
      error = CopyError(folder.Path("Tests/big.dat"), folder.Path("Tests/old.qst"));
    }
    QCOMPARE(error,
             QString::fromStdString("Cannot create file " + folder.Path("Tests/old.qst") + ": " + SystemReason(EFBIG)));
    QCOMPARE(folder.ReadFile("Tests/old.qst"), std::string("old contents"));
    QCOMPARE(FolderEntries(folder.Path("Tests")), QStringList({"big.dat", "old.qst"}));
    // Without the limit the same copy goes through, across several buffers.
    StartForm->FileCopy(folder.Path("Tests/big.dat"), folder.Path("Tests/old.qst"));
    QCOMPARE(folder.ReadFile("Tests/old.qst"), big);
    // A source that cannot be read is named as such.
    QDir(QString::fromStdString(folder.Path("Tests"))).mkdir("notafile");
    const std::string source = folder.Path("Tests/notafile");
    QCOMPARE(CopyError(source, folder.Path("Tests/new.qst")),
             QString::fromStdString("Cannot read file " + source + ": " + SystemReason(EISDIR)));
    QCOMPARE(FolderEntries(folder.Path("Tests")), QStringList({"big.dat", "notafile", "old.qst"}));
  }

  void helpPages() {
    TTempProgramFolder folder;
    folder.ShowStartWindow();
    const QString main = QString::fromStdString(folder.Path("help/main.htm"));
    TMessageScript messages;
    messages.Expect("Cannot find help file:\n\n[" + main + "]", TMsgDlgType::Warning, mbOK);
    StartForm->btnHelp->click();
    QVERIFY(launched.isEmpty());
    QDir().mkpath(QString::fromStdString(folder.Path("help")));
    folder.WriteFile("help/main.htm", "<html></html>");
    folder.WriteFile("help/start.htm", "<html></html>");
    StartForm->btnHelp->click();
    StartForm->MenuHelpIndex->trigger();
    VERIFY_MESSAGES(messages);
    const QString start = QString::fromStdString(folder.Path("help/start.htm"));
    QCOMPARE(launched, (QList<QStringList>{{"xdg-open", main}, {"xdg-open", start}}));
  }

  // Help never fails silently: each candidate is tried in turn, and when
  // none starts the user is told which page and why.
  void helpWhenBrowsersAreMissing_data() {
    QTest::addColumn<QString>("browser");      // $BROWSER
    QTest::addColumn<QStringList>("present");  // programs that start
    QTest::addColumn<QStringList>("tried");
    QTest::newRow("nothing at all") << "" << QStringList() << QStringList{"xdg-open"};
    QTest::newRow("second entry of $BROWSER") << "nosuch:w3m" << QStringList{"w3m"} << QStringList{"nosuch", "w3m"};
    QTest::newRow("$BROWSER entries missing, xdg-open there")
        << "nosuch:alsonot" << QStringList{"xdg-open"} << QStringList{"nosuch", "alsonot", "xdg-open"};
    QTest::newRow("every candidate missing")
        << "nosuch:alsonot" << QStringList() << QStringList{"nosuch", "alsonot", "xdg-open"};
  }
  void helpWhenBrowsersAreMissing() {
    QFETCH(QString, browser);
    QFETCH(QStringList, present);
    QFETCH(QStringList, tried);
    QStringList started;
    SetLaunchHook([&](const std::string& program, const std::vector<std::string>&) {
      started << QString::fromStdString(program);
      return present.contains(started.last());
    });
    qputenv("BROWSER", browser.toUtf8());
    TTempProgramFolder folder;
    QDir().mkpath(QString::fromStdString(folder.Path("help")));
    folder.WriteFile("help/main.htm", "<html></html>");
    folder.ShowStartWindow();
    TMessageScript messages;
    if (present.isEmpty()) {
      QStringList quoted;
      for (const QString& t : tried) quoted << "\"" + t + "\"";
      messages.Expect("The help page could not be opened:\n\n[" + QString::fromStdString(folder.Path("help/main.htm")) +
                          "]\n\nNo web browser could be started (tried " + quoted.join(", ") +
                          "). Choose a default web browser for the desktop, or name one in the BROWSER environment "
                          "variable.",
                      TMsgDlgType::Warning, mbOK);
    }
    StartForm->btnHelp->click();
    qunsetenv("BROWSER");
    VERIFY_MESSAGES(messages);
    QCOMPARE(started, tried);
  }

  // A name longer than the list is wide widens the list, within a limit,
  // and its row's tip shows it whole.
  void longSetNamesAreReadable() {
    TTempProgramFolder folder;
    const QString longName = "Networking Fundamentals and a Great Deal More.qst";
    folder.WriteSet("a.qst", testkit::MakeSet(1));
    folder.WriteSet(longName.toStdString(), testkit::MakeSet(1));
    folder.ShowStartWindow();
    TFileListBox* list = StartForm->FileListBox1;
    QCOMPARE(list->item(1)->toolTip(), longName);
    QVERIFY(list->width() > 137);
    QVERIFY(StartForm->Panel1->x() > list->geometry().right());
    QVERIFY(StartForm->btnClose->geometry().right() < StartForm->centralWidget()->width());
  }
};

QTEST_MAIN(StartFormTest)
#include "StartForm_test.moc"
