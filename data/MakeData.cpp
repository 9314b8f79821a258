// Builds the binary files shipped in the program folder from readable
// sources: the options file, the template for new sets, the sample sets
// (data/sets/*.txt) and the pictures they use (drawn below).
//
//   proctorium_makedata <data source folder> <output folder>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <cstdio>

#include "base/core/Cp1252.h"
#include "base/core/OptionsFile.h"
#include "questions/core/QuestionSet.h"

using namespace proctorium;

namespace {

std::string Ansi(const QString& text) {
  // Sources use LF; stored texts use CR LF.
  QString t = text;
  t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  std::u32string missing;
  std::string bytes = Utf8ToCp1252(t.toStdString(), &missing);
  if (!missing.empty()) throw std::runtime_error("text holds characters Windows-1252 lacks: " + t.toStdString());
  return bytes;
}

// The initial settings: an administrator can change all of them from the
// Administrator Options dialog; the initial password is "admin".
TOptionsRecord InitialOptions() {
  TOptionsRecord o;
  o.ShowHints = true;
  o.DeletePermitted = false;
  o.EnableAnswers = true;
  o.AllowEdits = true;
  o.EnableClearResults = false;
  o.FontSize = 10;
  o.ScreenColour = 0x00F4FBFFu;  // RGB(255, 251, 244), a warm paper white
  o.AdminPassword = Scramble(UpperAscii("admin"));
  o.EnableRunningScore = true;
  o.TimeMode = TTimeMode::Elapsed;
  o.CountdownMinutes = 20;
  return o;
}

TQuestionSet BlankTemplate() {
  TQuestionSet set;
  TQuestion d;
  d.Text = Ansi(QStringLiteral(
      "New question set\n"
      "\n"
      "This set has no questions yet. To write it:\n"
      "1. Highlight it in the list and press Edit.\n"
      "2. Replace this text (record 0) with a description of the set; it is what test takers read here.\n"
      "3. Press Add for each question, type the question and its answers, mark the correct ones in the "
      "\"Correct\" column and press Save.\n"
      "4. Close the editor to write the set to disk.\n"
      "\n"
      "Mark answer A of record 0 to have the questions asked in random order."));
  set.Add(d);
  set.Current = 0;
  set.TimeStamp = 0.0;  // a new set takes the time of its first load
  set.OwnerCode = 0;    // anyone may edit it
  set.ProtectedSet = false;
  return set;
}

// Reads one set source file; see data/sets/Networking.txt for the format.
TQuestionSet ParseSource(const QString& path, QString& fileName) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) throw std::runtime_error("cannot read " + path.toStdString());
  QTextStream in(&f);
  TQuestionSet set;
  TQuestion description;
  TQuestion* q = &description;
  std::vector<TQuestion> questions;
  QString* block = nullptr;
  QString text, remarks, descriptionText;
  int answer = 0;
  auto finishQuestion = [&] {
    if (q != &description) {
      q->Text = Ansi(text.trimmed());
      q->Remarks = Ansi(remarks.trimmed());
    }
  };
  while (!in.atEnd()) {
    const QString line = in.readLine();
    if (line.startsWith('#')) continue;
    if (!line.startsWith('@')) {
      if (block) *block += line + '\n';
      continue;
    }
    const QString word = line.section(' ', 0, 0);
    const QString rest = line.section(' ', 1).trimmed();
    if (word == "@set") {
      fileName = rest;
    } else if (word == "@picture") {
      description.ExhibitFile = Ansi(rest);
    } else if (word == "@shuffle") {
      description.CorrectMask |= 1;
    } else if (word == "@description") {
      block = &descriptionText;
    } else if (word == "@question") {
      finishQuestion();
      questions.emplace_back();
      q = &questions.back();
      q->AnswerType = rest.contains("multiple") ? TAnswerType::Multiple : TAnswerType::Single;
      q->RandomizeAnswers = rest.contains("shuffle") ? 1 : 0;
      text.clear();
      remarks.clear();
      answer = 0;
      block = &text;
    } else if (word == "@answer" || word == "@correct") {
      if (answer >= AnswerCount) throw std::runtime_error("more than eight answers in " + path.toStdString());
      q->Answers[answer] = Ansi(rest);
      if (word == "@correct") q->CorrectMask |= static_cast<AnswerMask>(1u << answer);
      ++answer;
      block = nullptr;
    } else if (word == "@exhibit") {
      q->ExhibitFile = Ansi(rest);
    } else if (word == "@remarks") {
      block = &remarks;
    } else {
      throw std::runtime_error("unknown directive " + word.toStdString());
    }
  }
  finishQuestion();
  description.Text = Ansi(descriptionText.trimmed());
  set.Add(description);
  for (const auto& question : questions) set.Add(question);
  set.Current = 0;
  set.TimeStamp = 46362.5;  // fixed, so the files come out the same every build
  set.OwnerCode = 0;
  set.ProtectedSet = false;
  return set;
}

