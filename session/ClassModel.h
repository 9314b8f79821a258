#pragma once
// The class view's table: the gradebook's saved tests through a
// TClassTable, so sorting and filtering rearrange an index and the cells
// are made only for the rows in sight.

#include <QAbstractTableModel>
#include <string>

#include "session/core/ClassTable.h"

namespace proctorium {

class TClassModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TClassModel(QObject* parent = nullptr);

  // The gradebook file as read.
  void Load(std::string bytes);
  void SetFilter(const QString& set, const QString& candidate);
  const TClassTable& Table() const { return Table_; }
  // The gradebook entry shown in a row.
  TGradebookEntry EntryAt(int row) const { return Table_.Entry(Table_.Shown()[static_cast<size_t>(row)]); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

 private:
  TClassTable Table_;
};

}  // namespace proctorium
