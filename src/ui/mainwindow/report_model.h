#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <array>

namespace vdk {

class TTask;

// The report of the selected task on the state panel's "Report" page: three
// rows ("Name", "URL", "Files") with the columns "Name", "Value" and
// "Description", or no rows. Used on the GUI thread only.
class TReportModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kNameColumn, kValueColumn, kDescriptionColumn, kColumnCount };
  enum Row { kNameRow, kURLRow, kFilesRow, kRowCount };

  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The three rows of the task, in one change.
  void FillReport(const TTask& task);
  // The "Files" value: finished items / items, "%d/%d".
  void UpdateReportFiles(const TTask& task);
  // No rows (nothing happens when there are none).
  void ClearReport();

  bool IsEmpty() const { return !filled_; }
  QString Value(int row) const { return values_[static_cast<std::size_t>(row)]; }

  static QString FilesText(const TTask& task);
  // The texts of the "Description" column.
  static QStringList Descriptions();

 private:
  bool filled_ = false;
  std::array<QString, kRowCount> values_;
};

}  // namespace vdk
