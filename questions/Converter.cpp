#include "questions/Converter.h"
#include "base/PdfBytes.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <vector>

#include "paper/PaperConvert.h"
#include "paper/ScoreBatch.h"
#include "questions/PaperPrinter.h"
#include "questions/QuietMessages.h"

namespace proctorium {

bool ToBitmap(const std::string& bytes, std::string& bitmap) {
  // A picture either becomes a bitmap or is listed; the decoders' own
  // warnings would only land between the lines of the listing.
  const TQuietMessages quiet;
  QImage image = ImageOfBytes(bytes);
  if (image.isNull()) return false;
  // Transparency has no place in a bitmap exhibit: on white, as printed.
  if (image.hasAlphaChannel()) {
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, image);
    image = flat;
  }
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "BMP")) return false;
  bitmap.assign(out.constData(), static_cast<size_t>(out.size()));
  return true;
}

QImage ImageOfBytes(const std::string& bytes) {
  QImage image;
  image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
  return image;
}

std::string SheetPdf(const TQuestionSet& set, bool answerKey, const std::string& title,
                     const std::function<QImage(const std::string&)>& exhibit,
                     const std::function<std::string(const std::string&)>& describe) {
  return PdfBytes(title, [&](QPagedPaintDevice* pdf) {
    return PrintSheet(pdf, set, answerKey ? TSheetKind::AnswerKey : TSheetKind::QuestionPaper, title, exhibit,
                      describe);
  });
}

TConverterMode ConverterModeOf(const QStringList& args) {
  // A PDF is painted, and pictures carried in an XML file are decoded into
  // bitmaps; everything else is text in, text out.
  std::vector<std::string> plain;
  for (const QString& a : args) plain.push_back(a.toStdString());
  const bool gui = std::any_of(plain.begin(), plain.end(),
                               [](const std::string& a) { return FormatOfFile(a) == TExchangeFormat::Pdf; }) ||
                   (!plain.empty() && FormatOfFile(plain[0]) == TExchangeFormat::MoodleXml);
  if (args.value(0) == QLatin1String("--paper"))
    return {true, [](const QStringList& a, std::ostream& err) { return RunPaperConvert(a.mid(1), err); }};
  // Scanned answer sheets into a table; the logs are left alone.
  if (args.value(0) == QLatin1String("--score"))
    return {true, [](const QStringList& a, std::ostream& err) { return RunScoreBatch(a.mid(1), err); }};
  return {gui, RunConverter};
}

int RunConverter(const QStringList& args, std::ostream& err) {
  std::vector<std::string> plain;
  for (const QString& a : args) plain.push_back(a.toStdString());
  TConversionTools tools;
  tools.ToBitmap = ToBitmap;
  tools.SheetPdf = [](const TQuestionSet& set, bool answerKey, const std::string& title,
                      const TExhibitReader& readExhibit) {
    return SheetPdf(set, answerKey, title, [&](const std::string& stored) {
      std::string bytes;
      return readExhibit(stored, bytes) ? ImageOfBytes(bytes) : QImage();
    });
  };
  return RunConversion(plain, QCoreApplication::applicationDirPath().toStdString(), tools, err);
}

}  // namespace proctorium
