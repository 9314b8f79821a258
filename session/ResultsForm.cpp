#include "session/ResultsForm.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPrintDialog>
#include <QPrinter>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "base/AnsiText.h"
#include "base/Controls.h"
#include "base/FileDialogs.h"
#include "base/MessageDlg.h"
#include "base/ModalSeam.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "base/core/FileIO.h"
#include "base/core/FileLock.h"
#include "candidates/core/Gradebook.h"
#include "questions/core/QuestionSet.h"
#include "session/AnswersDlg.h"
#include "session/ReportPrinter.h"
#include "session/StatisticsForm.h"
#include "session/core/CandidateReport.h"
#include "session/core/CsvExport.h"
#include "session/core/DetailLog.h"
#include "session/core/LogReader.h"
#include "session/core/ResultsLog.h"

namespace proctorium {

TResultsForm* ResultsForm = nullptr;

TResultsForm::TResultsForm(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("ResultsForm"));
  setWindowTitle(QStringLiteral("Results Summary"));
  setSizeGripEnabled(true);
  tabsResults = new QTabWidget(this);
  tabsResults->setObjectName(QStringLiteral("tabsResults"));
  auto* logPage = new QWidget(tabsResults);
  Memo1 = new TLogView(logPage);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  auto* logLayout = new QVBoxLayout(logPage);
  logLayout->setContentsMargins(0, 0, 0, 0);
  logLayout->addWidget(Memo1);
  tabsResults->addTab(logPage, QStringLiteral("&Log"));
  tabsResults->addTab(MakeClassPage(), QStringLiteral("Cl&ass"));
  // The gradebook is read when its page is shown, so the log opens as fast
  // as ever.
  connect(tabsResults, &QTabWidget::currentChanged, this, [this](int page) {
    if (page == 1 && isVisible()) LoadClass();
  });
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setToolTip(QStringLiteral("List of saved results of all test sessions"));
  btnClear = MakeButton(this, "btnClear", QStringLiteral("C&lear"),
                        QStringLiteral("Delete all results from the summary file"), {0, 0, 60, 25});
  btnClear->move(364, 8);
  btnClose =
      MakeButton(this, "btnClose", QStringLiteral("&Close"), QStringLiteral("Close this window"), {0, 0, 60, 25});
  btnStatistics = MakeButton(this, "btnStatistics", QStringLiteral("&Statistics"),
                             QStringLiteral("How each question of a set was answered"), {0, 0, 60, 25});
  btnExport = MakeButton(this, "btnExport", QStringLiteral("&Export"),
                         QStringLiteral("Save the results as a CSV file for a spreadsheet"), {0, 0, 60, 25});
  Memo1->setAccessibleName(QStringLiteral("Saved results"));
  // Tab runs as the eye reads: the log, then the buttons left to right.
  setTabOrder(Memo1, btnExport);
  setTabOrder(btnExport, btnStatistics);
  setTabOrder(btnStatistics, btnClear);
  setTabOrder(btnClear, btnClose);
  connect(btnStatistics, &QPushButton::clicked, this, [this] { btnStatisticsClick(); });
  connect(btnExport, &QPushButton::clicked, this, [this] { btnExportClick(); });
  connect(btnClear, &QPushButton::clicked, this, [this] { btnClearClick(); });
  connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
  // Emptied or replaced by another seat while its beginning was being read.
  connect(Memo1, &TLogView::logChanged, this, [this] { LoadLog(); });
  setMinimumSize(400, 200);
  SetWindowHelpPage(this, "run.htm");
  resize(440, 375);
  FormResize();
  FormCreate();
}

