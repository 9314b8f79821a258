#include "session/ResultsForm.h"

#include <utility>
#include <vector>

#include "base/AnsiText.h"
#include "base/Controls.h"
#include "base/MessageDlg.h"
#include "base/ModalSeam.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "base/core/FileIO.h"
#include "session/StatisticsForm.h"
#include "session/core/CsvExport.h"
#include "session/core/FileLock.h"
#include "session/core/ResultsLog.h"

namespace proctorium {

TResultsForm* ResultsForm = nullptr;

TResultsForm::TResultsForm(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("ResultsForm"));
  setWindowTitle(QStringLiteral("Results Summary"));
  setSizeGripEnabled(true);
  Memo1 = new TLogView(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setToolTip(QStringLiteral("List of saved results of all test sessions"));
  Memo1->move(8, 8);
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
  setMinimumSize(400, 200);
  SetWindowHelpPage(this, "run.htm");
  resize(440, 375);
  FormResize();
  FormCreate();
}

void TResultsForm::FormCreate() {
  // The log is read when the window is opened, not here: other seats add
  // to it all the time, and a large log would slow every start-up.
  ResultsFileName = ProgramPath("tests\\results.txt");
}

void TResultsForm::LoadLog() {
  std::string bytes;
  try {
    bytes = ReadLog(ResultsFileName);
  } catch (const std::exception& e) {
    ShowException(e);
  }
  // The view keeps the bytes as read and converts only the lines in sight,
  // so a log of years opens at once. It opens at the end: the newest
  // entries, the one just saved among them, are what is looked for.
  Memo1->SetText(std::move(bytes));
  for (const std::string& line : Pending_) Memo1->AppendLine(line);
}

QStringList TResultsForm::Lines() const { return Memo1->Lines(); }

void TResultsForm::AddLines(const QStringList& lines, const std::function<void()>& alsoUnderLock) {
  std::string alsoFailed;
  std::vector<std::string> ansi;
  for (const QString& line : lines) ansi.push_back(SanitizeLogLine(ToAnsi(line)));
  Pending_.insert(Pending_.end(), ansi.begin(), ansi.end());
  // Lines a failed save kept go first, so the log keeps the order of saving.
  try {
    TFileLock lock(ResultsFileName, SharedFileLockTimeoutMs);
    AppendToLog(ResultsFileName, LogLinesBytes(Pending_));
    Pending_.clear();
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
  // An open window shows what was added; a closed one reads the log anew
  // when it is next opened.
  if (isVisible())
    for (const std::string& line : ansi) Memo1->AppendLine(line);
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
  if (MessageDlg(QStringLiteral("Are you sure you want to delete this summary ?"), TMsgDlgType::Confirmation,
                 mbYes | mbNo, mbNo) != mrYes)
    return;
  try {
    TFileLock lock(ResultsFileName, SharedFileLockTimeoutMs);
    ClearLog(ResultsFileName);
  } catch (const std::exception& e) {
    ShowException(e);
    return;
  }
  Memo1->Clear();
  btnClear->setEnabled(false);
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
  const int minWidth = std::max(400, 4 * button.width() + 5 * 8);
  if (width() < minWidth || height() < 200) {
    resize(std::max(width(), minWidth), std::max(height(), 200));
    return;
  }
  const int top = height() - 8 - button.height();
  btnClose->setGeometry(width() - 8 - button.width(), top, button.width(), button.height());
  btnClear->setGeometry(btnClose->x() - 8 - button.width(), top, button.width(), button.height());
  btnExport->setGeometry(8, top, button.width(), button.height());
  btnStatistics->setGeometry(btnExport->x() + 8 + button.width(), top, button.width(), button.height());
  Memo1->setGeometry(8, 8, width() - 16, top - 16);
}

}  // namespace proctorium
