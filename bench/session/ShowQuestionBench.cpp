// How long laying out one question takes in the test window, against the
// cost of the cheapest possible display of the same text: one word-wrapped
// label. Prints the median time per call of each and their ratio.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/StartForm.h"
#include "app/Startup.h"
#include "base/ModalSeam.h"
#include "base/core/OptionsFile.h"
#include "questions/core/QuestionSet.h"
#include "session/Form1.h"

using namespace proctorium;

namespace {

constexpr int Rounds = 300;

std::string Long(const std::string& seed) {
  std::string s;
  for (int i = 0; i < 6; ++i) s += seed + " is described here in words long enough to wrap across lines. ";
  return s;
}

double MedianMicros(std::vector<qint64>& ns) {
  std::sort(ns.begin(), ns.end());
  return ns[ns.size() / 2] / 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/";
  QDir(dir.path()).mkpath("Tests");
  WriteOptionsFile(folder + "Proctorium.opt", TOptionsRecord());

  TQuestionSet set;
  TQuestion description;
  description.Text = "Benchmark";
  set.Add(description);
  TQuestion q;
  q.Text = Long("The question");
  q.AnswerType = TAnswerType::Multiple;
  for (int a = 0; a < AnswerCount; ++a) q.Answers[a] = Long("Answer " + std::string(1, char('A' + a)));
  q.CorrectMask = 0x55;
  q.Remarks = Long("The reference");
  q.ExhibitFile = "pic.bmp";
  set.Add(q);
  set.SaveToFile(folder + "Tests/Bench.qst");
  QImage picture(200, 150, QImage::Format_RGB32);
  picture.fill(Qt::gray);
  picture.save(QString::fromStdString(folder + "Tests/pic.bmp"), "BMP");

  CreateForms(folder);
  StartForm->show();

  std::vector<qint64> window;
  SetModalHook([&](QDialog* d) {
    auto* f = static_cast<TForm1*>(d);
    f->btnViewClick();  // notes and red answers too
    QElapsedTimer t;
    for (int i = 0; i < Rounds; ++i) {
      // Untimed: labels skip all work when given the text they already
      // hold, so both measures start from cleared labels.
      f->lbQuestion->clear();
      f->lbReference->clear();
      for (QLabel* l : f->cbl) l->clear();
      t.start();
      f->ShowCurrentQuestion();
      window.push_back(t.nsecsElapsed());
    }
    return 0;
  });
  ExecModal(Form1);
  SetModalHook({});

  // The same text in one label of a window of the same width.
  QWidget plain;
  plain.resize(Form1->size());
  auto* label = new QLabel(&plain);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  plain.show();
  QString all = QString::fromStdString(q.Text);
  for (const auto& a : q.Answers) all += "\n" + QString::fromStdString(a);
  all += "\n" + QString::fromStdString(q.Remarks);
  std::vector<qint64> single;
  QElapsedTimer t;
  for (int i = 0; i < Rounds; ++i) {
    label->clear();
    t.start();
    label->setText(all);
    const int width = plain.width() - 32;
    label->setGeometry(8, 8, width, label->heightForWidth(width));
    single.push_back(t.nsecsElapsed());
  }

  const double w = MedianMicros(window);
  const double s = MedianMicros(single);
  std::printf("ShowCurrentQuestion (8 long answers, notes, exhibit): median %.1f us per call over %d calls\n", w,
              Rounds);
  std::printf("one label holding the same text:                    median %.1f us per call over %d calls\n", s, Rounds);
  std::printf("ratio: %.1f\n", s > 0 ? w / s : 0.0);
  DestroyForms();
  return 0;
}