QWidget* TResultsForm::MakeClassPage() {
  auto* page = new QWidget(tabsResults);
  page->setObjectName(QStringLiteral("ClassPage"));
  edFilterSet = new QLineEdit(page);
  edFilterSet->setObjectName(QStringLiteral("edFilterSet"));
  edFilterSet->setPlaceholderText(QStringLiteral("Set"));
  edFilterSet->setToolTip(QStringLiteral("Show only the tests of sets whose file name contains this"));
  edFilterSet->setClearButtonEnabled(true);
  edFilterCandidate = new QLineEdit(page);
  edFilterCandidate->setObjectName(QStringLiteral("edFilterCandidate"));
  edFilterCandidate->setPlaceholderText(QStringLiteral("Candidate name or ID"));
  edFilterCandidate->setToolTip(QStringLiteral("Show only the tests of candidates whose name or ID contains this"));
  edFilterCandidate->setClearButtonEnabled(true);
  auto* setLabel = new QLabel(QStringLiteral("S&et:"), page);
  setLabel->setBuddy(edFilterSet);
  auto* candidateLabel = new QLabel(QStringLiteral("Ca&ndidate:"), page);
  candidateLabel->setBuddy(edFilterCandidate);
  ClassModel = new TClassModel(this);
  tblClass = new QTableView(page);
  tblClass->setObjectName(QStringLiteral("tblClass"));
  tblClass->setModel(ClassModel);
  tblClass->setSelectionBehavior(QAbstractItemView::SelectRows);
  tblClass->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tblClass->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The gradebook's order (the order of saving) until a column is chosen.
  tblClass->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  tblClass->setSortingEnabled(true);
  tblClass->verticalHeader()->hide();
  // Rows of one height, measured once: a hundred thousand rows are never
  // each measured.
  tblClass->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  tblClass->setToolTip(QStringLiteral("Every saved test; double-click a test or press Enter to see its answers"));
  tblClass->setAccessibleName(QStringLiteral("Saved tests"));
  tblClass->setAccessibleDescription(
      QStringLiteral("One row per saved test; the latest attempt of each candidate at each set says Latest. "
                     "Enter shows the answers of the current test."));
  edFilterSet->setAccessibleName(QStringLiteral("Filter by set"));
  edFilterCandidate->setAccessibleName(QStringLiteral("Filter by candidate name or ID"));
  // Enter opens the answers as a double-click does; without this the key
  // would go on to the window and press its default button.
  for (const int key : {int(Qt::Key_Return), int(Qt::Key_Enter)})
    new QShortcut(
        QKeySequence(key), tblClass, [this] { ShowAnswers(tblClass->currentIndex().row()); }, Qt::WidgetShortcut);
  cbSortClass = new QComboBox(page);
  cbSortClass->setObjectName(QStringLiteral("cbSortClass"));
  cbSortClass->addItem(QStringLiteral("Order saved"));
  for (int c = 0; c < ClassColumnCount; ++c) cbSortClass->addItem(QString::fromStdString(TClassTable::ColumnTitle(c)));
  cbSortClass->setToolTip(QStringLiteral("The column the tests are sorted by, as a click on its title does"));
  cbSortClass->setAccessibleName(QStringLiteral("Sort by"));
  chkSortDescending = new QCheckBox(QStringLiteral("Descendin&g"), page);
  chkSortDescending->setObjectName(QStringLiteral("chkSortDescending"));
  chkSortDescending->setToolTip(QStringLiteral("Largest, latest or last in the alphabet first"));
  auto* sortLabel = new QLabel(QStringLiteral("Sor&t by:"), page);
  sortLabel->setBuddy(cbSortClass);
  const auto sortChosen = [this] {
    tblClass->horizontalHeader()->setSortIndicator(
        cbSortClass->currentIndex() - 1, chkSortDescending->isChecked() ? Qt::DescendingOrder : Qt::AscendingOrder);
  };
  connect(cbSortClass, &QComboBox::currentIndexChanged, this, sortChosen);
  connect(chkSortDescending, &QCheckBox::toggled, this, sortChosen);
  // A click on a title shows in the controls, so they always say how the
  // rows are sorted.
  connect(tblClass->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
          [this](int column, Qt::SortOrder order) {
            const QSignalBlocker a(cbSortClass), b(chkSortDescending);
            cbSortClass->setCurrentIndex(column + 1);
            chkSortDescending->setChecked(order == Qt::DescendingOrder);
          });
  lbClass = new QLabel(page);
  lbClass->setObjectName(QStringLiteral("lbClass"));
  btnExportClass = MakeButton(page, "btnExportClass", QStringLiteral("E&xport class"),
                              QStringLiteral("Save the tests shown as a CSV file for a spreadsheet"), {0, 0, 60, 25});
  btnReport = MakeButton(page, "btnReport", QStringLiteral("&Reports as PDF"),
                         QStringLiteral("Save a report for each selected test as PDF (none selected: each "
                                        "candidate's latest attempt shown)"),
                         {0, 0, 60, 25});
  btnPrintReport =
      MakeButton(page, "btnPrintReport", QStringLiteral("&Print reports"),
                 QStringLiteral("Print a report for each selected test, one candidate a page"), {0, 0, 60, 25});
  const auto filter = [this] { ClassModel->SetFilter(edFilterSet->text(), edFilterCandidate->text()); };
  connect(edFilterSet, &QLineEdit::textChanged, this, filter);
  connect(edFilterCandidate, &QLineEdit::textChanged, this, filter);
  connect(ClassModel, &QAbstractItemModel::modelReset, this, [this] {
    lbClass->setText(QStringLiteral("%1 of %2 tests shown")
                         .arg(ClassModel->rowCount())
                         .arg(static_cast<qulonglong>(ClassModel->Table().EntryCount())));
    FormResize();  // a longer count may need a wider window
  });
  connect(tblClass, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { ShowAnswers(i.row()); });
  connect(btnExportClass, &QPushButton::clicked, this, [this] { btnExportClassClick(); });
  connect(btnReport, &QPushButton::clicked, this, [this] { btnReportClick(); });
  connect(btnPrintReport, &QPushButton::clicked, this, [this] { btnPrintReportClick(); });
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* filters = new QHBoxLayout;
  filters->addWidget(setLabel);
  filters->addWidget(edFilterSet, 1);
  filters->addWidget(candidateLabel);
  filters->addWidget(edFilterCandidate, 1);
  layout->addLayout(filters);
  auto* sorting = new QHBoxLayout;
  sorting->addWidget(sortLabel);
  sorting->addWidget(cbSortClass);
  sorting->addWidget(chkSortDescending);
  sorting->addStretch(1);
  layout->addLayout(sorting);
  layout->addWidget(tblClass, 1);
  // A line of its own: the count and any damaged lines are read in full.
  layout->addWidget(lbClass);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btnExportClass);
  buttons->addWidget(btnReport);
  buttons->addWidget(btnPrintReport);
  layout->addLayout(buttons);
  // Tab runs as the eye reads: the filters, how the rows are sorted, the rows, the buttons.
  setTabOrder(edFilterSet, edFilterCandidate);
  setTabOrder(edFilterCandidate, cbSortClass);
  setTabOrder(cbSortClass, chkSortDescending);
  setTabOrder(chkSortDescending, tblClass);
  setTabOrder(tblClass, btnExportClass);
  setTabOrder(btnExportClass, btnReport);
  setTabOrder(btnReport, btnPrintReport);
  return page;
}