QFont Font(int pixels, bool bold = false) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(pixels);
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

void Save(const QImage& img, const QString& path) {
  if (!img.convertToFormat(QImage::Format_RGB888).save(path, "BMP"))
    throw std::runtime_error("cannot write " + path.toStdString());
}

QImage NetBanner() {
  QImage img(320, 50, QImage::Format_RGB32);
  img.fill(QColor(0x0E, 0x4D, 0x64));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // A small network of nodes on the left.
  const QPointF nodes[] = {{18, 25}, {40, 12}, {40, 38}, {62, 25}};
  p.setPen(QPen(QColor(0x9A, 0xD1, 0xD4), 2));
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j) p.drawLine(nodes[i], nodes[j]);
  p.setBrush(QColor(0xF2, 0xC1, 0x4E));
  p.setPen(Qt::NoPen);
  for (const auto& n : nodes) p.drawEllipse(n, 5, 5);
  p.setPen(Qt::white);
  p.setFont(Font(20, true));
  p.drawText(QRect(78, 2, 240, 28), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Networking"));
  p.setPen(QColor(0x9A, 0xD1, 0xD4));
  p.setFont(Font(12));
  p.drawText(QRect(80, 28, 240, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Fundamentals"));
  return img;
}

void Box(QPainter& p, const QRectF& r, const QColor& fill, const QString& label) {
  p.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.5));
  p.setBrush(fill);
  p.drawRoundedRect(r, 6, 6);
  p.setPen(Qt::black);
  p.drawText(r, Qt::AlignCenter, label);
}

// Wide: goes above the question text in a test.
QImage StarTopology() {
  QImage img(440, 180, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setFont(Font(12));
  const QRectF hub(180, 70, 80, 36);
  const QRectF hosts[] = {{20, 14, 80, 30},   {20, 136, 80, 30}, {180, 8, 80, 30},
                          {180, 144, 80, 30}, {340, 14, 80, 30}, {340, 136, 80, 30}};
  p.setPen(QPen(QColor(0x44, 0x66, 0x99), 2));
  for (const auto& h : hosts) p.drawLine(h.center(), hub.center());
  Box(p, hub, QColor(0xF2, 0xC1, 0x4E), QStringLiteral("Switch"));
  const char* names[] = {"PC 1", "PC 2", "Server", "Printer", "PC 3", "PC 4"};
  for (int i = 0; i < 6; ++i) Box(p, hosts[i], QColor(0xDD, 0xEE, 0xFF), QString::fromLatin1(names[i]));
  return img;
}

// Tall: stands at the right of the question text in a test.
QImage LayerStack() {
  QImage img(170, 300, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setFont(Font(12));
  const char* layers[] = {"7 Application", "6 Presentation", "5 Session", "4 Transport",
                          "3 Network",     "2 Data Link",    "1 Physical"};
  for (int i = 0; i < 7; ++i) {
    QColor fill = QColor::fromHsv(200 - i * 22, 60, 250);
    Box(p, QRectF(10, 10 + i * 40, 150, 34), fill, QString::fromLatin1(layers[i]));
  }
  return img;
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <data source folder> <output folder>\n", argv[0]);
    return 2;
  }
  try {
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    out.mkpath(QStringLiteral("Tests"));
    const std::string outPath = out.absolutePath().toStdString() + "/";
    WriteOptionsFile(outPath + "Proctorium.opt", InitialOptions());
    BlankTemplate().SaveToFile(outPath + "Tests/Blank.dat");
    const QStringList sources = QDir(source + "/sets").entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    for (const QString& name : sources) {
      QString fileName;
      TQuestionSet set = ParseSource(source + "/sets/" + name, fileName);
      if (fileName.isEmpty()) throw std::runtime_error("no @set line in " + name.toStdString());
      set.SaveToFile(outPath + "Tests/" + fileName.toStdString());
    }
    Save(NetBanner(), out.filePath(QStringLiteral("Tests/NetBanner.bmp")));
    Save(StarTopology(), out.filePath(QStringLiteral("Tests/StarTopology.bmp")));
    Save(LayerStack(), out.filePath(QStringLiteral("Tests/LayerStack.bmp")));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "proctorium_makedata: %s\n", e.what());
    return 1;
  }
  return 0;
}
