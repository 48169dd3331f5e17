#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <memory>
#include <vector>

#include "import/import_file_thread.h"
#include "import/import_view.h"

namespace vdk {

// The import dialog's tree: the root, one group per list of the index and,
// under a loaded group, the projects it offers. The import threads fill it
// through TImportView, on the GUI thread. Each node's image (ImageRole) tells
// its kind: 0 root, 1 group, 2 project.
class TImportTreeModel : public QAbstractItemModel, public TImportView {
  Q_OBJECT

 public:
  static constexpr int ImageRole = Qt::UserRole;

  explicit TImportTreeModel(QObject* parent = nullptr);

  QModelIndex RootIndex() const { return createIndex(0, 0, kRootId); }
  // The group of a group node, or nullptr.
  std::shared_ptr<TImportFileThread> GroupAt(const QModelIndex& index) const;
  // The project of a project node, or nullptr.
  TProjectItemPtr ProjectAt(const QModelIndex& index) const;

  // What the selected nodes import, visited in tree order: a project node its
  // project; a group whose list has been fetched each of its projects not
  // imported before, in file order; the root and a group still loading
  // nothing.
  std::vector<TProjectItemPtr> ChosenProjects(const QModelIndexList& selected) const;

  bool AllLoaded() const;

  // TImportView
  void IndexLoading() override;
  void GroupAdded(const std::shared_ptr<TImportFileThread>& group) override;
  void GroupLoaded(const TImportFileThread& group) override;
  void IndexLoaded(const std::string& failure) override;

  // QAbstractItemModel
  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& = {}) const override { return 1; }
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 signals:
  // A node the dialog shows expanded: the root when the index is done, a
  // group when its list is.
  void ExpandRequested(const QModelIndex& index);

 private:
  // internalId: the root, a group (parent: the root), or a project of group
  // g (kFirstProjectsId + g).
  static constexpr quintptr kRootId = 0;
  static constexpr quintptr kGroupId = 1;
  static constexpr quintptr kFirstProjectsId = 2;
  enum class TRootState { New, Downloading, Done };

  QModelIndex GroupIndex(int row) const { return createIndex(row, 0, kGroupId); }
  int GroupRow(const TImportFileThread& group) const;
  QString Caption(const QModelIndex& index) const;

  TRootState rootState_ = TRootState::New;
  bool indexDone_ = false;
  std::vector<std::shared_ptr<TImportFileThread>> groups_;
  std::vector<int> shownProjects_;  // rows under each group, in step with the views
  QIcon icons_[3];
};

}  // namespace vdk
