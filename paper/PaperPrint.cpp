#include "paper/PaperPrint.h"

#include <QBuffer>
#include <QDateTime>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <filesystem>

#include "base/AnsiText.h"
#include "base/FileDialogs.h"
#include "base/MessageDlg.h"
#include "base/ModalSeam.h"
#include "base/PdfBytes.h"
#include "base/ProgramFolder.h"
#include "base/core/FileIO.h"
#include "base/core/PathResolver.h"
#include "paper/AnswerSheetPainter.h"
#include "paper/PaperVersionsDialog.h"
#include "paper/core/SheetCode.h"
#include "questions/PaperPrinter.h"
#include "questions/core/ExhibitText.h"

namespace proctorium {

namespace {

QPageSize::PageSizeId PageSizeId(TPaperSize size) {
  return size == TPaperSize::Letter ? QPageSize::Letter : QPageSize::A4;
}

std::string Stem(const std::string& path) {
  std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string Join(const std::string& folder, const std::string& name) {
  return FromFsPath(ToFsPath(folder) / ToFsPath(name));
}

}  // namespace

std::string AnswerSheetsPdf(const TPaperJob& job, const TPaperVersion& version, const std::string& title) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(QPageSize(PageSizeId(job.Options.Size)));
    // The layout measures from the paper's edge: no margins of the writer's.
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(600);
    pdf.setTitle(QString::fromStdString(title));
    pdf.setCreator(QStringLiteral("Proctorium"));
    QPainter painter;
    if (!painter.begin(&pdf)) return {};
    for (size_t i = 0; i < version.Sheets.size(); ++i) {
      const TSheetLayout& sheet = version.Sheets[i];
      if (i > 0) pdf.newPage();
      const TSheetCode code{job.JobId, job.Fingerprint, version.Letter, sheet.Sheet, sheet.SheetCount};
      const QString heading = QStringLiteral("%1 \u2014 Version %2 \u00B7 Sheet %3 of %4")
                                  .arg(QString::fromStdString(title))
                                  .arg(QChar(version.Letter))
                                  .arg(sheet.Sheet)
                                  .arg(sheet.SheetCount);
      if (!PaintAnswerSheet(painter, sheet, EncodeSheetCode(code), heading)) return {};
    }
    painter.end();
  }
  return std::string(out.constData(), static_cast<size_t>(out.size()));
}

std::string PaperPdfName(const std::string& title, char version, const std::string& kind) {
  return title + " " + version + " " + kind + ".pdf";
}

TPaperFiles WritePaperVersions(const TPaperJob& job, const TQuestionSet& set, const std::string& title,
                               const std::string& jobFile, const std::string& pdfFolder,
                               const std::function<QImage(const std::string&)>& exhibit,
                               const std::function<std::string(const std::string&)>& describe) {
  TPaperFiles files;
  WriteFileAtomic(jobFile, PaperJobToJson(job));
  files.JobFile = jobFile;
  std::error_code error;
  std::filesystem::create_directories(ToFsPath(pdfFolder), error);
  if (error) throw EFileError("Cannot create folder " + pdfFolder + ": " + error.message());
  const QPageSize::PageSizeId page = PageSizeId(job.Options.Size);
  for (const TPaperVersion& version : job.Versions) {
    const TQuestionSet printed = VersionSet(set, version);
    const std::string versionTitle = title + " \u2014 Version " + version.Letter;
    auto sheetPdf = [&](TSheetKind kind) {
      return PdfBytes(
          versionTitle,
          [&](QPagedPaintDevice* pdf) { return PrintSheet(pdf, printed, kind, versionTitle, exhibit, describe); },
          page);
    };
    const std::pair<std::string, std::string> parts[] = {
        {"questions", sheetPdf(TSheetKind::QuestionPaper)},
        {"key", sheetPdf(TSheetKind::AnswerKey)},
        {"sheets", AnswerSheetsPdf(job, version, title)},
    };
    for (const auto& [kind, bytes] : parts) {
      const std::string file = Join(pdfFolder, PaperPdfName(title, version.Letter, kind));
      if (bytes.empty()) throw EFileError("Cannot create file " + file);
      WriteOutputFile(file, bytes);
      files.Pdfs.push_back(file);
    }
  }
  return files;
}

void PrintPaperVersions(QWidget* parent, const std::string& setFile) {
  if (setFile.empty()) return;
  Guarded([&] {
    TQuestionSet set;
    set.LoadFromFile(setFile);
    const std::string title = Stem(setFile);
    TPaperVersionsDialog dialog(QString::fromStdString(title), parent);
    if (ExecModal(&dialog) != QDialog::Accepted) return;
    const TPaperPrintChoice choice = dialog.Choice();
    TPaperJob job = MakePaperJob(set, ExtractFileName(setFile), choice.Versions, choice.Seed, choice.Options);
    job.Created = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
    const std::string jobFile = PaperJobFileName(setFile, job.JobId);
    auto exhibit = [](const std::string& stored) { return QImage(QString::fromStdString(PicturePath(stored))); };
    auto describe = [](const std::string& stored) {
      return FromAnsi(ReadExhibitText(PicturePath(stored))).toStdString();
    };
    // The job file stays beside the set, where scoring looks for it; the
    // PDFs go where exports go, in a folder of their own.
    ExportFile(parent, QStringLiteral("Paper versions: folder for the PDFs"),
               QString::fromStdString(title + " paper versions"), QStringLiteral("Folders (*)"), QString(),
               [&](const std::string& folder) {
                 if (std::filesystem::is_regular_file(ToFsPath(folder)))
                   throw EFileError("Cannot create folder " + folder + ": a file of that name is there");
                 WritePaperVersions(job, set, title, jobFile, folder, exhibit, describe);
               });
  });
}

}  // namespace proctorium
