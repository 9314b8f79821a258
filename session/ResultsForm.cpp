#include "session/ResultsForm.h"

#include <filesystem>
#include <system_error>

#include "app/AnsiText.h"
#include "app/Controls.h"
#include "app/MessageDlg.h"
#include "app/ModalSeam.h"
#include "app/ProgramFolder.h"
#include "app/Settings.h"
#include "app/core/FileIO.h"
#include "session/StatisticsForm.h"
#include "session/core/CsvExport.h"

namespace proctorium {

TResultsForm* ResultsForm = nullptr;

namespace {

// Lines as a text file holds them: CR LF, LF or CR ends a line, and a line
// break at the very end does not start another line.
QStringList SplitLines(const QString& text) {
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QChar('\r'), QChar('\n'));
  if (t.isEmpty()) return {};
  if (t.endsWith(QChar('\n'))) t.chop(1);
  return t.split(QChar('\n'));
}

}  // namespace

TResultsForm::TResultsForm(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("ResultsForm"));
  setWindowTitle(QStringLiteral("Results Summary"));
  setSizeGripEnabled(true);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setToolTip(QStringLiteral("List of saved results of all test sessions"));
  // The selection stays visible when the memo loses the focus.
  QPalette p = Memo1->palette();
  p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
  p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
  Memo1->setPalette(p);
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
  connect(btnStatistics, &QPushButton::clicked, this, [this] { btnStatisticsClick(); });
  connect(btnExport, &QPushButton::clicked, this, [this] { btnExportClick(); });
  connect(btnClear, &QPushButton::clicked, this, [this] { btnClearClick(); });
  connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
  connect(Memo1, &QPlainTextEdit::textChanged, this, [this] { Memo1Change(); });
  setMinimumSize(400, 200);
  SetWindowHelpPage(this, "run.htm");
  resize(440, 375);
  FormResize();
  FormCreate();
}

void TResultsForm::FormCreate() {
  ResultsFileName = ProgramPath("tests\\results.txt");
  LoadingFile = true;
  std::string bytes;
  if (FileExists(ResultsFileName) && ReadWholeFile(ResultsFileName, bytes))
    Memo1->setPlainText(SplitLines(FromAnsi(bytes)).join(QChar('\n')));
  else
    Memo1->clear();
  LoadingFile = false;
}

QStringList TResultsForm::Lines() const {
  const QString text = Memo1->toPlainText();
  if (text.isEmpty()) return {};
  return text.split(QChar('\n'));
}

void TResultsForm::AddLines(const QStringList& lines) {
  Batching_ = true;
  for (const QString& line : lines) Memo1->appendPlainText(line);
  Batching_ = false;
  Memo1Change();
}

void TResultsForm::Memo1Change() {
  if (LoadingFile || Batching_) return;
  std::string bytes;
  for (const QString& line : Lines()) bytes += ToAnsi(line) + "\r\n";
  try {
    WriteFileAtomic(ResultsFileName, bytes);
  } catch (const std::exception&) {
    // The memo keeps the lines, and the next change writes them all.
    MessageDlg(QStringLiteral("The results could not be saved to ") + QString::fromStdString(ResultsFileName) +
                   QStringLiteral("\nThey are kept in the results window for the rest of this session."),
               TMsgDlgType::Warning, mbOK);
  }
}

void TResultsForm::btnStatisticsClick() {
  TStatisticsForm statistics(this);
  ExecModal(&statistics);
}

void TResultsForm::btnExportClick() {
  // The log as it is on disk, with what other seats have saved.
  std::string bytes;
  if (FileExists(ResultsFileName) && !ReadWholeFile(ResultsFileName, bytes)) {
    MessageDlg(QStringLiteral("Cannot open file ") + QString::fromStdString(ResultsFileName), TMsgDlgType::Warning,
               mbOK);
    return;
  }
  SaveExport(this, QStringLiteral("Export results"), QStringLiteral("results.csv"), QStringLiteral("CSV files (*.csv)"),
             QStringLiteral("csv"), ResultsLogCsv(ParseResultsLog(bytes)));
}

void TResultsForm::btnClearClick() {
  if (MessageDlg(QStringLiteral("Are you sure you want to delete this summary ?"), TMsgDlgType::Confirmation,
                 mbYes | mbNo, mbNo) != mrYes)
    return;
  LoadingFile = true;  // the file is removed below, not rewritten empty
  Memo1->clear();
  LoadingFile = false;
  std::error_code ec;
  if (FileExists(ResultsFileName) && !std::filesystem::remove(ToFsPath(ResultsFileName), ec))
    MessageDlg(QStringLiteral("Cannot delete file ") + QString::fromStdString(ResultsFileName), TMsgDlgType::Warning,
               mbOK);
  btnClear->setEnabled(false);
}

void TResultsForm::FormShow() {
  SetFontSize(Settings().FontSize());
  SetShowHint(Settings().ShowHints());
  FormResize();
  btnClear->setEnabled(!Lines().isEmpty());
}

void TResultsForm::resizeEvent(QResizeEvent* e) {
  TForm::resizeEvent(e);
  FormResize();
}

void TResultsForm::FormResize() {
  if (width() < 400 || height() < 200) {
    resize(std::max(width(), 400), std::max(height(), 200));
    return;
  }
  // The entries are long lines: the memo takes the whole width, and the
  // buttons stand in a row below it, as large as the window font needs.
  QSize button(60, 25);
  for (QPushButton* b : {btnClear, btnClose, btnStatistics, btnExport}) button = button.expandedTo(b->sizeHint());
  const int top = height() - 8 - button.height();
  btnClose->setGeometry(width() - 8 - button.width(), top, button.width(), button.height());
  btnClear->setGeometry(btnClose->x() - 8 - button.width(), top, button.width(), button.height());
  btnExport->setGeometry(8, top, button.width(), button.height());
  btnStatistics->setGeometry(btnExport->x() + 8 + button.width(), top, button.width(), button.height());
  Memo1->setGeometry(8, 8, width() - 16, top - 16);
}

}  // namespace proctorium
