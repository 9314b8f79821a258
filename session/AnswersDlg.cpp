#include "session/AnswersDlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "base/Controls.h"
#include "base/Settings.h"
#include "session/core/CandidateReport.h"

namespace proctorium {

TAnswersDlg::TAnswersDlg(QWidget* parent, const TGradebookEntry& entry, const TDetailTest* detail) : TForm(parent) {
  setObjectName(QStringLiteral("AnswersDlg"));
  // In the administrator's font size, as the windows around it.
  SetFontSize(Settings().FontSize());
  const QString who =
      QString::fromStdString(entry.CandidateName.empty() ? std::string("(no name)") : entry.CandidateName);
  setWindowTitle(QStringLiteral("Answers: ") + who + QStringLiteral(" - ") + QString::fromStdString(entry.SetFile));
  setSizeGripEnabled(true);
  lbAnswers = new QLabel(this);
  lbAnswers->setObjectName(QStringLiteral("lbAnswers"));
  lbAnswers->setWordWrap(true);
  QString summary = who;
  if (!entry.CandidateId.empty()) summary += QStringLiteral(" (") + QString::fromStdString(entry.CandidateId) + ')';
  summary += QStringLiteral(", %1, %2\n%3 of %4 correct (%5%)")
                 .arg(QString::fromStdString(entry.SetFile), QString::fromStdString(entry.DateTime))
                 .arg(entry.Correct)
                 .arg(entry.ScoreRule == ScoreRuleAll ? entry.QuestionsInSet : entry.QuestionsSeen)
                 .arg(entry.Percent);
  if (!entry.Result.empty()) summary += QStringLiteral(", ") + QString::fromStdString(entry.Result);
  if (!detail) summary += QStringLiteral("\nThe answers of this test are not in the detail log.");
  lbAnswers->setText(summary);
  tblAnswers = new QTableWidget(this);
  tblAnswers->setObjectName(QStringLiteral("tblAnswers"));
  tblAnswers->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tblAnswers->setSelectionBehavior(QAbstractItemView::SelectRows);
  tblAnswers->verticalHeader()->hide();
  tblAnswers->setColumnCount(4);
  tblAnswers->setHorizontalHeaderLabels({"Question", "Answer given", "Correct answer", "Right or wrong"});
  if (detail) {
    const std::vector<TAnswerRow> rows = AnswerRows(*detail);
    tblAnswers->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
      const TAnswerRow& a = rows[static_cast<size_t>(r)];
      const QString cells[] = {
          QString::number(a.Question), a.Given.empty() ? QStringLiteral("(none)") : QString::fromStdString(a.Given),
          QString::fromStdString(a.Key), a.Correct ? QStringLiteral("Right") : QStringLiteral("Wrong")};
      for (int c = 0; c < 4; ++c) tblAnswers->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
  }
  tblAnswers->resizeColumnsToContents();
  btnClose =
      MakeButton(this, "btnClose", QStringLiteral("&Close"), QStringLiteral("Close this window"), {0, 0, 75, 25});
  connect(btnClose, &QPushButton::clicked, this, [this] { close(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lbAnswers);
  layout->addWidget(tblAnswers, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btnClose);
  layout->addLayout(buttons);
  SetWindowHelpPage(this, "class.htm");
  resize(520, 440);
}

}  // namespace proctorium
