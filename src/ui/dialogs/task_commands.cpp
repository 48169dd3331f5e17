#include "ui/dialogs/task_commands.h"

#include <sys/stat.h>

#include "core/base/errors.h"
#include "core/model/task_factory.h"
#include "ui/common/dialog_runner.h"
#include "ui/common/message_boxes.h"
#include "ui/dialogs/task_form.h"

namespace vdk {
namespace {

bool SaveTask(QWidget* parent, const TTask& task, const std::string& path) {
  try {
    task.SaveToFile(path);
    return true;
  } catch (const EVendrakeError& e) {
    ShowError(parent,
              QStringLiteral("Sorry, the task file cannot be written: %1").arg(QString::fromStdString(e.what())));
    return false;
  }
}

}  // namespace

std::optional<TNewTaskFile> RunNewTask(QWidget* parent, const TRegOptions& defaults, const std::string& folder,
                                       const std::optional<std::string>& browserURL) {
  TTaskForm form(parent);
  form.PrepareNew(defaults, folder, browserURL);
  if (RunDialog(form) != QDialog::Accepted) return std::nullopt;

  TTask task;
  form.StoreInto(task);
  task.TaskID = NewGUID();
  const std::string path = TaskFilePath(folder, task.Name);
  // The dialog refused an existing name; this catches a file made meanwhile.
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0) {
    ShowError(parent, TaskExistsText(QString::fromStdString(task.Name)));
    return std::nullopt;
  }
  if (!SaveTask(parent, task, path)) return std::nullopt;
  return TNewTaskFile{task.Name, path};
}

bool RunTaskProperties(QWidget* parent, TTask& task, const std::string& path) {
  if (!task.Stopped()) {
    ShowError(parent, QString::fromLatin1(kTaskRunningMessage));
    return false;
  }
  TTaskForm form(parent);
  form.PrepareEdit(task);
  if (RunDialog(form) != QDialog::Accepted) return false;
  // Timers run while the dialog is open: the schedule may have started it.
  if (!task.Stopped()) {
    ShowError(parent, QString::fromLatin1(kTaskRunningMessage));
    return false;
  }
  form.StoreInto(task);
  SaveTask(parent, task, path);
  return true;
}

}  // namespace vdk
