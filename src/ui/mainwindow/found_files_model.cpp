#include "ui/mainwindow/found_files_model.h"

#include <algorithm>

#include "core/model/task.h"
#include "ui/mainwindow/pictures.h"

namespace vdk {

struct TFoundFilesModel::TStoredRow {
  std::uint64_t Sequence = 0;
  // Keeps the item alive while its row is listed, so that no other item can
  // take its address and be mistaken for it.
  std::shared_ptr<const TTaskItem> Keep;
  TItemRow Row;
};

namespace {

const QIcon& RowIcon(int image) {
  static const QIcon waiting = ThemeIcon(QStringLiteral("vendrake-item-waiting"));
  static const QIcon running = ThemeIcon(QStringLiteral("vendrake-item-running"));
  return image == 1 ? running : waiting;
}

}  // namespace

TFoundFilesModel::TFoundFilesModel(QObject* parent) : QAbstractTableModel(parent) {}
TFoundFilesModel::~TFoundFilesModel() = default;

int TFoundFilesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TFoundFilesModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant TFoundFilesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const TItemRow& row = rows_[static_cast<std::size_t>(index.row())]->Row;
  const int column = index.column();
  if (role == Qt::DisplayRole && column > kIconColumn)
    return QString::fromUtf8(row.SubItems[static_cast<std::size_t>(column - 1)]);
  if (role == Qt::DecorationRole && column == kIconColumn) return RowIcon(row.ImageIndex);
  if (role == Qt::TextAlignmentRole && column >= kSizeColumn)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant TFoundFilesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static const char* const kTitles[kColumnCount] = {"!", "From URL", "Type", "Size(b)", "Depth", "Completed"};
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromLatin1(kTitles[section]);
  if (role == Qt::TextAlignmentRole && section >= kSizeColumn)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

int TFoundFilesModel::RowOf(const TTaskItem* item) const {
  const auto found = sequenceOf_.find(item);
  if (found == sequenceOf_.end()) return -1;
  const auto at = std::lower_bound(rows_.begin(), rows_.end(), found->second,
                                   [](const auto& row, std::uint64_t seq) { return row->Sequence < seq; });
  return at == rows_.end() || (*at)->Sequence != found->second ? -1 : static_cast<int>(at - rows_.begin());
}

const TTaskItem* TFoundFilesModel::ItemAt(int row) const { return rows_.at(static_cast<std::size_t>(row))->Row.Item; }
int TFoundFilesModel::ImageAt(int row) const { return rows_.at(static_cast<std::size_t>(row))->Row.ImageIndex; }

void TFoundFilesModel::AppendStored(const TItemRow& row) {
  auto stored = std::make_unique<TStoredRow>();
  stored->Sequence = nextSequence_++;
  if (row.Item != nullptr) stored->Keep = row.Item->weak_from_this().lock();
  stored->Row = row;
  // A second row for the same item (the engine never asks for one) would be
  // found no more: the index points at the newest.
  sequenceOf_[row.Item] = stored->Sequence;
  rows_.push_back(std::move(stored));
}

void TFoundFilesModel::AddRow(const TTaskItem* item, int imageIndex, const std::array<std::string, 5>& subItems) {
  const int at = rowCount();
  beginInsertRows({}, at, at);
  AppendStored({item, imageIndex, subItems});
  endInsertRows();
}

void TFoundFilesModel::AddRows(const std::vector<TItemRow>& rows) {
  if (rows.empty()) return;
  const int at = rowCount();
  beginInsertRows({}, at, at + static_cast<int>(rows.size()) - 1);
  rows_.reserve(rows_.size() + rows.size());
  for (const TItemRow& row : rows) AppendStored(row);
  endInsertRows();
}

void TFoundFilesModel::RemoveRow(const TTaskItem* item) {
  const int row = RowOf(item);
  if (row < 0) return;
  beginRemoveRows({}, row, row);
  sequenceOf_.erase(item);
  rows_.erase(rows_.begin() + row);
  endRemoveRows();
}

void TFoundFilesModel::ClearRows() {
  if (rows_.empty()) return;
  beginResetModel();
  rows_.clear();
  sequenceOf_.clear();
  endResetModel();
}

void TFoundFilesModel::CellsChanged(int row, int first, int last) {
  emit dataChanged(index(row, first), index(row, last));
}

void TFoundFilesModel::SetRowImage(const TTaskItem* item, int imageIndex) {
  const int row = RowOf(item);
  if (row < 0) return;
  int& image = rows_[static_cast<std::size_t>(row)]->Row.ImageIndex;
  if (image == imageIndex) return;
  image = imageIndex;
  CellsChanged(row, kIconColumn, kIconColumn);
}

void TFoundFilesModel::SetRowProgress(const TTaskItem* item, const std::string& size, const std::string& completed) {
  const int row = RowOf(item);
  if (row < 0) return;
  auto& cells = rows_[static_cast<std::size_t>(row)]->Row.SubItems;
  cells[kSizeColumn - 1] = size;
  cells[kCompletedColumn - 1] = completed;
  CellsChanged(row, kSizeColumn, kCompletedColumn);
}

void TFoundFilesModel::ClearItemIcons() {
  if (rows_.empty()) return;
  for (auto& row : rows_) row->Row.ImageIndex = 0;
  emit dataChanged(index(0, kIconColumn), index(rowCount() - 1, kIconColumn));
}

}  // namespace vdk
