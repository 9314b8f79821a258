// Paper versions as the teacher gets them: PDFs whose question order, answer
// letters and key agree with the job file, answer sheets whose QR code and
// boxes read back, the dialog's buttons and keys, the start window's menu
// item and the converter's --paper mode.

#define ZX_USE_UTF8
#include "paper/PaperPrint.h"

#include <ZXing/ReadBarcode.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QtTest>

#include "app/StartForm.h"
#include "base/FileDialogs.h"
#include "base/core/FileIO.h"
#include "paper/PaperVersionsDialog.h"
#include "paper/core/SheetCode.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"
#include "testkit/core/SampleSet.h"

using namespace proctorium;

namespace {

// Distinct texts, shuffled questions and answers, one to three right.
TQuestionSet QuizSet(int questions = 12) {
  TQuestionSet set = testkit::MakeSet(questions, "Quiz for paper");
  set.Questions[0].CorrectMask |= 1;
  for (int i = 1; i <= questions; ++i) {
    TQuestion& q = set.Questions[i];
    q.Text = "Question " + std::to_string(i) + " text";
    q.RandomizeAnswers = 1;
    q.CorrectMask = static_cast<AnswerMask>(i % 2 ? 0b0001 : 0b1010);
  }
  return set;
}

QString PdfText(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  p.waitForFinished(-1);
  return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

QString PdfInfo(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdfinfo"), {pdf});
  p.waitForFinished(-1);
  return QString::fromUtf8(p.readAllStandardOutput());
}

QImage PdfPage(const QString& pdf, int page, int dpi, const QString& folder) {
  QProcess p;
  const QString prefix = folder + "/page";
  p.start(QStringLiteral("pdftoppm"), {"-r", QString::number(dpi), "-f", QString::number(page), "-l",
                                       QString::number(page), "-gray", "-singlefile", "-png", pdf, prefix});
  p.waitForFinished(-1);
  return QImage(prefix + ".png");
}

std::string ReadQr(const QImage& page) {
  const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
  const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                              static_cast<int>(grey.bytesPerLine()));
  const ZXing::Result result = ZXing::ReadBarcode(view);
  return result.isValid() ? result.text() : std::string();
}

// True when every text appears, each after the one before.
bool InOrder(const QString& text, const QStringList& parts) {
  qsizetype at = 0;
  for (const QString& part : parts) {
    at = text.indexOf(part, at);
    if (at < 0) return false;
    at += part.size();
  }
  return true;
}

QString KeyLine(int position, AnswerMask key) {
  QStringList letters;
  for (char ch : SlotLetters(key)) letters << QString(QChar(ch));
  return QStringLiteral("%1. %2").arg(position).arg(letters.join(QStringLiteral(", ")));
}

struct TConvertRun {
  int Code;
  QString Err;
};

TConvertRun Convert(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(PROCTORIUM_CONVERT), args);
  p.waitForFinished(-1);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace

class PaperPrintTest : public QObject {
  Q_OBJECT
  QTemporaryDir home;

 private slots:
  void initTestCase() {
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
  }
  void cleanup() { SetFileDialogHook(nullptr); }

  void pdfsAgreeWithTheJob() {
    QTemporaryDir dir;
    const TQuestionSet set = QuizSet();
    TPaperJob job = MakePaperJob(set, "Quiz.qst", 3, 99, {TPaperSize::Letter, 4});
    const std::string jobFile = dir.filePath("Quiz.paper.json").toStdString();
    const std::string out = dir.filePath("out").toStdString();
    const TPaperFiles files =
        WritePaperVersions(job, set, "Quiz", jobFile, out, [](const std::string&) { return QImage(); });
    QCOMPARE(files.JobFile, jobFile);
    QCOMPARE(files.Pdfs.size(), size_t(9));
    std::string json;
    QVERIFY(ReadWholeFile(jobFile, json));
    QCOMPARE(PaperJobFromJson(json), job);

    for (const TPaperVersion& version : job.Versions) {
      const QString letter(QChar(version.Letter));
      auto pdf = [&](const char* kind) {
        return QString::fromStdString(out + "/" + PaperPdfName("Quiz", version.Letter, kind));
      };
      const QString paper = PdfText(pdf("questions"));
      QVERIFY2(paper.contains("Quiz \u2014 Version " + letter), qPrintable(paper));
      // Questions in the version's order, each one's answers in its slots.
      QStringList order;
      for (size_t i = 0; i < version.Questions.size(); ++i) {
        const TPaperQuestion& q = version.Questions[i];
        order << QStringLiteral("%1. Question %2 text").arg(i + 1).arg(q.SetQuestion);
        for (size_t k = 0; k < q.Answers.size(); ++k)
          order << QStringLiteral("%1 Answer %2.%3")
                       .arg(QChar('A' + int(k)))
                       .arg(q.SetQuestion)
                       .arg(QChar('A' + q.Answers[k]));
      }
      QVERIFY2(InOrder(paper, order), qPrintable(paper));

      const QString key = PdfText(pdf("key"));
      QVERIFY2(key.contains("Answer key: Quiz \u2014 Version " + letter), qPrintable(key));
      QStringList keyLines;
      for (size_t i = 0; i < version.Questions.size(); ++i) keyLines << KeyLine(int(i) + 1, version.Questions[i].Key);
      QVERIFY2(InOrder(key, keyLines), qPrintable(key + " / " + keyLines.join('|')));

      const QString sheets = PdfText(pdf("sheets"));
      QVERIFY2(sheets.contains("Version " + letter + " \u00B7 Sheet 1 of 1"), qPrintable(sheets));
      // The page size chosen is the page size printed, for all three.
      for (const char* kind : {"questions", "key", "sheets"})
        QVERIFY2(PdfInfo(pdf(kind)).contains("612 x 792 pts (letter)"), kind);
    }
  }