void TResultsForm::LoadClass() {
  std::string bytes;
  try {
    bytes = ReadLog(ProgramPath(GradebookRelative));
  } catch (const std::exception& e) {
    ShowException(e);
  }
  ClassModel->Load(std::move(bytes));
  const QHeaderView* header = tblClass->horizontalHeader();
  const bool saved = header->sortIndicatorSection() < 0 && header->sortIndicatorOrder() == Qt::AscendingOrder;
  if (!saved) ClassModel->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
  // Rows as tall as the window's font needs, and columns as wide as their
  // titles and the rows in sight: measured on a sample, never on every row.
  tblClass->verticalHeader()->setDefaultSectionSize(tblClass->fontMetrics().height() + 8);
  tblClass->horizontalHeader()->setResizeContentsPrecision(64);
  tblClass->resizeColumnsToContents();
  // In the order of saving the newest tests, the ones just taken, are at
  // the end: the page opens there, as the log does.
  if (saved) tblClass->scrollToBottom();
  // The filter typed stays with the model across a new reading.
  if (const std::size_t skipped = ClassModel->Table().SkippedCount()) {
    lbClass->setText(
        lbClass->text() +
        QStringLiteral("; %1 damaged lines of the gradebook passed over").arg(static_cast<qulonglong>(skipped)));
    FormResize();
  }
}

