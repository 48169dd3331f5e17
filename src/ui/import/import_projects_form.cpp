#include "ui/import/import_projects_form.h"

#include "core/settings/exist_names.h"
#include "ui/common/qt_synchronizer.h"
#include "ui/import/import_tree_model.h"
#include "ui_import_projects_form.h"

namespace vdk {

TImportProjectsForm::TImportProjectsForm(TRegistry& registry, const std::string& projectServer, QWidget* parent,
                                         TProjectFetchLimits limits)
    : QDialog(parent),
      ui_(std::make_unique<Ui::ImportProjectsForm>()),
      model_(new TImportTreeModel(this)),
      synchronizer_(std::make_shared<TQtSynchronizer>(this)) {
  ui_->setupUi(this);
  ui_->TreeView->setModel(model_);
  connect(model_, &TImportTreeModel::ExpandRequested, ui_->TreeView, &QTreeView::expand);
  connect(ui_->TreeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { TreeViewChange(current); });
  // FormCreate: the list thread starts at once.
  listThread_ = std::make_unique<TImportFileListThread>(
      synchronizer_, *model_, std::make_shared<const TExistNames>(registry), ProjectServerBase(projectServer), limits);
}

// FormDestroy: every import thread ends before the tree they fill goes.
TImportProjectsForm::~TImportProjectsForm() { listThread_->Stop(); }

void TImportProjectsForm::done(int result) {
  listThread_->Stop();
  QDialog::done(result);
}

void TImportProjectsForm::TreeViewChange(const QModelIndex& current) {
  ui_->OKButton->setEnabled(current.data(TImportTreeModel::ImageRole).toInt() != 0);
}

std::vector<TProjectItemPtr> TImportProjectsForm::ChosenProjects() const {
  return model_->ChosenProjects(ui_->TreeView->selectionModel()->selectedIndexes());
}

QTreeView* TImportProjectsForm::TreeView() const { return ui_->TreeView; }
QPushButton* TImportProjectsForm::OKButton() const { return ui_->OKButton; }

}  // namespace vdk
