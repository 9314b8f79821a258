// Printing and converting at the scale of a full set, as ratios against
// the plainest way to do the same: the question paper of 250 questions
// with 50 exhibits (10 distinct pictures) against a bare QPdfWriter
// program drawing the same pages, a 250-question text conversion as a
// whole process against `cat` of the same file and `/bin/true`, and a
// 10,000-question file cut to what a set holds. Prints figures only.
//   bench_print [runs]
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "base/core/FileIO.h"
#include "questions/Converter.h"
#include "questions/core/QuestionSet.h"

extern char** environ;

using namespace proctorium;

namespace {

constexpr int Pictures = 10, Exhibits = 50;

// A picture of the kind teachers use: a diagram with flat colours and
// some detail, different for each n.
QImage Picture(int n) {
  QImage image(480, 360, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  for (int k = 0; k < 40; ++k) {
    p.setPen(QPen(QColor::fromHsv((n * 37 + k * 11) % 360, 200, 200), 1 + k % 4));
    p.setBrush(k % 3 ? Qt::NoBrush : QBrush(QColor::fromHsv((n * 53 + k * 7) % 360, 90, 240)));
    p.drawEllipse(QPoint((k * 97 + n * 31) % 480, (k * 61 + n * 17) % 360), 10 + (k * 13) % 70, 8 + (k * 29) % 50);
  }
  return image;
}

std::string BmpBytes(const QImage& image) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return std::string(out.constData(), static_cast<size_t>(out.size()));
}

TQuestionSet FullSet() {
  TQuestionSet set;
  TQuestion d;
  d.Text = "Description";
  set.Add(d);
  for (int i = 1; i <= MaxQuestions; ++i) {
    TQuestion q;
    q.Text = "Question " + std::to_string(i) + " asks something of moderate length, with a second line\r\nhere.";
    for (int a = 0; a < 4; ++a) q.Answers[static_cast<size_t>(a)] = "Answer " + std::to_string(a) + " text";
    q.CorrectMask = 1;
    if (i % (MaxQuestions / Exhibits) == 0) q.ExhibitFile = "picture" + std::to_string(i % Pictures) + ".bmp";
    set.Add(q);
  }
  return set;
}

// The same pages drawn the plain way: one QPdfWriter, one QImage per
// picture file, text, boxes and page footers straight onto the page.
// pages: the page count the footers name; it is set to the count made.
std::string PlainPdf(const TQuestionSet& set, const std::map<std::string, QImage>& pictures, int& pages) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    pdf.setResolution(300);
    pdf.setTitle(QStringLiteral("Bench"));
    QPainter p(&pdf);
    const QRect page = p.viewport();
    const int dpi = 300, indent = dpi / 2, gap = dpi / 12;
    QFont body(QStringLiteral("DejaVu Sans"), 11);
    QFont bold = body;
    bold.setBold(true);
    QFont heading = bold;
    heading.setPointSize(16);
    QFont small = body;
    small.setPointSize(8);
    const QFontMetrics fm(body, &pdf);
    int y = 0, pageNo = 1;
    const int total = pages;
    auto footer = [&] {
      p.setFont(small);
      p.drawText(QRect(0, page.height() - dpi / 3, page.width(), dpi / 3), Qt::AlignRight | Qt::AlignBottom,
                 QStringLiteral("Bench - page %1 of %2").arg(pageNo).arg(total));
      p.setFont(body);
    };
    auto room = [&](int h) {
      if (y + h > page.height() - dpi / 3) {
        footer();
        pdf.newPage();
        ++pageNo;
        y = 0;
      }
    };
    p.setFont(heading);
    p.drawText(QRect(0, 0, page.width(), dpi / 2), QStringLiteral("Question paper: Bench"));
    y += dpi / 2;
    p.setFont(body);
    p.drawText(QPoint(0, y + fm.ascent()),
               QStringLiteral("Name: ______________________________    Date: ______________"));
    y += fm.height() + gap;
    for (int i = 1; i <= set.LastIndex; ++i) {
      const TQuestion& q = set.Questions[static_cast<size_t>(i)];
      const QString text = QString::fromStdString(q.Text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) +
                           QStringLiteral("\n(Tick one answer.)");
      const QRect r = fm.boundingRect(QRect(indent, 0, page.width() - indent, 100000), Qt::TextWordWrap, text);
      room(r.height() + gap);
      p.setFont(bold);
      p.drawText(QPoint(0, y + fm.ascent()), QString::number(i) + QLatin1Char('.'));
      p.setFont(body);
      p.drawText(QRect(indent, y, page.width() - indent, r.height()), Qt::TextWordWrap, text);
      y += r.height() + gap;
      if (!q.ExhibitFile.empty()) {
        const QImage& image = pictures.at(q.ExhibitFile);
        const QSize size = image.size() * dpi / 96;
        room(size.height() + gap);
        p.drawImage(QRect(QPoint(2 * indent, y), size), image);
        y += size.height() + gap;
      }
      for (int a = 0; a < 4; ++a) {
        room(fm.height());
        const int s = fm.ascent();
        p.setPen(QPen(Qt::black, 3));
        p.drawRect(QRect(indent, y + (fm.height() - s) / 2, s, s));
        p.drawText(QPoint(indent + s + s / 2, y + fm.ascent()), QString(QChar('A' + a)));
        p.drawText(QRect(2 * indent, y, page.width() - 2 * indent, fm.height()),
                   QString::fromStdString(q.Answers[static_cast<size_t>(a)]));
        y += fm.height();
      }
    }
    footer();
    pages = pageNo;
  }
  return std::string(out.constData(), static_cast<size_t>(out.size()));
}

