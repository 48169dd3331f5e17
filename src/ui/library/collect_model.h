#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "library/collect_list.h"
#include "library/collect_rule.h"

namespace vdk {

// The collect tool's rows: "Name" with its check box, "Extname", "Size" and,
// for files the library knows, "Width" and "Height" (the last three
// right-aligned). The user checks rows by hand or through Select. GUI thread
// only.
class TCollectModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { NameColumn, ExtColumn, SizeColumn, WidthColumn, HeightColumn, ColumnCount };

  explicit TCollectModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void SetRows(std::vector<TCollectRow> rows);
  const TCollectRow& Row(int row) const { return rows_.at(std::size_t(row)); }
  bool IsChecked(int row) const { return checked_.at(std::size_t(row)); }
  // "&Select": checks exactly the rows the filter selects.
  void Select(const TCollectFilter& filter);
  // "&Unselect": clears every check.
  void Unselect();
  // The full paths of the checked rows, in row order.
  std::vector<std::string> CheckedPaths() const;

 private:
  void ChecksChanged();

  std::vector<TCollectRow> rows_;
  std::vector<bool> checked_;
};

}  // namespace vdk
