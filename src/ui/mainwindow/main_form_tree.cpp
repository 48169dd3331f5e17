// The project folder commands of the main window: the tree build, Refresh,
// Show All, New, New Folder, Delete, Properties and the sample tasks.

#include <sys/stat.h>
#include <unistd.h>
#include <QAction>
#include <QTreeWidget>
#include <cerrno>
#include <cstring>

#include "core/base/errors.h"
#include "core/model/task.h"
#include "core/model/task_factory.h"
#include "core/model/task_file_writer.h"
#include "core/settings/exist_names.h"
#include "core/settings/reg_settings.h"
#include "ui/common/dialog_runner.h"
#include "ui/common/message_boxes.h"
#include "ui/dialogs/task_commands.h"
#include "ui/mainwindow/found_files_model.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/new_folder_form.h"
#include "ui/mainwindow/node_kinds.h"
#include "ui/mainwindow/project_folder.h"
#include "ui/mainwindow/sample_tasks.h"
#include "ui/mainwindow/task_runner.h"
#include "ui/mainwindow/task_tree.h"

namespace vdk {
namespace {

QString Text(const std::string& bytes) { return QString::fromUtf8(bytes); }

// The folder a new task goes into: the node itself when it stands for a
// folder, else its parent.
QTreeWidgetItem* FolderNodeOf(QTreeWidgetItem* node) {
  if (node == nullptr || IsFolderPath(TTaskTree::PathOf(node))) return node;
  return node->parent() != nullptr ? node->parent() : node;
}

}  // namespace

void TMainForm::BuildTree() {
  tree_->ResetRoot(settings_->Options.ProjectPath);
  tree_->AddEntries(tree_->Root(), ScanProjectFolder(settings_->Options.ProjectPath, settings_->Menu.ShowAllFiles));
  tree_->Root()->setExpanded(true);
}

void TMainForm::TasksRefreshActionExecute() {
  BuildTree();
  UpdateTaskIcons();
  runner_->Tasks.ClearDisplayed();
  foundFiles_->ClearRows();
  UpdateActions();
}

void TMainForm::ViewShowAllFilesActionExecute() {
  settings_->Menu.ShowAllFiles = Action(QStringLiteral("ViewShowAllFilesAction"))->isChecked();
  TasksRefreshActionExecute();
}

QTreeWidgetItem* TMainForm::CreateFolderNode(QTreeWidgetItem* parent, const std::string& name) {
  const std::string path = JoinPath(TTaskTree::PathOf(parent), name);
  ::mkdir(path.c_str(), 0777);  // an existing folder is used as it is
  if (!IsFolderPath(path)) return nullptr;
  return tree_->AddNode(parent, Text(name), kFolderIcon, path);
}

bool TMainForm::CreateTaskFile(const std::string& name, const std::string& url, QTreeWidgetItem* node) {
  QTreeWidgetItem* folder = FolderNodeOf(node);
  const std::string folderPath = TTaskTree::PathOf(folder);
  if (PathExists(TaskFilePath(folderPath, name))) return false;
  const auto task = vdk::CreateTaskFile(name, url, settings_->Options, folderPath);
  tree_->AddNode(folder, Text(name), kTaskIcon, task->FileName);
  return true;
}

void TMainForm::CreateSampleTasks() {
  tree_->ResetRoot(settings_->Options.ProjectPath);
  QString failure;
  for (const TSampleCategory& category : SampleCategories()) {
    QTreeWidgetItem* folder = CreateFolderNode(tree_->Root(), category.Name);
    if (folder == nullptr) {
      if (failure.isEmpty()) failure = QStringLiteral("Cannot create the folder %1").arg(Text(category.Name));
      continue;
    }
    for (const TSampleTask& sample : category.Tasks) {
      try {
        CreateTaskFile(sample.Name, sample.URL, folder);  // a sample whose file exists is left as it is
      } catch (const EVendrakeError& e) {
        if (failure.isEmpty()) failure = Text(e.what());
      }
    }
  }
  settings_->Options.DefaultTaskAdded = true;
  tree_->Root()->setExpanded(true);
  if (!failure.isEmpty()) ReportLater(failure);
}

void TMainForm::TasksNewFolderActionExecute() {
  TNewFolderForm form(this);
  if (RunDialog(form) != QDialog::Accepted) return;
  const std::string name = form.FolderName().toStdString();
  if (const std::string refusal = CheckFolderName(name); !refusal.empty()) {
    ShowError(this, Text(refusal));
    return;
  }
  QTreeWidgetItem* parent = tree_->Selected() != nullptr ? tree_->Selected() : tree_->Root();
  const std::string path = JoinPath(TTaskTree::PathOf(parent), name);
  if (::mkdir(path.c_str(), 0777) != 0) {
    ShowError(this, QString::fromLocal8Bit(std::strerror(errno)));
    return;
  }
  tree_->AddNode(parent, Text(name), kFolderIcon, path);
  parent->setExpanded(true);
}

void TMainForm::TasksDeleteActionExecute() {
  if (!AskConfirm(this, QStringLiteral("Current selected item will be deleted, Are you sure ?"))) return;
  taskWriter_->Wait();  // a file still being written would come back
  QTreeWidgetItem* node = tree_->Selected();
  if (node == nullptr || node == tree_->Root()) return;
  // The task may have started while the question was open.
  if (const std::shared_ptr<TTask> task = TaskOfNode(node); task && !task->Stopped()) {
    ShowError(this, QString::fromLatin1(kTaskRunningMessage));
    return;
  }
  const std::string path = TTaskTree::PathOf(node);
  std::vector<std::string> failures;
  bool deleted = false;
  try {
    TExistNames(*settings_->Registry).Forget(node->text(0).toStdString());
    // Loaded tasks there are stopped and forgotten first, so that none of
    // them writes its file again.
    runner_->ForgetDeleted(path);
    if (!PathExists(path))
      deleted = true;
    else if (!IsFolderPath(path))
      deleted = ::unlink(path.c_str()) == 0;
    else
      deleted = DeleteFolderTree(path, [&failures](const std::string& text) { failures.push_back(text); });
  } catch (const std::exception&) {
    ShowError(this, QStringLiteral("Delete action failed !"));
    return;
  }
  for (const std::string& failure : failures) ShowError(this, Text(failure));
  if (!deleted) {
    ShowError(this, QStringLiteral("Delete file %1 failed !").arg(Text(path)));
    return;
  }
  tree_->RemoveNode(tree_->FindByPath(path));
  UpdateActions();
  UpdateTaskIcons();
}

void TMainForm::TasksNewActionExecute() { NewTask(); }

bool TMainForm::NewTask() {
  QTreeWidgetItem* folder = FolderNodeOf(tree_->Selected());
  if (folder == nullptr) folder = tree_->Root();
  // The dialog writes the task file; it never replaces an existing one.
  const std::optional<TNewTaskFile> created =
      RunNewTask(this, settings_->Options, TTaskTree::PathOf(folder),
                 BrowserRequest ? std::optional<std::string>(BrowserURL) : std::nullopt);
  if (!created) return false;
  tree_->Select(tree_->AddNode(folder, Text(created->Name), kTaskIcon, created->FileName));
  return true;
}

void TMainForm::TasksPropActionExecute() {
  QTreeWidgetItem* node = tree_->Selected();
  const std::shared_ptr<TTask> task = TaskOfNode(node);
  if (!task) return;
  taskWriter_->Wait();  // the dialog writes the file too
  // Refused for a running task, also one the schedule started meanwhile.
  if (RunTaskProperties(this, *task, TTaskTree::PathOf(node))) runner_->ScheduleChanged(*task);
  UpdateActions();
}

void TMainForm::TasksImportActionExecute() {
  if (hooks_.Import) hooks_.Import(*this);
}

void TMainForm::TasksCollectActionExecute() {
  if (hooks_.Collect) hooks_.Collect(*this);
}

void TMainForm::TasksLibraryActionExecute() {
  if (hooks_.Library) hooks_.Library(*this);
}

void TMainForm::ImagesDeleteByActionExecute() {
  if (hooks_.DeleteBy) hooks_.DeleteBy(*this);
}

}  // namespace vdk
