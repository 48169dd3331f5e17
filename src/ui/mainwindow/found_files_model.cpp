#include "ui/mainwindow/found_files_model.h"

#include <QScrollBar>
#include <QTreeView>
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
  bool Gone = false;  // removed; the view still has it until the flush
};

namespace {

const QIcon& RowIcon(int image) {
  static const QIcon waiting = ThemeIcon(QStringLiteral("vendrake-item-waiting"));
  static const QIcon running = ThemeIcon(QStringLiteral("vendrake-item-running"));
  return image == 1 ? running : waiting;
}

template <typename Rows>
auto FindSequence(Rows& rows, std::uint64_t sequence) {
  const auto at = std::lower_bound(rows.begin(), rows.end(), sequence,
                                   [](const auto& row, std::uint64_t seq) { return row->Sequence < seq; });
  return at != rows.end() && (*at)->Sequence == sequence ? at : rows.end();
}

}  // namespace

TFoundFilesModel::TFoundFilesModel(QObject* parent)
    : QAbstractTableModel(parent), pacer_(kFlushMilliseconds, [this] { Flush(); }) {}

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

TFoundFilesModel::TStoredRow* TFoundFilesModel::Find(const TTaskItem* item, int* shownRow) const {
  if (shownRow != nullptr) *shownRow = -1;
  const auto found = sequenceOf_.find(item);
  if (found == sequenceOf_.end()) return nullptr;
  if (!waiting_.empty() && found->second >= waiting_.front()->Sequence) {
    const auto at = FindSequence(waiting_, found->second);
    return at == waiting_.end() ? nullptr : at->get();
  }
  const auto at = FindSequence(rows_, found->second);
  if (at == rows_.end()) return nullptr;
  if (shownRow != nullptr) *shownRow = static_cast<int>(at - rows_.begin());
  return at->get();
}

int TFoundFilesModel::RowOf(const TTaskItem* item) const {
  int row = -1;
  Find(item, &row);
  return row;
}

const TTaskItem* TFoundFilesModel::ItemAt(int row) const { return rows_.at(static_cast<std::size_t>(row))->Row.Item; }
int TFoundFilesModel::ImageAt(int row) const { return rows_.at(static_cast<std::size_t>(row))->Row.ImageIndex; }

bool TFoundFilesModel::HasPending() const { return goneCount_ > 0 || !waiting_.empty(); }

void TFoundFilesModel::Append(const TItemRow& row) {
  auto stored = std::make_unique<TStoredRow>();
  stored->Sequence = nextSequence_++;
  if (row.Item != nullptr) stored->Keep = row.Item->weak_from_this().lock();
  stored->Row = row;
  // A second row for the same item (the engine never asks for one) would be
  // found no more: the index points at the newest.
  sequenceOf_[row.Item] = stored->Sequence;
  waiting_.push_back(std::move(stored));
}

void TFoundFilesModel::AddRow(const TTaskItem* item, int imageIndex, const std::array<std::string, 5>& subItems) {
  Append({item, imageIndex, subItems});
  pacer_.Request();
}

void TFoundFilesModel::AddRows(const std::vector<TItemRow>& rows) {
  if (rows.empty()) return;
  waiting_.reserve(waiting_.size() + rows.size());
  for (const TItemRow& row : rows) Append(row);
  pacer_.Request();
}

void TFoundFilesModel::RemoveRow(const TTaskItem* item) {
  int shown = -1;
  TStoredRow* stored = Find(item, &shown);
  if (stored == nullptr) return;
  sequenceOf_.erase(item);
  if (shown < 0) {
    waiting_.erase(FindSequence(waiting_, stored->Sequence));
    return;
  }
  stored->Gone = true;
  ++goneCount_;
  pacer_.Request();
}

void TFoundFilesModel::ClearRows() {
  pacer_.Cancel();
  waiting_.clear();
  sequenceOf_.clear();
  goneCount_ = 0;
  if (rows_.empty()) return;
  beginResetModel();
  rows_.clear();
  endResetModel();
}

void TFoundFilesModel::RemoveGoneRows() {
  // From the bottom up, one change per run of removed rows, so the rows
  // above a run keep their numbers while it goes.
  for (int row = static_cast<int>(rows_.size()) - 1; goneCount_ > 0 && row >= 0; --row) {
    if (!rows_[static_cast<std::size_t>(row)]->Gone) continue;
    const int last = row;
    while (row > 0 && rows_[static_cast<std::size_t>(row - 1)]->Gone) --row;
    beginRemoveRows({}, row, last);
    rows_.erase(rows_.begin() + row, rows_.begin() + last + 1);
    goneCount_ -= last - row + 1;
    endRemoveRows();
  }
}

void TFoundFilesModel::Flush() {
  pacer_.Cancel();
  if (!HasPending()) return;
  emit AboutToFlush();
  RemoveGoneRows();
  if (!waiting_.empty()) {
    const int at = rowCount();
    beginInsertRows({}, at, at + static_cast<int>(waiting_.size()) - 1);
    rows_.reserve(rows_.size() + waiting_.size());
    std::move(waiting_.begin(), waiting_.end(), std::back_inserter(rows_));
    waiting_.clear();
    endInsertRows();
  }
  pacer_.Flushed();
  emit Flushed();
}

void TFoundFilesModel::CellsChanged(int row, int first, int last) {
  emit dataChanged(index(row, first), index(row, last));
}

void TFoundFilesModel::SetRowImage(const TTaskItem* item, int imageIndex) {
  int shown = -1;
  TStoredRow* stored = Find(item, &shown);
  if (stored == nullptr || stored->Row.ImageIndex == imageIndex) return;
  stored->Row.ImageIndex = imageIndex;
  if (shown >= 0) CellsChanged(shown, kIconColumn, kIconColumn);
}

void TFoundFilesModel::SetRowProgress(const TTaskItem* item, const std::string& size, const std::string& completed) {
  int shown = -1;
  TStoredRow* stored = Find(item, &shown);
  if (stored == nullptr) return;
  auto& cells = stored->Row.SubItems;
  cells[kSizeColumn - 1] = size;
  cells[kCompletedColumn - 1] = completed;
  if (shown >= 0) CellsChanged(shown, kSizeColumn, kCompletedColumn);
}

void TFoundFilesModel::ClearItemIcons() {
  for (auto& row : waiting_) row->Row.ImageIndex = 0;
  if (rows_.empty()) return;
  for (auto& row : rows_) row->Row.ImageIndex = 0;
  emit dataChanged(index(0, kIconColumn), index(rowCount() - 1, kIconColumn));
}

void KeepTopRowInPlace(QTreeView* view, TFoundFilesModel* model) {
  auto top = std::make_shared<QPersistentModelIndex>();
  QObject::connect(model, &TFoundFilesModel::AboutToFlush, view, [view, top] {
    const bool scrolled = view->verticalScrollBar()->value() > 0;
    *top = scrolled ? QPersistentModelIndex(view->indexAt(QPoint(0, 0))) : QPersistentModelIndex();
  });
  QObject::connect(model, &TFoundFilesModel::Flushed, view, [view, top] {
    if (top->isValid()) view->scrollTo(*top, QAbstractItemView::PositionAtTop);
    *top = QPersistentModelIndex();
  });
}

}  // namespace vdk
