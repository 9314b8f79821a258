#include "questions/Converter.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <filesystem>
#include <map>

#include "base/core/Cp1252.h"
#include "base/core/FileIO.h"
#include "base/core/PathResolver.h"
#include "questions/PaperPrinter.h"
#include "questions/core/QuestionExchange.h"

namespace proctorium {

bool ToBitmap(const std::string& bytes, std::string& bitmap) {
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
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    pdf.setResolution(300);
    pdf.setTitle(QString::fromStdString(title));
    pdf.setCreator(QStringLiteral("Proctorium"));
    if (!PrintSheet(&pdf, set, answerKey ? TSheetKind::AnswerKey : TSheetKind::QuestionPaper, title, exhibit, describe))
      return {};
  }
  return std::string(out.constData(), static_cast<size_t>(out.size()));
}

namespace {

std::string Stem(const std::string& path) {
  std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

void PrintNotes(std::ostream& err, const char* what, const std::vector<TImportNote>& notes, const char* unit) {
  for (const TImportNote& n : notes) err << what << ": " << unit << " " << n.Line << ": " << n.Reason << "\n";
}

}  // namespace

int RunConverter(const QStringList& args, std::ostream& err) {
  QStringList files;
  bool key = false;
  for (const QString& a : args) {
    if (a == QLatin1String("--key"))
      key = true;
    else
      files << a;
  }
  const char* usage =
      "usage: proctorium-convert IN OUT [--key]\n"
      "  IN:  .qst .txt (Aiken) .gift .xml .csv\n"
      "  OUT: .qst .txt .gift .xml .csv .pdf (--key: the answer key)\n";
  if (files.size() != 2) {
    err << usage;
    return 2;
  }
  const std::string in = files[0].toStdString(), out = files[1].toStdString();
  const TExchangeFormat from = FormatOfFile(in), to = FormatOfFile(out);
  if (from == TExchangeFormat::Unknown || from == TExchangeFormat::Pdf || to == TExchangeFormat::Unknown ||
      (key && to != TExchangeFormat::Pdf)) {
    err << usage;
    return 2;
  }
  const std::string inFolder = ExtractFilePath(std::filesystem::absolute(ToFsPath(in)).string());
  const std::string outFolder = ExtractFilePath(std::filesystem::absolute(ToFsPath(out)).string());
  try {
    TQuestionSet set;
    std::map<std::string, std::string> pictures;  // embedded ones, by stored name
    if (from == TExchangeFormat::QuestionSet) {
      set.LoadFromFile(in);
    } else {
      std::string bytes;
      if (!ReadWholeFile(in, bytes)) throw EFileError("Cannot open file " + in);
      TImportResult r = ImportQuestions(from, bytes, in);
      ConvertImages(r, ToBitmap);
      LimitToRoom(r, MaxQuestions);
      PrintNotes(err, "skipped", r.Skipped, "line");
      PrintNotes(err, "changed", r.Changed, "line");
      if (to == TExchangeFormat::QuestionSet) {
        WriteImages(r, outFolder);
      } else {
        for (const TEmbeddedImage& im : r.Images) {
          const std::string name = ExhibitNameFor(im.Name);
          r.Questions[static_cast<size_t>(im.Question)].ExhibitFile = name;
          pictures[name] = im.Bytes;
        }
      }
      set = SetOfQuestions(r, Utf8ToCp1252(Stem(in)));
    }
    auto readExhibit = [&](const std::string& stored, std::string& bytes) {
      const auto it = pictures.find(stored);
      if (it != pictures.end()) {
        bytes = it->second;
        return true;
      }
      return ReadWholeFile(ResolvePath(inFolder, Cp1252ToUtf8(stored)), bytes);
    };
    std::string image;
    switch (to) {
      case TExchangeFormat::QuestionSet:
        set.SaveToFile(out);
        break;
      case TExchangeFormat::Pdf: {
        image = SheetPdf(set, key, Stem(in), [&](const std::string& stored) {
          std::string bytes;
          return readExhibit(stored, bytes) ? ImageOfBytes(bytes) : QImage();
        });
        if (image.empty()) throw EFileError("Cannot create file " + out);
        WriteFileAtomic(out, image);
        break;
      }
      default: {
        const TExportResult r = ExportQuestions(to, set, readExhibit);
        PrintNotes(err, "note", r.Notes, "question");
        WriteFileAtomic(out, r.Bytes);
      }
    }
    return 0;
  } catch (const std::exception& e) {
    err << e.what() << "\n";
    return 1;
  }
}

}  // namespace proctorium
