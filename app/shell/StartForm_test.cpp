#include <QMenu>
#include <QProcess>
#include <QtTest>

#include "app/FileDialogs.h"
#include "app/Pictures.h"
#include "app/core/FileIO.h"
#include "app/core/UserCode.h"
#include "app/shell/AboutBox.h"
#include "app/shell/AdminOptions.h"
#include "app/shell/StartForm.h"
#include "questions/GetFilename.h"
#include "session/Form1.h"
#include "session/ResultsForm.h"
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

// The start window in one line: the buttons that can be pressed, the
// picture strip's height, the highlighted row and the summary.
QString State() {
  QStringList on;
  for (QPushButton* b : {StartForm->btnStart, StartForm->btnEdit, StartForm->btnAdd, StartForm->btnDelete})
    if (b->isEnabled()) on << b->objectName().mid(3).toLower();
  return QString("%1 | %2 | %3 | %4")
      .arg(on.join(' '))
      .arg(StartForm->Image1->height())
      .arg(StartForm->FileListBox1->ItemIndex())
      .arg(StartForm->Memo1->toPlainText());
}

QStringList FolderEntries(const std::string& folder) {
  return QDir(QString::fromStdString(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
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
    for (const char* v : {"CONFIG_HOME", "CONFIG_DIRS", "DATA_HOME", "DATA_DIRS"})
      qputenv(QByteArray("XDG_") + v, base + "/" + v);
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

  void startWindowStates() {
    const int other = UserCode() == 7 ? 8 : 7;
    const QString set = " | 50 | 0 | A test set";
    // kind: no set, an old-format set or a new one with protection and owner.
    const std::tuple<QString, bool, int, int, QString> cases[] = {
        {"none", false, 0, 0, "add | 0 | -1 | No question databases found"},
        {"old", false, 0, 2,
         "start add delete | 50 | 0 | OLD FILE FORMAT - EDITING NOT PERMITTED\n" + QString(40, '=') +
             "\n\nOld description"},
        {"new", true, other, 2, "start add delete" + set},
        {"new", true, int(UserCode()), 2, "start edit add delete" + set},
        {"new", true, 0, 2, "start edit add delete" + set},
        {"new", false, other, 2, "start edit add delete" + set},
        {"new", false, 0, 0, "edit add delete" + set},
    };
    for (const auto& [kind, isProtected, owner, questions, state] : cases) {
      TTempProgramFolder folder(Options(true, true));
      TQuestionSet s = testkit::MakeSet(questions, kind == "old" ? "Old description" : "A test set");
      s.ProtectedSet = isProtected;
      s.OwnerCode = owner;
      if (kind == "old") folder.WriteFile("Tests/old.qst", testkit::OldFormatBytes(s));
      if (kind == "new") folder.WriteSet("s.qst", s);
      TMessageScript messages;
      folder.ShowStartWindow();
      VERIFY_MESSAGES(messages);
      const QString row = QString("%1 %2 %3: ").arg(kind).arg(isProtected).arg(owner);
      QCOMPARE(row + State(), row + state);
    }
  }

  void listAndSummaries() {
    TTempProgramFolder folder(Options(true, false));
    folder.ShowStartWindow();
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
    QCOMPARE(State(), QString("start edit add | 50 | 0 | First\nline two"));
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
    // Cancelling the minutes runs no test; elapsed-time mode does not ask.
    // A set without questions opens the test window all the same, which
    // tells the user there is nothing to run.
    TModalScript modals;
    modals.Expect("TimerValue", TModalScript::Return(mrCancel))
        .Expect("TimerValue", TModalScript::Return(mrOk))
        .Expect("Form1", TModalScript::Return(mrOk))
        .Expect("Form1", TModalScript::Return(mrOk))
        .Expect("Form1", TModalScript::Return(mrCancel))
        .Expect("AddEditForm", [&folder](QDialog*) {
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

  // Each row turns on some of "edits delete answers clear".
  void settingsReachTheOtherWindows() {
    for (const QString on : {"", "edits delete answers clear", "edits answers", "delete clear"}) {
      const bool edits = on.contains("edits"), remove = on.contains("delete");
      TOptionsRecord o = Options(edits, remove);
      o.EnableAnswers = on.contains("answers");
      o.EnableClearResults = on.contains("clear");
      TTempProgramFolder folder(o);
      folder.WriteSet("a.qst", testkit::MakeSet(1));
      folder.ShowStartWindow();
      TStartForm* f = StartForm;
      QCheckBox* del = AdminOptions->cbDeletePermitted;
      const QList<bool> got = QList<bool>()
                              << !f->btnEdit->isHidden() << !f->btnAdd->isHidden() << !f->btnDelete->isHidden()
                              << f->Administrator1->isVisible() << del->isEnabled() << f->btnDelete->isEnabled()
                              << del->isChecked() << !Form1->btnView->isHidden() << !ResultsForm->btnClear->isHidden();
      QCOMPARE(got,
               (QList<bool>{edits, edits, edits, edits, edits, remove, remove, o.EnableAnswers, o.EnableClearResults}));
    }
  }

  void menuChangesAreWrittenAndSurviveARestart() {
    TOptionsRecord o;
    o.FontSize = 9;  // no menu item of its own
    TTempProgramFolder folder(o);
    folder.ShowStartWindow();
    auto marks = [] {
      QStringList l{QString::number(StartForm->FontSize()), StartForm->ShowHint() ? "hint" : "nohint"};
      for (QAction* a : StartForm->Application1->actions())
        if (a->isChecked()) l << a->objectName();
      return l.join(' ');
    };
    QCOMPARE(marks(), QString("9 hint ShowHints1 ElapsedTime1"));
    StartForm->FontSizeMedium1->trigger();
    StartForm->FontsizeLarge1->trigger();
    QCOMPARE(StartForm->Memo1->font().pointSize(), 12);
    QCOMPARE(StartForm->btnStart->font().pointSize(), 8);
    QCOMPARE(int(folder.ReadOptions().FontSize), 12);
    StartForm->ShowHints1->trigger();
    QCOMPARE(folder.ReadOptions().ShowHints, false);
    StartForm->TimeRemaining1->trigger();
    QCOMPARE(int(folder.ReadOptions().TimeMode), 0);
    StartForm->FontSizeSmall1->trigger();
    QCOMPARE(int(folder.ReadOptions().FontSize), 8);
    QCOMPARE(marks(), QString("8 nohint FontSizeSmall1 TimeRemaining1"));
    // A fresh start of the windows reads what the menu wrote.
    folder.DestroyForms();
    folder.ShowStartWindow();
    QCOMPARE(marks(), QString("8 nohint FontSizeSmall1 TimeRemaining1"));
  }

  void hiddenKeyOpensThePasswordPrompt() {
    const std::tuple<bool, Qt::KeyboardModifiers, bool> cases[] = {
        {false, Qt::ControlModifier, true}, {false, Qt::ControlModifier | Qt::ShiftModifier, true},
        {false, Qt::NoModifier, false},     {false, Qt::AltModifier, false},
        {true, Qt::ControlModifier, false},  // edits allowed: the menu is there
    };
    for (const auto& [allowEdits, modifiers, prompts] : cases) {
      TTempProgramFolder folder(Options(allowEdits));
      folder.WriteSet("a.qst", testkit::MakeSet(1));
      folder.ShowStartWindow();
      TModalScript modals;
      if (prompts) modals.Expect("PasswordDlg", TModalScript::Return(mrCancel));
      // Whichever control has the focus, the window sees the key first.
      QTest::keyClick(StartForm->FileListBox1, Qt::Key_A, modifiers);
      QTest::keyClick(StartForm->btnHelp, Qt::Key_B, modifiers);
      VERIFY_MODALS(modals);
    }
  }

  void menuCommands() {
    TTempProgramFolder folder;
    folder.WriteSet("Biology.qst", testkit::MakeSet(2));
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
    // The Print menu writes the highlighted set's paper or key, read back as text.
    const QString pdf = QString::fromStdString(folder.Path("out.pdf"));
    SetFileDialogHook([&](bool save, const QString&, const QString&) { return save ? pdf : QString(); });
    for (QAction* a : {StartForm->PdfPaper1, StartForm->PdfKey1}) {
      a->trigger();
      QProcess p;
      p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
      QVERIFY(p.waitForFinished(30000));
      const QString text = QString::fromUtf8(p.readAllStandardOutput()).simplified();
      const QStringList expected = a == StartForm->PdfKey1
                                       ? QStringList{"Answer key: Biology", "1. A", "2. A"}
                                       : QStringList{"Biology", "1. Question 1", "A Answer 1.A", "D Answer 2.D"};
      for (const QString& s : expected) QVERIFY2(text.contains(s), qPrintable(s + " not in: " + text));
    }
    SetFileDialogHook(nullptr);
    StartForm->btnClose->click();
    QVERIFY(!StartForm->isVisible());
    StartForm->show();
    StartForm->MenuExit->trigger();
    QVERIFY(!StartForm->isVisible());
  }

  void addASet() {
    // typed, the answer to the overwrite question (0: none asked), the error
    // told (%1 stands for the Tests folder) and the set that then holds the
    // template's bytes. Names match regardless of case; an empty template
    // name means the template is missing.
    std::vector<std::tuple<QString, int, QString, QString>> cases{
        {"notes.txt.bak", 0, "", "notes.qst"},  // extension dropped
        {".hidden", 0, "", ".qst"},
        {"Café quiz", 0, "", "Café quiz.qst"},
        {"", 0, "", ""},  // nothing typed
        {"KEEP", mrNo, "", ""},
        {"keep", mrYes, "", "keep.qst"},
        {"no template", 0, "Cannot open file %1Blank.dat: " + QString::fromStdString(SystemReason(ENOENT)), ""},
    };
    for (const char* bad : {"a:b", "what?", "sub/evil", "x\\evil", "a*", "say \"hi\"", "a<b>c|d", "tab\tname"})
      cases.push_back({bad, 0, QString("Cannot create file %1") + bad + ".qst", ""});
    for (const auto& [typed, overwrite, error, created] : cases) {
      TTempProgramFolder folder(Options(true));
      if (typed != "no template") folder.WriteSet("Blank.dat", testkit::MakeSet(0, "Template"));
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
        messages.Expect("A question set already exists with\nthat name. Overwrite ? ", TMsgDlgType::Warning,
                        mbYes | mbNo, overwrite);
      if (!error.isEmpty()) messages.Expect(error.arg(tests), TMsgDlgType::Error, mbOK);
      TModalScript modals;
      // An empty name is typed and erased again: OK must be greyed then, so
      // pressing it leaves the dialog open and nothing is added.
      modals.Expect("GetFilename", [typed](QDialog* d) {
        QLineEdit* edit = qobject_cast<TGetFilename*>(d)->Edit1;
        edit->setText(typed.isEmpty() ? "x" : typed);
        if (typed.isEmpty()) edit->clear();
        return TModalScript::Click(d, "btnOk");
      });
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
      const qsizetype added = created.isEmpty() || before.contains(created) ? 0 : 1;
      QCOMPARE(FolderEntries(folder.Path("Tests")).size(), before.size() + added);
      QCOMPARE(FolderEntries(folder.Path("Tests/sub")) + FolderEntries(folder.Folder()),
               QStringList({"Proctorium.opt", "Tests"}));
    }
  }

  void deleteAsksAndRemoves() {
    TTempProgramFolder folder(Options(true, true));
    folder.WriteSet("a.qst", testkit::MakeSet(1, "First"));
    folder.WriteSet("b.qst", testkit::MakeSet(1, "Second"));
    folder.WriteBitmap("pic.bmp", 4, 4);
    folder.ShowStartWindow();
    StartForm->FileListBox1->SetItemIndex(1);
    // Each step: the set asked about, the answer, the window afterwards.
    const std::tuple<QString, int, QString> steps[] = {
        {"b.qst", mrNo, "start edit add delete | 50 | 1 | First"},
        {"b.qst", mrYes, "start edit add delete | 50 | 0 | First"},
        {"a.qst", mrYes, "add | 0 | -1 | No question databases found"},
    };
    for (const auto& [name, answer, state] : steps) {
      TMessageScript messages;
      messages.Expect("Are you sure you want to delete [" + name + "] ?", TMsgDlgType::Confirmation, mbYes | mbNo,
                      answer);
      StartForm->btnDelete->click();
      VERIFY_MESSAGES(messages);
      QCOMPARE(State(), state);
    }
    QVERIFY(!StartForm->btnAdd->isHidden());
    QCOMPARE(FolderEntries(folder.Path("Tests")), QStringList({"pic.bmp"}));
  }

  void fileCopyErrorsLeaveNoPartialCopy() {
    TTempProgramFolder folder;
    folder.ShowStartWindow();
    const std::string big(100000, 'x');
    folder.WriteFile("Tests/big.dat", big);
    folder.WriteFile("Tests/old.qst", "old contents");
    // A full disk in the middle of writing: files may not grow beyond 20000 bytes.
    const QString error = [&] {
      testkit::TFileSizeLimit limit(20000);
      return CopyError(folder.Path("Tests/big.dat"), folder.Path("Tests/old.qst"));
    }();
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

  // Help never fails silently: a missing page is named; otherwise each
  // candidate is tried in turn, and when none starts the user is told which
  // page and why.
  void helpPages() {
    TTempProgramFolder folder;
    folder.ShowStartWindow();
    const QString main = QString::fromStdString(folder.Path("help/main.htm"));
    const QString start = QString::fromStdString(folder.Path("help/start.htm"));
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
    QCOMPARE(launched, (QList<QStringList>{{"xdg-open", main}, {"xdg-open", start}}));
    // $BROWSER, the programs that start, the programs tried.
    const std::tuple<QByteArray, QStringList, QStringList> cases[] = {
        {"", {}, {"xdg-open"}},
        {"nosuch:w3m", {"w3m"}, {"nosuch", "w3m"}},
        {"nosuch:alsonot", {"xdg-open"}, {"nosuch", "alsonot", "xdg-open"}},
        {"nosuch:alsonot", {}, {"nosuch", "alsonot", "xdg-open"}},
    };
    for (const auto& [browser, present, tried] : cases) {
      QStringList started;
      SetLaunchHook([&](const std::string& program, const std::vector<std::string>&) {
        started << QString::fromStdString(program);
        return present.contains(started.last());
      });
      qputenv("BROWSER", browser);
      if (present.isEmpty())
        messages.Expect("The help page could not be opened:\n\n[" + main +
                            "]\n\nNo web browser could be started (tried \"" + tried.join("\", \"") +
                            "\"). Choose a default web browser for the desktop, or name one in the BROWSER "
                            "environment variable.",
                        TMsgDlgType::Warning, mbOK);
      StartForm->btnHelp->click();
      qunsetenv("BROWSER");
      VERIFY_MESSAGES(messages);
      QCOMPARE(started, tried);
    }
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
