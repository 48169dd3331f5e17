#include "ui/imageview/images_list_model.h"

#include <algorithm>
#include <iterator>
#include <numeric>

#include "ui/common/row_ranges.h"

namespace vdk {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TImagesListModel::TImagesListModel(QObject* parent)
    : QAbstractTableModel(parent), pacer_(kFlushMilliseconds, [this] { Flush(); }) {}

int TImagesListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int TImagesListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TImagesListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(rows_.size())) return {};
  const TRow& row = rows_[index.row()];
  if (role == Qt::DisplayRole) {
    switch (index.column()) {
      case NameColumn:
        return Text(row.File.Caption);
      case ExtColumn:
        return Text(row.File.Ext);
      case SizeColumn:
        return Text(row.File.SizeText);
    }
  }
  if (role == Qt::DecorationRole && index.column() == NameColumn && row.Icon != TExtIcons::kNone)
    return icons_.Icon(row.Icon);
  if (role == Qt::TextAlignmentRole && index.column() == SizeColumn)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  if (role == Qt::ToolTipRole) return Text(row.File.Path);
  return {};
}

QVariant TImagesListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
  if (role == Qt::DisplayRole) {
    static const char* const kCaptions[] = {"Name", "Ext", "Size"};
    return QString::fromLatin1(kCaptions[section]);
  }
  if (role == Qt::DecorationRole) {
    switch (order_.Arrow(section)) {
      case TSortArrow::Ascending:
        return icons_.Icon(TExtIcons::kAscending);
      case TSortArrow::Descending:
        return icons_.Icon(TExtIcons::kDescending);
      case TSortArrow::None:
        break;
    }
  }
  if (role == Qt::TextAlignmentRole && section == SizeColumn)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

void TImagesListModel::Fill(std::vector<TSavedFile> files) {
  pacer_.Cancel();
  waiting_.clear();
  beginResetModel();
  rows_.clear();
  rows_.reserve(files.size());
  for (TSavedFile& file : files) {
    const int icon = icons_.IndexFor(Text(file.Ext), Text(file.Path));
    rows_.push_back({std::move(file), icon});
  }
  if (order_.AutoSort())
    std::stable_sort(rows_.begin(), rows_.end(),
                     [this](const TRow& a, const TRow& b) { return order_.Compare(a.File, b.File) < 0; });
  endResetModel();
}

void TImagesListModel::AddFileRow(const std::string& caption, const std::string& ext, const std::string& size,
                                  const std::string& path) {
  waiting_.push_back({{caption, ext, size, path}, TExtIcons::kNone});
  pacer_.Request();
}

void TImagesListModel::Flush() {
  pacer_.Cancel();
  if (waiting_.empty()) return;
  std::vector<TRow> rows = std::move(waiting_);
  waiting_.clear();
  if (!order_.AutoSort()) {
    // One change for the lot, in the order they came.
    const int at = int(rows_.size());
    beginInsertRows({}, at, at + int(rows.size()) - 1);
    std::move(rows.begin(), rows.end(), std::back_inserter(rows_));
    endInsertRows();
  } else {
    for (TRow& row : rows) Insert(std::move(row));
  }
  pacer_.Flushed();
}

void TImagesListModel::Insert(TRow row) {
  const auto place = std::upper_bound(rows_.begin(), rows_.end(), row, [this](const TRow& a, const TRow& b) {
    return order_.Compare(a.File, b.File) < 0;
  });
  const int at = int(place - rows_.begin());
  beginInsertRows({}, at, at);
  rows_.insert(place, std::move(row));
  endInsertRows();
}

void TImagesListModel::RemoveRows(std::vector<int> rows) {
  for (const auto& [first, last] : RowRangesFromBottom(std::move(rows))) {
    if (first < 0 || last >= int(rows_.size())) continue;
    beginRemoveRows({}, first, last);
    rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
    endRemoveRows();
  }
}

QString TImagesListModel::Path(int row) const { return Text(rows_.at(row).File.Path); }

QStringList TImagesListModel::Paths() const {
  QStringList paths;
  paths.reserve(int(rows_.size()));
  for (const TRow& row : rows_) paths << Text(row.File.Path);
  return paths;
}

void TImagesListModel::SetOrder(const TImagesOrder& order) {
  order_ = order;
  emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
  SortRows();
}

void TImagesListModel::SortRows() {
  if (rows_.size() < 2) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> order(rows_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [this](int a, int b) { return order_.Compare(rows_[a].File, rows_[b].File) < 0; });
  std::vector<TRow> sorted;
  sorted.reserve(rows_.size());
  std::vector<int> newRowOf(rows_.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    newRowOf[order[i]] = int(i);
    sorted.push_back(std::move(rows_[order[i]]));
  }
  rows_ = std::move(sorted);
  // Selections and the current row follow their rows.
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& index : before) after << createIndex(newRowOf[index.row()], index.column());
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace vdk
