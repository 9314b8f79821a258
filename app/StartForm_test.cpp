#include <QtTest>

#include "app/AboutBox.h"
#include "app/AdminOptions.h"
#include "app/NewPasswordDlg.h"
#include "app/PasswordDlg.h"
#include "app/StartForm.h"
#include "base/FileDialogs.h"
#include "base/Pictures.h"
#include "base/Settings.h"
#include "base/core/FileIO.h"
#include "base/core/UserCode.h"
#include "editor/AddEditForm.h"
#include "editor/ExhibitManager.h"
#include "editor/ShowForm.h"
#include "questions/GetFilename.h"
#include "questions/SearchForm.h"
#include "session/Form1.h"
#include "session/ResultsForm.h"
#include "session/StatisticsForm.h"
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
    TQuestionSet unicode =
        testkit::MakeSet(1, "\xD0\xA4\xD0\xB8\xD0\xB7\xD0\xB8\xD0\xBA\xD0\xB0 \xE2\x89\xA5 \xCF\x80\r\nH\xE2\x82\x82O");
    unicode.Encoding = TTextEncoding::Utf8;
    folder.WriteSet("delta.qst", unicode);
    folder.WriteSet("Blank.dat", testkit::MakeSet(0));
    StartForm->FormShow();
    QCOMPARE(Entries(), QStringList({"Alpha.qst", "beta.qst", "delta.qst", "gamma.QST"}));
    QCOMPARE(State(), QString("start edit add | 50 | 0 | First\nline two"));
    QCOMPARE(StartForm->Image1->Picture().size(), QSize(40, 30));
    StartForm->FileListBox1->SetItemIndex(1);
    StartForm->FileListBox1Click();
    QCOMPARE(StartForm->Memo1->toPlainText(), QString("Second"));
    QCOMPARE(StartForm->Image1->Picture(), Logo());
    // A Unicode set's description as written.
    StartForm->FileListBox1->SetItemIndex(2);
    StartForm->FileListBox1Click();
    QCOMPARE(StartForm->Memo1->toPlainText(),
             QString::fromUtf8("\u0424\u0438\u0437\u0438\u043a\u0430 \u2265 \u03c0\nH\u2082O"));
  }

  // Each row turns on some of "edits delete answers clear".
  void settingsReachTheOtherWindows() {
    for (const QString on : {"edits answers", "delete clear"}) {
      TOptionsRecord o = Options(on.contains("edits"), on.contains("delete"));
      o.EnableAnswers = on.contains("answers");
      o.EnableClearResults = on.contains("clear");
      TTempProgramFolder folder(o);
      folder.WriteSet("a.qst", testkit::MakeSet(1));
      folder.ShowStartWindow();
      TStartForm* f = StartForm;
      QCOMPARE((QList<bool>{!f->btnEdit->isHidden(), f->Administrator1->isVisible(), f->btnDelete->isEnabled(),
                            AdminOptions->cbDeletePermitted->isEnabled(), !Form1->btnView->isHidden(),
                            !ResultsForm->btnClear->isHidden()}),
               (QList<bool>{o.AllowEdits, o.AllowEdits, o.DeletePermitted, o.AllowEdits, o.EnableAnswers,
                            o.EnableClearResults}));
    }
  }

  void menuChangesAreWrittenAndSurviveARestart() {
    TTempProgramFolder folder;
    folder.ShowStartWindow();
    StartForm->FontsizeLarge1->trigger();
    StartForm->ShowHints1->trigger();
    StartForm->TimeRemaining1->trigger();
    const TOptionsRecord o = folder.ReadOptions();
    QCOMPARE((QList<int>{o.FontSize, o.ShowHints, int(o.TimeMode)}), (QList<int>{12, false, 0}));
    folder.DestroyForms();
    folder.ShowStartWindow();
    const TSettingsView& s = Settings();
    QCOMPARE((QList<int>{s.FontSize(), s.ShowHints(), int(s.TimeMode())}), (QList<int>{12, false, 0}));
  }

  void addASet() {
    // typed, the answer to the overwrite question (0: none asked), the error
    // told (%1: the Tests folder) and the set then holding the template's
    // bytes. Names match regardless of case.
    std::vector<std::tuple<QString, int, QString, QString>> cases{
        {"notes.txt.bak", 0, "", "notes.qst"},  // extension dropped
        {"Café quiz", 0, "", "Café quiz.qst"},
        {"", 0, "", ""},  // nothing typed
        {"KEEP", mrNo, "", ""},
        {"keep", mrYes, "", "keep.qst"},
        {"no template", 0, "Cannot open file %1Blank.dat: " + QString::fromStdString(SystemReason(ENOENT)), ""},
    };
    for (const char* bad : {"a:b", "sub/evil", "x\\evil", "tab\tname"})
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
      if (overwrite) QCOMPARE(messages.Shown()[0].DefaultButton, unsigned(mbNo));
      // The window is refreshed unless the dialog was cancelled, with the set
      // just added highlighted (so Edit opens it), else the first.
      QCOMPARE(StartForm->FileListBox1->ItemIndex(),
               typed.isEmpty() ? 1 : (created.isEmpty() ? 0 : int(Entries().indexOf(created))));
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
        {"b.qst", mrNo, "start edit add delete | 50 | 1 | Second"},
        {"b.qst", mrYes, "start edit add delete | 50 | 0 | First"},
        {"a.qst", mrYes, "add | 0 | -1 | No question databases found"},
    };
    for (const auto& [name, answer, state] : steps) {
      TMessageScript messages;
      messages.Expect("Are you sure you want to delete [" + name + "] ?", TMsgDlgType::Confirmation, mbYes | mbNo,
                      answer);
      StartForm->btnDelete->click();
      VERIFY_MESSAGES(messages);
      QCOMPARE(messages.Shown()[0].DefaultButton, unsigned(mbNo));
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
    TMessageScript messages;
    messages.Expect("Cannot find help file:\n\n[" + main + "]", TMsgDlgType::Warning, mbOK);
    StartForm->btnHelp->click();
    QDir().mkpath(QString::fromStdString(folder.Path("help")));
    folder.WriteFile("help/main.htm", "<html></html>");
    StartForm->btnHelp->click();
    VERIFY_MESSAGES(messages);
    QCOMPARE(launched, (QList<QStringList>{{"xdg-open", main}}));
    // $BROWSER, the programs that start, the programs tried.
    const std::tuple<QByteArray, QStringList, QStringList> cases[] = {
        {"nosuch:w3m", {"w3m"}, {"nosuch", "w3m"}},
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
  // Enter starts the highlighted test, or presses the focused button; Ctrl+A
  // opens the administrator options while their menu item is hidden.
  void keysOfTheStartWindow() {
    // row, key, modifiers, focused control, edits allowed, modal window opened
    const std::tuple<const char*, Qt::Key, Qt::KeyboardModifiers, const char*, bool, QString> rows[] = {
        {"Enter on the list", Qt::Key_Return, Qt::NoModifier, "FileListBox1", false, "Form1"},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, "FileListBox1", false, "Form1"},
        {"Enter on Add", Qt::Key_Return, Qt::NoModifier, "btnAdd", true, "GetFilename"},
        {"Ctrl+Enter", Qt::Key_Return, Qt::ControlModifier, "FileListBox1", false, ""},
        {"Ctrl+A", Qt::Key_A, Qt::ControlModifier, "FileListBox1", false, "PasswordDlg"},
        {"Ctrl+A beside the menu item", Qt::Key_A, Qt::ControlModifier, "FileListBox1", true, ""},
        {"A alone", Qt::Key_A, Qt::NoModifier, "FileListBox1", false, ""},
    };
    for (const auto& [row, key, modifiers, target, allowEdits, opened] : rows) {
      TTempProgramFolder folder(Options(allowEdits));
      folder.WriteSet("a.qst", testkit::MakeSet(2));
      folder.ShowStartWindow();
      StartForm->FileListBox1->SetItemIndex(0);
      TMessageScript messages;
      TModalScript modals;
      if (opened == "Form1") {
        messages.Answer(mrNo);  // no save of the test ended at once
        modals.Expect(opened, [](QDialog* d) {
          auto* f = static_cast<TForm1*>(d);
          f->btnEndReview->click();
          f->btnClose->click();
          return d->result();
        });
      } else if (!opened.isEmpty()) {
        modals.Expect(opened, TModalScript::Return(mrCancel));
      }
      QTest::keyClick(StartForm->findChild<QWidget*>(target), key, modifiers);
      const QString context = QString(row) + ": " + modals.Verify() + messages.Verify();
      QCOMPARE(context, QString(row) + ": ");
    }
  }

  // F1 anywhere in a window opens that window's own help page; a window
  // without one of its own takes its owner's.
  void f1OpensEachWindowsHelpPage() {
    TTempProgramFolder folder;
    QDir().mkpath(QString::fromStdString(folder.Path("help")));
    for (const char* page : {"main.htm", "run.htm", "start.htm", "edit.htm", "statistics.htm"})
      folder.WriteFile(std::string("help/") + page, "<html></html>");
    folder.ShowStartWindow();
    TShowForm viewer;
    TExhibitManager picker;
    TGetFilename name;
    TStatisticsForm statistics(ResultsForm);
    const std::pair<QWidget*, const char*> windows[] = {
        {StartForm->FileListBox1, "main.htm"},
        {Form1, "run.htm"},
        {ResultsForm->Memo1, "run.htm"},
        {TimerValue->edTimeLimit, "run.htm"},
        {&statistics, "statistics.htm"},
        {AdminOptions, "start.htm"},
        {AboutBox, "start.htm"},
        {PasswordDlg->EditPassword, "start.htm"},
        {NewPasswordDlg, "start.htm"},
        {name.Edit1, "start.htm"},
        {AddEditForm->memoQuestion, "edit.htm"},
        {SearchForm, "edit.htm"},
        {&viewer, "edit.htm"},
        {&picker, "edit.htm"},
    };
    for (const auto& [widget, page] : windows) {
      launched.clear();
      QTest::keyClick(widget, Qt::Key_F1);
      const QString where = widget->window()->objectName() + " ";
      QCOMPARE(where + launched.value(0).join(' '),
               where + "xdg-open " + QString::fromStdString(folder.Path(std::string("help/") + page)));
    }
  }

  // The Print menu's PDF items write the highlighted set, as a paper or as
  // its answer key, to the file chosen beside the set.
  void printToPdf() {
    TTempProgramFolder folder;
    folder.WriteSet("Quiz.qst", testkit::MakeSet(2));
    folder.ShowStartWindow();
    StartForm->FileListBox1->SetItemIndex(0);
    const std::string out = folder.Path("out.pdf");
    QString suggested;
    SetFileDialogHook([&](bool, const QString&, const QString& path) {
      suggested = path;
      return QString::fromStdString(out);
    });
    // item, name suggested, text found, text not found
    const std::tuple<QAction*, const char*, QString, QString> rows[] = {
        {StartForm->PdfPaper1, "Quiz.pdf", "1. Question 1", "Answer key"},
        {StartForm->PdfKey1, "Quiz key.pdf", "Answer key: Quiz", "Question 1"},
    };
    for (const auto& [item, name, present, absent] : rows) {
      TMessageScript messages;
      item->trigger();
      VERIFY_MESSAGES(messages);
      // Offered outside the pupils' Tests folder: the documents folder, then
      // the folder used last.
      QVERIFY2(suggested.endsWith(QLatin1Char('/') + QString::fromUtf8(name)), qPrintable(suggested));
      QVERIFY2(!suggested.startsWith(QString::fromStdString(folder.Path("Tests"))), qPrintable(suggested));
      QProcess p;
      p.start("pdftotext", {"-layout", QString::fromStdString(out), "-"});
      QVERIFY(p.waitForFinished(-1));
      const QString text = QString::fromUtf8(p.readAllStandardOutput()).simplified();
      QVERIFY2(text.contains(present) && !text.contains(absent), qPrintable(text));
      QFile::remove(QString::fromStdString(out));
    }
    SetFileDialogHook(nullptr);
  }
};

QTEST_MAIN(StartFormTest)
#include "StartForm_test.moc"
