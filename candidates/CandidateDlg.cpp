#include "candidates/CandidateDlg.h"

#include <QStandardItemModel>
#include <algorithm>
#include <utility>

#include "base/Controls.h"
#include "base/MessageDlg.h"
#include "base/Settings.h"

namespace proctorium {

namespace {

constexpr int FoldedRole = Qt::UserRole + 1;

// Matches what was typed, folded, against the folded names anywhere in the
// name ("smi" finds "Ann Smith"), and puts the listed spelling in the field.
class TFoldingCompleter : public QCompleter {
 public:
  using QCompleter::QCompleter;
  QStringList splitPath(const QString& path) const override { return {FoldForMatch(path)}; }
  QString pathFromIndex(const QModelIndex& index) const override { return index.data(Qt::DisplayRole).toString(); }
};

// Control characters (a pasted line break) become blanks; Unicode's spaces
// (no-break, ideographic) are trimmed too, as the class list is read.
QString Trimmed(QString text) {
  for (QChar& c : text)
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QChar(' ');
  return QString::fromStdString(TrimUtf8(text.toStdString()));
}

}  // namespace

QString FoldForMatch(const QString& text) {
  const QString decomposed = text.normalized(QString::NormalizationForm_KD);
  QString out;
  out.reserve(decomposed.size());
  for (QChar c : decomposed) {
    const auto category = c.category();
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
        category == QChar::Mark_Enclosing)
      continue;
    out += c;
  }
  // Letters with no decomposition that people type without their stroke.
  out.replace(QChar(0x00DF), QStringLiteral("ss"));
  out = out.toCaseFolded();
  static const std::pair<char16_t, char> strokes[] = {
      {0x00F8, 'o'}, {0x0142, 'l'}, {0x0111, 'd'}, {0x00F0, 'd'}, {0x0131, 'i'}};
  for (const auto& [from, to] : strokes) out.replace(QChar(from), QChar::fromLatin1(to));
  out.replace(QChar(0x00E6), QStringLiteral("ae"));
  out.replace(QChar(0x0153), QStringLiteral("oe"));
  return out.simplified();
}

TCandidateDlg::TCandidateDlg(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("CandidateDlg"));
  // In the administrator's font size, as the windows around it.
  SetFontSize(Settings().FontSize());
  setWindowTitle(QStringLiteral("Who is taking the test?"));
  SetFixedDialogFrame(this);
  SetWindowHelpPage(this, "candidates.htm");
  lbCandidateName = MakeLabel(this, "lbCandidateName", QStringLiteral("Candidate's &name:"), {8, 8});
  edCandidateName =
      MakeEdit(this, "edCandidateName", QStringLiteral("Your name as your teacher knows it"), {8, 26, 280, 21});
  lbCandidateId = MakeLabel(this, "lbCandidateId", QStringLiteral("Candidate &ID:"), {8, 56});
  edCandidateId = MakeEdit(this, "edCandidateId", QStringLiteral("Your candidate or student number"), {8, 74, 280, 21});
  lbCandidateName->setBuddy(edCandidateName);
  lbCandidateId->setBuddy(edCandidateId);
  btnOk =
      MakeAutoDefaultButton(this, "btnOk", QStringLiteral("OK"), QStringLiteral("Start the test"), {132, 108, 75, 22});
  btnOk->setDefault(true);
  btnCancel = MakeAutoDefaultButton(this, "btnCancel", QStringLiteral("Cancel"),
                                    QStringLiteral("Return to the start window without starting"), {213, 108, 75, 22});
  Completer_ = new TFoldingCompleter(new QStandardItemModel(this), this);
  Completer_->setObjectName(QStringLiteral("CandidateCompleter"));
  Completer_->setCompletionRole(FoldedRole);
  Completer_->setFilterMode(Qt::MatchContains);
  Completer_->setCaseSensitivity(Qt::CaseSensitive);  // both sides are folded already
  Completer_->setCompletionMode(QCompleter::PopupCompletion);
  connect(Completer_, qOverload<const QString&>(&QCompleter::activated), this,
          [this](const QString& name) { NameChosen(name); });
  connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
  Prepare(false, {}, false);
}

