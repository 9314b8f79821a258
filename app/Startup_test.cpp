#include <QApplication>
#include <QtTest>

#include "app/StartForm.h"
#include "app/Startup.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "editor/AddEditForm.h"
#include "session/Form1.h"
#include "session/ResultsForm.h"
#include "testkit/MessageScript.h"
#include "testkit/TempProgramFolder.h"
#include "testkit/core/SampleSet.h"

using namespace proctorium;

class StartupTest : public QObject {
  Q_OBJECT
 private slots:
  void missingOptionsFileStopsWithTheWarning() {
    testkit::TTempProgramFolder folder(TOptionsRecord(), /*writeOptions=*/false);
    testkit::TMessageScript messages;
    messages.Expect("Essential file missing, program aborted:\n\nProctorium.opt", TMsgDlgType::Warning, mbOK);
    QCOMPARE(RunProctorium(folder.Folder()), 1);
    VERIFY_MESSAGES(messages);
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);  // the windows are gone again, none was shown
    // An empty file is there: it passes, to be reported as damaged later.
    folder.WriteFile("Proctorium.opt", "");
    QVERIFY(CheckOptionsFile(folder.Folder()));
    VERIFY_MESSAGES(messages);
  }

  // Whatever the current directory, paths lead into the program folder.
  void windowsAreCreatedHiddenOnTheProgramFolder() {
    testkit::TTempProgramFolder folder;
    const QString before = QDir::currentPath();
    QDir::setCurrent(QDir::tempPath());
    folder.CreateForms();
    for (QWidget* w : std::initializer_list<QWidget*>{StartForm, Form1, AddEditForm, ResultsForm})
      QVERIFY(w && !w->isVisible());
    QCOMPARE(ProgramFolder(), folder.Folder());
    QCOMPARE(ProgramPath("tests\\Blank.dat"), folder.Folder() + "Tests/Blank.dat");
    QDir::setCurrent(before);
    folder.DestroyForms();
  }

  // Every window reads the settings through one view of the controls that
  // hold them; a field wired to the wrong control, or a view left behind by
  // a start window that is gone, shows here.
  void settingsViewReadsTheLoadedOptions() {
    for (const TOptionsRecord& o : {TOptionsRecord(), testkit::TurnedOptions()}) {
      testkit::TTempProgramFolder folder(o);
      folder.CreateForms();
      StartForm->LoadOptions();
      const TSettingsView& s = Settings();
      QCOMPARE((QList<qint64>{s.ShowHints(), s.DeletePermitted(), s.EnableAnswers(), s.AllowEdits(),
                              s.EnableClearResults(), s.FontSize(), s.ScreenColour(), s.EnableRunningScore(),
                              int(s.TimeMode()), s.CountdownMinutes()}),
               (QList<qint64>{o.ShowHints, o.DeletePermitted, o.EnableAnswers, o.AllowEdits, o.EnableClearResults,
                              o.FontSize, o.ScreenColour, o.EnableRunningScore, int(o.TimeMode), o.CountdownMinutes}));
      folder.DestroyForms();
      QCOMPARE(Settings().ShowHints(), TOptionsRecord().ShowHints);
      QCOMPARE(Settings().SelectedSetFile(), std::string());
      SaveSettings();  // nothing holds the settings: nothing to write
      QCOMPARE(folder.ReadOptions(), o);
    }
  }
};

QTEST_MAIN(StartupTest)
#include "Startup_test.moc"
