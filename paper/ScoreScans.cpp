#include "paper/ScoreScans.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <filesystem>

#include "base/AnsiText.h"
#include "base/FileDialogs.h"
#include "base/MessageDlg.h"
#include "base/ModalSeam.h"
#include "base/ProgramFolder.h"
#include "base/core/FileIO.h"
#include "paper/ScanReader.h"
#include "questions/core/QuestionSet.h"
#include "session/core/DetailLog.h"

namespace proctorium {

namespace {

// A job of 26 versions of 250 questions with every box is some megabytes.
constexpr std::uintmax_t MaxJobBytes = 64ull << 20;

bool IsFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(ToFsPath(path), ec);
}

}  // namespace

std::string FindPaperJob(const std::string& setPath) {
  if (setPath.empty()) return {};
  const std::filesystem::path set = ToFsPath(setPath);
  const std::string stem = FromFsPath(set.stem()) + ".";
  std::vector<std::string> found;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(set.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = FromFsPath(it->path().filename());
    // "<set>.<job id, 8 hex digits>.paper.json"
    const std::string suffix = ".paper.json";
    if (name.size() != stem.size() + 8 + suffix.size() || name.compare(0, stem.size(), stem) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    const std::string id = name.substr(stem.size(), 8);
    if (id.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos && IsFile(FromFsPath(it->path())))
      found.push_back(FromFsPath(it->path()));
  }
  // Printed more than once: which job the scans belong to is the teacher's call.
  return found.size() == 1 ? found[0] : std::string();
}

void ScoreScannedSheets(QWidget* parent, const std::string& setPath, const TScoreScansSetup& setup) {
  std::string jobPath = FindPaperJob(setPath);
  if (jobPath.empty()) {
    const QString chosen =
        GetOpenFileName(parent, QStringLiteral("Choose the print job of the scanned sheets"),
                        QString::fromStdString(ProgramPath("Tests\\")), QStringLiteral("Print jobs (*.paper.json)"));
    if (chosen.isEmpty()) return;
    jobPath = chosen.toStdString();
  }
  TPaperJob job;
  try {
    std::string bytes;
    if (ReadRegularFile(jobPath, MaxJobBytes, bytes) != TReadResult::Ok)
      throw EFileError("Cannot open file " + jobPath);
    job = PaperJobFromJson(bytes);
  } catch (const std::exception& e) {
    MessageDlg(QStringLiteral("The print job could not be read.\n\n") + QString::fromStdString(e.what()),
               TMsgDlgType::Warning, mbOK);
    return;
  }

  const QStringList scans =
      GetOpenFileNames(parent, QStringLiteral("Choose the scanned sheets"), ExportFolder(),
                       QStringLiteral("Scans (*.pdf *.png *.jpg *.jpeg *.tif *.tiff);;All files (*)"));
  if (scans.isEmpty()) return;

  // Read file by file; Cancel stops before the next file and opens nothing.
  const TScanFileReader read =
      setup.Read ? setup.Read : TScanFileReader([](const std::string& file, const std::vector<TPaperJob>& jobs) {
        return ReadScanFile(file, jobs);
      });
  QProgressDialog progress(QStringLiteral("Reading the scanned sheets\u2026"), QStringLiteral("Cancel"), 0,
                           static_cast<int>(scans.size()), parent);
  progress.setObjectName(QStringLiteral("scanProgress"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  std::vector<TPageReading> pages;
  for (int i = 0; i < scans.size(); ++i) {
    progress.setValue(i);
    progress.setLabelText(QStringLiteral("Reading %1 (%2 of %3)\u2026").arg(scans[i]).arg(i + 1).arg(scans.size()));
    QCoreApplication::processEvents();
    if (progress.wasCanceled()) return;
    std::vector<TPageReading> read1 = read(scans[i].toStdString(), {job});
    pages.insert(pages.end(), std::make_move_iterator(read1.begin()), std::make_move_iterator(read1.end()));
  }
  progress.setValue(static_cast<int>(scans.size()));
  if (pages.empty()) {
    MessageDlg(QStringLiteral("No pages were found in the chosen files."), TMsgDlgType::Warning, mbOK);
    return;
  }

  TScanReviewForm review(std::move(job), std::move(pages), parent);
  review.ClassList = setup.ClassList;
  review.PassMark = setup.PassMark;
  review.SetLoader(setup.LoadPage ? setup.LoadPage : TScanReviewForm::TLoader([](const std::string& file, int page) {
    return LoadScanPage(file, page);
  }));
  if (!setPath.empty()) {
    TQuestionSet set;
    try {
      set.LoadFromFile(setPath);
      review.SetCurrentFingerprint(SetFingerprint(set));
    } catch (const std::exception&) {
      // A set that cannot be read now changes nothing: the job has the key.
    }
  }
  ExecModal(&review);
}

}  // namespace proctorium
