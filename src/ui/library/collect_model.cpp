#include "ui/library/collect_model.h"

namespace vdk {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TCollectModel::TCollectModel(QObject* parent) : QAbstractTableModel(parent) {}

int TCollectModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int TCollectModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TCollectModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(rows_.size())) return {};
  const TCollectRow& row = rows_[std::size_t(index.row())];
  if (role == Qt::DisplayRole) {
    switch (index.column()) {
      case NameColumn:
        return Text(row.File.Caption);
      case ExtColumn:
        return Text(row.File.Ext);
      case SizeColumn:
        return Text(row.File.SizeText);
      case WidthColumn:
        return row.Dimensions ? QVariant(QString::number(row.Dimensions->Width)) : QVariant();
      case HeightColumn:
        return row.Dimensions ? QVariant(QString::number(row.Dimensions->Height)) : QVariant();
    }
  }
  if (role == Qt::CheckStateRole && index.column() == NameColumn)
    return checked_[std::size_t(index.row())] ? Qt::Checked : Qt::Unchecked;
  if (role == Qt::TextAlignmentRole && index.column() >= SizeColumn)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

bool TCollectModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || index.column() != NameColumn || index.row() >= int(rows_.size())) return false;
  checked_[std::size_t(index.row())] = value.toInt() == Qt::Checked;
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags TCollectModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (index.column() == NameColumn) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant TCollectModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
  if (role == Qt::DisplayRole) {
    static const char* const kCaptions[] = {"Name", "Extname", "Size", "Width", "Height"};
    return QString::fromLatin1(kCaptions[section]);
  }
  if (role == Qt::TextAlignmentRole && section >= SizeColumn)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

void TCollectModel::SetRows(std::vector<TCollectRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  checked_.assign(rows_.size(), false);
  endResetModel();
}

void TCollectModel::Select(const TCollectFilter& filter) {
  for (std::size_t i = 0; i < rows_.size(); ++i)
    checked_[i] = CollectSelects(filter, rows_[i].File.Ext, rows_[i].File.SizeText, rows_[i].Dimensions);
  ChecksChanged();
}

void TCollectModel::Unselect() {
  checked_.assign(rows_.size(), false);
  ChecksChanged();
}

std::vector<std::string> TCollectModel::CheckedPaths() const {
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (checked_[i]) paths.push_back(rows_[i].File.Path);
  return paths;
}

void TCollectModel::ChecksChanged() {
  if (!rows_.empty())
    emit dataChanged(index(0, NameColumn), index(int(rows_.size()) - 1, NameColumn), {Qt::CheckStateRole});
}

}  // namespace vdk
