#include "paper/ScanReviewForm.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLocale>
#include <QVBoxLayout>
#include <set>

#include "base/AnsiText.h"
#include "base/Controls.h"
#include "base/MessageDlg.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "candidates/core/SaveJournal.h"
#include "web/HelpPage.h"

namespace proctorium {

namespace {

QString PageName(const TPageReading& page) {
  const QString file = QString::fromStdString(page.Source);
  const qsizetype slash = std::max(file.lastIndexOf(QLatin1Char('/')), file.lastIndexOf(QLatin1Char('\\')));
  return QStringLiteral("%1, page %2").arg(file.mid(slash + 1)).arg(page.Page + 1);
}

bool HasDoubt(const TPageReading& page) {
  for (const auto& row : page.Answers)
    for (TBoxMark m : row)
      if (m == TBoxMark::Doubtful) return true;
  return false;
}

QImage ImageFileOnly(const std::string& file, int page) {
  return page == 0 ? QImage(QString::fromStdString(file)) : QImage();
}

// The scan's pixels as grey levels, row by row without padding: the same
// picture gives the same hash whatever format it was stored in.
std::uint64_t ImageHash(const QImage& image) {
  const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
  std::uint64_t h = PaperContentHash(std::to_string(grey.width()) + "x" + std::to_string(grey.height()));
  for (int y = 0; y < grey.height(); ++y)
    h = PaperContentHash({reinterpret_cast<const char*>(grey.constScanLine(y)), static_cast<std::size_t>(grey.width())},
                         h);
  return h;
}

}  // namespace

TScanReviewForm::TScanReviewForm(TPaperJob job, std::vector<TPageReading> pages, QWidget* parent)
    : TForm(parent), Job_(std::move(job)), Pages_(std::move(pages)), Loader_(ImageFileOnly) {
  setObjectName(QStringLiteral("scanReviewForm"));
  setWindowTitle(QStringLiteral("Scanned sheets"));
  SetWindowHelpPage(this, "scanning.htm");

  scanPages = new QListWidget(this);
  scanPages->setObjectName(QStringLiteral("scanPages"));
  scanPages->setAccessibleName(QStringLiteral("Scanned pages"));
  scanPages->setMinimumWidth(280);
  scanPage = new TScanPageView(this);
  scanPage->setObjectName(QStringLiteral("scanPage"));
  scanStatus = new QLabel(this);
  scanStatus->setObjectName(QStringLiteral("scanStatus"));
  scanStatus->setWordWrap(true);
  scanSetChanged = new QLabel(QStringLiteral("The set has been changed since these sheets were printed: they are "
                                             "scored with the key they were printed with."),
                              this);
  scanSetChanged->setObjectName(QStringLiteral("scanSetChanged"));
  scanSetChanged->setWordWrap(true);
  scanSetChanged->hide();
  scanIdLabel = new QLabel(QStringLiteral("Candidate &ID:"), this);
  scanIdLabel->setObjectName(QStringLiteral("scanIdLabel"));
  scanCandidateId = new QLineEdit(this);
  scanCandidateId->setObjectName(QStringLiteral("scanCandidateId"));
  scanCandidateId->setAccessibleName(QStringLiteral("Candidate ID"));
  scanCandidateId->setToolTip(QStringLiteral("Type the ID where the sheet's could not be read"));
  scanCandidateId->setMaxLength(MaxCandidateChars);
  scanIdLabel->setBuddy(scanCandidateId);
  scanSummary = new QLabel(this);
  scanSummary->setObjectName(QStringLiteral("scanSummary"));
  scanAccept = MakeButton(this, "scanAccept", QStringLiteral("&Accept"),
                          QStringLiteral("Score the candidates whose sheets are read and save them"), {});
  scanAccept->setDefault(true);
  scanCancel =
      MakeButton(this, "scanCancel", QStringLiteral("Cancel"), QStringLiteral("Close without saving anything"), {});
  scanHelp = MakeButton(this, "scanHelp", QStringLiteral("&Help"), QStringLiteral("How to score scanned sheets"), {});
  for (QPushButton* b : {scanAccept, scanCancel, scanHelp}) b->setAccessibleName(b->text().remove(QLatin1Char('&')));

  auto* idRow = new QHBoxLayout;
  idRow->addWidget(scanIdLabel);
  idRow->addWidget(scanCandidateId, 1);
  auto* right = new QVBoxLayout;
  right->addWidget(scanPage, 1);
  right->addWidget(scanStatus);
  right->addLayout(idRow);
  auto* top = new QHBoxLayout;
  top->addWidget(scanPages);
  top->addLayout(right, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(scanSummary, 1);
  buttons->addWidget(scanAccept);
  buttons->addWidget(scanCancel);
  buttons->addWidget(scanHelp);
  auto* all = new QVBoxLayout(this);
  all->addWidget(scanSetChanged);
  all->addLayout(top, 1);
  all->addLayout(buttons);
  resize(980, 720);

  for (std::size_t i = 0; i < Pages_.size(); ++i) scanPages->addItem(QString());
  connect(scanPages, &QListWidget::currentRowChanged, this, [this](int row) { SelectPage(row); });
  connect(scanPage, &TScanPageView::BoxChanged, this, [this] { Refresh(); });
  connect(scanPage, &TScanPageView::CurrentMoved, this, [this] { Refresh(); });
  connect(scanCandidateId, &QLineEdit::textEdited, this, [this](const QString& text) { IdEdited(text); });
  connect(scanAccept, &QPushButton::clicked, this, [this] { btnAcceptClick(); });
  connect(scanCancel, &QPushButton::clicked, this, [this] { reject(); });
  connect(scanHelp, &QPushButton::clicked, this, [] { ShowHelpPage("scanning.htm"); });
  Refresh();
  // The first page that needs the teacher, else the first.
  int first = Pages_.empty() ? -1 : 0;
  for (int i = 0; i < static_cast<int>(Pages_.size()); ++i)
    if (PageStatus(i) != QLatin1String("read")) {
      first = i;
      break;
    }
  if (first >= 0) scanPages->setCurrentRow(first);
  SetFontSize(Settings().FontSize());
}

void TScanReviewForm::SetCurrentFingerprint(std::uint64_t fingerprint) {
  scanSetChanged->setVisible(fingerprint != Job_.Fingerprint);
}

const TSheetLayout* TScanReviewForm::LayoutOf(const TPageReading& page) const {
  if (page.Status == TPageStatus::Failed || !page.Code || page.Code->JobId != Job_.JobId) return nullptr;
  for (const TPaperVersion& v : Job_.Versions)
    if (v.Letter == page.Code->Version && page.Code->Sheet >= 1 &&
        page.Code->Sheet <= static_cast<int>(v.Sheets.size()))
      return &v.Sheets[static_cast<std::size_t>(page.Code->Sheet - 1)];
  return nullptr;
}

QString TScanReviewForm::PageStatus(int index) const {
  const TPageReading& page = Pages_.at(static_cast<std::size_t>(index));
  for (const TPaperProblem& p : Batch_.Problems)
    for (std::size_t i : p.Pages)
      if (static_cast<int>(i) == index) return QStringLiteral("failed: ") + QString::fromStdString(p.Reason);
  const bool idMissing = page.Code && page.Code->Sheet == 1 && Job_.Options.IdDigits > 0 &&
                         (page.CandidateId.empty() || page.CandidateId.find('?') != std::string::npos);
  return HasDoubt(page) || idMissing ? QStringLiteral("doubtful") : QStringLiteral("read");
}

void TScanReviewForm::Refresh() {
  Batch_ = SortPaperBatch(Job_, Pages_);
  int read = 0, doubtful = 0, failed = 0;
  for (int i = 0; i < static_cast<int>(Pages_.size()); ++i) {
    const QString status = PageStatus(i);
    if (status == QLatin1String("read"))
      ++read;
    else if (status == QLatin1String("doubtful"))
      ++doubtful;
    else
      ++failed;
    const QString text = PageName(Pages_[static_cast<std::size_t>(i)]) + QStringLiteral(" \u2014 ") + status;
    if (scanPages->item(i)->text() != text) scanPages->item(i)->setText(text);
  }
  int ready = 0;
  for (const TPaperScript& s : Batch_.Scripts) ready += PaperScriptProblem(Job_, Pages_, s) ? 0 : 1;
  scanSummary->setText(
      QStringLiteral("%1 pages: %2 read, %3 doubtful, %4 failed. %5 ready to save.")
          .arg(Pages_.size())
          .arg(read)
          .arg(doubtful)
          .arg(failed)
          .arg(ready == 1 ? QStringLiteral("1 candidate") : QStringLiteral("%1 candidates").arg(ready)));
  if (Shown_ >= 0) {
    QString status = PageName(Pages_[static_cast<std::size_t>(Shown_)]) + QStringLiteral(": ") + PageStatus(Shown_);
    const QString box = scanPage->CurrentText();
    if (!box.isEmpty()) status += QStringLiteral("\n") + box;
    scanStatus->setText(status);
  }
}

void TScanReviewForm::SelectPage(int index) {
  if (index < 0 || index >= static_cast<int>(Pages_.size())) return;
  Shown_ = index;
  if (scanPages->currentRow() != index) scanPages->setCurrentRow(index);
  TPageReading& page = Pages_[static_cast<std::size_t>(index)];
  const TSheetLayout* layout = LayoutOf(page);
  scanPage->SetPage(layout ? &page : nullptr, layout, Loader_(page.Source, page.Page));
  scanCandidateId->setEnabled(layout != nullptr);
  scanCandidateId->setText(QString::fromStdString(page.CandidateId));
  Refresh();
}

void TScanReviewForm::IdEdited(const QString& text) {
  if (Shown_ < 0) return;
  Pages_[static_cast<std::size_t>(Shown_)].CandidateId = TrimUtf8(text.toStdString());
  Refresh();
}

void TScanReviewForm::FillHashes(const std::vector<TPaperScript>& scripts) {
  for (const TPaperScript& s : scripts)
    for (std::size_t i : s.Pages) {
      TPageReading& page = Pages_[i];
      if (page.ImageHash != 0) continue;
      const QImage image = Loader_(page.Source, page.Page);
      if (!image.isNull()) page.ImageHash = ImageHash(image);
    }
}

void TScanReviewForm::btnAcceptClick() {
  Refresh();
  std::vector<std::string> notSaved;
  for (const TPaperProblem& p : Batch_.Problems) notSaved.push_back(p.Reason);
  std::vector<TPaperScript> ready;
  std::vector<std::string> blocked;
  for (const TPaperScript& s : Batch_.Scripts) {
    if (const auto problem = PaperScriptProblem(Job_, Pages_, s))
      blocked.push_back(*problem);
    else
      ready.push_back(s);
  }
  if (!blocked.empty()) {
    QString text = blocked.size() == 1 ? QStringLiteral("1 candidate cannot be scored yet:")
                                       : QStringLiteral("%1 candidates cannot be scored yet:").arg(blocked.size());
    for (const std::string& b : blocked) text += QStringLiteral("\n") + QString::fromStdString(b);
    text += QStringLiteral("\n\nSave the others now and leave these out?");
    if (MessageDlg(text, TMsgDlgType::Confirmation, mbYes | mbNo, mbNo) != mrYes) return;
    notSaved.insert(notSaved.end(), blocked.begin(), blocked.end());
  }

  FillHashes(ready);
  TPaperSaveContext context;
  context.Date = ToAnsi(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
  context.DateTime = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
  context.ClassList = ClassList;
  context.PassMark = PassMark;
  std::vector<TPaperScore> scores;
  for (const TPaperScript& s : ready) scores.push_back(ScorePaperScript(Job_, Pages_, s, context));
  TPaperSaveReport report;
  if (!scores.empty()) {
    const TPaperLogPaths paths{ProgramPath("tests\\results.txt"), ProgramPath(DetailLogRelative),
                               ProgramPath(GradebookRelative), ProgramPath(PaperLedgerRelative),
                               ProgramPath(SaveJournalRelative)};
    try {
      report = SavePaperScores(paths, LockWaitMs, scores);
    } catch (const std::exception& e) {
      MessageDlg(QStringLiteral("The results could not be saved.\n\n") + FromAnsi(e.what()), TMsgDlgType::Warning,
                 mbOK);
      return;
    }
  }
  notSaved.insert(notSaved.end(), report.Refused.begin(), report.Refused.end());
  QString text = report.Saved == 1 ? QStringLiteral("Saved 1 candidate.")
                                   : QStringLiteral("Saved %1 candidates.").arg(report.Saved);
  if (!notSaved.empty()) {
    text += QStringLiteral("\n\nNot saved:");
    for (const std::string& n : notSaved) text += QStringLiteral("\n") + QString::fromStdString(n);
  }
  MessageDlg(text, report.Saved > 0 ? TMsgDlgType::Information : TMsgDlgType::Warning, mbOK);
  accept();
}

}  // namespace proctorium