// Milliseconds per run of args as a whole process, its output dropped.
double MillisPerRun(const std::vector<std::string>& args, int runs) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  for (int r = 0; r < runs; ++r) {
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
      std::fprintf(stderr, "cannot start %s\n", argv[0]);
      std::exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "%s failed\n", argv[0]);
  }
  posix_spawn_file_actions_destroy(&actions);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / runs;
}

std::string Gift(int questions) {
  std::string s;
  for (int i = 1; i <= questions; ++i)
    s += "Question " + std::to_string(i) +
         " asks something of moderate length? {=right answer ~wrong one ~another wrong one ~a third}\n\n";
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 20;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);

  std::map<std::string, std::string> files;
  std::map<std::string, QImage> decoded;
  for (int n = 0; n < Pictures; ++n) {
    const std::string name = "picture" + std::to_string(n) + ".bmp";
    files[name] = BmpBytes(Picture(n));
    decoded[name] = ImageOfBytes(files[name]);
  }
  const TQuestionSet set = FullSet();
  // Each use reads the picture file afresh, as printing from the start
  // window and the converter do.
  const std::string ours =
      SheetPdf(set, false, "Bench", [&](const std::string& name) { return ImageOfBytes(files.at(name)); });
  int pages = 0;
  PlainPdf(set, decoded, pages);
  const std::string plain = PlainPdf(set, decoded, pages);
  std::printf("question paper, %d questions, %d exhibits of %d pictures\n", MaxQuestions, Exhibits, Pictures);
  std::printf("  program      %10zu bytes\n", ours.size());
  std::printf("  plain writer %10zu bytes\n", plain.size());
  std::printf("  ratio        %10.2f  (target <= 1.10)\n", double(ours.size()) / double(plain.size()));
  // The same pages without their pictures: what text, fonts and layout
  // weigh apart from the pictures.
  TQuestionSet bare = set;
  for (TQuestion& q : bare.Questions) q.ExhibitFile.clear();
  const std::string oursBare = SheetPdf(bare, false, "Bench", nullptr);
  PlainPdf(bare, decoded, pages);
  const std::string plainBare = PlainPdf(bare, decoded, pages);
  std::printf("  without the pictures: program %zu bytes, plain writer %zu bytes\n\n", oursBare.size(),
              plainBare.size());

  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/";
  const std::string in = folder + "set.gift", huge = folder + "huge.gift";
  WriteFileAtomic(in, Gift(MaxQuestions));
  WriteFileAtomic(huge, Gift(10000));
  const std::string convert = PROCTORIUM_CONVERT;
  // A warm-up run of each, so the first measured one does not pay for a
  // cold disk cache.
  MillisPerRun({convert, in, folder + "warm.qst"}, 1);
  MillisPerRun({"/bin/cat", in}, 1);
  const double trueMs = MillisPerRun({"/bin/true"}, runs);
  const double catMs = MillisPerRun({"/bin/cat", in}, runs);
  const double textMs = MillisPerRun({convert, in, folder + "out.qst"}, runs);
  const double toTextMs = MillisPerRun({convert, folder + "out.qst", folder + "out.txt"}, runs);
  const double hugeMs = MillisPerRun({convert, huge, folder + "huge.qst"}, runs);
  const double pdfMs = MillisPerRun({convert, folder + "out.qst", folder + "out.pdf"}, std::max(1, runs / 4));
  std::printf("whole process, ms per run (%d runs)\n", runs);
  std::printf("  /bin/true                      %8.2f\n", trueMs);
  std::printf("  cat of the GIFT file           %8.2f\n", catMs);
  std::printf("  GIFT -> set, 250 questions     %8.2f  %5.1fx cat (target <= 3.0)  %5.1fx true\n", textMs,
              textMs / catMs, textMs / trueMs);
  std::printf("  set -> Aiken text              %8.2f  %5.1fx cat  %5.1fx true\n", toTextMs, toTextMs / catMs,
              toTextMs / trueMs);
  std::printf("  GIFT of 10,000 -> set of 250   %8.2f  %5.1fx cat\n", hugeMs, hugeMs / catMs);
  std::printf("  set -> question paper PDF      %8.2f  %5.1fx cat  (starts the GUI application)\n", pdfMs,
              pdfMs / catMs);
  return 0;
}
