// Pictures of the grading windows as a teacher sees them, for looking at by
// eye: the candidate dialog, the exam settings, the Class page, a test's
// answers and the CSV columns step, at a chosen font size, in the light or
// a dark palette. Writes one PNG per window into the folder given.
//
//   class_screens <folder> <font size> [dark]

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPalette>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/TestSettingsDlg.h"
#include "base/ModalSeam.h"
#include "candidates/CandidateDlg.h"
#include "candidates/core/Gradebook.h"
#include "editor/CsvColumnsDialog.h"
#include "paper/PaperVersionsDialog.h"
#include "paper/ScanReader.h"
#include "paper/ScanReviewForm.h"
#include "session/AnswersDlg.h"
#include "session/ResultsForm.h"
#include "session/core/CandidateReport.h"
#include "session/core/DetailLog.h"
#include "testkit/ScanGenerator.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;

namespace {

QPalette Dark() {
  QPalette p;
  p.setColor(QPalette::Window, QColor(45, 45, 48));
  p.setColor(QPalette::WindowText, QColor(230, 230, 230));
  p.setColor(QPalette::Base, QColor(30, 30, 30));
  p.setColor(QPalette::AlternateBase, QColor(55, 55, 58));
  p.setColor(QPalette::Text, QColor(230, 230, 230));
  p.setColor(QPalette::Button, QColor(60, 60, 64));
  p.setColor(QPalette::ButtonText, QColor(230, 230, 230));
  p.setColor(QPalette::Highlight, QColor(38, 79, 120));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
  p.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
  p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
  return p;
}

TQuestionSet Quiz() {
  TQuestionSet set = testkit::MakeSet(4, "Networking Fundamentals");
  return set;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: class_screens <folder> <font size> [dark]\n");
    return 2;
  }
  QApplication app(argc, argv);
  const QString out = QString::fromLocal8Bit(argv[1]);
  const int fontSize = std::atoi(argv[2]);
  const bool dark = argc > 3 && std::string(argv[3]) == "dark";
  QDir().mkpath(out);
  if (dark) {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(Dark());
  }
  TOptionsRecord o;
  o.FontSize = static_cast<std::uint8_t>(fontSize);
  o.EnableClearResults = o.EnableAnswers = true;
  testkit::TTempProgramFolder folder(o);
  const TQuestionSet set = Quiz();
  folder.WriteSet("Networking Fundamentals.qst", set);
  std::string gradebook, detailLog;
  const char* names[] = {"Ann Lee", "Maximilian Alexander Oppenheimer-Lindqvist", "=Bob", "Zo\xc3\xab \xe6\x9d\x8e",
                         "\xd7\xa9\xd7\xa8\xd7\x94 \xd7\x9c\xd7\x95\xd7\x99"};
  for (int i = 0; i < 12; ++i) {
    TDetailTest test{"2026-12-07 09:" + std::to_string(10 + i) + ":00",
                     "id" + std::to_string(i),
                     "Networking Fundamentals.qst",
                     SetFingerprint(set),
                     set.LastIndex,
                     {}};
    for (int q = 1; q <= set.LastIndex; ++q)
      test.Outcomes.push_back(
          {static_cast<std::int16_t>(q), 0b11, static_cast<AnswerMask>(1 << ((i + q) % 2)), 1, (i + q) % 2 == 0});
    detailLog += DetailLogRecords(test, i == 0);
    TGradebookEntry e;
    e.DateTime = test.DateTime;
    e.CandidateName = names[i % 5];
    e.CandidateId = "S" + std::to_string(100 + i % 5);
    e.SetFile = test.SetFile;
    e.Fingerprint = test.Fingerprint;
    e.QuestionsSeen = e.QuestionsInSet = set.LastIndex;
    e.Correct = (i * 3) % (set.LastIndex + 1);
    e.Percent = e.Correct * 100 / set.LastIndex;
    e.SecondsTaken = 300 + i * 97;
    e.Timer = i % 2 ? TimerCountdown : TimerElapsed;
    e.Ended = i % 3 ? EndedEarly : EndedTimeUp;
    e.Result = e.Percent >= 50 ? ResultPassed : ResultNotPassed;
    e.TestId = test.TestId;
    e.FocusLost = i % 4;
    gradebook += GradebookRecord(e, i == 0);
  }
  folder.WriteFile("Tests/gradebook.csv", gradebook);
  folder.WriteFile("Tests/results-detail.csv", detailLog);
  folder.WriteFile("Tests/results.txt", "7 Dec 2026  Networking Fundamentals.qst     Time taken: 00:01:00\r\n");
  folder.CreateForms();
  StartForm->LoadOptions();

