#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "core/run/views.h"
#include "library/saved_files.h"
#include "library/saved_files_order.h"
#include "ui/common/flush_pacer.h"
#include "ui/imageview/ext_icons.h"

namespace vdk {

// The rows of a task's downloaded-files list: "Name" with the file type's
// icon, "Ext" and "Size" (right-aligned), each row keeping its file's path.
// Filled from a listing of the folder; the running download adds rows
// through TImagesView (without an icon), gathered and shown at most every
// kFlushMilliseconds (the first after a quiet spell on the next pass of the
// event loop), so a crawl that saves many files a second costs the view one
// layout and paint per interval. While a sort is chosen, rows are kept in
// its order and new rows go to their place; while unsorted, they keep the
// order they came in. The header of a column shows its sort arrow. GUI
// thread only.
class TImagesListModel : public QAbstractTableModel, public TImagesView {
  Q_OBJECT
 public:
  enum Column { NameColumn, ExtColumn, SizeColumn, ColumnCount };
  static constexpr int kFlushMilliseconds = 100;

  explicit TImagesListModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Replaces every row with the listing, in its order (sorted when a sort
  // is chosen), in one reset; rows not shown yet go too.
  void Fill(std::vector<TSavedFile> files);
  // The row is shown with the next flush.
  void AddFileRow(const std::string& caption, const std::string& ext, const std::string& size,
                  const std::string& path) override;
  // Shows the rows added since the last flush now.
  void Flush();
  // Removes the rows (any order, duplicates allowed).
  void RemoveRows(std::vector<int> rows);

  const TSavedFile& Row(int row) const { return rows_.at(row).File; }
  QString Path(int row) const;
  QStringList Paths() const;
  int IconIndex(int row) const { return rows_.at(row).Icon; }
  const TExtIcons& Icons() const { return icons_; }

  const TImagesOrder& Order() const { return order_; }
  // Takes a new order and sorts the rows once (a stable sort: rows that
  // compare equal keep their places).
  void SetOrder(const TImagesOrder& order);

 private:
  struct TRow {
    TSavedFile File;
    int Icon = TExtIcons::kNone;
  };

  void SortRows();
  void Insert(TRow row);

  std::vector<TRow> rows_;
  std::vector<TRow> waiting_;  // added and not shown yet
  TFlushPacer pacer_;
  TExtIcons icons_;
  TImagesOrder order_;
};

}  // namespace vdk
