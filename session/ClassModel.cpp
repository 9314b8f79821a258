#include "session/ClassModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <utility>

namespace proctorium {

TClassModel::TClassModel(QObject* parent) : QAbstractTableModel(parent) {}

void TClassModel::Load(std::string bytes) {
  beginResetModel();
  Table_.Load(std::move(bytes));
  endResetModel();
}

void TClassModel::SetFilter(const QString& set, const QString& candidate) {
  beginResetModel();
  Table_.SetFilter(set.toStdString(), candidate.toStdString());
  endResetModel();
}

int TClassModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Table_.Shown().size());
}

int TClassModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ClassColumnCount; }

QVariant TClassModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const size_t entry = Table_.Shown()[static_cast<size_t>(index.row())];
  const bool latest = Table_.Latest(entry);
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(Table_.Cell(entry, index.column()));
    case Qt::FontRole:
      if (latest) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    case Qt::BackgroundRole:
      // A pale tint that keeps any text colour readable; the mark and the
      // bold type tell the row without it.
      return latest ? QBrush(QColor(255, 243, 176)) : QVariant();
    case Qt::ForegroundRole:
      return latest ? QBrush(Qt::black) : QVariant();
    case Qt::ToolTipRole:
      return latest ? QStringLiteral("The latest attempt of this candidate at this set") : QVariant();
    case Qt::TextAlignmentRole: {
      const int c = index.column();
      const bool number = c == ClassSeen || c == ClassInSet || c == ClassCorrect || c == ClassPercent ||
                          c == ClassTime || c == ClassFocusLost;
      return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    default:
      return {};
  }
}

QVariant TClassModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return QString::fromStdString(TClassTable::ColumnTitle(section));
  return section + 1;
}

void TClassModel::sort(int column, Qt::SortOrder order) {
  // A reset rather than a layout change: the selection is of rows, and
  // rows sorted anew are other rows.
  beginResetModel();
  Table_.Sort(column, order == Qt::AscendingOrder);
  endResetModel();
}

}  // namespace proctorium
