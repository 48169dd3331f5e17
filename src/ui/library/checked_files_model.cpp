#include "ui/library/checked_files_model.h"

#include "core/base/path_utils.h"

namespace vdk {

TCheckedFilesModel::TCheckedFilesModel(QObject* parent) : QAbstractListModel(parent) {}

int TCheckedFilesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(paths_.size()); }

QVariant TCheckedFilesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(paths_.size())) return {};
  const std::size_t row = std::size_t(index.row());
  if (role == Qt::DisplayRole) return QString::fromStdString(std::string(ExtractFileName(paths_[row])));
  if (role == Qt::ToolTipRole) return QString::fromStdString(paths_[row]);
  if (role == Qt::CheckStateRole) return checked_[row] ? Qt::Checked : Qt::Unchecked;
  return {};
}

bool TCheckedFilesModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= int(paths_.size())) return false;
  checked_[std::size_t(index.row())] = value.toInt() == Qt::Checked;
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags TCheckedFilesModel::flags(const QModelIndex& index) const {
  return QAbstractListModel::flags(index) | Qt::ItemIsUserCheckable;
}

QVariant TCheckedFilesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole) return QStringLiteral("Filename");
  return {};
}

void TCheckedFilesModel::SetFiles(std::vector<std::string> paths) {
  beginResetModel();
  paths_ = std::move(paths);
  checked_.assign(paths_.size(), true);
  endResetModel();
}

std::vector<std::string> TCheckedFilesModel::CheckedPaths() const {
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < paths_.size(); ++i)
    if (checked_[i]) paths.push_back(paths_[i]);
  return paths;
}

}  // namespace vdk
