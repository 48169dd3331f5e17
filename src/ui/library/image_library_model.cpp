#include "ui/library/image_library_model.h"

#include <algorithm>
#include <unordered_set>

#include "core/base/path_utils.h"
#include "library/saved_files.h"
#include "ui/common/row_ranges.h"

namespace vdk {
namespace {

// Beyond this many separate runs of removed rows, one reset is cheaper than
// a removal per run.
constexpr std::size_t kMostRemovals = 64;

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

TImageLibraryModel::TImageLibraryModel(QObject* parent) : QAbstractTableModel(parent) {}

int TImageLibraryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(records_.size());
}

int TImageLibraryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TImageLibraryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(records_.size())) return {};
  const TImageDetail& record = *records_[std::size_t(index.row())];
  if (role == Qt::DisplayRole) {
    switch (index.column()) {
      case FullNameColumn:
        return Text(record.FileName);
      case NameColumn:
        return Text(ExtractFileName(record.FileName));
      case SizeColumn:
        return Text(KilobyteText(record.FileSize));
      case WidthColumn:
        return QString::number(record.Width);
      case HeightColumn:
        return QString::number(record.Height);
    }
  }
  if (role == Qt::DecorationRole && index.column() == FullNameColumn) return icons_.Icon(IconIndex(index.row()));
  if (role == Qt::TextAlignmentRole && index.column() == SizeColumn)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant TImageLibraryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
  if (role == Qt::DisplayRole) {
    static const char* const kCaptions[] = {"Filename(full)", "Filename", "Size", "Width", "Height"};
    return QString::fromLatin1(kCaptions[section]);
  }
  if (role == Qt::TextAlignmentRole && section == SizeColumn)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

void TImageLibraryModel::Append(const std::vector<TImageDetailPtr>& records) {
  if (records.empty()) return;
  const int first = int(records_.size());
  beginInsertRows({}, first, first + int(records.size()) - 1);
  records_.insert(records_.end(), records.begin(), records.end());
  iconOfRow_.resize(records_.size(), kUnknownIcon);
  endInsertRows();
}

void TImageLibraryModel::RemoveRows(std::vector<int> rows) {
  std::vector<std::pair<int, int>> ranges = RowRangesFromBottom(std::move(rows));
  std::erase_if(ranges, [this](const auto& range) { return range.first < 0 || range.second >= int(records_.size()); });
  if (ranges.size() <= kMostRemovals) {
    for (const auto& [first, last] : ranges) {
      beginRemoveRows({}, first, last);
      records_.erase(records_.begin() + first, records_.begin() + last + 1);
      iconOfRow_.erase(iconOfRow_.begin() + first, iconOfRow_.begin() + last + 1);
      endRemoveRows();
    }
    return;
  }
  // Many scattered rows: keep the others in one pass.
  std::vector<bool> removed(records_.size());
  for (const auto& [first, last] : ranges) std::fill(removed.begin() + first, removed.begin() + last + 1, true);
  beginResetModel();
  std::size_t kept = 0;
  for (std::size_t row = 0; row < records_.size(); ++row) {
    if (removed[row]) continue;
    records_[kept] = std::move(records_[row]);
    iconOfRow_[kept++] = iconOfRow_[row];
  }
  records_.resize(kept);
  iconOfRow_.resize(kept);
  endResetModel();
}

void TImageLibraryModel::RemoveRecords(const std::vector<TImageDetailPtr>& records) {
  std::unordered_set<const TImageDetail*> gone;
  for (const TImageDetailPtr& record : records) gone.insert(record.get());
  std::vector<int> rows;
  for (std::size_t row = 0; row < records_.size() && rows.size() < gone.size(); ++row)
    if (gone.contains(records_[row].get())) rows.push_back(int(row));
  RemoveRows(std::move(rows));
}

void TImageLibraryModel::Clear() {
  beginResetModel();
  records_.clear();
  iconOfRow_.clear();
  endResetModel();
}

QString TImageLibraryModel::Path(int row) const { return Text(records_.at(std::size_t(row))->FileName); }

QStringList TImageLibraryModel::Paths() const {
  QStringList paths;
  paths.reserve(qsizetype(records_.size()));
  for (const TImageDetailPtr& record : records_) paths << Text(record->FileName);
  return paths;
}

int TImageLibraryModel::IconIndex(int row) const {
  int& icon = iconOfRow_.at(std::size_t(row));
  if (icon == kUnknownIcon) {
    const std::string& path = records_[std::size_t(row)]->FileName;
    icon = icons_.IndexFor(Text(ExtractFileExt(path)), Text(path));
  }
  return icon;
}

}  // namespace vdk