  void sheetPagesReadBack() {
    QTemporaryDir dir;
    const TQuestionSet set = QuizSet(150);
    const TPaperJob job = MakePaperJob(set, "Quiz.qst", 2, 5, {TPaperSize::A4, 6});
    const TPaperVersion& version = job.Versions[1];
    QCOMPARE(version.Sheets.size(), size_t(2));
    const std::string bytes = AnswerSheetsPdf(job, version, "Quiz");
    const QString pdf = dir.filePath("sheets.pdf");
    WriteFileAtomic(pdf.toStdString(), bytes);
    QVERIFY(PdfInfo(pdf).contains("Pages:           2"));
    QVERIFY(PdfInfo(pdf).contains("595 x 842 pts (A4)"));
    const int dpi = 150;
    for (const TSheetLayout& sheet : version.Sheets) {
      const QImage page = PdfPage(pdf, sheet.Sheet, dpi, dir.path());
      QVERIFY(!page.isNull());
      const std::string code = ReadQr(page);
      QCOMPARE(code, EncodeSheetCode({job.JobId, job.Fingerprint, 'B', sheet.Sheet, 2}));
      auto grey = [&](double x, double y) { return qGray(page.pixel(int(x * dpi / 72), int(y * dpi / 72))); };
      for (const TSheetRow& row : sheet.Rows)
        for (const TPaperRect& b : row.Boxes) {
          QVERIFY(grey(b.X + b.W / 2, b.Y) < 128);
          QVERIFY(grey(b.X + b.W / 2, b.Y + b.H / 2) > 230);
        }
      for (const TPaperRect& c : sheet.Corners) QVERIFY(grey(c.X + c.W / 2, c.Y + c.H / 2) < 20);
    }
  }