  const QString suffix = QStringLiteral("-%1%2.png").arg(fontSize).arg(dark ? QStringLiteral("-dark") : QString());
  const auto shoot = [&](QDialog* d, const QString& name) {
    SetModalHook([&](QDialog* shown) {
      QApplication::processEvents();
      shown->grab().save(QDir(out).filePath(name + suffix));
      shown->hide();
      return 0;
    });
    ExecModal(d);
    SetModalHook({});
  };
  TCandidateDlg who(StartForm);
  who.Prepare(true, {}, false);
  shoot(&who, QStringLiteral("CandidateDlg"));
  TTestSettingsDlg settings(StartForm);
  settings.Load(TTestSettings(), QStringLiteral("Networking Fundamentals.qst"));
  shoot(&settings, QStringLiteral("TestSettingsDlg"));
  ResultsForm->tabsResults->setCurrentIndex(1);
  ResultsForm->tblClass->selectRow(1);
  shoot(ResultsForm, QStringLiteral("ResultsForm-Class"));
  TDetailTest detail;
  FindDetailTest(detailLog, "id1", detail);
  TAnswersDlg answers(StartForm, ResultsForm->ClassModel->EntryAt(1), &detail);
  shoot(&answers, QStringLiteral("AnswersDlg"));
  TCsvColumns guess;
  guess.Question = 0;
  guess.Answers = {1, 2, 3};
  guess.Key = 4;
  TCsvColumnsDialog columns(
      StartForm, {"Question text", "First answer", "Second answer", "Third answer", "Correct answer (letters)"}, guess);
  shoot(&columns, QStringLiteral("CsvColumnsDialog"));

  TPaperVersionsDialog versions(QStringLiteral("Networking Fundamentals"), StartForm);
  shoot(&versions, QStringLiteral("PaperVersionsDialog"));
  // A real scan, read by the real reader, with a light pencil page beside it.
  const TPaperJob job = testkit::SampleJob(0x5eed, TPaperSize::A4, 12);
  testkit::TScanGenerator generator(7);
  testkit::TFillOptions fill;
  fill.MixStyles = true;
  fill.Erasures = 0.3;
  testkit::TScanDistortion skewed;
  skewed.Dpi = 150;
  skewed.SkewDegrees = 4;
  const std::string scan = QDir(out).filePath(QStringLiteral("scan.png")).toStdString();
  testkit::WriteScanImage(scan, generator.Make(job, 'A', 1, fill, skewed).Image);
  std::vector<TPageReading> pages = ReadScanFile(scan, {job});
  const std::string blank = QDir(out).filePath(QStringLiteral("blank.png")).toStdString();
  testkit::WriteScanImage(blank, cv::Mat(1200, 900, CV_8UC1, cv::Scalar(250)));
  for (TPageReading& r : ReadScanFile(blank, {job})) pages.push_back(r);
  TScanReviewForm review(job, pages, StartForm);
  shoot(&review, QStringLiteral("ScanReviewForm"));
  review.scanPages->setCurrentRow(0);
  shoot(&review, QStringLiteral("ScanReviewForm-read"));
  QFile::remove(QString::fromStdString(scan));
  QFile::remove(QString::fromStdString(blank));
  return 0;
}