namespace {

std::string ReadDetailLogBytes() {
  std::string bytes;
  try {
    bytes = ReadLog(ProgramPath(DetailLogRelative));
  } catch (const std::exception& e) {
    ShowException(e);
  }
  return bytes;
}

// Where reports and exports are offered: the user's documents, never the
// program's Tests folder that every seat shares.
QString DocumentsPath(const QString& name) {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  return QDir(folder).filePath(name);
}

// A file name made of what the user typed: characters no file system takes
// become '_'.
QString SafeFileName(QString name) {
  for (QChar& c : name)
    if (c < QChar(0x20) || QStringLiteral("\\/:*?\"<>|").contains(c)) c = QLatin1Char('_');
  return name.trimmed();
}

bool SaveChosen(QWidget* parent, const QString& caption, const QString& name, const QString& filter,
                const QString& suffix, const std::string& bytes) {
  const QString path = AskSaveFileName(parent, caption, DocumentsPath(name), filter, suffix);
  if (path.isEmpty()) return false;
  try {
    if (bytes.empty()) throw EFileError("Cannot create file " + path.toStdString());
    WriteFileAtomic(path.toStdString(), bytes);
  } catch (const std::exception& e) {
    MessageDlg(QString::fromStdString(e.what()), TMsgDlgType::Warning, mbOK);
    return false;
  }
  MessageDlg(QStringLiteral("Saved: ") + QDir::toNativeSeparators(path), TMsgDlgType::Information, mbOK);
  return true;
}

}  // namespace

void TResultsForm::ShowAnswers(int row) {
  if (row < 0 || row >= ClassModel->rowCount()) return;
  const TGradebookEntry entry = ClassModel->EntryAt(row);
  TDetailTest test;
  const bool found = FindDetailTest(ReadDetailLogBytes(), entry.TestId, test);
  TAnswersDlg answers(this, entry, found ? &test : nullptr);
  ExecModal(&answers);
}

void TResultsForm::btnExportClassClick() {
  SaveChosen(this, QStringLiteral("Export class"), QStringLiteral("class.csv"), QStringLiteral("CSV files (*.csv)"),
             QStringLiteral("csv"), ClassModel->Table().Csv());
}