  void dialogButtonsAndKeys_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter") << "Enter" << int(QDialog::Accepted);
    QTest::newRow("Escape") << "Escape" << int(QDialog::Rejected);
    QTest::newRow("Print to PDF button") << "paperOk" << int(QDialog::Accepted);
    QTest::newRow("Cancel button") << "paperCancel" << int(QDialog::Rejected);
  }
  void dialogButtonsAndKeys() {
    QFETCH(QString, action);
    QFETCH(int, result);
    TPaperVersionsDialog dialog(QStringLiteral("Quiz"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.paperVersions->setFocus();
    if (action == "Enter")
      QTest::keyClick(&dialog, Qt::Key_Return);
    else if (action == "Escape")
      QTest::keyClick(&dialog, Qt::Key_Escape);
    else
      dialog.findChild<QPushButton*>(action)->click();
    QCOMPARE(dialog.result(), result);
    QVERIFY(!dialog.isVisible());
  }

  void dialogChoice() {
    TPaperVersionsDialog dialog(QStringLiteral("Quiz"));
    // A fresh seed is offered, and "New seed" draws another.
    const QString first = dialog.paperSeed->text();
    QVERIFY(first.toULongLong() > 0);
    dialog.paperNewSeed->click();
    QVERIFY(dialog.paperSeed->text() != first);
    QCOMPARE(dialog.paperVersions->minimum(), 1);
    QCOMPARE(dialog.paperVersions->maximum(), 26);
    QCOMPARE(dialog.paperIdDigits->minimum(), 0);
    QCOMPARE(dialog.paperIdDigits->maximum(), 10);
    dialog.paperVersions->setValue(5);
    dialog.paperIdDigits->setValue(0);
    dialog.paperPageSize->setCurrentIndex(dialog.paperPageSize->findText(QStringLiteral("US Letter")));
    dialog.paperSeed->setText(QStringLiteral("12345"));
    const TPaperPrintChoice choice = dialog.Choice();
    QCOMPARE(choice.Versions, 5);
    QCOMPARE(choice.Options.IdDigits, 0);
    QCOMPARE(choice.Options.Size, TPaperSize::Letter);
    QCOMPARE(choice.Seed, std::uint64_t(12345));
    dialog.paperPageSize->setCurrentIndex(dialog.paperPageSize->findText(QStringLiteral("A4")));
    QCOMPARE(dialog.Choice().Options.Size, TPaperSize::A4);
    // No job without a seed.
    dialog.paperSeed->clear();
    QVERIFY(!dialog.paperOk->isEnabled());
    dialog.paperSeed->setText(QStringLiteral("7"));
    QVERIFY(dialog.paperOk->isEnabled());
  }

  void startWindowPrintsVersions() {
    testkit::TTempProgramFolder folder;
    folder.WriteSet("Quiz.qst", QuizSet());
    folder.ShowStartWindow();
    StartForm->FileListBox1->SetItemIndex(0);
    const QString chosen = home.path() + "/exports/Quiz paper versions";
    QString offered;
    int asked = 0;
    SetFileDialogHook([&](bool save, const QString&, const QString& suggested) {
      ++asked;
      offered = save ? suggested : QString();
      return chosen;
    });
    {  // Cancelled: nothing asked, nothing written.
      testkit::TModalScript modals;
      modals.Expect("paperVersionsDialog", testkit::TModalScript::Press("paperCancel"));
      StartForm->PaperVersions1->trigger();
      VERIFY_MODALS(modals);
      QCOMPARE(asked, 0);
    }
    testkit::TModalScript modals;
    modals.Expect("paperVersionsDialog", [](QDialog* d) {
      auto* dialog = static_cast<TPaperVersionsDialog*>(d);
      dialog->paperVersions->setValue(2);
      dialog->paperSeed->setText(QStringLiteral("4711"));
      dialog->paperPageSize->setCurrentIndex(0);
      return testkit::TModalScript::Click(d, "paperOk");
    });
    StartForm->PaperVersions1->trigger();
    VERIFY_MODALS(modals);
    QCOMPARE(asked, 1);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QCOMPARE(offered, documents + "/Quiz paper versions");
    QCOMPARE(LastExportNotice(), "Saved: " + QDir::toNativeSeparators(chosen));
    for (char v : {'A', 'B'})
      for (const char* kind : {"questions", "key", "sheets"})
        QVERIFY(FileExists((chosen + "/").toStdString() + PaperPdfName("Quiz", v, kind)));
    TQuestionSet stored;
    stored.LoadFromFile(folder.Path("Tests/Quiz.qst"));
    const TPaperJob expected = MakePaperJob(stored, "Quiz.qst", 2, 4711, {TPaperSize::A4, 6});
    const std::string json = folder.ReadFile("Tests/" + PaperJobFileName("Quiz.qst", expected.JobId));
    QVERIFY(!json.empty());
    TPaperJob job = PaperJobFromJson(json);
    QVERIFY(!job.Created.empty());
    job.Created.clear();
    QCOMPARE(job, expected);
  }

  void converterPaperMode() {
    QTemporaryDir dir;
    const QString set = dir.filePath("Bio.qst");
    QuizSet(30).SaveToFile(set.toStdString());
    const QString out = dir.filePath("out");
    const struct {
      const char* Name;
      QStringList Args;
      int Code;
    } wrong[] = {
        {"no OUTDIR", {"--paper", set}, 2},
        {"too many versions", {"--paper", set, "--versions", "27", out}, 2},
        {"no such page", {"--paper", set, "--page", "A5", out}, 2},
        {"unknown option", {"--paper", set, "--colour", "red", out}, 2},
        {"option without value", {"--paper", set, out, "--seed"}, 2},
        {"no such set", {"--paper", dir.filePath("none.qst"), out}, 1},
    };
    for (const auto& c : wrong) {
      const TConvertRun run = Convert(c.Args);
      QVERIFY2(run.Code == c.Code, c.Name);
      QVERIFY2(!QDir(out).exists(), c.Name);
    }
    const QStringList args{"--paper",     set, "--versions", "2",      "--seed", "5",
                           "--id-digits", "0", "--page",     "Letter", out};
    const TConvertRun run = Convert(args);
    QVERIFY2(run.Code == 0, qPrintable(run.Err));
    const TPaperJob expected = MakePaperJob(QuizSet(30), "Bio.qst", 2, 5, {TPaperSize::Letter, 0});
    const QString jobFile = dir.filePath(QString::fromStdString(PaperJobFileName("Bio.qst", expected.JobId)));
    QVERIFY2(run.Err.contains(jobFile), qPrintable(run.Err));
    std::string json;
    QVERIFY(ReadWholeFile(jobFile.toStdString(), json));
    TPaperJob job = PaperJobFromJson(json);
    job.Created.clear();
    QCOMPARE(job, expected);
    QCOMPARE(QDir(out).entryList(QDir::Files).size(), 6);
    QVERIFY(PdfText(out + "/Bio B sheets.pdf").contains("Version B"));
    // The same seed again is the same job: its file is replaced, not doubled.
    QCOMPARE(Convert(args).Code, 0);
    QCOMPARE(QDir(dir.path()).entryList({"*.paper.json"}).size(), 1);
  }
};

QTEST_MAIN(PaperPrintTest)
#include "PaperPrint_test.moc"
