#include "ui/import/import_tree_model.h"

#include <QApplication>
#include <QSet>
#include <QStyle>
#include <unordered_set>

namespace vdk {
namespace {

QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

}  // namespace

TImportTreeModel::TImportTreeModel(QObject* parent)
    : QAbstractItemModel(parent),
      icons_{ThemeIcon("network-server", QStyle::SP_DriveNetIcon), ThemeIcon("folder", QStyle::SP_DirIcon),
             ThemeIcon("text-html", QStyle::SP_FileIcon)} {}

std::shared_ptr<TImportFileThread> TImportTreeModel::GroupAt(const QModelIndex& index) const {
  if (!index.isValid() || index.internalId() != kGroupId) return nullptr;
  return groups_.at(static_cast<std::size_t>(index.row()));
}

TProjectItemPtr TImportTreeModel::ProjectAt(const QModelIndex& index) const {
  if (!index.isValid() || index.internalId() < kFirstProjectsId) return nullptr;
  const auto& group = *groups_.at(index.internalId() - kFirstProjectsId);
  return group.NewItems().at(static_cast<std::size_t>(index.row()));
}

std::vector<TProjectItemPtr> TImportTreeModel::ChosenProjects(const QModelIndexList& selected) const {
  const QSet<QModelIndex> chosen(selected.begin(), selected.end());
  std::vector<TProjectItemPtr> projects;
  // A project chosen both by itself and with its group is imported once.
  std::unordered_set<const TProjectItem*> taken;
  const auto take = [&](const TProjectItemPtr& project) {
    if (taken.insert(project.get()).second) projects.push_back(project);
  };
  for (int g = 0; g < static_cast<int>(groups_.size()); ++g) {
    const QModelIndex groupIndex = GroupIndex(g);
    const TImportFileThread& group = *groups_[static_cast<std::size_t>(g)];
    if (chosen.contains(groupIndex) && group.Projects()) {
      for (const auto& project : *group.Projects())
        if (!project->Exists) take(project);
    }
    for (int p = 0; p < shownProjects_[static_cast<std::size_t>(g)]; ++p)
      if (chosen.contains(index(p, 0, groupIndex))) take(ProjectAt(index(p, 0, groupIndex)));
  }
  return projects;
}

bool TImportTreeModel::AllLoaded() const {
  if (!indexDone_) return false;
  for (const auto& group : groups_)
    if (!group->Loaded()) return false;
  return true;
}

void TImportTreeModel::IndexLoading() {
  rootState_ = TRootState::Downloading;
  emit dataChanged(RootIndex(), RootIndex(), {Qt::DisplayRole});
}

void TImportTreeModel::GroupAdded(const std::shared_ptr<TImportFileThread>& group) {
  const int row = static_cast<int>(groups_.size());
  beginInsertRows(RootIndex(), row, row);
  groups_.push_back(group);
  shownProjects_.push_back(0);
  endInsertRows();
}

void TImportTreeModel::GroupLoaded(const TImportFileThread& group) {
  const int row = GroupRow(group);
  if (row < 0) return;
  const QModelIndex groupIndex = GroupIndex(row);
  const int count = static_cast<int>(group.NewItems().size());
  if (count > 0) {
    beginInsertRows(groupIndex, 0, count - 1);
    shownProjects_[static_cast<std::size_t>(row)] = count;
    endInsertRows();
  }
  emit dataChanged(groupIndex, groupIndex, {Qt::DisplayRole});
  emit ExpandRequested(groupIndex);
}

void TImportTreeModel::IndexLoaded(const std::string&) {
  rootState_ = TRootState::Done;
  indexDone_ = true;
  emit dataChanged(RootIndex(), RootIndex(), {Qt::DisplayRole});
  emit ExpandRequested(RootIndex());
}

int TImportTreeModel::GroupRow(const TImportFileThread& group) const {
  for (std::size_t i = 0; i < groups_.size(); ++i)
    if (groups_[i].get() == &group) return static_cast<int>(i);
  return -1;
}

QModelIndex TImportTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0 || row >= rowCount(parent)) return {};
  if (!parent.isValid()) return RootIndex();
  if (parent.internalId() == kRootId) return GroupIndex(row);
  return createIndex(row, 0, kFirstProjectsId + static_cast<quintptr>(parent.row()));
}

QModelIndex TImportTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kRootId) return {};
  if (child.internalId() == kGroupId) return RootIndex();
  return GroupIndex(static_cast<int>(child.internalId() - kFirstProjectsId));
}

int TImportTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return 1;
  if (parent.column() != 0) return 0;
  if (parent.internalId() == kRootId) return static_cast<int>(groups_.size());
  if (parent.internalId() == kGroupId) return shownProjects_.at(static_cast<std::size_t>(parent.row()));
  return 0;
}

QString TImportTreeModel::Caption(const QModelIndex& index) const {
  if (index.internalId() == kRootId) {
    switch (rootState_) {
      case TRootState::New:
        return QStringLiteral("New websits");
      case TRootState::Downloading:
        return QStringLiteral("New Tasks(downloading ...)");
      case TRootState::Done:
        return QStringLiteral("New Tasks");
    }
  }
  if (const auto group = GroupAt(index)) {
    const QString name = QString::fromStdString(group->FileName);
    return group->Loaded() ? name : name + QStringLiteral("(loading ...)");
  }
  return QString::fromStdString(ProjectAt(index)->Name);
}

QVariant TImportTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int image = index.internalId() == kRootId ? 0 : (index.internalId() == kGroupId ? 1 : 2);
  switch (role) {
    case Qt::DisplayRole:
      return Caption(index);
    case Qt::DecorationRole:
      return icons_[image];
    case ImageRole:
      return image;
    case Qt::ToolTipRole:
      if (const auto project = ProjectAt(index)) return QString::fromStdString(project->URL + "\n" + project->Category);
      return {};
    default:
      return {};
  }
}

}  // namespace vdk
