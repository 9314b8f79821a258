#include "editor/CsvColumnsDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "base/Controls.h"
#include "base/MessageDlg.h"
#include "base/Settings.h"
#include "questions/core/QuestionSet.h"

namespace proctorium {

TCsvColumnsDialog::TCsvColumnsDialog(QWidget* parent, const std::vector<std::string>& header, const TCsvColumns& guess)
    : TForm(parent) {
  setObjectName(QStringLiteral("CsvColumnsDialog"));
  // In the administrator's font size, as the windows around it.
  SetFontSize(Settings().FontSize());
  setWindowTitle(QStringLiteral("Choose the columns"));
  lbHint = new QLabel(QStringLiteral("This table's header is not Proctorium's own. Choose which column holds the "
                                     "question, which hold the answers and which the correct ones (letters, "
                                     "numbers or the correct answer's text). The choice is remembered for tables "
                                     "with the same header."),
                      this);
  lbHint->setObjectName(QStringLiteral("lbHint"));
  lbHint->setWordWrap(true);
  cbQuestion = new QComboBox(this);
  cbQuestion->setObjectName(QStringLiteral("cbQuestion"));
  cbKey = new QComboBox(this);
  cbKey->setObjectName(QStringLiteral("cbKey"));
  lstAnswers = new QListWidget(this);
  lstAnswers->setObjectName(QStringLiteral("lstAnswers"));
  lstAnswers->setToolTip(QStringLiteral("Tick the answer columns: the first ticked is answer A"));
  for (size_t i = 0; i < header.size(); ++i) {
    const QString name = QStringLiteral("%1: %2").arg(i + 1).arg(QString::fromStdString(header[i]));
    cbQuestion->addItem(name);
    cbKey->addItem(name);
    auto* item = new QListWidgetItem(name, lstAnswers);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    const bool answer =
        std::find(guess.Answers.begin(), guess.Answers.end(), static_cast<int>(i)) != guess.Answers.end();
    item->setCheckState(answer ? Qt::Checked : Qt::Unchecked);
  }
  cbQuestion->setCurrentIndex(std::max(0, guess.Question));
  cbKey->setCurrentIndex(std::max(0, guess.Key));

  btnOK = MakeButton(this, "btnOK", QStringLiteral("OK"), QStringLiteral("Import with these columns"), {});
  btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Cancel"), QStringLiteral("Import nothing"), {});
  btnOK->setDefault(true);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Question:"), cbQuestion);
  form->addRow(QStringLiteral("&Answers:"), lstAnswers);
  form->addRow(QStringLiteral("Correct &key:"), cbKey);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* all = new QVBoxLayout(this);
  all->addWidget(lbHint);
  all->addLayout(form);
  all->addLayout(buttons);
  // Wider with a larger font, and as tall as the wrapped hint then needs.
  const int width = std::max(460, fontMetrics().averageCharWidth() * 70);
  resize(width, std::max(360, heightForWidth(width)));

  connect(lstAnswers, &QListWidget::itemChanged, this, [this] { UpdateOk(); });
  connect(cbQuestion, &QComboBox::currentIndexChanged, this, [this] { UpdateOk(); });
  connect(cbKey, &QComboBox::currentIndexChanged, this, [this] { UpdateOk(); });
  connect(btnOK, &QPushButton::clicked, this, [this] { done(mrOk); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
  SetWindowHelpPage(this, "edit.htm");
  UpdateOk();
}

TCsvColumns TCsvColumnsDialog::Columns() const {
  TCsvColumns c;
  c.Question = cbQuestion->currentIndex();
  c.Key = cbKey->currentIndex();
  for (int i = 0; i < lstAnswers->count(); ++i)
    if (lstAnswers->item(i)->checkState() == Qt::Checked && i != c.Question && i != c.Key) c.Answers.push_back(i);
  return c;
}

void TCsvColumnsDialog::UpdateOk() {
  const TCsvColumns c = Columns();
  // At least two answers and no more than a set holds.
  btnOK->setEnabled(c.Question != c.Key && c.Answers.size() >= 2 &&
                    c.Answers.size() <= static_cast<size_t>(AnswerCount));
}

}  // namespace proctorium
