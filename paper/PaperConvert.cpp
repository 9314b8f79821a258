#include "paper/PaperConvert.h"

#include <QDateTime>
#include <filesystem>

#include "base/core/Cp1252.h"
#include "base/core/FileIO.h"
#include "base/core/PathResolver.h"
#include "paper/PaperPrint.h"
#include "paper/PaperVersionsDialog.h"
#include "questions/Converter.h"
#include "questions/core/ImportResult.h"
#include "questions/core/QuestionExchange.h"

namespace proctorium {

namespace {

constexpr const char* kUsage =
    "usage: proctorium-convert --paper SET [--versions N] [--seed S] [--id-digits D] [--page A4|Letter] OUTDIR\n"
    "  N: 1 to 26 versions (2), S: the seed (a new one), D: 0 to 10 ID digits (6)\n";

std::string Stem(const std::string& path) {
  std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

int RunPaperConvert(const QStringList& args, std::ostream& err) {
  QStringList files;
  int versions = 2, digits = 6;
  std::uint64_t seed = 0;
  bool seedGiven = false;
  TPaperSize size = TPaperSize::A4;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool option = a.startsWith(QLatin1String("--"));
    if (option && i + 1 >= args.size()) {
      err << kUsage;
      return 2;
    }
    bool ok = true;
    if (a == QLatin1String("--versions")) {
      versions = args[++i].toInt(&ok);
      ok = ok && versions >= 1 && versions <= MaxPaperVersions;
    } else if (a == QLatin1String("--seed")) {
      seed = args[++i].toULongLong(&ok);
      seedGiven = true;
    } else if (a == QLatin1String("--id-digits")) {
      digits = args[++i].toInt(&ok);
      ok = ok && digits >= 0 && digits <= 10;
    } else if (a == QLatin1String("--page")) {
      const QString page = args[++i];
      ok = page.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0 ||
           page.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0;
      size = page.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0 ? TPaperSize::Letter : TPaperSize::A4;
    } else if (option) {
      ok = false;
    } else {
      files << a;
    }
    if (!ok) {
      err << "wrong value for " << a.toStdString() << "\n" << kUsage;
      return 2;
    }
  }
  if (files.size() != 2) {
    err << kUsage;
    return 2;
  }
  if (!seedGiven) seed = NewPaperSeed();
  const std::string setFile = files[0].toStdString(), outFolder = files[1].toStdString();
  try {
    TQuestionSet set;
    set.LoadFromFile(setFile);
    TPaperJob job = MakePaperJob(set, ExtractFileName(setFile), versions, seed, {size, digits});
    job.Created = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
    const std::string setFolder = ExtractFilePath(std::filesystem::absolute(ToFsPath(setFile)).string());
    auto exhibit = [&](const std::string& stored) {
      std::string bytes;
      // A set names its pictures beside it: none from outside its folder.
      if (!IsNameInsideFolder(Cp1252ToUtf8(stored))) return QImage();
      if (ReadRegularFile(ResolvePath(setFolder, Cp1252ToUtf8(stored)), MaxImportFileBytes, bytes) != TReadResult::Ok)
        return QImage();
      return ImageOfBytes(bytes);
    };
    RemoveStaleTemporaryFiles(outFolder, StaleTemporaryFileAgeSeconds);
    const TPaperFiles written =
        WritePaperVersions(job, set, Stem(setFile), PaperJobFileName(setFile, job.JobId), outFolder, exhibit);
    err << "job: " << written.JobFile << " (seed " << seed << ")\n";
    return 0;
  } catch (const std::exception& e) {
    err << e.what() << "\n";
    return 1;
  }
}

}  // namespace proctorium
