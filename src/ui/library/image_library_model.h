#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "library/image_detail.h"
#include "ui/imageview/ext_icons.h"

namespace vdk {

// The rows of the library window, one per listed record: "Filename(full)"
// with the file type's icon, "Filename", "Size" (FileSize div 1024 and " KB",
// right-aligned), "Width" and "Height". Rows hold the records themselves
// (immutable and shared), so the texts are made only for the rows shown and
// a row stays valid after its record left the library. GUI thread only.
class TImageLibraryModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { FullNameColumn, NameColumn, SizeColumn, WidthColumn, HeightColumn, ColumnCount };

  explicit TImageLibraryModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Appends the records as rows, in one insertion.
  void Append(const std::vector<TImageDetailPtr>& records);
  // Removes the rows (any order, duplicates allowed).
  void RemoveRows(std::vector<int> rows);
  // Removes the rows of these records (records not listed are passed over).
  void RemoveRecords(const std::vector<TImageDetailPtr>& records);
  void Clear();

  const std::vector<TImageDetailPtr>& Records() const { return records_; }
  QString Path(int row) const;
  QStringList Paths() const;
  // The row's icon in Icons(), looked up by its extension (without regard to
  // case) the first time the row is asked for.
  int IconIndex(int row) const;
  const TExtIcons& Icons() const { return icons_; }

 private:
  static constexpr int kUnknownIcon = -2;

  std::vector<TImageDetailPtr> records_;
  mutable std::vector<int> iconOfRow_;
  mutable TExtIcons icons_;
};

}  // namespace vdk
