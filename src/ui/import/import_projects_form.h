#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "import/import_file_list_thread.h"
#include "import/project_item.h"

class QPushButton;
class QTreeView;

namespace Ui {
class ImportProjectsForm;
}

namespace vdk {

class TImportTreeModel;
class TRegistry;
class TQtSynchronizer;

// "Import from internet": the project server's groups and their new projects
// in a tree, filled while the dialog is open. Closing the dialog (OK, Cancel
// or its destruction) stops every import thread at once; lists still loading
// then stay empty.
class TImportProjectsForm : public QDialog {
  Q_OBJECT

 public:
  // Starts loading at once from the project server of the setting; registry
  // holds the names imported before.
  TImportProjectsForm(TRegistry& registry, const std::string& projectServer, QWidget* parent = nullptr,
                      TProjectFetchLimits limits = {});
  ~TImportProjectsForm() override;

  // The projects the selected nodes stand for, in tree order (see
  // TImportTreeModel::ChosenProjects).
  std::vector<TProjectItemPtr> ChosenProjects() const;

  TImportTreeModel& Model() const { return *model_; }
  QTreeView* TreeView() const;
  QPushButton* OKButton() const;

  void done(int result) override;

 private:
  void TreeViewChange(const QModelIndex& current);

  std::unique_ptr<Ui::ImportProjectsForm> ui_;
  TImportTreeModel* model_;
  std::shared_ptr<TQtSynchronizer> synchronizer_;
  std::unique_ptr<TImportFileListThread> listThread_;
};

}  // namespace vdk
