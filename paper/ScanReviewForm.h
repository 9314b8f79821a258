#pragma once
// The review of a batch of scanned answer sheets before anything is saved:
// every page with what became of it, the selected page's scan with its
// boxes, corrections by click or keyboard, and an ID typed where it could
// not be read. Accept scores the candidates whose sheets are complete and
// certain and saves them into the logs; Cancel saves nothing.

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Form.h"
#include "base/core/FileLock.h"
#include "paper/ScanPageView.h"
#include "paper/core/PaperScoring.h"

namespace proctorium {

class TScanReviewForm : public TForm {
  Q_OBJECT
 public:
  TScanReviewForm(TPaperJob job, std::vector<TPageReading> pages, QWidget* parent = nullptr);

  QListWidget* scanPages;
  TScanPageView* scanPage;
  QLabel* scanStatus;
  QLabel* scanSetChanged;
  QLabel* scanIdLabel;
  QLineEdit* scanCandidateId;
  QLabel* scanSummary;
  QPushButton* scanAccept;
  QPushButton* scanCancel;
  QPushButton* scanHelp;

  // Who the candidates are and what passes, as the administrator set them.
  std::vector<TCandidate> ClassList;
  int PassMark = 0;
  int LockWaitMs = SharedFileLockTimeoutMs;

  // Loads the scan of a page for display and for its content hash; the
  // default reads image files, and shows nothing for other pages.
  using TLoader = std::function<QImage(const std::string& file, int page)>;
  void SetLoader(TLoader loader) { Loader_ = std::move(loader); }
  // The set's fingerprint now, when the set is at hand: a set edited since
  // printing is pointed out (the sheets are still scored from the job).
  void SetCurrentFingerprint(std::uint64_t fingerprint);

  const std::vector<TPageReading>& Pages() const { return Pages_; }
  // "read", "doubtful", or "failed: <reason>" for a page.
  QString PageStatus(int page) const;

  void SelectPage(int page);
  // Scores and saves what can be saved, reports how many were saved and
  // which were not, and closes; stays open when the teacher wants to
  // resolve what is left first, or the logs cannot be written.
  void btnAcceptClick();

 private:
  void Refresh();
  void IdEdited(const QString& text);
  void FillHashes(const std::vector<TPaperScript>& scripts);
  const TSheetLayout* LayoutOf(const TPageReading& page) const;

  TPaperJob Job_;
  std::vector<TPageReading> Pages_;
  TPaperBatch Batch_;
  TLoader Loader_;
  int Shown_ = -1;
};

}  // namespace proctorium
