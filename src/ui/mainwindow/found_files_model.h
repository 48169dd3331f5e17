#pragma once

#include <QAbstractTableModel>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/run/views.h"
#include "ui/common/flush_pacer.h"

class QTreeView;

namespace vdk {

// The found-files list ("Files found in current task :"): one row per work
// item of the displayed task that is not done, with the columns "!", "From
// URL", "Type", "Size(b)", "Depth" and "Completed". The engine writes into it
// through TItemsView; every call comes on the GUI thread.
//
// Changes are gathered and shown in one go at most every kFlushMilliseconds
// (the first change after a quiet spell on the next pass of the event loop):
// every change in the number of rows costs the view a layout of all rows, so
// a crawl that adds and removes rows hundreds of times a second costs one
// layout per interval. Added rows wait at the end in their order; a row
// removed before it was shown is never shown; a removed row that is shown
// stays until the flush. Cells of waiting rows take their changes at once
// and show them with the row. ClearRows is shown at once and drops what
// waits. The task's items stay the truth: the view lags by an interval at
// most, and never shows a row out of order.
//
// Cost: rows are kept in the order added with a sequence number each, and an
// index from item to sequence number, so finding an item's row is a hash
// probe and a binary search, and no index has to be renumbered when a row in
// the middle goes.
class TFoundFilesModel : public QAbstractTableModel, public TItemsView {
  Q_OBJECT

 public:
  enum Column { kIconColumn, kURLColumn, kTypeColumn, kSizeColumn, kDepthColumn, kCompletedColumn, kColumnCount };
  static constexpr int kFlushMilliseconds = 100;

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

  // Every row removed in one change, at once.
  void ClearRows() override;
  // The rows appended, shown with the next flush.
  void AddRows(const std::vector<TItemRow>& rows) override;
  // Icon 0 on every row.
  void ClearItemIcons();
  // Shows the gathered changes now: the removals, then the added rows in
  // one insertion.
  void Flush();
  // Rows added or removed and not shown yet.
  bool HasPending() const;

  // For tests and the benchmark: the row of an item as the view has it (-1
  // when none, also while its row waits) and what a row shows.
  int RowOf(const TTaskItem* item) const;
  const TTaskItem* ItemAt(int row) const;
  int ImageAt(int row) const;

 signals:
  // Around the signals of one flush, so a view can keep its place.
  void AboutToFlush();
  void Flushed();

 private:
  struct TStoredRow;
  using TRows = std::vector<std::unique_ptr<TStoredRow>>;

  TStoredRow* Find(const TTaskItem* item, int* shownRow = nullptr) const;
  void Append(const TItemRow& row);
  void RemoveGoneRows();
  void CellsChanged(int row, int first, int last);

  TRows rows_;                                                      // what the view has, ascending sequence numbers
  TRows waiting_;                                                   // added and not shown yet, after every row of rows_
  int goneCount_ = 0;                                               // rows of rows_ removed and not shown removed yet
  std::unordered_map<const TTaskItem*, std::uint64_t> sequenceOf_;  // rows not removed
  std::uint64_t nextSequence_ = 1;
  TFlushPacer pacer_;
};

// Keeps the row at the top of the view in place when a flush takes rows
// above it away, as long as the user has scrolled down from the first row.
void KeepTopRowInPlace(QTreeView* view, TFoundFilesModel* model);

}  // namespace vdk
