#include <QDir>
#include <QStandardPaths>
#include <QtTest>

#include "app/StartForm.h"
#include "base/FileDialogs.h"
#include "base/MessageDlg.h"
#include "base/core/FileIO.h"
#include "testkit/MessageScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using testkit::TMessageScript;

class ExportsTest : public QObject {
  Q_OBJECT
  QTemporaryDir home;

 private slots:
  void initTestCase() {
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
  }
  void cleanup() { SetFileDialogHook(nullptr); }

  // The answer key and the paper are first offered in the documents folder,
  // then in the folder last used, never in the pupils' Tests folder; each
  // export ends with "Saved: <path>" or the error.
  void exportsDefaultOutsideTestsAndSayWhereTheyWent() {
    testkit::TTempProgramFolder folder;
    folder.WriteSet("Quiz.qst", testkit::MakeSet(2));
    folder.ShowStartWindow();
    StartForm->FileListBox1->SetItemIndex(0);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString elsewhere = home.path() + "/exports";
    QDir().mkpath(elsewhere);
    const QString tests = QString::fromStdString(folder.Path("Tests"));
    struct Row {
      QAction* item;
      QString offered;  // the suggestion the dialog gets
      QString chosen;   // the file the teacher picks
      bool saved;
    };
    const Row rows[] = {
        {StartForm->PdfKey1, documents + "/Quiz key.pdf", elsewhere + "/k.pdf", true},
        {StartForm->PdfPaper1, elsewhere + "/Quiz.pdf", tests + "/p.pdf", true},
        // Saved into Tests on purpose once: still not offered there next time.
        {StartForm->PdfKey1, elsewhere + "/Quiz key.pdf", home.path() + "/missing/k.pdf", false},
        {StartForm->PdfKey1, elsewhere + "/Quiz key.pdf", QString(), false},  // cancelled
    };
    for (const Row& row : rows) {
      QString offered;
      SetFileDialogHook([&](bool save, const QString&, const QString& suggested) {
        offered = save ? suggested : QString();
        return row.chosen;
      });
      TMessageScript messages;
      if (!row.saved && !row.chosen.isEmpty())
        messages.Expect("Cannot create file " + row.chosen + ": No such file or directory", TMsgDlgType::Warning, mbOK);
      const QString before = LastExportNotice();
      row.item->trigger();
      VERIFY_MESSAGES(messages);
      QCOMPARE(offered, row.offered);
      QCOMPARE(FileExists(row.chosen.toStdString()), row.saved);
      QCOMPARE(LastExportNotice(), row.saved ? "Saved: " + row.chosen : before);
      if (row.saved) {
        std::string bytes;
        QVERIFY(ReadWholeFile(row.chosen.toStdString(), bytes));
        QCOMPARE(bytes.substr(0, 5), std::string("%PDF-"));
      }
    }
  }
};

QTEST_MAIN(ExportsTest)
#include "Exports_test.moc"