void TCandidateDlg::Prepare(bool askId, std::vector<TCandidate> classList, bool allowUnlisted) {
  AskId_ = askId;
  AllowUnlisted_ = allowUnlisted;
  List_ = std::move(classList);
  Name_.clear();
  Id_.clear();
  edCandidateName->clear();
  edCandidateId->clear();
  edCandidateName->setMaxLength(MaxCandidateChars * 2);  // room to see the excess; OK tells
  edCandidateId->setMaxLength(MaxCandidateChars * 2);
  lbCandidateId->setVisible(askId);
  edCandidateId->setVisible(askId);
  auto* model = static_cast<QStandardItemModel*>(Completer_->model());
  model->clear();
  for (const TCandidate& c : List_) {
    auto* item = new QStandardItem(QString::fromStdString(c.Name));
    item->setData(FoldForMatch(item->text()), FoldedRole);
    item->setToolTip(QString::fromStdString(c.Id));
    model->appendRow(item);
  }
  edCandidateName->setCompleter(List_.empty() ? nullptr : Completer_);
  // Laid out from the font's sizes, so a large administrator font grows the
  // dialog instead of clipping it; without the ID row the buttons move up.
  const int gap = 8;
  const int labelHeight = lbCandidateName->sizeHint().height();
  const int editHeight = std::max(21, edCandidateName->sizeHint().height());
  const QSize button = QSize(75, 22).expandedTo(btnOk->sizeHint()).expandedTo(btnCancel->sizeHint());
  const int width = std::max({296, lbCandidateName->sizeHint().width() + 2 * gap,
                              lbCandidateId->sizeHint().width() + 2 * gap, 2 * button.width() + 6 + 2 * gap});
  int y = gap;
  lbCandidateName->setGeometry(gap, y, width - 2 * gap, labelHeight);
  y += labelHeight + 2;
  edCandidateName->setGeometry(gap, y, width - 2 * gap, editHeight);
  y += editHeight + gap;
  if (askId) {
    lbCandidateId->setGeometry(gap, y, width - 2 * gap, labelHeight);
    y += labelHeight + 2;
    edCandidateId->setGeometry(gap, y, width - 2 * gap, editHeight);
    y += editHeight + gap;
  }
  y += 4;
  btnCancel->setGeometry(width - gap - button.width(), y, button.width(), button.height());
  btnOk->setGeometry(btnCancel->x() - 6 - button.width(), y, button.width(), button.height());
  setFixedSize(width, y + button.height() + gap);
}

void TCandidateDlg::FormShow() {
  SetShowHint(Settings().ShowHints());
  edCandidateName->setFocus();
}

void TCandidateDlg::NameChosen(const QString& name) {
  if (!AskId_) return;
  const QString folded = FoldForMatch(name);
  const TCandidate* only = nullptr;
  for (const TCandidate& c : List_) {
    if (FoldForMatch(QString::fromStdString(c.Name)) != folded) continue;
    if (only) return;  // two of the same name: the candidate gives the ID
    only = &c;
  }
  if (only) edCandidateId->setText(QString::fromStdString(only->Id));
}

const TCandidate* TCandidateDlg::FindListed(const QString& name, const QString& id) const {
  const QString folded = FoldForMatch(name);
  for (const TCandidate& c : List_)
    if (FoldForMatch(QString::fromStdString(c.Name)) == folded && (!AskId_ || QString::fromStdString(c.Id) == id))
      return &c;
  return nullptr;
}

void TCandidateDlg::btnOkClick() {
  const QString name = Trimmed(edCandidateName->text());
  const QString id = AskId_ ? Trimmed(edCandidateId->text()) : QString();
  auto refuse = [this](const QString& text, QLineEdit* field) {
    MessageDlg(text, TMsgDlgType::Warning, mbOK);
    field->setFocus();
    field->selectAll();
  };
  const int maxChars = MaxCandidateChars;
  if (name.isEmpty()) return refuse(QStringLiteral("Please type the candidate's name."), edCandidateName);
  if (name.toUcs4().size() > maxChars)
    return refuse(QStringLiteral("The name can have at most %1 characters.").arg(maxChars), edCandidateName);
  if (AskId_ && id.isEmpty()) return refuse(QStringLiteral("Please type the candidate's ID."), edCandidateId);
  if (id.toUcs4().size() > maxChars)
    return refuse(QStringLiteral("The ID can have at most %1 characters.").arg(maxChars), edCandidateId);
  Name_ = name.toStdString();
  Id_ = id.toStdString();
  if (!List_.empty()) {
    if (const TCandidate* listed = FindListed(name, id)) {
      // Stored as the class list spells it, so one candidate is one name.
      Name_ = listed->Name;
      Id_ = listed->Id;
    } else if (!AllowUnlisted_) {
      return refuse(AskId_ ? QStringLiteral("This name and ID are not on the class list. Please check them.")
                           : QStringLiteral("This name is not on the class list. Please check it."),
                    edCandidateName);
    }
  }
  done(mrOk);
}

void TCandidateDlg::reject() { done(mrCancel); }

}  // namespace proctorium