std::vector<std::vector<TReportLine>> TResultsForm::Reports() const {
  std::vector<int> rows;
  for (const QModelIndex& i : tblClass->selectionModel()->selectedRows()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  if (rows.empty()) {
    const TClassTable& table = ClassModel->Table();
    for (int r = 0; r < ClassModel->rowCount(); ++r)
      if (table.Latest(table.Shown()[static_cast<size_t>(r)])) rows.push_back(r);
  }
  std::vector<std::vector<TReportLine>> reports;
  if (rows.empty()) return reports;
  const std::string detailLog = ReadDetailLogBytes();
  const bool showAnswers = Settings().EnableAnswers();
  // Each set file is read once, however many candidates took it.
  std::map<std::string, std::unique_ptr<TQuestionSet>> sets;
  for (const int r : rows) {
    const TGradebookEntry& entry = ClassModel->EntryAt(r);
    auto [it, added] = sets.try_emplace(entry.SetFile);
    if (added && showAnswers) {
      auto set = std::make_unique<TQuestionSet>();
      try {
        set->LoadFromFile(ProgramPath("Tests\\" + entry.SetFile));
        it->second = std::move(set);
      } catch (const std::exception&) {
        // A set removed or damaged since: the report says it leaves the texts out.
      }
    }
    TDetailTest test;
    const bool found = FindDetailTest(detailLog, entry.TestId, test);
    reports.push_back(CandidateReport(entry, found ? &test : nullptr, it->second.get(), showAnswers));
  }
  return reports;
}

void TResultsForm::btnReportClick() {
  const auto reports = Reports();
  if (reports.empty()) {
    MessageDlg(QStringLiteral("There is no test to report on."), TMsgDlgType::Information, mbOK);
    return;
  }
  QString name = QStringLiteral("class report.pdf");
  const QModelIndexList selected = tblClass->selectionModel()->selectedRows();
  if (selected.size() == 1) {
    const QString candidate =
        SafeFileName(QString::fromStdString(ClassModel->EntryAt(selected.front().row()).CandidateName));
    if (!candidate.isEmpty()) name = candidate + QStringLiteral(" report.pdf");
  }
  SaveChosen(this, QStringLiteral("Save reports as PDF"), name, QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf"),
             ReportsPdf(reports, "Test reports"));
}

void TResultsForm::btnPrintReportClick() {
  const auto reports = Reports();
  if (reports.empty()) {
    MessageDlg(QStringLiteral("There is no test to report on."), TMsgDlgType::Information, mbOK);
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("Test reports"));
  QPrintDialog dialog(&printer, this);
  dialog.setObjectName(QStringLiteral("PrintDialog"));
  if (ExecModal(&dialog) != QDialog::Accepted) return;
  if (!PrintReports(&printer, reports))
    MessageDlg(QStringLiteral("The reports could not be printed."), TMsgDlgType::Warning, mbOK);
}

void TResultsForm::FormCreate() {
  // The log is read when the window is opened, not here: other seats add
  // to it all the time, and a large log would slow every start-up.
  ResultsFileName = ProgramPath("tests\\results.txt");
}

void TResultsForm::CompleteInterrupted() {
  const std::string journal = ProgramPath(SaveJournalRelative);
  if (!FileExists(journal)) return;
  try {
    RefuseLinkedLog(ResultsFileName);
    TFileLock lock(ResultsFileName, LockWaitMs);
    CompleteInterruptedSave(journal);
  } catch (const std::exception& e) {
    ShowException(e);
  }
}

void TResultsForm::LoadLog() {
  CompleteInterrupted();
  std::unique_ptr<TLogReader> reader;
  try {
    reader = std::make_unique<TLogReader>(ResultsFileName, LogTailBytes);
  } catch (const std::exception& e) {
    ShowException(e);
  }
  // The view keeps the bytes as read and converts only the lines in sight.
  // It opens at the end: the newest entries, the one just saved among them,
  // are what is looked for, so they are read first and the years before
  // them while the window is already shown.
  Memo1->SetReader(std::move(reader));
  for (const TPendingSave& save : Pending_)
    for (const std::string& line : save.Lines) Memo1->AppendLine(line);
}

QStringList TResultsForm::Lines() const { return Memo1->Lines(); }

void TResultsForm::AddLines(const QStringList& lines, const std::function<void()>& alsoUnderLock) {
  std::vector<std::string> ansi;
  for (const QString& line : lines) ansi.push_back(SanitizeLogLine(ToAnsi(line)));
  Pending_.push_back({ansi, {}});
  SavePending(alsoUnderLock);
  // An open window shows what was added; a closed one reads the log anew
  // when it is next opened.
  if (isVisible())
    for (const std::string& line : ansi) Memo1->AppendLine(line);
}

void TResultsForm::SaveTest(const QStringList& lines, std::vector<TLogAddition> others) {
  std::vector<std::string> ansi;
  for (const QString& line : lines) ansi.push_back(SanitizeLogLine(ToAnsi(line)));
  Pending_.push_back({ansi, std::move(others)});
  SavePending({});
  if (isVisible())
    for (const std::string& line : ansi) Memo1->AppendLine(line);
}

void TResultsForm::SavePending(const std::function<void()>& alsoUnderLock) {
  std::string alsoFailed;
  // Tests a failed save kept go first, so the logs keep the order of saving.
  try {
    // Checked before the lock, which would open the file a link names.
    RefuseLinkedLog(ResultsFileName);
    TFileLock lock(ResultsFileName, LockWaitMs);
    const std::string journal = ProgramPath(SaveJournalRelative);
    while (!Pending_.empty()) {
      const TPendingSave& save = Pending_.front();
      std::vector<TLogAddition> all = {{ResultsFileName, LogLinesBytes(save.Lines)}};
      all.insert(all.end(), save.Others.begin(), save.Others.end());
      bool journalled = false;
      try {
        AppendAsOneUnit(journal, all, &journalled);
      } catch (...) {
        // In the journal it is as good as saved: the next save or the
        // results window completes it, so it must not go in twice.
        if (journalled) Pending_.erase(Pending_.begin());
        throw;
      }
      Pending_.erase(Pending_.begin());
    }
    // Under the same lock, so what goes with the entry is added with it.
    if (alsoUnderLock) {
      try {
        alsoUnderLock();
      } catch (const std::exception& e) {
        alsoFailed = e.what();
      }
    }
  } catch (const std::exception& e) {
    MessageDlg(QStringLiteral("The results could not be saved to ") + QString::fromStdString(ResultsFileName) +
                   QStringLiteral("\nThey are kept in the results window for the rest of this session.\n\n") +
                   FromAnsi(e.what()),
               TMsgDlgType::Warning, mbOK);
  }
  // Told only once the lock is released, so no other seat waits on the box.
  if (!alsoFailed.empty()) MessageDlg(FromAnsi(alsoFailed), TMsgDlgType::Warning, mbOK);
}

void TResultsForm::btnStatisticsClick() {
  TStatisticsForm statistics(this);
  ExecModal(&statistics);
}

void TResultsForm::btnExportClick() {
  // The log as it is on disk, with what other seats have saved.
  std::string bytes;
  try {
    bytes = ReadLog(ResultsFileName);
  } catch (const std::exception& e) {
    ShowException(e);
    return;
  }
  SaveExport(this, QStringLiteral("Export results"), QStringLiteral("results.csv"), QStringLiteral("CSV files (*.csv)"),
             QStringLiteral("csv"), ResultsLogCsv(ParseResultsLog(bytes)));
}

void TResultsForm::btnClearClick() {
  // The detail log and the gradebook record the same tests as the summary:
  // emptying one alone would leave the Class page and the statistics
  // showing tests the summary no longer has, so all three go together and
  // the question says so.
  const std::string detail = ProgramPath(DetailLogRelative), gradebook = ProgramPath(GradebookRelative);
  const auto holdsTests = [](const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(ToFsPath(path), ec);
    return !ec && size > 0;
  };
  QString question = QStringLiteral("Are you sure you want to delete this summary ?");
  if (holdsTests(detail) || holdsTests(gradebook))
    question += QStringLiteral(
        "\n\nThe answers of each test (results-detail.csv: statistics, answers) and the gradebook "
        "(gradebook.csv: the Class page, reports) are deleted with it, so that all three keep recording the "
        "same tests. Export first what you want to keep.");
  if (MessageDlg(question, TMsgDlgType::Confirmation, mbYes | mbNo, mbNo) != mrYes) return;
  try {
    RefuseLinkedLog(ResultsFileName);
    TFileLock lock(ResultsFileName, LockWaitMs);
    // A save cut short is completed first, or it would come back after the clear.
    ClearAsOneUnit(ProgramPath(SaveJournalRelative), {ResultsFileName, detail, gradebook});
  } catch (const std::exception& e) {
    ShowException(e);
    return;
  }
  Memo1->Clear();
  btnClear->setEnabled(false);
  ClassModel->Load({});
}

void TResultsForm::FormShow() {
  LoadLog();
  SetFontSize(Settings().FontSize());
  SetShowHint(Settings().ShowHints());
  if (!Sized_) {
    // After the first opening the window keeps the size the user gave it.
    OpenGrownForFont(this, {440, 375});
    Sized_ = true;
  }
  FormResize();
  btnClear->setEnabled(Memo1->LineCount() > 0);
  if (tabsResults->currentIndex() == 1) LoadClass();
}

void TResultsForm::resizeEvent(QResizeEvent* e) {
  TForm::resizeEvent(e);
  FormResize();
}

void TResultsForm::FormResize() {
  // The entries are long lines: the memo takes the whole width, and the
  // buttons stand in a row below it, as large as the window font needs; the
  // window grows before two buttons would meet.
  QSize button(60, 25);
  for (QPushButton* b : {btnClear, btnClose, btnStatistics, btnExport}) button = button.expandedTo(b->sizeHint());
  // The Class page's filters, sort controls and buttons must fit too.
  const QSize page = tabsResults->minimumSizeHint();
  const int minWidth = std::max({400, 4 * button.width() + 5 * 8, page.width() + 16});
  const int minHeight = std::max(200, page.height() + button.height() + 24);
  if (width() < minWidth || height() < minHeight) {
    resize(std::max(width(), minWidth), std::max(height(), minHeight));
    return;
  }
  const int top = height() - 8 - button.height();
  btnClose->setGeometry(width() - 8 - button.width(), top, button.width(), button.height());
  btnClear->setGeometry(btnClose->x() - 8 - button.width(), top, button.width(), button.height());
  btnExport->setGeometry(8, top, button.width(), button.height());
  btnStatistics->setGeometry(btnExport->x() + 8 + button.width(), top, button.width(), button.height());
  tabsResults->setGeometry(8, 8, width() - 16, top - 16);
}

}  // namespace proctorium
