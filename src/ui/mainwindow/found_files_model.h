#pragma once

#include <QAbstractTableModel>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/run/views.h"

namespace vdk {

// The found-files list ("Files found in current task :"): one row per work
// item of the displayed task that is not done, with the columns "!", "From
// URL", "Type", "Size(b)", "Depth" and "Completed". The engine writes into it
// through TItemsView; every call comes on the GUI thread.
//
// Cost: rows are kept in the order added with a sequence number each, and an
// index from item to sequence number, so finding an item's row is a hash
// probe and a binary search, and no index has to be renumbered when a row in
// the middle goes.
class TFoundFilesModel : public QAbstractTableModel, public TItemsView {
  Q_OBJECT

 public:
  enum Column { kIconColumn, kURLColumn, kTypeColumn, kSizeColumn, kDepthColumn, kCompletedColumn, kColumnCount };

  explicit TFoundFilesModel(QObject* parent = nullptr);
  ~TFoundFilesModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // TItemsView.
  void AddRow(const TTaskItem* item, int imageIndex, const std::array<std::string, 5>& subItems) override;
  void RemoveRow(const TTaskItem* item) override;
  void SetRowImage(const TTaskItem* item, int imageIndex) override;
  void SetRowProgress(const TTaskItem* item, const std::string& size, const std::string& completed) override;

  // Every row removed in one change.
  void ClearRows() override;
  // The rows appended in one change.
  void AddRows(const std::vector<TItemRow>& rows) override;
  // Icon 0 on every row.
  void ClearItemIcons();

  // For tests and the benchmark: the row of an item (-1 when none) and what
  // a row shows.
  int RowOf(const TTaskItem* item) const;
  const TTaskItem* ItemAt(int row) const;
  int ImageAt(int row) const;

 private:
  struct TStoredRow;
  void AppendStored(const TItemRow& row);
  void CellsChanged(int row, int first, int last);

  std::vector<std::unique_ptr<TStoredRow>> rows_;  // ascending sequence numbers
  std::unordered_map<const TTaskItem*, std::uint64_t> sequenceOf_;
  std::uint64_t nextSequence_ = 1;
};

}  // namespace vdk
