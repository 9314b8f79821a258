#include "questions/Converter.h"
#include "base/PdfBytes.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <filesystem>
#include <map>

#include "base/core/Cp1252.h"
#include "base/core/FileIO.h"
#include "base/core/PathResolver.h"
#include "paper/PaperConvert.h"
#include "paper/ScoreBatch.h"
#include "questions/PaperPrinter.h"
#include "questions/QuietMessages.h"
#include "questions/core/CsvColumnMemory.h"
#include "questions/core/QuestionExchange.h"

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

namespace {

std::string Stem(const std::string& path) {
  std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

void RemoveFile(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(ToFsPath(path), ignored);
}

void PrintNotes(std::ostream& err, const char* what, const std::vector<TImportNote>& notes, const char* unit) {
  for (const TImportNote& n : notes) err << what << ": " << unit << " " << n.Line << ": " << n.Reason << "\n";
}

}  // namespace

int RunConverter(const QStringList& args, std::ostream& err) {
  if (args.value(0) == QLatin1String("--paper")) return RunPaperConvert(args.mid(1), err);
  // Scanned answer sheets into a table; the logs are left alone.
  if (args.value(0) == QLatin1String("--score")) return RunScoreBatch(args.mid(1), err);
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
      "  OUT: .qst .txt .gift .xml .csv .pdf (--key: the answer key)\n"
      "       proctorium-convert --paper SET [--versions N] [--seed S] [--id-digits D] [--page A4|Letter] OUTDIR\n"
      "       proctorium-convert --score JOB SCANS... OUT.csv\n"
      "  scores scanned answer sheets into a table; the logs are not touched\n";
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
  // Before anything is written: what a killed conversion left there.
  RemoveStaleTemporaryFiles(outFolder, StaleTemporaryFileAgeSeconds);
  std::vector<TStagedPicture> pictures;
  try {
    TQuestionSet set;
    std::map<std::string, std::string> embedded;  // by stored name
    if (from == TExchangeFormat::QuestionSet) {
      set.LoadFromFile(in);
    } else {
      const std::string bytes = ReadImportFile(in);
      // A table from another tool comes in with the columns a teacher chose
      // for its header in the editor, if any.
      std::optional<TCsvColumns> columns;
      if (from == TExchangeFormat::Csv) {
        const std::vector<std::string> header = ForeignCsvHeader(bytes, in);
        if (!header.empty()) {
          TCsvColumnMemory memory;
          memory.Load(QCoreApplication::applicationDirPath().toStdString() + "/" + CsvColumnsFileName);
          columns = memory.Find(header);
        }
      }
      TImportResult r = columns ? ReadCsv(bytes, in, *columns) : ImportQuestions(from, bytes, in);
      RefuseOutsideExhibits(r);
      ConvertImages(r, ToBitmap);
      LimitToRoom(r, MaxQuestions);
      PrintNotes(err, "skipped", r.Skipped, "line");
      PrintNotes(err, "changed", r.Changed, "line");
      if (to == TExchangeFormat::QuestionSet) {
        pictures = StageImages(r, outFolder);
      } else {
        for (const TEmbeddedImage& im : r.Images) {
          const std::string name = ExhibitNameFor(im.Name);
          r.Questions[static_cast<size_t>(im.Question)].ExhibitFile = name;
          embedded[name] = im.Bytes;
        }
      }
      set = SetOfQuestions(r, ImportedDescription(r, in));
    }
    auto readExhibit = [&](const std::string& stored, std::string& bytes) {
      const auto it = embedded.find(stored);
      if (it != embedded.end()) {
        bytes = it->second;
        return true;
      }
      // A set names its pictures too: none from outside its folder.
      if (!IsNameInsideFolder(Cp1252ToUtf8(stored))) return false;
      return ReadRegularFile(ResolvePath(inFolder, Cp1252ToUtf8(stored)), MaxImportFileBytes, bytes) == TReadResult::Ok;
    };
    std::string image;
    switch (to) {
      case TExchangeFormat::QuestionSet: {
        if (set.LastIndex < 0) break;  // no questions, no set
        // The pictures appear only with the set that names them.
        const std::string bytes = set.Serialize();
        CheckSetSize(in, bytes);
        const std::string temporary = WriteTemporaryBeside(out, bytes);
        try {
          PlacePictures(pictures);
          RenameTemporary(temporary, out);
        } catch (...) {
          RemoveFile(temporary);
          throw;
        }
        break;
      }
      case TExchangeFormat::Pdf: {
        image = SheetPdf(set, key, Stem(in), [&](const std::string& stored) {
          std::string bytes;
          return readExhibit(stored, bytes) ? ImageOfBytes(bytes) : QImage();
        });
        if (image.empty()) throw EFileError("Cannot create file " + out);
        WriteFileAtomic(out, image);  // the folder is tidied above
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
    RemovePictures(pictures);
    err << e.what() << "\n";
    return 1;
  }
}

}  // namespace proctorium
