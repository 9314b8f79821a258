#include "paper/PaperVersionsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>
#include <random>

#include "base/Form.h"
#include "base/Settings.h"
#include "paper/core/PaperJob.h"

namespace proctorium {

std::uint64_t NewPaperSeed() {
  std::random_device device;
  std::uniform_int_distribution<std::uint64_t> nine(100000000, 999999999);
  return nine(device);
}

TPaperVersionsDialog::TPaperVersionsDialog(const QString& setTitle, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("paperVersionsDialog"));
  setWindowTitle(QStringLiteral("Paper versions"));
  SetWindowHelpPage(this, "print.htm");

  auto* heading = new QLabel(
      QStringLiteral("Print \u201C%1\u201D as versions with their own question and answer order, each with its "
                     "question paper, answer key and answer sheets.")
          .arg(setTitle),
      this);
  heading->setObjectName(QStringLiteral("paperHeading"));
  heading->setWordWrap(true);

  paperVersions = new QSpinBox(this);
  paperVersions->setObjectName(QStringLiteral("paperVersions"));
  paperVersions->setRange(1, MaxPaperVersions);
  paperVersions->setValue(2);
  paperIdDigits = new QSpinBox(this);
  paperIdDigits->setObjectName(QStringLiteral("paperIdDigits"));
  paperIdDigits->setRange(0, 10);
  paperIdDigits->setValue(6);
  paperIdDigits->setSpecialValueText(QStringLiteral("No ID grid"));
  paperPageSize = new QComboBox(this);
  paperPageSize->setObjectName(QStringLiteral("paperPageSize"));
  paperPageSize->addItem(QStringLiteral("A4"));
  paperPageSize->addItem(QStringLiteral("US Letter"));
  // The paper in the teacher's printer is most likely the country's own.
  const QLocale::Country country = QLocale().territory();
  const bool letter = QLocale().measurementSystem() == QLocale::ImperialUSSystem || country == QLocale::Canada ||
                      country == QLocale::Mexico || country == QLocale::Philippines;
  paperPageSize->setCurrentIndex(letter ? 1 : 0);
  paperSeed = new QLineEdit(this);
  paperSeed->setObjectName(QStringLiteral("paperSeed"));
  paperSeed->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{1,19}")), paperSeed));
  paperSeed->setText(QString::number(NewPaperSeed()));
  paperSeed->setToolTip(QStringLiteral("The same seed prints the same versions again."));
  paperNewSeed = new QPushButton(QStringLiteral("&New seed"), this);
  paperNewSeed->setObjectName(QStringLiteral("paperNewSeed"));
  paperNewSeed->setAutoDefault(false);
  connect(paperNewSeed, &QPushButton::clicked, this, [this] { paperSeed->setText(QString::number(NewPaperSeed())); });

  auto* seedRow = new QHBoxLayout;
  seedRow->addWidget(paperSeed, 1);
  seedRow->addWidget(paperNewSeed);
  auto* form = new QFormLayout;
  auto addRow = [&](const QString& text, QWidget* field, QLayout* row = nullptr) {
    auto* label = new QLabel(text, this);
    label->setBuddy(field);
    if (row)
      form->addRow(label, row);
    else
      form->addRow(label, field);
  };
  addRow(QStringLiteral("&Versions (A, B, \u2026):"), paperVersions);
  addRow(QStringLiteral("Candidate &ID digits:"), paperIdDigits);
  addRow(QStringLiteral("&Page size:"), paperPageSize);
  addRow(QStringLiteral("&Seed:"), paperSeed, seedRow);

  paperButtons = new QDialogButtonBox(this);
  paperButtons->setObjectName(QStringLiteral("paperButtons"));
  paperOk = paperButtons->addButton(QStringLiteral("&Print to PDF\u2026"), QDialogButtonBox::AcceptRole);
  paperOk->setObjectName(QStringLiteral("paperOk"));
  paperOk->setDefault(true);
  paperCancel = paperButtons->addButton(QDialogButtonBox::Cancel);
  paperCancel->setObjectName(QStringLiteral("paperCancel"));
  connect(paperButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(paperButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(paperSeed, &QLineEdit::textChanged, this, &TPaperVersionsDialog::SeedEdited);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addLayout(form);
  layout->addWidget(paperButtons);
  // The administrator's font size, as every other window of the program.
  QFont f = font();
  f.setPointSize(Settings().FontSize());
  setFont(f);
  // Room for the longest seed that can be typed, at this font.
  paperSeed->setMinimumWidth(paperSeed->fontMetrics().horizontalAdvance(QString(21, QLatin1Char('0'))));
}

void TPaperVersionsDialog::SeedEdited() {
  // No job without a seed: it is what prints the same versions again.
  bool ok = false;
  paperSeed->text().toULongLong(&ok);
  paperOk->setEnabled(ok);
}

TPaperPrintChoice TPaperVersionsDialog::Choice() const {
  TPaperPrintChoice choice;
  choice.Versions = paperVersions->value();
  choice.Seed = paperSeed->text().toULongLong();
  choice.Options.IdDigits = paperIdDigits->value();
  choice.Options.Size = paperPageSize->currentIndex() == 1 ? TPaperSize::Letter : TPaperSize::A4;
  return choice;
}

void TPaperVersionsDialog::SetChoice(const TPaperPrintChoice& choice) {
  paperVersions->setValue(choice.Versions);
  paperSeed->setText(QString::number(choice.Seed));
  paperIdDigits->setValue(choice.Options.IdDigits);
  paperPageSize->setCurrentIndex(choice.Options.Size == TPaperSize::Letter ? 1 : 0);
}

}  // namespace proctorium
